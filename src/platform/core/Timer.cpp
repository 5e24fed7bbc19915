#include "platform/core/Timer.h"

#include "platform/core/Timers.h"

namespace platform {

namespace {
constexpr std::uintptr_t kTimerId = 1;
}

Timer::Timer(UINT intervalMs, bool enabled)
    : window_([this](UINT m, WPARAM w, LPARAM l) { return Proc(m, w, l); }),
      interval_(intervalMs),
      enabled_(enabled) {
  Update();
}

Timer::~Timer() {
  if (running_) KillTimer(window_.Handle(), kTimerId);
}

void Timer::SetInterval(UINT ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Update();
}

void Timer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  Update();
}

void Timer::Update() {
  if (running_) {
    KillTimer(window_.Handle(), kTimerId);
    running_ = false;
  }
  if (enabled_ && interval_ > 0) running_ = SetTimer(window_.Handle(), kTimerId, interval_);
}

LRESULT Timer::Proc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_TIMER && w == kTimerId) {
    if (OnTimer) OnTimer(*this);
    return 0;
  }
  return DefWindowProc(window_.Handle(), msg, w, l);
}

}  // namespace platform
