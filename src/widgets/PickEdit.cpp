#include "widgets/PickEdit.h"

#include "widgets/Events.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionComboBox>

namespace widgets {

// The field of a drop-down edit; keeps the text unselected on focus when asked.
class PickLineEdit : public QLineEdit {
 public:
  explicit PickLineEdit(TPickEdit* owner) : QLineEdit(owner), owner_(owner) {}

 protected:
  void focusInEvent(QFocusEvent* e) override {
    QLineEdit::focusInEvent(e);
    if (!owner_->AutoSelect()) {
      deselect();
      setCursorPosition(text().size());
    }
  }

 private:
  TPickEdit* owner_;
};

}  // namespace widgets

TPickEdit::TPickEdit(Mode mode, QWidget* parent)
    : QComboBox(parent), mode_(mode), style_(this, [this] { Restyle(); }) {
  setEditable(true);
  edit_ = new widgets::PickLineEdit(this);
  setLineEdit(edit_);
  // Typing must reach the handlers as typed: no completion, no list insertion.
  setCompleter(nullptr);
  setInsertPolicy(QComboBox::NoInsert);
  setMaxVisibleItems(10);
  setFixedHeight(21);
  if (mode_ == Mode::PickOnly) {
    edit_->setReadOnly(true);
    edit_->installEventFilter(this);
  }
  connect(edit_, &QLineEdit::textChanged, this, [this] { CheckChange(); });
  Restyle();
}

TPickEdit::~TPickEdit() = default;

QString TPickEdit::Text() const {
  return edit_->text();
}

void TPickEdit::SetText(const QString& text) {
  if (text == edit_->text()) return;
  widgets::AsProgramChange([&] { Assign(text); });
}

void TPickEdit::Assign(const QString& text) {
  // The current index follows the text (-1 for a foreign one), so that picking
  // any item afterwards is a real change of the list's choice.
  updating_ = true;
  setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
  edit_->setText(text);
  updating_ = false;
  CheckChange();
}

QStringList TPickEdit::Items() const {
  QStringList items;
  for (int i = 0; i < count(); ++i) items << itemText(i);
  return items;
}

void TPickEdit::SetItems(const QStringList& items) {
  widgets::AsProgramChange([&] { AssignItems(items); });
}

void TPickEdit::AssignItems(const QStringList& items) {
  const QString text = edit_->text();
  updating_ = true;
  clear();
  addItems(items);
  setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
  edit_->setText(text);
  updating_ = false;
  CheckChange();
}

int TPickEdit::ItemIndex() const {
  return findText(edit_->text(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void TPickEdit::SetColor(const QColor& c) {
  if (c == fill_) return;
  fill_ = c;
  Restyle();
}

void TPickEdit::CheckChange() {
  if (updating_) return;
  const QString now = edit_->text();
  if (now == last_) return;
  last_ = now;
  widgets::Fire(OnChange);
}

void TPickEdit::Restyle() {
  if (TStyleController* s = style_.Get()) {
    QString sheet = s->Sheet(QStringLiteral("TPickEdit"), fill_);
    // Flat drop-down button: no bevel, the arrow is painted by paintEvent.
    sheet += QStringLiteral(
        "TPickEdit::drop-down { subcontrol-origin: padding; subcontrol-position: top right;"
        " width: 15px; border: none; background: transparent; }"
        "TPickEdit::down-arrow { image: none; width: 0px; height: 0px; }");
    setStyleSheet(sheet);
  } else {
    setStyleSheet(QString());
    QPalette pal = palette();
    pal.setColor(QPalette::Base, fill_);
    setPalette(pal);
  }
  update();
}

bool TPickEdit::eventFilter(QObject* watched, QEvent* event) {
  // A pick-only field opens its list when clicked, as a drop-down list does.
  if (watched == edit_ && event->type() == QEvent::MouseButtonPress && isEnabled()) {
    auto* me = static_cast<QMouseEvent*>(event);
    if (me->button() == Qt::LeftButton) {
      showPopup();
      return true;
    }
  }
  return QComboBox::eventFilter(watched, event);
}

void TPickEdit::paintEvent(QPaintEvent* e) {
  QComboBox::paintEvent(e);
  TStyleController* s = style_.Get();
  if (!s) return;
  // The flat button's arrow, in the border colour (the hot colour under the mouse).
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor c = !isEnabled()                      ? QColor(0xA0, 0xA0, 0xA0)
                   : (s->HotTrack() && underMouse()) ? s->HotColor()
                                                     : s->BorderColor();
  if (!s->FlatButtons()) {
    p.setPen(c);
    p.drawLine(width() - 16, 2, width() - 16, height() - 3);
  }
  const QPointF mid(width() - 8.5, height() / 2.0 + 1);
  QPainterPath arrow;
  arrow.moveTo(mid.x() - 4, mid.y() - 2);
  arrow.lineTo(mid.x() + 4, mid.y() - 2);
  arrow.lineTo(mid.x(), mid.y() + 2);
  arrow.closeSubpath();
  p.fillPath(arrow, c);
}
