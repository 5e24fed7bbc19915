#pragma once
// A settings page on a real database file in a temporary folder, with the rest
// engine on a recording tray host, hook components on recording libraries, a
// recording sound player and autostart entries in a private config folder.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>
#include <ostream>
#include <vector>

#include "monitor/CPKeyHook.h"
#include "monitor/CPMouseHook.h"
#include "monitor/Counters.h"
#include "monitor/RunState.h"
#include "platform/autostart/Autostart.h"
#include "platform/sound/Sound.h"
#include "reminder/RestEngine.h"
#include "settings/fWeb.h"
#include "stats/DM.h"
#include "support/Fakes.h"

// Readable failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}

namespace settings_test {

struct Balloon {
  QString title, text;
  int kind;
  int seconds;
};

// The tray side of the engine, recorded. Every call lands in `calls` in order.
class RecordingHost : public IRestHost {
 public:
  bool showing = false;
  std::vector<Balloon> balloons;
  QStringList calls;
  QStringList iconLoads;
  bool failIconLoad = false;
  std::function<void()> onCall;

  bool MainWindowShowing() override { return showing; }
  void ShowBalloon(const QString& title, const QString& text, int kind,
                   std::uint8_t seconds) override {
    balloons.push_back({title, text, kind, seconds});
    Record("balloon");
  }
  void SetIconList(bool imageList2) override {
    Record(imageList2 ? "iconlist=ImageList2" : "iconlist=none");
  }
  void SetCycleIcons(bool on) override { Record(on ? "cycle=on" : "cycle=off"); }
  void LoadIconFromFile(const QString& path) override {
    iconLoads << path;
    if (failIconLoad) throw platform::Error("cannot load " + path);
    Record("icon");
  }

 private:
  void Record(const QString& c) {
    calls << c;
    if (onCall) onCall();
  }
};

class RecordingSound : public platform::SoundPlayer {
 public:
  QStringList played;
  void Play(const QString& file) override { played << file; }
};

// The real autostart store, counted; can be made to fail.
class CountingAutostart : public platform::AutostartStore {
 public:
  platform::DesktopAutostartStore real;
  int reads = 0, writes = 0, deletes = 0;
  bool fail = false;
  QString Read(const QString& n) override {
    ++reads;
    if (fail) throw platform::Error("read failed");
    return real.Read(n);
  }
  void Write(const QString& n, const QString& p) override {
    ++writes;
    if (fail) throw platform::Error("write failed");
    real.Write(n, p);
  }
  void Delete(const QString& n) override {
    ++deletes;
    if (fail) throw platform::Error("delete failed");
    real.Delete(n);
  }
};

// Calls of the hook libraries.
struct HookCalls {
  int keyStarts = 0, keyStops = 0, mouseStarts = 0, mouseStops = 0;
};
HookCalls& Hooks();

// Statements run on a connection, as SQLite was handed them.
struct StatementLog {
  QStringList all;
  // The Update statements only.
  QStringList Updates() const;
};

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs SQL on the database file through a connection of the test's own.
  void Sql(const QString& sql);
  // One column of the Setting row as stored (NULL as an invalid QVariant).
  QVariant Stored(const QString& column);
  // Makes a fresh page (the old one is deleted), as a new run would have it.
  void NewPage();
  // Starts recording the statements of the data module's connection.
  void Trace();

  fakes::CoreFakes core;
  QTemporaryDir tmp;
  QString appDir;
  RecordingHost host;
  RecordingSound sound;
  CountingAutostart autostart;
  StatementLog log;
  std::unique_ptr<TfmWebStyle> page;

 private:
  QByteArray savedConfig_;
  bool hadConfig_ = false;
  sqlite3* tracedDb_ = nullptr;
};

}  // namespace settings_test
