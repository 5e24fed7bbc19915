#pragma once

#include <QDateTime>
#include <QStringList>
#include <map>
#include <set>
#include <utility>

#include "platform/core/Services.h"

namespace fakes {

// A clock a test drives by hand.
class FakeClock : public platform::Clock {
 public:
  std::uint32_t tick = 1000;
  QDateTime now = QDateTime(QDate(2026, 12, 10), QTime(12, 0, 0));
  std::uint32_t TickCount() override { return tick; }
  QDateTime Now() override { return now; }
  void Advance(std::uint32_t ms) {
    tick += ms;
    now = now.addMSecs(ms);
  }
};

class FakeSystem : public platform::SystemInfo {
 public:
  QString exePath = QStringLiteral("/opt/talvenor/talvenor");
  QSize screen{1024, 768};
  QPoint cursor{500, 700};
  bool cursorReadable = true;
  std::uint32_t doubleClickTime = 500;
  QStringList fonts{QStringLiteral("DejaVu Sans")};
  QStringList openedUrls;

  QString ExePath() override { return exePath; }
  QString ExeDir() override { return exePath.left(exePath.lastIndexOf(QLatin1Char('/'))); }
  QSize ScreenSize() override { return screen; }
  bool CursorPos(QPoint& pos) override {
    if (cursorReadable) pos = cursor;
    return cursorReadable;
  }
  std::uint32_t DoubleClickTime() override { return doubleClickTime; }
  void OpenUrl(const QString& url) override { openedUrls << url; }
  QStringList FontFamilies() override { return fonts; }
};

// Window timers that tick only when a test fires them.
class FakeTimers : public platform::TimerService {
 public:
  std::map<std::pair<platform::HWND, std::uintptr_t>, platform::UINT> running;
  bool SetTimer(platform::HWND w, std::uintptr_t id, platform::UINT ms) override;
  bool KillTimer(platform::HWND w, std::uintptr_t id) override;
  bool IsRunning(platform::HWND w, std::uintptr_t id) const { return running.count({w, id}) > 0; }
  // Delivers one WM_TIMER, as the event loop would; false if that timer is not set.
  bool Fire(platform::HWND w, std::uintptr_t id);
};

class FakeErrors : public platform::ErrorHandler {
 public:
  QStringList shown;
  void ShowException(const QString& text) override { shown << text; }
};

// Installs all core fakes for the lifetime of the fixture object and puts the
// real services back afterwards.
struct CoreFakes {
  FakeClock clock;
  FakeSystem system;
  FakeTimers timers;
  FakeErrors errors;
  CoreFakes();
  ~CoreFakes();
};

}  // namespace fakes
