#include "widgets/ButtonEdit.h"

#include <QResizeEvent>

#include "widgets/Events.h"

namespace {
constexpr int kButtonWidth = 17;
}

TButtonEdit::TButtonEdit(QWidget* parent)
    : QLineEdit(parent), button_(new QToolButton(this)), style_(this, [this] { Restyle(); }) {
  setAttribute(Qt::WA_Hover);
  setFixedHeight(21);
  button_->setObjectName(QStringLiteral("button"));
  button_->setText(QStringLiteral("…"));
  button_->setCursor(Qt::ArrowCursor);
  button_->setFocusPolicy(Qt::NoFocus);
  setTextMargins(0, 0, kButtonWidth, 0);
  connect(button_, &QToolButton::clicked, this, [this] { widgets::Fire(OnButtonClick); });
  connect(this, &QLineEdit::textChanged, this, [this] { CheckChange(); });
  Restyle();
}

void TButtonEdit::SetText(const QString& t) {
  if (t == text()) return;
  widgets::AsProgramChange([&] {
    setText(t);
    CheckChange();
  });
}

void TButtonEdit::CheckChange() {
  const QString now = text();
  if (now == last_) return;
  last_ = now;
  widgets::Fire(OnChange);
}

void TButtonEdit::SetColor(const QColor& c) {
  if (c == fill_) return;
  fill_ = c;
  Restyle();
}

void TButtonEdit::resizeEvent(QResizeEvent* e) {
  QLineEdit::resizeEvent(e);
  button_->setGeometry(width() - kButtonWidth - 1, 1, kButtonWidth, height() - 2);
}

void TButtonEdit::Restyle() {
  if (TStyleController* s = style_.Get()) {
    setStyleSheet(s->Sheet(QStringLiteral("TButtonEdit"), fill_));
    QString b =
        QStringLiteral(
            "QToolButton { border: none; background: transparent; color: %1; padding: 0px; }"
            "QToolButton:pressed { background: %2; }")
            .arg(s->BorderColor().name(), s->HotFill().name());
    if (s->HotTrack())
      b += QStringLiteral("QToolButton:hover { background: %1; color: %2; }")
               .arg(s->HotFill().name(), s->HotColor().name());
    if (!s->FlatButtons())
      b +=
          QStringLiteral("QToolButton { border-left: 1px solid %1; }").arg(s->BorderColor().name());
    button_->setStyleSheet(b);
  } else {
    setStyleSheet(QString());
    button_->setStyleSheet(QString());
    QPalette pal = palette();
    pal.setColor(QPalette::Base, fill_);
    setPalette(pal);
  }
}
