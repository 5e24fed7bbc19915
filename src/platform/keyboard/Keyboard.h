#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/core/Types.h"

namespace platform {

// The keyboard as the user-interface thread sees it, in Windows terms: virtual
// keys, key state bytes (high bit: down, low bit: toggled on), key names and
// the translation of a key into a character. User-interface thread only.
class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // Negative (high bit set) while the key is down; bit 0 set while a lock key
  // is toggled on.
  virtual std::int16_t GetKeyState(int vk) = 0;
  // Fills all 256 bytes; false when no state can be read.
  virtual bool GetKeyboardState(std::uint8_t keyState[256]) = 0;
  // The name of the key in bits 16 to 25 of keyData (scan code, extended key,
  // "don't care" about left and right), NUL-terminated and cut to size - 1
  // bytes. Gives the length, 0 when the key has no name.
  virtual int GetKeyNameText(std::int32_t keyData, char* buffer, int size) = 0;
  // Translates a key with the given key state: 1 or 2 characters written to
  // out, 0 for none, negative for a dead key (its accent in out[0]). Bit 31 of
  // scanCode marks a key going up, which makes nothing. Characters outside
  // ASCII do not fit one byte of UTF-8 and make none.
  virtual int ToAscii(UINT vk, UINT scanCode, const std::uint8_t keyState[256], char out[2],
                      UINT flags) = 0;
  // The active layout as eight hexadecimal digits ("00000409"), NUL-terminated;
  // buffer holds at least 9 bytes.
  virtual bool GetKeyboardLayoutName(char* buffer) = 0;
};

Keyboard& GetKeyboard();
// nullptr puts the real keyboard back.
void SetKeyboard(Keyboard* keyboard);

// The rule names an XKB keymap is compiled from.
struct XkbNames {
  std::string rules, model, layout, variant, options;
};

// The keyboard over XKB. The keymap is compiled from the X server's rule names
// and the key state follows the server's XKB state events on a connection of
// its own, read on the user-interface thread when they arrive (no round trip
// per question). Without a display it works with a keymap from the names given
// (libxkbcommon's defaults for empty names) and reports every key up.
class LinuxKeyboard : public Keyboard {
 public:
  LinuxKeyboard();                                // connects to $DISPLAY if it can
  explicit LinuxKeyboard(const XkbNames& names);  // never connects
  ~LinuxKeyboard() override;
  LinuxKeyboard(const LinuxKeyboard&) = delete;
  LinuxKeyboard& operator=(const LinuxKeyboard&) = delete;

  std::int16_t GetKeyState(int vk) override;
  bool GetKeyboardState(std::uint8_t keyState[256]) override;
  int GetKeyNameText(std::int32_t keyData, char* buffer, int size) override;
  int ToAscii(UINT vk, UINT scanCode, const std::uint8_t keyState[256], char out[2],
              UINT flags) override;
  bool GetKeyboardLayoutName(char* buffer) override;

  bool Connected() const;
  // Sets the modifier state as XKB reports it (tests and the event reader):
  // depressed or latched modifiers, locked modifiers, effective group.
  void SetXkbState(unsigned mods, unsigned locked, unsigned group);

  // The layout identifier of an XKB layout and variant, "00000409" when unknown.
  static std::string LayoutId(const std::string& layout, const std::string& variant);

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

// A keyboard a test sets up by hand; it records what it was asked.
class FakeKeyboard : public Keyboard {
 public:
  std::uint8_t state[256] = {};
  std::string layout = "00000409";
  // Names by bits 16 to 24 of the key data (scan code and extended key).
  std::map<std::uint32_t, std::string> names;
  // Results of ToAscii by virtual key: the characters, and the count returned
  // (defaults to the size of the text).
  std::map<UINT, std::string> chars;
  std::map<UINT, int> results;
  int keyStateCalls = 0;
  int keyboardStateCalls = 0;
  int nameCalls = 0;
  int toAsciiCalls = 0;
  std::int32_t lastNameData = 0;
  UINT lastScanCode = 0;
  UINT lastFlags = 0;

  std::int16_t GetKeyState(int vk) override;
  bool GetKeyboardState(std::uint8_t keyState[256]) override;
  int GetKeyNameText(std::int32_t keyData, char* buffer, int size) override;
  int ToAscii(UINT vk, UINT scanCode, const std::uint8_t keyState[256], char out[2],
              UINT flags) override;
  bool GetKeyboardLayoutName(char* buffer) override;
};

}  // namespace platform
