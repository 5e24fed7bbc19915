#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <optional>

#include "platform/autostart/Autostart.h"
#include "platform/autostart/DesktopEntry.h"
#include "platform/core/Errors.h"

using platform::DesktopAutostartStore;

namespace {

// Points $XDG_CONFIG_HOME (and $HOME) into a temporary folder for one test.
class AutostartFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    savedConfig_ = qgetenv("XDG_CONFIG_HOME");
    savedHome_ = qgetenv("HOME");
    hadConfig_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    config_ = tmp_.path() + "/config home";
    qputenv("XDG_CONFIG_HOME", config_.toUtf8());
    qputenv("HOME", (tmp_.path() + "/home").toUtf8());
  }
  void TearDown() override {
    if (hadConfig_)
      qputenv("XDG_CONFIG_HOME", savedConfig_);
    else
      qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", savedHome_);
  }
  QString Entry() const { return config_ + "/autostart/Morvane.desktop"; }
  static QString ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll());
  }
  static void WriteFile(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
  }

  QTemporaryDir tmp_;
  QString config_;
  DesktopAutostartStore store_;

 private:
  QByteArray savedConfig_, savedHome_;
  bool hadConfig_ = false;
};

// Paths a program may live under; every one must come back as written and, as
// far as a file system allows, start through the entry.
const char* const kAwkwardPaths[] = {
    "/opt/talvenor/talvenor",
    "/opt/my programs/talvenor",
    "/opt/\"quoted\"/talvenor",
    "/opt/it's/talvenor",
    "/opt/$HOME/`id`/talvenor",
    "/opt/back\\slash/talvenor",
    "/opt/100%/%f/talvenor",
    "/opt/护眼/程序 1/talvenor",
    "/opt/semi;colon&amp|pipe/(x)*?#~<>/talvenor",
    "/opt/new\nline/tab\there/talvenor",
};

}  // namespace

TEST_F(AutostartFolder, WriteReadDeleteRoundTrip) {
  EXPECT_EQ(store_.Read("Morvane"), QString()) << "no entry reads as empty";
  EXPECT_FALSE(QDir(config_).exists()) << "reading creates nothing";

  for (const char* p : kAwkwardPaths) {
    const QString path = QString::fromUtf8(p);
    SCOPED_TRACE(p);
    store_.Write("Morvane", path);
    EXPECT_EQ(store_.Read("Morvane"), path);
    // The file is one entry with one Exec line.
    const QString text = ReadFile(Entry());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_EQ(text.count("\nExec="), 1);
    EXPECT_EQ(text.count('\n'), 6) << "escaped line breaks stay inside the value";
  }

  store_.Delete("Morvane");
  EXPECT_FALSE(QFile::exists(Entry()));
  EXPECT_EQ(store_.Read("Morvane"), QString());
  EXPECT_NO_THROW(store_.Delete("Morvane")) << "a missing entry is no error";
}

TEST_F(AutostartFolder, ExecIsQuotedAndEscapedForTheDesktop) {
  struct {
    const char* path;
    const char* execLine;
  } cases[] = {
      {"/opt/a/talvenor", "Exec=\"/opt/a/talvenor\""},
      {"/opt/my programs/talvenor", "Exec=\"/opt/my programs/talvenor\""},
      {"/a\"b", "Exec=\"/a\\\\\"b\""},    // \" at Exec level, its \ escaped again
      {"/a\\b", "Exec=\"/a\\\\\\\\b\""},  // \\ at Exec level, each \ escaped again
      {"/a$b`c", "Exec=\"/a\\\\$b\\\\`c\""},
      {"/100%", "Exec=\"/100%%\""},
      {"/a\nb", "Exec=\"/a\\nb\""},
  };
  for (const auto& c : cases) {
    store_.Write("Morvane", QString::fromUtf8(c.path));
    EXPECT_TRUE(ReadFile(Entry()).contains(QString::fromUtf8(c.execLine) + "\n"))
        << c.path << "\n"
        << ReadFile(Entry()).toStdString();
  }
}

