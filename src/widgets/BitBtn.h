#pragma once

#include <QPushButton>

// Push button with a stock glyph. A close-kind button closes the top-level
// window that holds it when clicked (that window decides what closing means).
class TBitBtn : public QPushButton {
  Q_OBJECT
 public:
  enum class Kind { Custom, OK, Cancel, Close, Ignore };
  explicit TBitBtn(Kind kind, const QString& caption, QWidget* parent = nullptr);

  Kind ButtonKind() const { return kind_; }

  // The stock glyph of a kind, 16 x 16, drawn in code.
  static QIcon Glyph(Kind kind);

 private:
  Kind kind_;
};
