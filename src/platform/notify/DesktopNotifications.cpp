#include "platform/notify/DesktopNotifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

#include "platform/notify/BalloonPopup.h"

namespace platform {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
constexpr int kCallTimeoutMs = 5000;

QDBusMessage Call(const QString& method) {
  return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

}  // namespace

DesktopNotifications::DesktopNotifications() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  // Any sender: the service may be restarted under a new unique name.
  bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
              SLOT(NotificationClosed(uint, uint)));
  bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
              SLOT(ActionInvoked(uint, QString)));
  auto* watch = new QDBusPendingCallWatcher(
      bus.asyncCall(Call(QStringLiteral("GetCapabilities")), kCallTimeoutMs), this);
  connect(watch, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
    QDBusPendingReply<QStringList> reply = *w;
    if (reply.isValid()) markup_ = reply.value().contains(QStringLiteral("body-markup"));
    w->deleteLater();
  });
}

bool DesktopNotifications::Connected() const {
  return QDBusConnection::sessionBus().isConnected();
}

void DesktopNotifications::Notify(const QString& title, const QString& text, int kind,
                                  int timeoutMs, uint replaces,
                                  std::function<void(bool, uint)> done) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    if (done) done(false, 0);
    return;
  }
  QString icon;
  if (kind == 1) icon = QStringLiteral("dialog-information");
  if (kind == 2) icon = QStringLiteral("dialog-warning");
  if (kind == 3) icon = QStringLiteral("dialog-error");
  QString body = DisplayText(text);
  // A server that reads markup would swallow "<" and "&" of a plain text.
  if (markup_) body = body.toHtmlEscaped();
  QVariantMap hints;
  hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(1));
  QDBusMessage msg = Call(QStringLiteral("Notify"));
  msg << QCoreApplication::applicationName() << replaces << icon << DisplayText(title) << body
      << QStringList{QStringLiteral("default"), QString()} << hints
      << static_cast<int>(timeoutMs > 0 ? timeoutMs : -1);
  auto* watch = new QDBusPendingCallWatcher(bus.asyncCall(msg, kCallTimeoutMs), this);
  connect(watch, &QDBusPendingCallWatcher::finished, this,
          [done = std::move(done)](QDBusPendingCallWatcher* w) {
            QDBusPendingReply<uint> reply = *w;
            w->deleteLater();
            if (done) done(reply.isValid(), reply.isValid() ? reply.value() : 0u);
          });
}

void DesktopNotifications::Close(uint id) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || id == 0) return;
  QDBusMessage msg = Call(QStringLiteral("CloseNotification"));
  msg << id;
  bus.asyncCall(msg, kCallTimeoutMs);
}

void DesktopNotifications::NotificationClosed(uint id, uint reason) {
  if (OnClosed) OnClosed(id, reason);
}

void DesktopNotifications::ActionInvoked(uint id, const QString&) {
  if (OnClicked) OnClicked(id);
}

}  // namespace platform
