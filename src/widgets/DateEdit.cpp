#include "widgets/DateEdit.h"

#include <QCalendarWidget>
#include <QPainter>
#include <QPainterPath>

#include "widgets/Events.h"

TDateEdit::TDateEdit(QWidget* parent) : QDateEdit(parent), style_(this, [this] { Restyle(); }) {
  setAttribute(Qt::WA_Hover);
  setCalendarPopup(true);
  setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  setMinimumDate(QDate(1900, 1, 1));
  setMaximumDate(QDate(9999, 12, 31));
  setDate(QDate::currentDate());
  setFixedHeight(21);
  connect(this, &QDateEdit::dateChanged, this, [this](const QDate&) { widgets::Fire(OnChange); });
  Restyle();
}

void TDateEdit::SetDate(const QDate& d) {
  if (!d.isValid() || d == date()) return;
  widgets::AsProgramChange([&] { setDate(d); });
}

void TDateEdit::SetColor(const QColor& c) {
  if (c == fill_) return;
  fill_ = c;
  Restyle();
}

void TDateEdit::Restyle() {
  if (TStyleController* s = style_.Get()) {
    QString sheet = s->Sheet(QStringLiteral("TDateEdit"), fill_);
    sheet += QStringLiteral(
        "TDateEdit::drop-down { subcontrol-origin: padding; subcontrol-position: top right;"
        " width: 15px; border: none; background: transparent; }"
        "TDateEdit::down-arrow { image: none; width: 0px; height: 0px; }");
    setStyleSheet(sheet);
  } else {
    setStyleSheet(QString());
    QPalette pal = palette();
    pal.setColor(QPalette::Base, fill_);
    setPalette(pal);
  }
  update();
}

void TDateEdit::paintEvent(QPaintEvent* e) {
  QDateEdit::paintEvent(e);
  TStyleController* s = style_.Get();
  if (!s) return;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor c = !isEnabled()                      ? QColor(0xA0, 0xA0, 0xA0)
                   : (s->HotTrack() && underMouse()) ? s->HotColor()
                                                     : s->BorderColor();
  const QPointF mid(width() - 8.5, height() / 2.0 + 1);
  QPainterPath arrow;
  arrow.moveTo(mid.x() - 4, mid.y() - 2);
  arrow.lineTo(mid.x() + 4, mid.y() - 2);
  arrow.lineTo(mid.x(), mid.y() + 2);
  arrow.closeSubpath();
  p.fillPath(arrow, c);
}
