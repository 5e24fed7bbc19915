#include "widgets/Memo.h"

#include <QRegularExpression>

#include "widgets/Events.h"

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent), style_(this, [this] { Restyle(); }) {
  setAttribute(Qt::WA_Hover);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  connect(this, &QPlainTextEdit::textChanged, this, [this] { CheckChange(); });
  Restyle();
}

QStringList TMemo::Lines() const {
  // The document keeps its paragraphs apart with U+2029; toPlainText gives "\n".
  return toPlainText().split(QLatin1Char('\n'));
}

QString TMemo::Text() const {
  return Lines().join(QStringLiteral("\r\n"));
}

void TMemo::SetLines(const QStringList& lines) {
  SetText(lines.join(QStringLiteral("\r\n")));
}

void TMemo::SetText(const QString& text) {
  static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
  QString plain = text;
  plain.replace(breaks, QStringLiteral("\n"));
  if (plain == toPlainText()) return;
  widgets::AsProgramChange([&] {
    updating_ = true;
    setPlainText(plain);
    updating_ = false;
    CheckChange();
  });
}

void TMemo::SetColor(const QColor& c) {
  if (c == fill_) return;
  fill_ = c;
  Restyle();
}

void TMemo::CheckChange() {
  if (updating_) return;
  const QString now = Text();
  if (now == last_) return;
  last_ = now;
  widgets::Fire(OnChange);
}

void TMemo::Restyle() {
  if (TStyleController* s = style_.Get()) {
    setStyleSheet(s->Sheet(QStringLiteral("TMemo"), fill_));
  } else {
    setStyleSheet(QString());
    QPalette pal = palette();
    pal.setColor(QPalette::Base, fill_);
    setPalette(pal);
  }
}
