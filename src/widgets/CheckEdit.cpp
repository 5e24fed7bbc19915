#include "widgets/CheckEdit.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>

#include "widgets/Events.h"

namespace {
constexpr int kBox = 13;
constexpr int kGap = 4;
}  // namespace

TCheckEdit::TCheckEdit(const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), style_(this, [this] { update(); }) {
  setAttribute(Qt::WA_Hover);
  connect(this, &QAbstractButton::toggled, this, [this](bool) { widgets::Fire(OnChange); });
}

void TCheckEdit::SetChecked(bool on) {
  if (on == isChecked()) return;
  widgets::AsProgramChange([&] { setChecked(on); });
}

QSize TCheckEdit::sizeHint() const {
  const QFontMetrics fm(font());
  return QSize(kBox + kGap + fm.horizontalAdvance(text()) + 2, std::max(kBox + 4, fm.height() + 2));
}

bool TCheckEdit::hitButton(const QPoint& pos) const {
  return rect().contains(pos);
}

void TCheckEdit::paintEvent(QPaintEvent*) {
  QPainter p(this);
  TStyleController* s = style_.Get();
  const bool hot = s && s->HotTrack() && underMouse() && isEnabled();
  const QColor border = !isEnabled() ? QColor(0xA0, 0xA0, 0xA0)
                        : s          ? (hot ? s->HotColor() : s->BorderColor())
                                     : palette().color(QPalette::Dark);
  const QColor fill = !isEnabled() ? QColor(0xF0, 0xF0, 0xF0)
                      : hot        ? s->HotFill()
                      : s          ? widgets::DefaultEditFill()
                                   : palette().color(QPalette::Base);
  const QRect box(0, (height() - kBox) / 2, kBox, kBox);
  p.fillRect(box, fill);
  p.setPen(border);
  p.drawRect(box.adjusted(0, 0, -1, -1));
  if (isChecked()) {
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(isEnabled() ? QColor(0x10, 0x10, 0x10) : QColor(0x90, 0x90, 0x90), 1.8);
    p.setPen(pen);
    QPainterPath mark;
    mark.moveTo(box.left() + 3, box.top() + 6.5);
    mark.lineTo(box.left() + 5.5, box.top() + 9.5);
    mark.lineTo(box.left() + 10, box.top() + 3.5);
    p.drawPath(mark);
    p.setRenderHint(QPainter::Antialiasing, false);
  }
  const QRect textRect(kBox + kGap, 0, width() - kBox - kGap, height());
  p.setPen(isEnabled() ? palette().color(QPalette::WindowText) : QColor(0x80, 0x80, 0x80));
  p.setFont(font());
  p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
  if (hasFocus()) {
    const QRect used = p.boundingRect(textRect, Qt::AlignLeft | Qt::AlignVCenter, text());
    QStyleOptionFocusRect fr;
    fr.initFrom(this);
    fr.rect = used.adjusted(-1, 0, 1, 0);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fr, &p, this);
  }
}
