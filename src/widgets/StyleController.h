#pragma once

#include <QColor>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

// The shared look of a page's edit fields and check boxes: a single-line border,
// flat buttons and highlighting under the mouse. An editor linked to a controller
// restyles itself whenever the controller changes.
class TStyleController : public QObject {
  Q_OBJECT
 public:
  explicit TStyleController(QObject* parent = nullptr);

  // The single-line border of every linked editor.
  QColor BorderColor() const { return border_; }
  void SetBorderColor(const QColor& c);
  // The border colour while the mouse is over an editor.
  QColor HotColor() const { return hot_; }
  void SetHotColor(const QColor& c);
  // The fill of a check box's square (and of a button) while the mouse is over it.
  QColor HotFill() const { return hotFill_; }
  void SetHotFill(const QColor& c);
  // Whether editors highlight under the mouse.
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool on);
  // Drop-down and field buttons are drawn flat, without a bevel.
  bool FlatButtons() const { return flat_; }
  void SetFlatButtons(bool on);

  // Style sheet for one editor class with its own fill colour.
  QString Sheet(const QString& widgetClass, const QColor& fill) const;

 signals:
  void Changed();

 private:
  void Set(QColor& field, const QColor& c);
  QColor border_;
  QColor hot_;
  QColor hotFill_;
  bool hotTrack_ = true;
  bool flat_ = true;
};

namespace widgets {

// Keeps one editor's link to its controller: calls restyle now and after every
// change of the controller; a destroyed controller falls back to no style.
class StyleLink {
 public:
  StyleLink(QWidget* owner, std::function<void()> restyle)
      : owner_(owner), restyle_(std::move(restyle)) {}
  ~StyleLink() { QObject::disconnect(conn_); }
  StyleLink(const StyleLink&) = delete;
  StyleLink& operator=(const StyleLink&) = delete;

  TStyleController* Get() const { return style_.data(); }
  void Set(TStyleController* s) {
    if (s == style_) return;
    QObject::disconnect(conn_);
    style_ = s;
    if (s) conn_ = QObject::connect(s, &TStyleController::Changed, owner_, [this] { restyle_(); });
    restyle_();
  }

 private:
  QWidget* owner_;
  std::function<void()> restyle_;
  QPointer<TStyleController> style_;
  QMetaObject::Connection conn_;
};

// The fill of the edit fields on the pages.
inline QColor DefaultEditFill() {
  return QColor(0xF4, 0xF9, 0xFD);
}

}  // namespace widgets
