#include "widgets/BitBtn.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

TBitBtn::TBitBtn(Kind kind, const QString& caption, QWidget* parent)
    : QPushButton(caption, parent), kind_(kind) {
  setIcon(Glyph(kind));
  setIconSize(QSize(16, 16));
  if (kind_ == Kind::Close)
    connect(this, &QPushButton::clicked, this, [this] {
      if (QWidget* w = window()) w->close();
    });
}

QIcon TBitBtn::Glyph(Kind kind) {
  if (kind == Kind::Custom) return QIcon();
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  switch (kind) {
    case Kind::OK: {
      p.setPen(QPen(QColor(0x1E, 0x8C, 0x2E), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      QPainterPath m;
      m.moveTo(2.5, 8.5);
      m.lineTo(6.5, 12.5);
      m.lineTo(13.5, 3.5);
      p.drawPath(m);
      break;
    }
    case Kind::Cancel: {
      p.setPen(QPen(QColor(0xC8, 0x28, 0x28), 2.4, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
      p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
      break;
    }
    case Kind::Close: {
      // A door standing open.
      p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1));
      p.setBrush(QColor(0xE8, 0xE8, 0xE8));
      p.drawRect(QRectF(3.5, 1.5, 9, 13));
      p.setBrush(QColor(0x8A, 0x5A, 0x2B));
      QPainterPath door;
      door.moveTo(3.5, 1.5);
      door.lineTo(9.5, 3.5);
      door.lineTo(9.5, 15.5);
      door.lineTo(3.5, 14.5);
      door.closeSubpath();
      p.drawPath(door);
      p.setBrush(QColor(0xF0, 0xD0, 0x40));
      p.drawEllipse(QPointF(8, 9), 0.9, 0.9);
      break;
    }
    case Kind::Ignore: {
      // A walking figure: carry on.
      const QColor green(0x1E, 0x8C, 0x2E);
      p.setPen(Qt::NoPen);
      p.setBrush(green);
      p.drawEllipse(QPointF(9, 2.5), 2, 2);
      p.setPen(QPen(green, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawLine(QPointF(8.5, 5.5), QPointF(7.5, 10));
      p.drawLine(QPointF(7.5, 10), QPointF(4.5, 14.5));
      p.drawLine(QPointF(7.5, 10), QPointF(10.5, 14.5));
      p.drawLine(QPointF(8.3, 6.5), QPointF(5, 8.5));
      p.drawLine(QPointF(8.3, 6.5), QPointF(11.5, 8.5));
      break;
    }
    case Kind::Custom:
      break;
  }
  p.end();
  return QIcon(pm);
}
