#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <functional>

#include "widgets/StyleController.h"

namespace widgets {
class PickLineEdit;
}

// Drop-down edit. In free-text mode the field takes any typed text and the list
// offers suggestions. In pick-only mode the user can only choose an item (or step
// through them with the arrow keys), but the field still holds and shows any text
// a program gives it, and an empty field reads as the empty text, never as its
// first item.
//
// OnChange fires after every real change of the text, whether the user made it
// or a program assigned it; an assignment of the text already held fires nothing.
class TPickEdit : public QComboBox {
  Q_OBJECT
 public:
  enum class Mode { FreeText, PickOnly };
  explicit TPickEdit(Mode mode = Mode::FreeText, QWidget* parent = nullptr);
  ~TPickEdit() override;

  Mode EditMode() const { return mode_; }
  QString Text() const;
  void SetText(const QString& text);
  QStringList Items() const;
  // Replaces the list; the text stays as it is.
  void SetItems(const QStringList& items);
  // Position of the text among the items (exact match), -1 when it is none.
  int ItemIndex() const;
  // When false the text is not selected as the field gets the focus.
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool on) { autoSelect_ = on; }
  int DropDownRows() const { return maxVisibleItems(); }
  void SetDropDownRows(int rows) { setMaxVisibleItems(rows); }
  QColor Color() const { return fill_; }
  void SetColor(const QColor& c);
  TStyleController* StyleController() const { return style_.Get(); }
  void SetStyleController(TStyleController* s) { style_.Set(s); }

  std::function<void()> OnChange;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  friend class widgets::PickLineEdit;
  void CheckChange();
  void Assign(const QString& text);
  void AssignItems(const QStringList& items);
  void Restyle();

  Mode mode_;
  widgets::PickLineEdit* edit_;
  QString last_;
  bool updating_ = false;
  bool autoSelect_ = true;
  QColor fill_ = widgets::DefaultEditFill();
  widgets::StyleLink style_;
};
