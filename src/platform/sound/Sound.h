#pragma once

#include <QString>

namespace platform {

// Plays wave files in the background, fire and forget: Play returns at once, a
// new sound replaces the one playing, and a missing file or an absent sound
// server gives silence without any report.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void Play(const QString& file) = 0;
};

SoundPlayer& GetSound();
// nullptr puts the real player back.
void SetSound(SoundPlayer* player);

}  // namespace platform
