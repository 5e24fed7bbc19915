#include "widgets/Shape.h"

#include <QPainter>
#include <algorithm>

TShape::TShape(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TShape::SetShapeKind(Kind k) {
  kind_ = k;
  update();
}

void TShape::SetBrushColor(const QColor& c) {
  brush_ = c;
  update();
}

void TShape::SetPenColor(const QColor& c) {
  pen_ = c;
  update();
}

void TShape::SetPenWidth(int w) {
  penWidth_ = std::max(0, w);
  update();
}

void TShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // The pen lies inside the rectangle, so a 3-pixel bar with a 1-pixel border
  // keeps one line of fill.
  const qreal half = penWidth_ / 2.0;
  const QRectF r = QRectF(rect()).adjusted(half, half, -half, -half);
  p.setBrush(brush_);
  if (penWidth_ > 0)
    p.setPen(QPen(pen_, penWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  else
    p.setPen(Qt::NoPen);
  if (kind_ == Kind::RoundRect) {
    p.setRenderHint(QPainter::Antialiasing);
    const qreal radius = std::min(width(), height()) / 4.0;
    p.drawRoundedRect(r, radius, radius);
  } else {
    p.drawRect(r);
  }
}
