#pragma once

#include <QDateTime>
#include <cstdint>

namespace platform {

// Time as the system sees it: a 32-bit millisecond tick count that wraps modulo
// 2^32, and the local date and time.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint32_t TickCount() = 0;
  virtual QDateTime Now() = 0;
};

// The monotonic clock, cut to 32 bits.
class MonotonicClock : public Clock {
 public:
  std::uint32_t TickCount() override;
  QDateTime Now() override;
};

Clock& GetClock();
// nullptr puts the real clock back.
void SetClock(Clock* clock);

inline std::uint32_t GetTickCount() {
  return GetClock().TickCount();
}

}  // namespace platform
