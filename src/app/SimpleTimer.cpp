#include "app/SimpleTimer.h"

#include "platform/core/Timers.h"

namespace {
TSimpleTimerHandler* g_handler = nullptr;
std::uintptr_t g_nextId = 1;
}  // namespace

TSimpleTimerHandler::TSimpleTimerHandler()
    : window_([this](platform::UINT m, platform::WPARAM w, platform::LPARAM l) {
        return WndProc(m, w, l);
      }) {}

TSimpleTimerHandler* TSimpleTimerHandler::Instance() {
  return g_handler;
}

TSimpleTimerHandler& TSimpleTimerHandler::Acquire(TSimpleTimer* timer) {
  if (!g_handler) g_handler = new TSimpleTimerHandler;
  ++g_handler->count_;
  g_handler->timers_[timer->id_] = timer;
  return *g_handler;
}

void TSimpleTimerHandler::Release(TSimpleTimer* timer) {
  if (!g_handler) return;
  g_handler->timers_.erase(timer->id_);
  if (--g_handler->count_ <= 0) {
    delete g_handler;
    g_handler = nullptr;
  }
}

platform::LRESULT TSimpleTimerHandler::WndProc(platform::UINT msg, platform::WPARAM wParam,
                                               platform::LPARAM lParam) {
  if (msg == platform::WM_TIMER) {
    auto it = timers_.find(wParam);
    if (it != timers_.end()) it->second->Tick();
    return 0;
  }
  return platform::DefWindowProc(window_.Handle(), msg, wParam, lParam);
}

TSimpleTimer::TSimpleTimer() : TSimpleTimer(1000) {}

TSimpleTimer::TSimpleTimer(platform::UINT intervalMs, std::function<void(TSimpleTimer*)> onTimer)
    : OnTimer(std::move(onTimer)),
      id_(g_nextId++),
      interval_(intervalMs),
      handler_(TSimpleTimerHandler::Acquire(this)) {}

TSimpleTimer::~TSimpleTimer() {
  Stop();
  TSimpleTimerHandler::Release(this);
}

platform::HWND TSimpleTimer::Handle() const {
  return handler_.Handle();
}

void TSimpleTimer::SetEnabled(bool on) {
  if (on)
    Start();
  else
    Stop();
}

void TSimpleTimer::SetInterval(platform::UINT ms) {
  if (ms == interval_) return;
  interval_ = ms;
  if (enabled_) {
    if (ms == 0)
      Stop();
    else
      Start();
  }
}

bool TSimpleTimer::Start() {
  if (interval_ == 0) return enabled_;
  if (enabled_) Stop();
  enabled_ = platform::SetTimer(handler_.Handle(), id_, interval_);
  return enabled_;
}

void TSimpleTimer::Stop() {
  if (enabled_) platform::KillTimer(handler_.Handle(), id_);
  enabled_ = false;
}

void TSimpleTimer::Tick() {
  // A copy: the handler may free the timer.
  if (const auto call = OnTimer) call(this);
}
