#include "app/Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace Pictures {
namespace {

QPixmap Canvas(int size) {
  QPixmap p(size, size);
  p.fill(Qt::transparent);
  return p;
}

const QColor kBlue(0x30, 0x9F, 0xD6);
const QColor kDark(0x1B, 0x7A, 0xA9);

}  // namespace

QIcon Settings() {
  QPixmap p = Canvas(32);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(Qt::NoPen);
  g.setBrush(kDark);
  for (int i = 0; i < 8; ++i) {
    g.save();
    g.translate(16, 16);
    g.rotate(i * 45.0);
    g.drawRoundedRect(QRectF(-3, -15, 6, 8), 1.5, 1.5);
    g.restore();
  }
  g.setBrush(kBlue);
  g.drawEllipse(QPointF(16, 16), 10, 10);
  g.setBrush(Qt::white);
  g.drawEllipse(QPointF(16, 16), 4, 4);
  return QIcon(p);
}

QIcon Statistics() {
  QPixmap p = Canvas(32);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(QPen(kDark, 2));
  g.drawLine(4, 28, 28, 28);
  g.setPen(Qt::NoPen);
  const int heights[] = {10, 18, 14, 22};
  for (int i = 0; i < 4; ++i) {
    g.setBrush(i % 2 ? kDark : kBlue);
    g.drawRect(QRectF(6 + i * 6, 27 - heights[i], 4, heights[i]));
  }
  return QIcon(p);
}

QIcon Help() {
  QPixmap p = Canvas(32);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(Qt::NoPen);
  g.setBrush(kBlue);
  g.drawEllipse(QPointF(16, 16), 14, 14);
  g.setPen(Qt::white);
  QFont f;
  f.setPixelSize(22);
  f.setBold(true);
  g.setFont(f);
  g.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("?"));
  return QIcon(p);
}

// An eye that closes and opens again over the eight frames; drawn here only
// where the compiled-in frames are missing.
static QPixmap DrawnFrame(int i) {
  QPixmap p = Canvas(16);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  const double open = std::abs(std::cos(i * M_PI / 8.0));  // 1 at frame 0, 0 at frame 4
  const double h = 1.0 + 5.0 * open;
  QPainterPath eye;
  eye.moveTo(1, 8);
  eye.quadTo(8, 8 - 2 * h, 15, 8);
  eye.quadTo(8, 8 + 2 * h, 1, 8);
  g.setPen(QPen(kDark, 1.2));
  g.setBrush(Qt::white);
  g.drawPath(eye);
  if (open > 0.2) {
    g.setPen(Qt::NoPen);
    g.setBrush(kBlue);
    g.drawEllipse(QPointF(8, 8), 2.6 * open + 0.4, 2.6 * open + 0.4);
  }
  return p;
}

QPixmap AnimationFrame(int i) {
  QPixmap p(QStringLiteral(":/icons/frame%1.png").arg(i));
  return p.isNull() ? DrawnFrame(i) : p;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/talvenor-%1.png").arg(size), QSize(size, size));
  if (icon.availableSizes().isEmpty()) {
    QPixmap p = DrawnFrame(0).scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    icon = QIcon(p);
  }
  return icon;
}

}  // namespace Pictures
