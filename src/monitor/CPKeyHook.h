#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/core/MessageWindow.h"

// What a key event says about the key and the modifiers.
struct TKeyStates {
  bool KeyDown = false;
  bool ShiftDown = false;
  bool AltDown = false;
  bool CtrlDown = false;
  bool ExtendedKey = false;
  bool Bit28 = false;
  bool WasDown = false;
  std::int32_t RepeatCount = 0;
};

struct TKeyNames {
  char KeyChar = 0;
  char KeyName[101] = {};
};

using TKeyHookedEvent =
    std::function<void(QObject* Sender, TKeyStates AKeyStates, TKeyNames AKeyNames)>;

// The keyboard hook library's functions as the component calls them. A field
// is nullptr when the library could not be loaded.
struct TKeyboardHookLibrary {
  bool (*Start)(std::uintptr_t window, std::uint32_t message, bool disable) = nullptr;
  bool (*Stop)() = nullptr;
};

// libkeyboardhook.so from the executable's folder, loaded on first use (tried
// again while it is missing).
const TKeyboardHookLibrary& KeyboardHookLibrary();
// Puts another table in its place; nullptr goes back to the library.
void SetKeyboardHookLibrary(const TKeyboardHookLibrary* library);

// Brings the desktop's key events into the program: the library posts
// UserHookMsg to a hidden window, which decodes each message into OnKey.
class TCPKeyHook : public QObject {
 public:
  explicit TCPKeyHook(QObject* AOwner);
  ~TCPKeyHook() override;

  platform::HWND WindowHandle() const { return window_->Handle(); }
  std::uint32_t UserHookMsg() const { return userHookMsg_; }
  void SetUserHookMsg(std::uint32_t value) { userHookMsg_ = value; }
  bool DisableKeyboard() const { return disableKeyboard_; }
  void SetDisableKeyboard(bool value) { disableKeyboard_ = value; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool) {}  // read only
  QString KeyboardLayout() const { return keyboardLayout_; }
  void SetKeyboardLayout(const QString&) {}  // read only
  TKeyHookedEvent OnKey;

  // True only when this call started the library hook.
  bool Start();
  // True only when this call stopped it.
  bool Stop();

 private:
  platform::LRESULT WndProc(platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam);
  void HandleHookMsg(platform::WPARAM wParam, platform::LPARAM lParam);

  // One repeat counter for all key components.
  static std::int32_t repeatCount_;

  std::unique_ptr<platform::MessageWindow> window_;
  std::uint32_t userHookMsg_ = 1124;
  bool disableKeyboard_ = false;
  bool enabled_ = false;
  QString keyboardLayout_;
};

extern TCPKeyHook* KeyHook;
