#pragma once

#include <QStringList>
#include <functional>

#include "platform/sound/Sound.h"

namespace fakes {

// Records the files it is asked to play; installed for its own lifetime.
class FakeSound : public platform::SoundPlayer {
 public:
  QStringList played;
  std::function<void(const QString&)> onPlay;  // lets a test log the call in order
  FakeSound() { platform::SetSound(this); }
  ~FakeSound() override { platform::SetSound(nullptr); }
  void Play(const QString& file) override {
    played << file;
    if (onPlay) onPlay(file);
  }
};

}  // namespace fakes
