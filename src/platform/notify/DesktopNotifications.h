#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace platform {

// The desktop's notification service on the session bus
// (org.freedesktop.Notifications). Every call is asynchronous: a hung or
// missing service never holds up the user-interface thread.
class DesktopNotifications : public QObject {
  Q_OBJECT
 public:
  DesktopNotifications();

  // False when there is no session bus at all.
  bool Connected() const;
  // kind: 0 none, 1 info, 2 warning, 3 error. done(ok, id) comes later on this
  // thread; ok is false when no service answered.
  void Notify(const QString& title, const QString& text, int kind, int timeoutMs, uint replaces,
              std::function<void(bool ok, uint id)> done);
  void Close(uint id);

  // reason: 1 expired, 2 dismissed by the user, 3 closed by a call, 4 other.
  std::function<void(uint id, uint reason)> OnClosed;
  std::function<void(uint id)> OnClicked;

 private slots:
  void NotificationClosed(uint id, uint reason);
  void ActionInvoked(uint id, const QString& action);

 private:
  bool markup_ = false;
};

}  // namespace platform
