#include "platform/core/Timers.h"

#include <QTimer>

#include "platform/core/MessageWindow.h"

namespace platform {

QtTimerService::~QtTimerService() {
  for (auto& [key, timer] : timers_) delete timer;
}

bool QtTimerService::SetTimer(HWND window, std::uintptr_t id, UINT intervalMs) {
  if (!IsWindow(window)) return false;
  const auto key = std::make_pair(window, id);
  QTimer*& timer = timers_[key];
  if (!timer) {
    timer = new QTimer;
    timer->setTimerType(Qt::CoarseTimer);
    QObject::connect(timer, &QTimer::timeout, [this, window, id] {
      if (!IsWindow(window)) {
        KillTimer(window, id);
        return;
      }
      SendMessage(window, WM_TIMER, id, 0);
    });
  }
  timer->start(static_cast<int>(intervalMs > 0x7fffffffu ? 0x7fffffffu : intervalMs));
  return true;
}

bool QtTimerService::KillTimer(HWND window, std::uintptr_t id) {
  auto it = timers_.find(std::make_pair(window, id));
  if (it == timers_.end()) return false;
  QTimer* timer = it->second;
  timers_.erase(it);
  timer->stop();
  timer->deleteLater();  // may be inside its own timeout
  return true;
}

}  // namespace platform
