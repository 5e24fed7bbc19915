#pragma once

#include <QDate>
#include <QDateEdit>
#include <functional>

#include "widgets/StyleController.h"

// Date editor with a drop-down calendar. Holds a date only (no time of day).
// OnChange fires after every real change of the date, by the user or by a
// program; assigning the date it already holds fires nothing.
class TDateEdit : public QDateEdit {
  Q_OBJECT
 public:
  explicit TDateEdit(QWidget* parent = nullptr);

  QDate Date() const { return date(); }
  // An invalid date is refused and leaves the editor as it was.
  void SetDate(const QDate& d);
  QColor Color() const { return fill_; }
  void SetColor(const QColor& c);
  TStyleController* StyleController() const { return style_.Get(); }
  void SetStyleController(TStyleController* s) { style_.Set(s); }

  std::function<void()> OnChange;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  void Restyle();
  QColor fill_ = widgets::DefaultEditFill();
  widgets::StyleLink style_;
};
