#include "monitor/CPMouseHook.h"

#include <dlfcn.h>

#include "platform/core/Errors.h"
#include "platform/core/System.h"

TCPMouseHook* MouseHook = nullptr;

namespace {

const TMouseHookLibrary* g_replacement = nullptr;

}  // namespace

const TMouseHookLibrary& MouseHookLibrary() {
  if (g_replacement) return *g_replacement;
  static TMouseHookLibrary loaded;
  if (!loaded.Start) {
    const QString path = platform::GetSystem().ExeDir() + QStringLiteral("/libmousehook.so");
    if (void* lib = dlopen(path.toUtf8().constData(), RTLD_NOW | RTLD_LOCAL)) {
      TMouseHookLibrary found;
      found.Start = reinterpret_cast<decltype(found.Start)>(dlsym(lib, "MouseHook_Start"));
      found.Stop = reinterpret_cast<decltype(found.Stop)>(dlsym(lib, "MouseHook_Stop"));
      found.GetData = reinterpret_cast<decltype(found.GetData)>(dlsym(lib, "MouseHook_GetData"));
      if (found.Start && found.Stop && found.GetData)
        loaded = found;  // never unloaded: its thread may outlive a component
      else
        dlclose(lib);
    }
  }
  return loaded;
}

void SetMouseHookLibrary(const TMouseHookLibrary* library) {
  g_replacement = library;
}

TCPMouseHook::TCPMouseHook(QObject* AOwner) : QObject(AOwner) {
  window_ = std::make_unique<platform::MessageWindow>(
      [this](platform::UINT msg, platform::WPARAM wp, platform::LPARAM lp) {
        return WndProc(msg, wp, lp);
      });
}

TCPMouseHook::~TCPMouseHook() {
  try {
    const TMouseHookLibrary& lib = MouseHookLibrary();
    if (lib.Stop) lib.Stop();
  } catch (...) {
    // The window goes regardless.
  }
  window_.reset();
  if (MouseHook == this) MouseHook = nullptr;
}

bool TCPMouseHook::Start() {
  if (enabled_) return false;
  const TMouseHookLibrary& lib = MouseHookLibrary();
  if (!lib.Start || !lib.Start(WindowHandle(), userHookMsg_, disableMouse_)) return false;
  enabled_ = true;
  return true;
}

bool TCPMouseHook::Stop() {
  if (!enabled_) return false;
  const TMouseHookLibrary& lib = MouseHookLibrary();
  if (!lib.Stop || !lib.Stop()) return false;
  enabled_ = false;
  return true;
}

platform::LRESULT TCPMouseHook::WndProc(platform::UINT msg, platform::WPARAM wParam,
                                        platform::LPARAM lParam) {
  if (msg == userHookMsg_) {
    platform::Guard([&] { HandleHookMsg(wParam, lParam); });
    return 0;
  }
  return platform::DefWindowProc(WindowHandle(), msg, wParam, lParam);
}

void TCPMouseHook::HandleHookMsg(platform::WPARAM wParam, platform::LPARAM) {
  const TMouseHookLibrary& lib = MouseHookLibrary();
  // Without a library nothing posts the message but a stranger: no block to read.
  const std::int32_t* block = lib.GetData ? lib.GetData() : nullptr;
  if (!block) return;
  TMouseStates states;
  states.X = block[0];
  states.Y = block[1];
  states.Wnd = static_cast<std::uint32_t>(block[2]);
  states.HitTestCode = static_cast<std::uint32_t>(block[3]);
  states.ExtraInfo = static_cast<std::uint32_t>(block[4]);
  states.MouseMsg = static_cast<std::uint32_t>(wParam);
  if (OnMouse) OnMouse(this, states);
}
