#pragma once

#include <chrono>
#include <memory>

#include "platform/sound/Sound.h"

namespace platform {

// libcanberra on its pulse backend, driven by a worker thread of its own: a
// sound server that accepts the connection and then stops answering can hold
// the worker for a long time, never the caller. While the worker is busy only the
// latest request waits; older ones are dropped, as a new sound replaces the old.
class CanberraSoundPlayer : public SoundPlayer {
 public:
  CanberraSoundPlayer();
  // Waits briefly for the worker; one stuck on the server is left to finish alone.
  ~CanberraSoundPlayer() override;
  void Play(const QString& file) override;

  // For tests: waits until the worker has handled every request; false on timeout.
  bool WaitIdle(std::chrono::milliseconds limit);
  // For tests: requests handed to libcanberra so far, and the result of the last
  // one (0 on success, a libcanberra error code otherwise).
  int PlayedCount() const;
  int LastResult() const;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace platform
