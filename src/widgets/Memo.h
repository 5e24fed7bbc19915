#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <functional>

#include "widgets/StyleController.h"

// Multi-line text. Text() gives the lines joined by carriage return and line feed
// whatever line breaks were typed or given; SetText takes CR LF, LF or a lone CR
// as a line break. OnChange fires after every real change of the text, by the
// user or by a program; assigning the text it already holds fires nothing.
class TMemo : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TMemo(QWidget* parent = nullptr);

  QString Text() const;
  void SetText(const QString& text);
  QStringList Lines() const;
  void SetLines(const QStringList& lines);
  QColor Color() const { return fill_; }
  void SetColor(const QColor& c);
  TStyleController* StyleController() const { return style_.Get(); }
  void SetStyleController(TStyleController* s) { style_.Set(s); }

  std::function<void()> OnChange;

 private:
  void CheckChange();
  void Restyle();
  QString last_;
  bool updating_ = false;
  QColor fill_ = widgets::DefaultEditFill();
  widgets::StyleLink style_;
};
