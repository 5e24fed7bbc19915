#include "platform/core/Clock.h"

#include <time.h>

namespace platform {

std::uint32_t MonotonicClock::TickCount() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  const std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                           static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);  // wraps modulo 2^32 by design
}

QDateTime MonotonicClock::Now() {
  return QDateTime::currentDateTime();
}

}  // namespace platform
