#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/core/MessageWindow.h"

class TSimpleTimer;

// The hidden window shared by every TSimpleTimer: created by the first timer,
// destroyed with the last one. Window-timer identifiers are the timers' own.
class TSimpleTimerHandler {
 public:
  // The shared handler, or nullptr while no timer exists.
  static TSimpleTimerHandler* Instance();
  platform::HWND Handle() const { return window_.Handle(); }
  int Count() const { return count_; }

 private:
  friend class TSimpleTimer;
  TSimpleTimerHandler();
  static TSimpleTimerHandler& Acquire(TSimpleTimer* timer);
  static void Release(TSimpleTimer* timer);
  platform::LRESULT WndProc(platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam);

  platform::MessageWindow window_;
  std::map<std::uintptr_t, TSimpleTimer*> timers_;
  int count_ = 0;
};

// A small window-message timer: ticks arrive as the shared window's timer
// messages and raise OnTimer with the timer as sender.
class TSimpleTimer {
 public:
  TSimpleTimer();
  explicit TSimpleTimer(platform::UINT intervalMs, std::function<void(TSimpleTimer*)> onTimer = {});
  ~TSimpleTimer();
  TSimpleTimer(const TSimpleTimer&) = delete;
  TSimpleTimer& operator=(const TSimpleTimer&) = delete;

  // The window-timer identifier, unique to the instance, and the shared window.
  std::uintptr_t Id() const { return id_; }
  platform::HWND Handle() const;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  platform::UINT Interval() const { return interval_; }
  // A new value restarts a running timer with it; 0 stops it.
  void SetInterval(platform::UINT ms);
  // Nothing happens with an interval of 0. Gives Enabled.
  bool Start();
  void Stop();

  std::function<void(TSimpleTimer* sender)> OnTimer;

 private:
  friend class TSimpleTimerHandler;
  void Tick();

  std::uintptr_t id_;
  platform::UINT interval_;
  bool enabled_ = false;
  TSimpleTimerHandler& handler_;
};
