#pragma once

#include <functional>
#include <memory>

#include "platform/core/MessageWindow.h"

namespace platform {

// The toolkit's timer component: enabled from creation with an interval of
// 1000 ms unless told otherwise, ticking through a window timer.
class Timer {
 public:
  explicit Timer(UINT intervalMs = 1000, bool enabled = true);
  ~Timer();

  UINT Interval() const { return interval_; }
  void SetInterval(UINT ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  HWND Handle() const { return window_.Handle(); }

  std::function<void(Timer& sender)> OnTimer;

 private:
  void Update();
  LRESULT Proc(UINT msg, WPARAM w, LPARAM l);

  MessageWindow window_;
  UINT interval_;
  bool enabled_;
  bool running_ = false;
};

}  // namespace platform
