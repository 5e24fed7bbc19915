#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

class QLabel;

namespace platform {

// Our own balloon for desktops with neither a tray that shows messages nor a
// notification service: a small always-on-top window near the bottom-right
// corner of the screen that closes after its timeout or when clicked. Deletes
// itself when it closes.
class BalloonPopup : public QWidget {
 public:
  // kind: 0 none, 1 info, 2 warning, 3 error.
  BalloonPopup(const QString& title, const QString& text, int kind, int timeoutMs);

  std::function<void()> OnClick;
  std::function<void()> OnTimeout;

  // Closes it without raising either notification.
  void Dismiss();
  void ShowNearCorner();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void Finish(const std::function<void()>& notify);

  QTimer timer_;
  bool finished_ = false;
};

// Line ends of the system's texts (CR, CR LF) as the desktop shows them.
QString DisplayText(const QString& text);

}  // namespace platform
