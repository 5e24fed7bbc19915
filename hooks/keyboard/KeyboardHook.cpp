// libkeyboardhook.so: posts a message to a window for every key press and
// release on the X desktop.
#include <X11/Xlib.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "KeyEncoder.h"
#include "Recorder.h"

namespace {

using talvenor_hooks::DeviceEvent;
using talvenor_hooks::KeyEncoder;
using talvenor_hooks::PostFunction;
using talvenor_hooks::Recorder;

class KeyboardClient : public Recorder::Client {
 public:
  std::atomic<std::uintptr_t> window{0};
  std::atomic<std::uint32_t> message{0};
  std::atomic<bool> disabled{false};
  PostFunction post = nullptr;
  KeyEncoder encoder;  // recorder thread only, once started

  const char* ThreadName() const override { return "keyboardhook"; }

  void OnEvent(const DeviceEvent& e) override {
    if (e.type != KeyPress && e.type != KeyRelease) return;
    const KeyEncoder::Keystroke k = encoder.Encode(e.type == KeyPress, e.detail, e.state);
    if (disabled.load(std::memory_order_relaxed)) return;
    post(window.load(std::memory_order_relaxed), message.load(std::memory_order_relaxed), k.vk,
         static_cast<std::intptr_t>(static_cast<std::int32_t>(k.data)));
  }
};

std::mutex g_lock;  // Start and Stop
KeyboardClient g_client;
Recorder g_recorder;

// Reads the layout and the keys that are down, before recording begins.
bool ReadKeyboard(Display* dpy) {
  int minKey = 0, maxKey = 0;
  XDisplayKeycodes(dpy, &minKey, &maxKey);
  std::uint32_t syms[256] = {};
  int perKey = 0;
  KeySym* map =
      XGetKeyboardMapping(dpy, static_cast<KeyCode>(minKey), maxKey - minKey + 1, &perKey);
  if (map) {
    for (int k = minKey; k <= maxKey && k < 256; ++k)
      syms[k] = static_cast<std::uint32_t>(map[(k - minKey) * perKey]);
    XFree(map);
  }
  g_client.encoder.SetLayout(syms);

  unsigned numLock = 0;
  if (XModifierKeymap* mods = XGetModifierMapping(dpy)) {
    const KeyCode numKey = XKeysymToKeycode(dpy, 0xff7f /* Num_Lock */);
    for (int m = 0; m < 8 && numKey; ++m)
      for (int i = 0; i < mods->max_keypermod; ++i)
        if (mods->modifiermap[m * mods->max_keypermod + i] == numKey) numLock |= 1u << m;
    XFreeModifiermap(mods);
  }
  if (numLock) g_client.encoder.SetNumLockMask(numLock);

  char keys[32] = {};
  XQueryKeymap(dpy, keys);
  g_client.encoder.SetKeysDown(keys);
  return true;
}

}  // namespace

// Starts posting message to window for every key event. With disable set the
// hook runs but posts nothing. A running hook takes the new window, message
// and flag. False with no X display, no RECORD extension, or when the program
// has no posting function.
extern "C" __attribute__((visibility("default"))) bool KeyboardHook_Start(std::uintptr_t window,
                                                                          std::uint32_t message,
                                                                          bool disable) {
  std::lock_guard<std::mutex> lock(g_lock);
  g_client.window = window;
  g_client.message = message;
  g_client.disabled = disable;
  if (g_recorder.Running() && !g_recorder.Broken()) return true;
  g_recorder.Stop();  // a hook whose server went away
  g_client.post = talvenor_hooks::FindPostFunction();
  if (!g_client.post) return false;
  return g_recorder.Start(KeyPress, KeyRelease, &g_client, ReadKeyboard);
}

// Ends posting. Harmless when nothing runs; false then.
extern "C" __attribute__((visibility("default"))) bool KeyboardHook_Stop() {
  std::lock_guard<std::mutex> lock(g_lock);
  return g_recorder.Stop();
}
