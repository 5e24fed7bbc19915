// libmousehook.so: posts a message to a window for every pointer event on the
// X desktop and keeps the data block of the latest one.
#include <X11/Xlib.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "MouseEncoder.h"
#include "Recorder.h"

namespace {

using talvenor_hooks::DeviceEvent;
using talvenor_hooks::MouseData;
using talvenor_hooks::MouseEncoder;
using talvenor_hooks::PostFunction;
using talvenor_hooks::Recorder;

MouseData g_data;

class MouseClient : public Recorder::Client {
 public:
  std::atomic<std::uintptr_t> window{0};
  std::atomic<std::uint32_t> message{0};
  std::atomic<bool> disabled{false};
  PostFunction post = nullptr;
  MouseEncoder encoder{g_data, &MouseClient::Post, this};

  static void Post(void* self, std::uint32_t msg) {
    auto* c = static_cast<MouseClient*>(self);
    if (c->disabled.load(std::memory_order_relaxed)) return;
    c->post(c->window.load(std::memory_order_relaxed), c->message.load(std::memory_order_relaxed),
            msg, 0);
  }

  talvenor_hooks::GatherPolicy gather;

  void OnEvent(const DeviceEvent& e) override {
    // The window the event names: the child under the pointer, else the event
    // window, else the root.
    const std::uint32_t w = e.child ? e.child : (e.event ? e.event : e.root);
    if (e.type == MotionNotify) {
      gather.Move(e.time);
      encoder.Motion(e.rootX, e.rootY, w);
    } else if (e.type == ButtonPress || e.type == ButtonRelease)
      encoder.Button(e.detail, e.type == ButtonPress, e.rootX, e.rootY, w);
  }

  const char* ThreadName() const override { return "mousehook"; }

  int AfterBatch(bool gathered) override {
    encoder.EndBatch();
    return gather.AfterBatch(gathered);
  }
};

std::mutex g_lock;  // Start and Stop
MouseClient g_client;
Recorder g_recorder;

}  // namespace

// Starts posting message to window for every pointer event, with the Windows
// mouse message as first parameter. With disable set the hook runs but posts
// nothing. A running hook takes the new window, message and flag. False with
// no X display, no RECORD extension, or when the program has no posting function.
extern "C" __attribute__((visibility("default"))) bool MouseHook_Start(std::uintptr_t window,
                                                                       std::uint32_t message,
                                                                       bool disable) {
  std::lock_guard<std::mutex> lock(g_lock);
  g_client.window = window;
  g_client.message = message;
  g_client.disabled = disable;
  if (g_recorder.Running() && !g_recorder.Broken()) return true;
  g_recorder.Stop();
  g_client.post = talvenor_hooks::FindPostFunction();
  if (!g_client.post) return false;
  return g_recorder.Start(ButtonPress, MotionNotify, &g_client, nullptr);
}

// Ends posting. Harmless when nothing runs; false then.
extern "C" __attribute__((visibility("default"))) bool MouseHook_Stop() {
  std::lock_guard<std::mutex> lock(g_lock);
  return g_recorder.Stop();
}

// The five values of the latest pointer event, copied out under the block's
// lock into a buffer of the reader's, so the recording thread never writes what
// is being read. The program reads from its one user-interface thread.
extern "C" __attribute__((visibility("default"))) const std::int32_t* MouseHook_GetData() {
  static std::int32_t copy[5];
  g_data.CopyTo(copy);
  return copy;
}
