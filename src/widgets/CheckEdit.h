#pragma once

#include <QCheckBox>
#include <functional>

#include "widgets/StyleController.h"

// Check box with a caption. OnChange fires after every real change of the state,
// by the user or by a program; setting the state it already has fires nothing.
class TCheckEdit : public QCheckBox {
  Q_OBJECT
 public:
  explicit TCheckEdit(const QString& caption = QString(), QWidget* parent = nullptr);

  bool Checked() const { return isChecked(); }
  void SetChecked(bool on);
  QString Caption() const { return text(); }
  void SetCaption(const QString& c) { setText(c); }
  TStyleController* StyleController() const { return style_.Get(); }
  void SetStyleController(TStyleController* s) { style_.Set(s); }

  std::function<void()> OnChange;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* e) override;
  bool hitButton(const QPoint& pos) const override;

 private:
  widgets::StyleLink style_;
};
