#include "platform/core/Services.h"

namespace platform {
namespace {

template <class Interface, class Real>
class Slot {
 public:
  Interface& Get() {
    if (current_) return *current_;
    if (!real_) real_ = new Real;  // lives to the end of the process
    return *real_;
  }
  void Set(Interface* s) { current_ = s; }

 private:
  Interface* current_ = nullptr;
  Real* real_ = nullptr;
};

Slot<Clock, MonotonicClock> g_clock;
Slot<SystemInfo, LinuxSystemInfo> g_system;
Slot<TimerService, QtTimerService> g_timers;
Slot<ErrorHandler, MessageBoxErrorHandler> g_errors;

}  // namespace

Clock& GetClock() {
  return g_clock.Get();
}
void SetClock(Clock* c) {
  g_clock.Set(c);
}
SystemInfo& GetSystem() {
  return g_system.Get();
}
void SetSystem(SystemInfo* s) {
  g_system.Set(s);
}
TimerService& GetTimers() {
  return g_timers.Get();
}
void SetTimers(TimerService* t) {
  g_timers.Set(t);
}
ErrorHandler& GetErrorHandler() {
  return g_errors.Get();
}
void SetErrorHandler(ErrorHandler* h) {
  g_errors.Set(h);
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    HandleException(std::current_exception());
    return false;
  }
}

}  // namespace platform
