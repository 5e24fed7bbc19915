#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/keyboard/Keyboard.h"
#include "platform/keyboard/WinKeys.h"

using namespace platform;
using namespace platform::keys;

namespace {

LinuxKeyboard Layout(const char* layout, const char* variant = "") {
  return LinuxKeyboard(XkbNames{"evdev", "pc105", layout, variant, ""});
}

std::string Name(Keyboard& k, std::uint32_t data, int size = 101) {
  std::vector<char> buf(static_cast<std::size_t>(size) + 8, 'X');
  const int n = k.GetKeyNameText(static_cast<std::int32_t>(data), buf.data(), size);
  EXPECT_EQ(static_cast<std::size_t>(n), std::strlen(buf.data())) << std::hex << data;
  return std::string(buf.data());
}

// Result and characters of a key press with the given key state.
struct Typed {
  int result;
  std::string chars;
};
Typed Type(Keyboard& k, unsigned vk, std::uint32_t data, const std::uint8_t* state) {
  char out[2] = {'X', 'X'};
  const int r = k.ToAscii(vk, data, state, out, 0);
  const int n = r < 0 ? 1 : r;
  return Typed{r, std::string(out, static_cast<std::size_t>(n > 2 ? 2 : n))};
}

constexpr std::uint32_t Data(unsigned scan, bool extended = false, bool up = false) {
  return 1u | (scan << 16) | (extended ? kExtendedBit : 0) |
         (up ? kTransitionBit | kPreviousBit : 0);
}

}  // namespace

// ---- key names ----

