#include "platform/autostart/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/autostart/DesktopEntry.h"
#include "platform/core/Errors.h"

namespace platform {

namespace {

AutostartStore* g_current = nullptr;
DesktopAutostartStore* g_real = nullptr;  // lives to the end of the process

void CheckName(const QString& name) {
  if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QStringLiteral(".") ||
      name == QStringLiteral(".."))
    throw Error(QStringLiteral("自动运行项的名称无效：") + name);
}

bool IsTrue(const std::optional<QString>& v) {
  return v && v->trimmed() == QStringLiteral("true");
}

}  // namespace

AutostartStore& GetAutostart() {
  if (g_current) return *g_current;
  if (!g_real) g_real = new DesktopAutostartStore;
  return *g_real;
}

void SetAutostart(AutostartStore* store) {
  g_current = store;
}

QString DesktopAutostartStore::Folder() {
  const QString env = qEnvironmentVariable("XDG_CONFIG_HOME");
  const QString base = !env.isEmpty() && QDir::isAbsolutePath(env)
                           ? env
                           : QDir::homePath() + QStringLiteral("/.config");
  return QDir::cleanPath(base) + QStringLiteral("/autostart");
}

QString DesktopAutostartStore::EntryPath(const QString& name) {
  return Folder() + QLatin1Char('/') + name + QStringLiteral(".desktop");
}

QString DesktopAutostartStore::EntryText(const QString& name, const QString& programPath) {
  return QStringLiteral("[Desktop Entry]\nType=Application\nName=") + desktop::EscapeValue(name) +
         QStringLiteral("\nExec=") + desktop::EscapeValue(desktop::QuoteExecArgument(programPath)) +
         QStringLiteral("\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
}

QString DesktopAutostartStore::Read(const QString& name) {
  CheckName(name);
  QFile f(EntryPath(name));
  if (!f.exists()) return QString();
  if (!f.open(QIODevice::ReadOnly))
    throw Error(QStringLiteral("无法读取自动运行项 ") + f.fileName() + QStringLiteral("：") +
                f.errorString());
  const QString text = QString::fromUtf8(f.readAll());
  // An entry the desktop would skip or could not run starts nothing.
  if (IsTrue(desktop::EntryValue(text, QStringLiteral("Hidden")))) return QString();
  const std::optional<QString> enabled =
      desktop::EntryValue(text, QStringLiteral("X-GNOME-Autostart-enabled"));
  if (enabled && enabled->trimmed() == QStringLiteral("false")) return QString();
  const std::optional<QString> exec = desktop::EntryValue(text, QStringLiteral("Exec"));
  if (!exec) return QString();
  const std::optional<QStringList> args = desktop::SplitExec(*exec);
  if (!args || args->size() != 1) return QString();
  return args->first();
}

void DesktopAutostartStore::Write(const QString& name, const QString& programPath) {
  CheckName(name);
  const QString folder = Folder();
  if (!QDir().mkpath(folder)) throw Error(QStringLiteral("无法创建文件夹 ") + folder);
  // Written aside and renamed over the old entry, so a failure never leaves a
  // half-written one behind.
  QSaveFile f(EntryPath(name));
  if (!f.open(QIODevice::WriteOnly))
    throw Error(QStringLiteral("无法写入自动运行项 ") + f.fileName() + QStringLiteral("：") +
                f.errorString());
  f.write(EntryText(name, programPath).toUtf8());
  if (!f.commit())
    throw Error(QStringLiteral("无法写入自动运行项 ") + f.fileName() + QStringLiteral("：") +
                f.errorString());
}

void DesktopAutostartStore::Delete(const QString& name) {
  CheckName(name);
  QFile f(EntryPath(name));
  if (!QFileInfo::exists(f.fileName()) && !QFileInfo(f.fileName()).isSymLink()) return;
  if (!f.remove())
    throw Error(QStringLiteral("无法删除自动运行项 ") + f.fileName() + QStringLiteral("：") +
                f.errorString());
}

}  // namespace platform
