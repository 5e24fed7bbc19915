#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/core/MessageWindow.h"

// The latest mouse event: the library's five values and the message.
struct TMouseStates {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::uint32_t Wnd = 0;
  std::uint32_t HitTestCode = 0;
  std::uint32_t ExtraInfo = 0;
  std::uint32_t MouseMsg = 0;
};

using TMouseHookedEvent = std::function<void(QObject* Sender, TMouseStates AMouseStates)>;

// The mouse hook library's functions as the component calls them. A field is
// nullptr when the library could not be loaded.
struct TMouseHookLibrary {
  bool (*Start)(std::uintptr_t window, std::uint32_t message, bool disable) = nullptr;
  bool (*Stop)() = nullptr;
  const std::int32_t* (*GetData)() = nullptr;
};

// libmousehook.so from the executable's folder, loaded on first use (tried
// again while it is missing).
const TMouseHookLibrary& MouseHookLibrary();
// Puts another table in its place; nullptr goes back to the library.
void SetMouseHookLibrary(const TMouseHookLibrary* library);

// Brings the desktop's pointer events into the program: the library posts
// UserHookMsg to a hidden window, which decodes each message into OnMouse.
class TCPMouseHook : public QObject {
 public:
  explicit TCPMouseHook(QObject* AOwner);
  ~TCPMouseHook() override;

  platform::HWND WindowHandle() const { return window_->Handle(); }
  std::uint32_t UserHookMsg() const { return userHookMsg_; }
  void SetUserHookMsg(std::uint32_t value) { userHookMsg_ = value; }
  bool DisableMouse() const { return disableMouse_; }
  void SetDisableMouse(bool value) { disableMouse_ = value; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool) {}  // read only
  TMouseHookedEvent OnMouse;

  // True only when this call started the library hook.
  bool Start();
  // True only when this call stopped it.
  bool Stop();

 private:
  platform::LRESULT WndProc(platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam);
  void HandleHookMsg(platform::WPARAM wParam, platform::LPARAM lParam);

  std::unique_ptr<platform::MessageWindow> window_;
  std::uint32_t userHookMsg_ = 1224;
  bool disableMouse_ = false;
  bool enabled_ = false;
};

extern TCPMouseHook* MouseHook;