TEST(KeyNames, AsAWindowsUserKnowsThem) {
  LinuxKeyboard us = Layout("us");
  const struct {
    std::uint32_t data;
    const char* name;
  } cases[] = {
      {Data(0x1E), "A"},
      {Data(0x02), "1"},
      {Data(0x0C), "-"},
      {Data(0x29), "`"},
      {Data(0x2B), "\\"},
      {Data(0x01), "Esc"},
      {Data(0x0E), "Backspace"},
      {Data(0x1C), "Enter"},
      {Data(0x1C, true), "Num Enter"},
      {Data(0x39), "Space"},
      {Data(0x2A), "Shift"},
      {Data(0x36), "Right Shift"},
      {Data(0x36) | kDontCareBit, "Shift"},
      {Data(0x1D), "Ctrl"},
      {Data(0x1D, true), "Right Ctrl"},
      {Data(0x1D, true) | kDontCareBit, "Ctrl"},
      {Data(0x38, true), "Right Alt"},
      {Data(0x3B), "F1"},
      {Data(0x58), "F12"},
      {Data(0x48), "Num 8"},
      {Data(0x48, true), "Up"},
      {Data(0x45, true), "Num Lock"},
      {Data(0x45), "Pause"},
      {Data(0x5B, true), "Left Windows"},
      {Data(0x1E, false, true), "A"},  // the name does not depend on up or down
      {Data(0x00), ""},
      {Data(0x7F), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Name(us, c.data), c.name) << std::hex << c.data;
}

TEST(KeyNames, CharacterKeysNameTheLayoutsCharacter) {
  LinuxKeyboard de = Layout("de");
  EXPECT_EQ(Name(de, Data(0x15)), "Z");  // the Y position
  EXPECT_EQ(Name(de, Data(0x29)), "^");  // a dead key names its accent
  LinuxKeyboard ru = Layout("ru");
  EXPECT_EQ(Name(ru, Data(0x1E)), "\xD0\xA4");  // Ф, in UTF-8
  LinuxKeyboard fr = Layout("fr");
  EXPECT_EQ(Name(fr, Data(0x10)), "A");  // the Q position on AZERTY
}

TEST(KeyNames, AreCutToTheBufferAtAWholeCharacter) {
  LinuxKeyboard us = Layout("us");
  EXPECT_EQ(Name(us, Data(0x36), 3), "Ri");
  EXPECT_EQ(Name(us, Data(0x36), 1), "");
  char untouched = 'X';
  EXPECT_EQ(us.GetKeyNameText(static_cast<std::int32_t>(Data(0x36)), &untouched, 0), 0);
  EXPECT_EQ(untouched, 'X');
  LinuxKeyboard ru = Layout("ru");
  EXPECT_EQ(Name(ru, Data(0x1E), 2), "");  // Ф takes two bytes and one more for the NUL
  EXPECT_EQ(Name(ru, Data(0x1E), 3), "\xD0\xA4");
}

// ---- key to character ----

TEST(ToAscii, ModifiersAndLocksFromTheKeyStateArray) {
  LinuxKeyboard us = Layout("us");
  std::uint8_t none[256] = {}, shift[256] = {}, caps[256] = {}, capsShift[256] = {}, ctrl[256] = {},
               num[256] = {};
  shift[VK_SHIFT] = 0x80;
  caps[VK_CAPITAL] = 0x01;
  capsShift[VK_CAPITAL] = 0x01;
  capsShift[VK_LSHIFT] = 0x80;
  ctrl[VK_CONTROL] = 0x80;
  num[VK_NUMLOCK] = 0x01;
  const struct {
    const char* what;
    unsigned vk;
    std::uint32_t data;
    const std::uint8_t* state;
    int result;
    std::string chars;
  } cases[] = {
      {"a", 'A', Data(0x1E), none, 1, "a"},
      {"Shift+a", 'A', Data(0x1E), shift, 1, "A"},
      {"Caps Lock a", 'A', Data(0x1E), caps, 1, "A"},
      {"Caps Lock Shift+a", 'A', Data(0x1E), capsShift, 1, "a"},
      {"Ctrl+a", 'A', Data(0x1E), ctrl, 1, "\x01"},
      {"Shift+1", '1', Data(0x02), shift, 1, "!"},
      {"space", VK_SPACE, Data(0x39), none, 1, " "},
      {"Enter", VK_RETURN, Data(0x1C), none, 1, "\r"},
      {"F1 makes nothing", VK_F1, Data(0x3B), none, 0, ""},
      {"Shift makes nothing", VK_SHIFT, Data(0x2A), none, 0, ""},
      {"a key going up makes nothing", 'A', Data(0x1E, false, true), none, 0, ""},
      {"keypad 7 with Num Lock", VK_NUMPAD0 + 7, Data(0x47), num, 1, "7"},
      {"keypad 7 without Num Lock", VK_HOME, Data(0x47), none, 0, ""},
      {"no scan code: by virtual key", 'B', 0, none, 1, "b"},
      {"plain scan code form", 'A', 0x1E, none, 1, "a"},
      {"neither", 0, 0, none, 0, ""},
  };
  for (const auto& c : cases) {
    const Typed t = Type(us, c.vk, c.data, c.state);
    EXPECT_EQ(t.result, c.result) << c.what;
    if (c.result > 0) {
      EXPECT_EQ(t.chars, c.chars) << c.what;
    }
  }
}

TEST(ToAscii, AltGrGivesTheThirdLevel) {
  LinuxKeyboard de = Layout("de");
  std::uint8_t altgr[256] = {};
  altgr[VK_RMENU] = altgr[VK_MENU] = altgr[VK_CONTROL] = altgr[VK_LCONTROL] = 0x80;
  EXPECT_EQ(Type(de, 'Q', Data(0x10), altgr).chars, "@");
  std::uint8_t none[256] = {};
  EXPECT_EQ(Type(de, 'Z', Data(0x15), none).chars, "z");
}

TEST(ToAscii, DeadKeys) {
  LinuxKeyboard de = Layout("de");
  std::uint8_t none[256] = {};
  const struct {
    const char* what;
    std::vector<std::uint32_t> before;  // key data typed first
    std::uint32_t data;
    int result;
    std::string chars;
  } cases[] = {
      {"the dead key itself", {}, Data(0x29), -1, "^"},
      {"a key it cannot take: both", {Data(0x29)}, Data(0x10), 2, "^q"},
      {"its own release does not end it",
       {Data(0x29), Data(0x29, false, true)},
       Data(0x10),
       2,
       "^q"},
      {"Shift in between does not end it", {Data(0x29), Data(0x2A)}, Data(0x10), 2, "^q"},
      {"space gives the accent", {Data(0x29)}, Data(0x39), 1, "^"},
      {"a letter it makes outside ASCII: none", {Data(0x29)}, Data(0x1E), 0, ""},
      {"after a combination all is plain", {Data(0x29), Data(0x10)}, Data(0x10), 1, "q"},
  };
  for (const auto& c : cases) {
    LinuxKeyboard k = Layout("de");
    for (std::uint32_t d : c.before) Type(k, 0, d, none);
    const Typed t = Type(k, 0, c.data, none);
    EXPECT_EQ(t.result, c.result) << c.what;
    if (c.result != 0) {
      EXPECT_EQ(t.chars, c.chars) << c.what;
    }
  }
}

// ---- key state ----

TEST(KeyState, FollowsTheXkbState) {
  LinuxKeyboard us = Layout("us");
  EXPECT_EQ(us.GetKeyState(VK_SHIFT), 0);
  us.SetXkbState(0x01 | 0x04, 0x02 | 0x10, 0);  // Shift and Ctrl down; Caps and Num Lock on
  EXPECT_LT(us.GetKeyState(VK_SHIFT), 0);
  EXPECT_LT(us.GetKeyState(VK_CONTROL), 0);
  EXPECT_EQ(us.GetKeyState(VK_MENU), 0);
  EXPECT_EQ(us.GetKeyState(VK_CAPITAL), 1);  // toggled, not down
  EXPECT_EQ(us.GetKeyState(VK_NUMLOCK), 1);
  EXPECT_EQ(us.GetKeyState(-1), 0);
  EXPECT_EQ(us.GetKeyState(256), 0);
  std::uint8_t s[256];
  ASSERT_TRUE(us.GetKeyboardState(s));
  EXPECT_EQ(s[VK_LSHIFT], 0x80);
  EXPECT_EQ(s[0x41], 0);  // letters are not tracked
  // The array it gives types as the state says.
  EXPECT_EQ(Type(us, 'A', Data(0x1E), s).chars, "\x01");
  us.SetXkbState(0x80, 0, 0);  // AltGr reads as Ctrl+Alt
  ASSERT_TRUE(us.GetKeyboardState(s));
  EXPECT_EQ(s[VK_RMENU], 0x80);
  EXPECT_LT(us.GetKeyState(VK_CONTROL), 0);
  EXPECT_LT(us.GetKeyState(VK_MENU), 0);
}

// ---- layout name ----

TEST(LayoutName, EightHexDigitsOfTheActiveLayout) {
  const struct {
    const char* layout;
    const char* variant;
    unsigned group;
    const char* id;
  } cases[] = {{"us", "", 0, "00000409"},       {"de", "", 0, "00000407"},
               {"us", "dvorak", 0, "00010409"}, {"us,ru", ",", 1, "00000419"},
               {"us,ru", "", 0, "00000409"},    {"cn", "", 0, "00000804"},
               {"", "", 0, "00000409"}};
  for (const auto& c : cases) {
    LinuxKeyboard k = Layout(c.layout, c.variant);
    k.SetXkbState(0, 0, c.group);
    char buf[10];
    std::memset(buf, 'X', sizeof buf);
    ASSERT_TRUE(k.GetKeyboardLayoutName(buf));
    EXPECT_STREQ(buf, c.id) << c.layout << " group " << c.group;
  }
  EXPECT_EQ(LinuxKeyboard::LayoutId("zz", ""), "00000409");
}

TEST(KeyboardService, OfflineNeverConnects) {
  LinuxKeyboard k = Layout("us");
  EXPECT_FALSE(k.Connected());
}
