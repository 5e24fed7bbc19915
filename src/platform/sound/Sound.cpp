#include "platform/sound/Sound.h"

#include "platform/sound/CanberraSound.h"

namespace platform {
namespace {

SoundPlayer* g_current = nullptr;
CanberraSoundPlayer* g_real = nullptr;  // lives to the end of the process

}  // namespace

SoundPlayer& GetSound() {
  if (g_current) return *g_current;
  if (!g_real) g_real = new CanberraSoundPlayer;
  return *g_real;
}

void SetSound(SoundPlayer* player) {
  g_current = player;
}

}  // namespace platform
