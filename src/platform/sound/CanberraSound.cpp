#include "platform/sound/CanberraSound.h"

#include <canberra.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace platform {

struct CanberraSoundPlayer::Shared {
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable changed;
  std::optional<std::string> pending;
  bool busy = false;
  bool stop = false;
  bool finished = false;
  bool started = false;
  int played = 0;
  int lastResult = 0;
};

namespace {

// All sounds share one id, so cancelling it stops whatever plays.
constexpr std::uint32_t kSoundId = 1;

ca_context* OpenContext() {
  ca_context* ctx = nullptr;
  if (ca_context_create(&ctx) != CA_SUCCESS) return nullptr;
  if (ca_context_set_driver(ctx, "pulse") != CA_SUCCESS ||
      ca_context_change_props(ctx, CA_PROP_APPLICATION_NAME, "Talvenor", CA_PROP_APPLICATION_ID,
                              "talvenor", nullptr) != CA_SUCCESS ||
      ca_context_open(ctx) != CA_SUCCESS) {
    ca_context_destroy(ctx);
    return nullptr;
  }
  return ctx;
}

void Worker(std::shared_ptr<CanberraSoundPlayer::Shared> s) {
  ca_context* ctx = nullptr;
  for (;;) {
    std::string file;
    {
      std::unique_lock lock(s->mutex);
      s->busy = false;
      s->changed.notify_all();
      s->wake.wait(lock, [&] { return s->stop || s->pending.has_value(); });
      if (s->stop) break;
      file = std::move(*s->pending);
      s->pending.reset();
      s->busy = true;
    }
    // A context that lost its server is made anew, so a server started later
    // is found.
    if (!ctx) ctx = OpenContext();
    int result = CA_ERROR_NOTAVAILABLE;
    if (ctx) {
      ca_context_cancel(ctx, kSoundId);
      result = ca_context_play(ctx, kSoundId, CA_PROP_MEDIA_FILENAME, file.c_str(),
                               CA_PROP_EVENT_DESCRIPTION, "Talvenor reminder",
                               CA_PROP_CANBERRA_CACHE_CONTROL, "never", nullptr);
      if (result == CA_ERROR_DISCONNECTED || result == CA_ERROR_STATE ||
          result == CA_ERROR_FORKED) {
        ca_context_destroy(ctx);
        ctx = nullptr;
      }
    }
    std::lock_guard lock(s->mutex);
    ++s->played;
    s->lastResult = result;
  }
  if (ctx) ca_context_destroy(ctx);
  std::lock_guard lock(s->mutex);
  s->finished = true;
  s->changed.notify_all();
}

}  // namespace

CanberraSoundPlayer::CanberraSoundPlayer() : shared_(std::make_shared<Shared>()) {}

CanberraSoundPlayer::~CanberraSoundPlayer() {
  std::unique_lock lock(shared_->mutex);
  if (!shared_->started) return;
  shared_->stop = true;
  shared_->wake.notify_all();
  // The worker owns its share of the state, so it may outlive the player.
  shared_->changed.wait_for(lock, std::chrono::seconds(1), [&] { return shared_->finished; });
}

void CanberraSoundPlayer::Play(const QString& file) {
  std::lock_guard lock(shared_->mutex);
  if (!shared_->started) {
    std::thread(Worker, shared_).detach();
    shared_->started = true;
  }
  shared_->pending = file.toStdString();
  shared_->wake.notify_one();
}

bool CanberraSoundPlayer::WaitIdle(std::chrono::milliseconds limit) {
  std::unique_lock lock(shared_->mutex);
  return shared_->changed.wait_for(lock, limit, [&] {
    return !shared_->started || (!shared_->busy && !shared_->pending.has_value());
  });
}

int CanberraSoundPlayer::PlayedCount() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->played;
}

int CanberraSoundPlayer::LastResult() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->lastResult;
}

}  // namespace platform
