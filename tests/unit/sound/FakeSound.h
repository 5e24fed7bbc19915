#pragma once

#include <QStringList>

#include "platform/sound/Sound.h"

namespace fakes {

// Records the files it is asked to play; installed for its own lifetime.
class FakeSound : public platform::SoundPlayer {
 public:
  QStringList played;
  FakeSound() { platform::SetSound(this); }
  ~FakeSound() override { platform::SetSound(nullptr); }
  void Play(const QString& file) override { played << file; }
};

}  // namespace fakes
