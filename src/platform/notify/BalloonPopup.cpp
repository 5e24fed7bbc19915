#include "platform/notify/BalloonPopup.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace platform {

QString DisplayText(const QString& text) {
  QString s = text;
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

BalloonPopup::BalloonPopup(const QString& title, const QString& text, int kind, int timeoutMs)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setObjectName(QStringLiteral("TalvenorBalloon"));
  // The title names the window, so a user's window list (and a test) can tell it.
  setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);

  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xE1));
  pal.setColor(QPalette::WindowText, Qt::black);
  setPalette(pal);
  setAutoFillBackground(true);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(12, 10, 14, 12);
  row->setSpacing(10);
  QStyle::StandardPixmap std = QStyle::SP_MessageBoxInformation;
  if (kind == 2) std = QStyle::SP_MessageBoxWarning;
  if (kind == 3) std = QStyle::SP_MessageBoxCritical;
  if (kind >= 1 && kind <= 3) {
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(std).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    row->addWidget(icon);
  }
  auto* column = new QVBoxLayout;
  column->setSpacing(4);
  if (!title.isEmpty()) {
    auto* head = new QLabel(DisplayText(title), this);
    QFont f = head->font();
    f.setBold(true);
    head->setFont(f);
    head->setTextFormat(Qt::PlainText);
    column->addWidget(head);
  }
  auto* body = new QLabel(DisplayText(text), this);
  body->setTextFormat(Qt::PlainText);
  body->setWordWrap(true);
  body->setMaximumWidth(340);
  column->addWidget(body);
  row->addLayout(column);

  timer_.setSingleShot(true);
  timer_.setInterval(timeoutMs > 0 ? timeoutMs : 10000);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { Finish(OnTimeout); });
}

void BalloonPopup::ShowNearCorner() {
  adjustSize();
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen) {
    const QRect area = screen->availableGeometry();
    move(area.right() - width() - 12, area.bottom() - height() - 12);
  }
  show();
  raise();
  timer_.start();
}

void BalloonPopup::Dismiss() {
  Finish(nullptr);
}

void BalloonPopup::Finish(const std::function<void()>& notify) {
  if (finished_) return;
  finished_ = true;
  timer_.stop();
  // Copy: the handler may be reset while it runs.
  if (notify) {
    const std::function<void()> call = notify;
    call();
  }
  close();
}

void BalloonPopup::mousePressEvent(QMouseEvent* e) {
  e->accept();
  Finish(OnClick);
}

void BalloonPopup::paintEvent(QPaintEvent* e) {
  QWidget::paintEvent(e);
  QPainter p(this);
  p.setPen(QColor(0x76, 0x76, 0x76));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace platform
