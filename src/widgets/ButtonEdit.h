#pragma once

#include <QLineEdit>
#include <QToolButton>
#include <functional>

#include "widgets/StyleController.h"

// Edit field with one button at its right end. OnChange fires after every real
// change of the text, by the user or by a program; assigning the text it already
// holds fires nothing. OnButtonClick fires when the button is pressed.
class TButtonEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TButtonEdit(QWidget* parent = nullptr);

  QString Text() const { return text(); }
  void SetText(const QString& t);
  QToolButton* Button() const { return button_; }
  QColor Color() const { return fill_; }
  void SetColor(const QColor& c);
  TStyleController* StyleController() const { return style_.Get(); }
  void SetStyleController(TStyleController* s) { style_.Set(s); }

  std::function<void()> OnChange;
  std::function<void()> OnButtonClick;

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  void CheckChange();
  void Restyle();
  QToolButton* button_;
  QString last_;
  QColor fill_ = widgets::DefaultEditFill();
  widgets::StyleLink style_;
};
