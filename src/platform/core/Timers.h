#pragma once

#include <map>
#include <utility>

#include "platform/core/Types.h"

class QTimer;

namespace platform {

// Window timers: a timer with an identifier on a window delivers WM_TIMER with
// the identifier as wParam to that window's procedure. Setting an identifier that
// is running restarts it with the new interval.
class TimerService {
 public:
  virtual ~TimerService() = default;
  virtual bool SetTimer(HWND window, std::uintptr_t id, UINT intervalMs) = 0;
  virtual bool KillTimer(HWND window, std::uintptr_t id) = 0;
};

class QtTimerService : public TimerService {
 public:
  ~QtTimerService() override;
  bool SetTimer(HWND window, std::uintptr_t id, UINT intervalMs) override;
  bool KillTimer(HWND window, std::uintptr_t id) override;

 private:
  std::map<std::pair<HWND, std::uintptr_t>, QTimer*> timers_;
};

TimerService& GetTimers();
void SetTimers(TimerService* timers);

inline bool SetTimer(HWND window, std::uintptr_t id, UINT intervalMs) {
  return GetTimers().SetTimer(window, id, intervalMs);
}
inline bool KillTimer(HWND window, std::uintptr_t id) {
  return GetTimers().KillTimer(window, id);
}

}  // namespace platform
