#pragma once

#include <array>
#include <cstdint>

// Windows key codes on a Linux keyboard: virtual-key codes, set-1 scan codes
// with the extended-key flag, and their link to evdev key codes (an X key code
// is the evdev code plus 8). Header only and free of Qt and X, so the hook
// libraries share the same table.
namespace platform::keys {

enum : std::uint8_t {
  VK_NONE = 0x00,
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_CLEAR = 0x0C,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,
  VK_PAUSE = 0x13,
  VK_CAPITAL = 0x14,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_SNAPSHOT = 0x2C,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E,
  VK_LWIN = 0x5B,
  VK_RWIN = 0x5C,
  VK_APPS = 0x5D,
  VK_NUMPAD0 = 0x60,
  VK_MULTIPLY = 0x6A,
  VK_ADD = 0x6B,
  VK_SEPARATOR = 0x6C,
  VK_SUBTRACT = 0x6D,
  VK_DECIMAL = 0x6E,
  VK_DIVIDE = 0x6F,
  VK_F1 = 0x70,
  VK_F13 = 0x7C,
  VK_F24 = 0x87,
  VK_NUMLOCK = 0x90,
  VK_SCROLL = 0x91,
  VK_LSHIFT = 0xA0,
  VK_RSHIFT = 0xA1,
  VK_LCONTROL = 0xA2,
  VK_RCONTROL = 0xA3,
  VK_LMENU = 0xA4,
  VK_RMENU = 0xA5,
  VK_VOLUME_MUTE = 0xAD,
  VK_VOLUME_DOWN = 0xAE,
  VK_VOLUME_UP = 0xAF,
  VK_MEDIA_NEXT_TRACK = 0xB0,
  VK_MEDIA_PREV_TRACK = 0xB1,
  VK_MEDIA_STOP = 0xB2,
  VK_MEDIA_PLAY_PAUSE = 0xB3,
  VK_OEM_1 = 0xBA,  // ;:
  VK_OEM_PLUS = 0xBB,
  VK_OEM_COMMA = 0xBC,
  VK_OEM_MINUS = 0xBD,
  VK_OEM_PERIOD = 0xBE,
  VK_OEM_2 = 0xBF,  // /?
  VK_OEM_3 = 0xC0,  // `~
  VK_OEM_4 = 0xDB,  // [{
  VK_OEM_5 = 0xDC,  // \|
  VK_OEM_6 = 0xDD,  // ]}
  VK_OEM_7 = 0xDE,  // '"
  VK_OEM_102 = 0xE2,
  VK_UNKNOWN = 0xFF,  // a key that has no virtual-key code
};

// Bits of the 32-bit key data of a keystroke message.
constexpr std::uint32_t kRepeatMask = 0x0000FFFFu;
constexpr int kScanShift = 16;
constexpr std::uint32_t kExtendedBit = 1u << 24;
constexpr std::uint32_t kDontCareBit = 1u << 25;    // key names: no left/right
constexpr std::uint32_t kContextBit = 1u << 29;     // Alt is down
constexpr std::uint32_t kPreviousBit = 1u << 30;    // the key was already down
constexpr std::uint32_t kTransitionBit = 1u << 31;  // the key is going up

struct KeyPosition {
  std::uint8_t scan = 0;  // set-1 make code, 0 when the key has none
  bool extended = false;
  std::uint8_t vk = VK_NONE;            // as on a US keyboard
  std::uint8_t vkNumLockOff = VK_NONE;  // keypad keys: the code without Num Lock
};

namespace detail {

struct Entry {
  std::uint8_t evdev;
  std::uint8_t scan;
  bool extended;
  std::uint8_t vk;
  std::uint8_t vkNumLockOff;
};

// evdev codes 1..83 equal their set-1 scan codes; the rest are listed by hand.
constexpr Entry kEntries[] = {
    {1, 0x01, false, VK_ESCAPE, 0},
    {2, 0x02, false, '1', 0},
    {3, 0x03, false, '2', 0},
    {4, 0x04, false, '3', 0},
    {5, 0x05, false, '4', 0},
    {6, 0x06, false, '5', 0},
    {7, 0x07, false, '6', 0},
    {8, 0x08, false, '7', 0},
    {9, 0x09, false, '8', 0},
    {10, 0x0A, false, '9', 0},
    {11, 0x0B, false, '0', 0},
    {12, 0x0C, false, VK_OEM_MINUS, 0},
    {13, 0x0D, false, VK_OEM_PLUS, 0},
    {14, 0x0E, false, VK_BACK, 0},
    {15, 0x0F, false, VK_TAB, 0},
    {16, 0x10, false, 'Q', 0},
    {17, 0x11, false, 'W', 0},
    {18, 0x12, false, 'E', 0},
    {19, 0x13, false, 'R', 0},
    {20, 0x14, false, 'T', 0},
    {21, 0x15, false, 'Y', 0},
    {22, 0x16, false, 'U', 0},
    {23, 0x17, false, 'I', 0},
    {24, 0x18, false, 'O', 0},
    {25, 0x19, false, 'P', 0},
    {26, 0x1A, false, VK_OEM_4, 0},
    {27, 0x1B, false, VK_OEM_6, 0},
    {28, 0x1C, false, VK_RETURN, 0},
    {29, 0x1D, false, VK_CONTROL, 0},
    {30, 0x1E, false, 'A', 0},
    {31, 0x1F, false, 'S', 0},
    {32, 0x20, false, 'D', 0},
    {33, 0x21, false, 'F', 0},
    {34, 0x22, false, 'G', 0},
    {35, 0x23, false, 'H', 0},
    {36, 0x24, false, 'J', 0},
    {37, 0x25, false, 'K', 0},
    {38, 0x26, false, 'L', 0},
    {39, 0x27, false, VK_OEM_1, 0},
    {40, 0x28, false, VK_OEM_7, 0},
    {41, 0x29, false, VK_OEM_3, 0},
    {42, 0x2A, false, VK_SHIFT, 0},
    {43, 0x2B, false, VK_OEM_5, 0},
    {44, 0x2C, false, 'Z', 0},
    {45, 0x2D, false, 'X', 0},
    {46, 0x2E, false, 'C', 0},
    {47, 0x2F, false, 'V', 0},
    {48, 0x30, false, 'B', 0},
    {49, 0x31, false, 'N', 0},
    {50, 0x32, false, 'M', 0},
    {51, 0x33, false, VK_OEM_COMMA, 0},
    {52, 0x34, false, VK_OEM_PERIOD, 0},
    {53, 0x35, false, VK_OEM_2, 0},
    {54, 0x36, false, VK_SHIFT, 0},
    {55, 0x37, false, VK_MULTIPLY, 0},
    {56, 0x38, false, VK_MENU, 0},
    {57, 0x39, false, VK_SPACE, 0},
    {58, 0x3A, false, VK_CAPITAL, 0},
    {59, 0x3B, false, VK_F1 + 0, 0},
    {60, 0x3C, false, VK_F1 + 1, 0},
    {61, 0x3D, false, VK_F1 + 2, 0},
    {62, 0x3E, false, VK_F1 + 3, 0},
    {63, 0x3F, false, VK_F1 + 4, 0},
    {64, 0x40, false, VK_F1 + 5, 0},
    {65, 0x41, false, VK_F1 + 6, 0},
    {66, 0x42, false, VK_F1 + 7, 0},
    {67, 0x43, false, VK_F1 + 8, 0},
    {68, 0x44, false, VK_F1 + 9, 0},
    {69, 0x45, true, VK_NUMLOCK, 0},  // Num Lock is the extended 0x45
    {70, 0x46, false, VK_SCROLL, 0},
    {71, 0x47, false, VK_NUMPAD0 + 7, VK_HOME},
    {72, 0x48, false, VK_NUMPAD0 + 8, VK_UP},
    {73, 0x49, false, VK_NUMPAD0 + 9, VK_PRIOR},
    {74, 0x4A, false, VK_SUBTRACT, 0},
    {75, 0x4B, false, VK_NUMPAD0 + 4, VK_LEFT},
    {76, 0x4C, false, VK_NUMPAD0 + 5, VK_CLEAR},
    {77, 0x4D, false, VK_NUMPAD0 + 6, VK_RIGHT},
    {78, 0x4E, false, VK_ADD, 0},
    {79, 0x4F, false, VK_NUMPAD0 + 1, VK_END},
    {80, 0x50, false, VK_NUMPAD0 + 2, VK_DOWN},
    {81, 0x51, false, VK_NUMPAD0 + 3, VK_NEXT},
    {82, 0x52, false, VK_NUMPAD0 + 0, VK_INSERT},
    {83, 0x53, false, VK_DECIMAL, VK_DELETE},
    {86, 0x56, false, VK_OEM_102, 0},
    {87, 0x57, false, VK_F1 + 10, 0},
    {88, 0x58, false, VK_F1 + 11, 0},
    {96, 0x1C, true, VK_RETURN, 0},  // keypad Enter
    {97, 0x1D, true, VK_CONTROL, 0},
    {98, 0x35, true, VK_DIVIDE, 0},
    {99, 0x37, true, VK_SNAPSHOT, 0},
    {100, 0x38, true, VK_MENU, 0},
    {102, 0x47, true, VK_HOME, 0},
    {103, 0x48, true, VK_UP, 0},
    {104, 0x49, true, VK_PRIOR, 0},
    {105, 0x4B, true, VK_LEFT, 0},
    {106, 0x4D, true, VK_RIGHT, 0},
    {107, 0x4F, true, VK_END, 0},
    {108, 0x50, true, VK_DOWN, 0},
    {109, 0x51, true, VK_NEXT, 0},
    {110, 0x52, true, VK_INSERT, 0},
    {111, 0x53, true, VK_DELETE, 0},
    {113, 0x20, true, VK_VOLUME_MUTE, 0},
    {114, 0x2E, true, VK_VOLUME_DOWN, 0},
    {115, 0x30, true, VK_VOLUME_UP, 0},
    {119, 0x45, false, VK_PAUSE, 0},  // Pause is the plain 0x45
    {125, 0x5B, true, VK_LWIN, 0},
    {126, 0x5C, true, VK_RWIN, 0},
    {127, 0x5D, true, VK_APPS, 0},
    {163, 0x19, true, VK_MEDIA_NEXT_TRACK, 0},
    {164, 0x22, true, VK_MEDIA_PLAY_PAUSE, 0},
    {165, 0x10, true, VK_MEDIA_PREV_TRACK, 0},
    {166, 0x24, true, VK_MEDIA_STOP, 0},
    {183, 0x64, false, VK_F13 + 0, 0},
    {184, 0x65, false, VK_F13 + 1, 0},
    {185, 0x66, false, VK_F13 + 2, 0},
    {186, 0x67, false, VK_F13 + 3, 0},
    {187, 0x68, false, VK_F13 + 4, 0},
    {188, 0x69, false, VK_F13 + 5, 0},
    {189, 0x6A, false, VK_F13 + 6, 0},
    {190, 0x6B, false, VK_F13 + 7, 0},
    {191, 0x6C, false, VK_F13 + 8, 0},
    {192, 0x6D, false, VK_F13 + 9, 0},
    {193, 0x6E, false, VK_F13 + 10, 0},
    {194, 0x76, false, VK_F24, 0},
};

constexpr std::array<KeyPosition, 256> MakeByEvdev() {
  std::array<KeyPosition, 256> t{};
  for (const Entry& e : kEntries)
    t[e.evdev] = KeyPosition{e.scan, e.extended, e.vk, e.vkNumLockOff};
  return t;
}

// Index: scan code, plus 256 for extended keys.
constexpr std::array<std::uint8_t, 512> MakeByScan() {
  std::array<std::uint8_t, 512> t{};
  for (const Entry& e : kEntries) t[e.scan + (e.extended ? 256 : 0)] = e.evdev;
  return t;
}

inline constexpr std::array<KeyPosition, 256> kByEvdev = MakeByEvdev();
inline constexpr std::array<std::uint8_t, 512> kByScan = MakeByScan();

}  // namespace detail

// The position of an X key code; all zero for a key outside the table.
constexpr KeyPosition PositionOfKeycode(unsigned keycode) {
  if (keycode < 8 || keycode > 255) return KeyPosition{};
  return detail::kByEvdev[keycode - 8];
}

// The X key code of a scan code, 0 when none.
constexpr unsigned KeycodeOfScan(unsigned scan, bool extended) {
  if (scan > 255) return 0;
  const std::uint8_t evdev = detail::kByScan[scan + (extended ? 256 : 0)];
  return evdev ? evdev + 8u : 0u;
}

// The X key code of a virtual-key code as placed on a US keyboard, 0 when none.
// Generic Shift, Ctrl and Alt give the left-hand key.
constexpr unsigned KeycodeOfVk(unsigned vk) {
  if (vk == VK_NONE || vk > 0xFE) return 0;
  for (const detail::Entry& e : detail::kEntries)
    if (e.vk == vk) return e.evdev + 8u;
  switch (vk) {
    case VK_LSHIFT:
      return 42 + 8;
    case VK_RSHIFT:
      return 54 + 8;
    case VK_LCONTROL:
      return 29 + 8;
    case VK_RCONTROL:
      return 97 + 8;
    case VK_LMENU:
      return 56 + 8;
    case VK_RMENU:
      return 100 + 8;
    default:
      return 0;
  }
}

}  // namespace platform::keys
