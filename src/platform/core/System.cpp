#include "platform/core/System.h"

#include <unistd.h>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QStyleHints>
#include <QUrl>

#include <vector>

namespace platform {

QString LinuxSystemInfo::ExePath() {
  std::vector<char> buf(4096);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return QString();
    if (static_cast<size_t>(n) < buf.size()) return QString::fromUtf8(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

QString LinuxSystemInfo::ExeDir() {
  const QString path = ExePath();
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  if (slash <= 0) return slash == 0 ? QStringLiteral("/") : QString();
  return path.left(slash);
}

QSize LinuxSystemInfo::ScreenSize() {
  if (QScreen* s = QGuiApplication::primaryScreen()) return s->geometry().size();
  return QSize(0, 0);
}

bool LinuxSystemInfo::CursorPos(QPoint& pos) {
  if (!QGuiApplication::primaryScreen()) return false;
  pos = QCursor::pos();
  return true;
}

std::uint32_t LinuxSystemInfo::DoubleClickTime() {
  const int ms = QGuiApplication::styleHints()->mouseDoubleClickInterval();
  return ms > 0 ? static_cast<std::uint32_t>(ms) : 500u;
}

void LinuxSystemInfo::OpenUrl(const QString& url) {
  const QUrl u = QUrl::fromUserInput(url);
  QDesktopServices::openUrl(u);
}

QStringList LinuxSystemInfo::FontFamilies() {
  return QFontDatabase::families();
}

}  // namespace platform
