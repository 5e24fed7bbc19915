// A small program around one tray icon on the real notification area, driven
// by lines on standard input, reporting what happens on standard output:
//   balloon <seconds> <title>|<text>    ("\r" in the text is a carriage return)
//   clear
//   quit
// An argument "<title>|<text>" shows a balloon before the event loop starts.
#include <unistd.h>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSocketNotifier>
#include <QTextStream>
#include <cstdio>

#include "app/TrayIcon.h"
#include "platform/core/Services.h"
#include "platform/notify/NotifyIcon.h"

namespace {

void Say(const QString& line) {
  std::fprintf(stdout, "%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

// Passes every call on to the real notification area and reports it.
class Reporting : public platform::NotifyIconService {
 public:
  explicit Reporting(platform::NotifyIconService& real) : real_(real) {}
  bool ShellNotifyIcon(platform::DWORD m, const platform::NOTIFYICONDATAA& d) override {
    const bool ok = real_.ShellNotifyIcon(m, d);
    static const char* names[] = {"ADD", "MODIFY", "DELETE", "?", "SETVERSION"};
    Say(QStringLiteral("shell %1 %2")
            .arg(QLatin1String(m <= 4 ? names[m] : "?"),
                 ok ? QStringLiteral("ok") : QStringLiteral("failed")));
    return ok;
  }
  platform::UINT TaskbarCreatedMessage() override { return real_.TaskbarCreatedMessage(); }

 private:
  platform::NotifyIconService& real_;
};

QIcon ProbeIcon() {
  QPixmap p(22, 22);
  p.fill(QColor(0x2E, 0x9E, 0x6B));
  QPainter g(&p);
  g.setBrush(Qt::white);
  g.drawEllipse(QRect(4, 6, 14, 10));
  return QIcon(p);
}

}  // namespace

int main(int argc, char** argv) {
  platform::Application app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("TrayProbe"));
  QApplication::setQuitOnLastWindowClosed(false);
  Reporting reporting(platform::GetNotifyIcon());
  platform::SetNotifyIcon(&reporting);
  {
    TTrayIcon icon;
    icon.SetIcon(ProbeIcon());
    icon.SetHint(QStringLiteral("托盘测试"));
    icon.OnClick = [](TTrayIcon*) { Say(QStringLiteral("click")); };
    icon.OnDblClick = [](TTrayIcon*) { Say(QStringLiteral("double click")); };
    icon.OnMouseDown = [](TTrayIcon*, TTrayIcon::TMouseButton b, TTrayIcon::TShiftState, int, int) {
      Say(QStringLiteral("down %1").arg(b));
    };
    icon.OnMouseMove = [](TTrayIcon*, TTrayIcon::TShiftState, int, int) {
      Say(QStringLiteral("move"));
    };
    icon.OnBalloonHintShow = [](TTrayIcon*) { Say(QStringLiteral("balloon show")); };
    icon.OnBalloonHintHide = [](TTrayIcon*) { Say(QStringLiteral("balloon hide")); };
    icon.OnBalloonHintTimeout = [](TTrayIcon*) { Say(QStringLiteral("balloon timeout")); };
    icon.OnBalloonHintClick = [](TTrayIcon*) { Say(QStringLiteral("balloon click")); };
    icon.SetIconVisible(true);
    // A balloon before the event loop runs, as the program's first one is.
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1) {
      const QString body = args[1];
      const int bar = body.indexOf(QLatin1Char('|'));
      icon.ShowBalloon(body.left(bar), body.mid(bar + 1), bkInfo, 10);
    }

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
      char buf[4096];
      const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
      if (n <= 0) {
        QCoreApplication::quit();
        return;
      }
      for (const QString& line : QString::fromUtf8(buf, n).split(QLatin1Char('\n'))) {
        if (line == QLatin1String("quit")) QCoreApplication::quit();
        if (line == QLatin1String("clear")) icon.ClearBalloon();
        if (line.startsWith(QLatin1String("balloon "))) {
          const QString rest = line.mid(8);
          const int space = rest.indexOf(QLatin1Char(' '));
          const int seconds = rest.left(space).toInt();
          const QString body = rest.mid(space + 1);
          const int bar = body.indexOf(QLatin1Char('|'));
          QString text = body.mid(bar + 1);
          text.replace(QLatin1String("\\r"), QLatin1String("\r"));
          const bool ok =
              icon.ShowBalloon(body.left(bar), text, bkInfo, static_cast<std::uint8_t>(seconds));
          Say(QStringLiteral("balloon sent %1").arg(ok ? "ok" : "failed"));
        }
      }
    });
    Say(QStringLiteral("ready"));
    app.exec();
  }
  platform::SetNotifyIcon(nullptr);
  return 0;
}
