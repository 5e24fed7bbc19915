#pragma once

#include <QColor>
#include <QWidget>

// A filled figure with a border, drawn inside its rectangle: the badges, bars and
// frames that decorate the pages. It takes no input.
class TShape : public QWidget {
  Q_OBJECT
 public:
  enum class Kind { Rectangle, RoundRect };
  explicit TShape(Kind kind = Kind::Rectangle, QWidget* parent = nullptr);

  Kind ShapeKind() const { return kind_; }
  void SetShapeKind(Kind k);
  QColor BrushColor() const { return brush_; }
  void SetBrushColor(const QColor& c);
  QColor PenColor() const { return pen_; }
  void SetPenColor(const QColor& c);
  int PenWidth() const { return penWidth_; }
  void SetPenWidth(int w);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  Kind kind_;
  QColor brush_ = Qt::white;
  QColor pen_ = Qt::black;
  int penWidth_ = 1;
};
