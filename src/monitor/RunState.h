#pragma once

#include <cstdint>

// The one in-memory record of the current run. Plain fields, touched only on the
// user-interface thread.
struct TRunState {
  double LastMouseX = 0.0;
  double LastMouseY = 0.0;
  std::uint32_t StartTick = 0;
  std::int32_t CountdownMs = 0;
  std::int32_t WorkSeconds = 0;
  std::int32_t RestSeconds = 0;
  std::int32_t KeyCount = 0;
  std::int32_t ClickCount = 0;
  double MouseDistance = 0.0;
  std::int32_t SavedWorkSeconds = 0;
  std::int32_t SavedRestSeconds = 0;
  std::int32_t SavedKeyCount = 0;
  std::int32_t SavedClickCount = 0;
  double SavedMouseDistance = 0.0;
  bool IdlePending = false;
  std::int32_t CheckKeyCount = 0;
  std::int32_t CheckClickCount = 0;
  double CheckMouseDistance = 0.0;
  std::uint32_t IdleSinceTick = 0;
  bool IsWorking = true;
};

// The program's instance, set up with the process.
extern TRunState RunState;