TEST_F(AutostartFolder, EntriesThatStartNoSingleProgramReadAsEmpty) {
  struct {
    const char* name;
    const char* text;
    const char* read;
  } cases[] = {
      {"plain path by hand", "[Desktop Entry]\nType=Application\nExec=/usr/bin/talvenor\n",
       "/usr/bin/talvenor"},
      {"blanks around =", "[Desktop Entry]\nExec = \"/usr/bin/a b\"\n", "/usr/bin/a b"},
      {"with an argument", "[Desktop Entry]\nExec=/usr/bin/talvenor --x\n", ""},
      {"unquoted blank", "[Desktop Entry]\nExec=/opt/my programs/talvenor\n", ""},
      {"field code", "[Desktop Entry]\nExec=/usr/bin/talvenor %f\n", ""},
      {"open quote", "[Desktop Entry]\nExec=\"/usr/bin/talvenor\n", ""},
      {"hidden", "[Desktop Entry]\nExec=/usr/bin/talvenor\nHidden=true\n", ""},
      {"disabled", "[Desktop Entry]\nExec=/usr/bin/talvenor\nX-GNOME-Autostart-enabled=false\n",
       ""},
      {"other group", "[Desktop Action x]\nExec=/usr/bin/talvenor\n", ""},
      {"no exec", "[Desktop Entry]\nType=Application\n", ""},
  };
  for (const auto& c : cases) {
    WriteFile(Entry(), QString::fromUtf8(c.text));
    EXPECT_EQ(store_.Read("Morvane"), QString::fromUtf8(c.read)) << c.name;
  }
}

TEST_F(AutostartFolder, FolderFollowsXdgConfigHome) {
  EXPECT_EQ(DesktopAutostartStore::Folder(), config_ + "/autostart");
  store_.Write("Morvane", "/x");
  EXPECT_TRUE(QFile::exists(Entry())) << "missing folders are created";

  struct {
    const char* value;
    bool set;
  } fallbacks[] = {{"", true}, {"relative/config", true}, {nullptr, false}};
  for (const auto& f : fallbacks) {
    if (f.set)
      qputenv("XDG_CONFIG_HOME", f.value);
    else
      qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(DesktopAutostartStore::Folder(), tmp_.path() + "/home/.config/autostart")
        << (f.value ? f.value : "(unset)");
  }
}

TEST_F(AutostartFolder, FailuresAreErrorsNotSilentSuccess) {
  // A file where the folder should be: nothing can be written there.
  WriteFile(config_ + "/autostart", "not a folder");
  EXPECT_THROW(store_.Write("Morvane", "/x"), platform::Error);
  EXPECT_EQ(store_.Read("Morvane"), QString());
  EXPECT_THROW(store_.Write("../escape", "/x"), platform::Error);
  EXPECT_THROW(store_.Write("", "/x"), platform::Error);
}

// The desktop's own launcher (GLib's) reads the entry and starts the program:
// each awkward folder holds a script that leaves a mark when it runs.
TEST_F(AutostartFolder, TheDesktopLauncherStartsTheRightProgram) {
  const QString gio = QStandardPaths::findExecutable("gio");
  if (gio.isEmpty()) GTEST_SKIP() << "gio (libglib2.0-bin) is not installed";
  int index = 0;
  for (const char* p : kAwkwardPaths) {
    // GLib looks for the program before it undoes the %% of the entry, so it
    // refuses any entry whose path holds a % (the entry itself is correct).
    if (QString::fromUtf8(p).contains('%')) continue;
    SCOPED_TRACE(p);
    const QString folder = tmp_.path() + "/programs/" + QString::number(index++) +
                           QString::fromUtf8(p).section('/', 2, -2);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + "/talvenor";
    const QString mark = tmp_.path() + "/mark" + QString::number(index);
    // A decoy beside it that must never be the one started.
    WriteFile(tmp_.path() + "/programs/talvenor", "#!/bin/sh\ntouch \"" + mark + ".wrong\"\n");
    QFile(tmp_.path() + "/programs/talvenor")
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    WriteFile(program, "#!/bin/sh\nprintf '%s' \"$0\" > \"" + mark + "\"\n");
    ASSERT_TRUE(QFile(program).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner));
    store_.Write("Morvane", program);

    QProcess launch;
    launch.start(gio, {"launch", Entry()});
    ASSERT_TRUE(launch.waitForFinished(10000));
    EXPECT_EQ(launch.exitCode(), 0) << launch.readAllStandardError().toStdString();
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(mark) && t.elapsed() < 10000) QThread::msleep(20);
    ASSERT_TRUE(QFile::exists(mark)) << "the program did not start";
    EXPECT_EQ(ReadFile(mark), program) << "started with its own path as $0";
    EXPECT_FALSE(QFile::exists(mark + ".wrong"));
  }
}
