#include "support/Fakes.h"

namespace fakes {

bool FakeTimers::SetTimer(platform::HWND w, std::uintptr_t id, platform::UINT ms) {
  if (!platform::IsWindow(w)) return false;
  running[{w, id}] = ms;
  return true;
}

bool FakeTimers::KillTimer(platform::HWND w, std::uintptr_t id) {
  return running.erase({w, id}) > 0;
}

bool FakeTimers::Fire(platform::HWND w, std::uintptr_t id) {
  if (!IsRunning(w, id)) return false;
  platform::SendMessage(w, platform::WM_TIMER, id, 0);
  return true;
}

CoreFakes::CoreFakes() {
  platform::SetClock(&clock);
  platform::SetSystem(&system);
  platform::SetTimers(&timers);
  platform::SetErrorHandler(&errors);
}

CoreFakes::~CoreFakes() {
  platform::SetClock(nullptr);
  platform::SetSystem(nullptr);
  platform::SetTimers(nullptr);
  platform::SetErrorHandler(nullptr);
}

}  // namespace fakes
