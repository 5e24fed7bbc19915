// A stand-in for the desktop's notification service on the session bus: it
// reports every call on standard output and answers like a real one.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <cstdio>

class Notifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
 public:
  using QObject::QObject;

 public slots:
  QStringList GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("actions")}; }
  uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints,
              int timeout) {
    (void)hints;
    const uint id = replaces ? replaces : ++last_;
    QString shown = body;
    shown.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    shown.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    Say(QStringLiteral("Notify id=%1 app=%2 icon=%3 timeout=%4 actions=%5 summary=%6 body=%7")
            .arg(id)
            .arg(app, icon)
            .arg(timeout)
            .arg(actions.join(QLatin1Char(',')), summary, shown));
    return id;
  }
  void CloseNotification(uint id) {
    Say(QStringLiteral("Close id=%1").arg(id));
    emit NotificationClosed(id, 3);
  }
  QString GetServerInformation(QString& vendor, QString& version, QString& protocolVersion) {
    vendor = QStringLiteral("talvenor-tests");
    version = QStringLiteral("1");
    protocolVersion = QStringLiteral("1.2");
    return QStringLiteral("fake_notifyd");
  }

 signals:
  void NotificationClosed(uint id, uint reason);
  void ActionInvoked(uint id, const QString& action);

 private:
  static void Say(const QString& line) {
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
  }
  uint last_ = 0;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QDBusConnection bus = QDBusConnection::sessionBus();
  Notifications service;
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                          QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) ||
      !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
    std::fprintf(stderr, "fake_notifyd: cannot register on the session bus\n");
    return 1;
  }
  std::fprintf(stdout, "registered\n");
  std::fflush(stdout);
  return app.exec();
}

#include "fake_notifyd.moc"
