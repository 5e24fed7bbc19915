#include "monitor/CPKeyHook.h"

#include <dlfcn.h>

#include <algorithm>
#include <climits>

#include "platform/core/Errors.h"
#include "platform/core/System.h"
#include "platform/keyboard/Keyboard.h"
#include "platform/keyboard/WinKeys.h"

TCPKeyHook* KeyHook = nullptr;

std::int32_t TCPKeyHook::repeatCount_ = 0;

namespace {

const TKeyboardHookLibrary* g_replacement = nullptr;

}  // namespace

const TKeyboardHookLibrary& KeyboardHookLibrary() {
  if (g_replacement) return *g_replacement;
  static TKeyboardHookLibrary loaded;
  if (!loaded.Start) {
    const QString path = platform::GetSystem().ExeDir() + QStringLiteral("/libkeyboardhook.so");
    if (void* lib = dlopen(path.toUtf8().constData(), RTLD_NOW | RTLD_LOCAL)) {
      TKeyboardHookLibrary found;
      found.Start = reinterpret_cast<decltype(found.Start)>(dlsym(lib, "KeyboardHook_Start"));
      found.Stop = reinterpret_cast<decltype(found.Stop)>(dlsym(lib, "KeyboardHook_Stop"));
      if (found.Start && found.Stop)
        loaded = found;  // never unloaded: its thread may outlive a component
      else
        dlclose(lib);
    }
  }
  return loaded;
}

void SetKeyboardHookLibrary(const TKeyboardHookLibrary* library) {
  g_replacement = library;
}

TCPKeyHook::TCPKeyHook(QObject* AOwner) : QObject(AOwner) {
  window_ = std::make_unique<platform::MessageWindow>(
      [this](platform::UINT msg, platform::WPARAM wp, platform::LPARAM lp) {
        return WndProc(msg, wp, lp);
      });
  repeatCount_ = 0;
  char name[10] = {};
  platform::GetKeyboard().GetKeyboardLayoutName(name);
  name[9] = 0;
  keyboardLayout_ = QString::fromLatin1(name);
}

TCPKeyHook::~TCPKeyHook() {
  try {
    const TKeyboardHookLibrary& lib = KeyboardHookLibrary();
    if (lib.Stop) lib.Stop();
  } catch (...) {
    // The window goes regardless.
  }
  window_.reset();
  if (KeyHook == this) KeyHook = nullptr;
}

bool TCPKeyHook::Start() {
  if (enabled_) return false;
  const TKeyboardHookLibrary& lib = KeyboardHookLibrary();
  if (!lib.Start || !lib.Start(WindowHandle(), userHookMsg_, disableKeyboard_)) return false;
  enabled_ = true;
  return true;
}

bool TCPKeyHook::Stop() {
  if (!enabled_) return false;
  const TKeyboardHookLibrary& lib = KeyboardHookLibrary();
  if (!lib.Stop || !lib.Stop()) return false;
  enabled_ = false;
  return true;
}

platform::LRESULT TCPKeyHook::WndProc(platform::UINT msg, platform::WPARAM wParam,
                                      platform::LPARAM lParam) {
  if (msg == userHookMsg_) {
    platform::Guard([&] { HandleHookMsg(wParam, lParam); });
    return 0;
  }
  return platform::DefWindowProc(WindowHandle(), msg, wParam, lParam);
}

void TCPKeyHook::HandleHookMsg(platform::WPARAM wParam, platform::LPARAM lParam) {
  using namespace platform::keys;
  TKeyNames names;  // all NUL
  TKeyStates states;
  const auto data = static_cast<std::uint32_t>(lParam);
  states.KeyDown = (data & kTransitionBit) == 0;
  states.WasDown = (data & kPreviousBit) != 0;
  states.AltDown = (data & kContextBit) != 0;
  states.Bit28 = (data & (1u << 28)) != 0;
  states.ExtendedKey = (data & kExtendedBit) != 0;

  platform::Keyboard& keyboard = platform::GetKeyboard();
  states.CtrlDown = keyboard.GetKeyState(VK_CONTROL) < 0;
  states.ShiftDown = keyboard.GetKeyState(VK_SHIFT) < 0;

  if (states.WasDown && states.KeyDown) {
    if (repeatCount_ < INT32_MAX) ++repeatCount_;
  } else {
    repeatCount_ = 0;
  }
  states.RepeatCount = repeatCount_;

  std::uint8_t keyState[256] = {};
  keyboard.GetKeyboardState(keyState);
  char buffer[101] = {};
  keyboard.GetKeyNameText(static_cast<std::int32_t>(data), buffer, sizeof buffer);
  buffer[100] = 0;
  std::copy(buffer, buffer + sizeof buffer, names.KeyName);
  char out[2] = {};
  if (keyboard.ToAscii(static_cast<platform::UINT>(wParam), data, keyState, out, 0) != 0)
    names.KeyChar = out[0];

  if (OnKey) OnKey(this, states, names);
}
