#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstring>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "monitor/CPKeyHook.h"
#include "monitor/CPMouseHook.h"
#include "platform/core/Services.h"
#include "platform/keyboard/Keyboard.h"
#include "support/Fakes.h"

using namespace platform;

namespace {

// A hook library that records its calls.
struct LibraryLog {
  int starts = 0;
  int stops = 0;
  bool startResult = true;
  bool stopResult = true;
  bool stopThrows = false;
  HWND window = 0;
  std::uint32_t message = 0;
  bool disable = false;
  std::int32_t block[5] = {};
  int dataReads = 0;
};
LibraryLog g_log;

bool FakeStart(std::uintptr_t window, std::uint32_t message, bool disable) {
  ++g_log.starts;
  g_log.window = window;
  g_log.message = message;
  g_log.disable = disable;
  return g_log.startResult;
}
bool FakeStop() {
  ++g_log.stops;
  if (g_log.stopThrows) throw std::runtime_error("stop failed");
  return g_log.stopResult;
}
const std::int32_t* FakeData() {
  ++g_log.dataReads;
  return g_log.block;
}

const TKeyboardHookLibrary kKeyLibrary{FakeStart, FakeStop};
const TMouseHookLibrary kMouseLibrary{FakeStart, FakeStop, FakeData};

class HookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log = LibraryLog{};
    SetKeyboardHookLibrary(&kKeyLibrary);
    SetMouseHookLibrary(&kMouseLibrary);
    SetKeyboard(&keyboard);
  }
  void TearDown() override {
    SetKeyboardHookLibrary(nullptr);
    SetMouseHookLibrary(nullptr);
    SetKeyboard(nullptr);
  }
  fakes::CoreFakes core;
  FakeKeyboard keyboard;
};

}  // namespace

// ---- the key component: decoding ----

struct KeyDataCase {
  const char* what;
  std::uint32_t data;
  bool keyDown, wasDown, altDown, extended, bit28;
};
void PrintTo(const KeyDataCase& c, std::ostream* os) {
  *os << c.what;
}

class KeyDecoding : public HookTest, public ::testing::WithParamInterface<KeyDataCase> {};

TEST_P(KeyDecoding, FlagsComeFromTheKeyData) {
  const KeyDataCase& c = GetParam();
  TCPKeyHook hook(nullptr);
  std::vector<TKeyStates> got;
  hook.OnKey = [&](QObject* sender, TKeyStates s, TKeyNames) {
    EXPECT_EQ(sender, &hook);
    got.push_back(s);
  };
  SendMessage(hook.WindowHandle(), 1124, 'A',
              static_cast<LPARAM>(static_cast<std::int32_t>(c.data)));
  ASSERT_EQ(got.size(), 1u) << c.what;
  EXPECT_EQ(got[0].KeyDown, c.keyDown) << c.what;
  EXPECT_EQ(got[0].WasDown, c.wasDown) << c.what;
  EXPECT_EQ(got[0].AltDown, c.altDown) << c.what;
  EXPECT_EQ(got[0].ExtendedKey, c.extended) << c.what;
  EXPECT_EQ(got[0].Bit28, c.bit28) << c.what;
  EXPECT_FALSE(got[0].ShiftDown) << c.what;
  EXPECT_FALSE(got[0].CtrlDown) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeyDecoding,
    ::testing::Values(
        KeyDataCase{"down", 0x001E0001u, true, false, false, false, false},
        KeyDataCase{"auto-repeat", 0x401E0001u, true, true, false, false, false},
        KeyDataCase{"up", 0xC01E0001u, false, true, false, false, false},
        KeyDataCase{"extended down (Right Ctrl)", 0x011D0001u, true, false, false, true, false},
        KeyDataCase{"extended up (Up arrow)", 0xC1480001u, false, true, false, true, false},
        KeyDataCase{"Alt+F4 down", 0x203E0001u, true, false, true, false, false},
        KeyDataCase{"Alt held, key up", 0xE03E0001u, false, true, true, false, false},
        KeyDataCase{"bit 28 alone", 0x10000001u, true, false, false, false, true},
        KeyDataCase{"all bits", 0xFFFFFFFFu, false, true, true, true, true}));

TEST_F(HookTest, ShiftAndCtrlComeFromTheKeyStateAndNamesFromTheKeyboard) {
  TCPKeyHook hook(nullptr);
  keyboard.state[0x10] = 0x80;  // Shift down
  keyboard.state[0x11] = 0x01;  // Ctrl only toggled: not down
  keyboard.names[0x001E0000u] = "A";
  keyboard.chars['A'] = "A";
  std::vector<std::pair<TKeyStates, TKeyNames>> got;
  hook.OnKey = [&](QObject*, TKeyStates s, TKeyNames n) { got.emplace_back(s, n); };
  SendMessage(hook.WindowHandle(), 1124, 'A', 0x001E0001);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_TRUE(got[0].first.ShiftDown);
  EXPECT_FALSE(got[0].first.CtrlDown);
  EXPECT_EQ(got[0].second.KeyChar, 'A');
  EXPECT_STREQ(got[0].second.KeyName, "A");
  for (int i = 1; i < 101; ++i) EXPECT_EQ(got[0].second.KeyName[i], 0) << "byte " << i;
  // The whole key data goes to the name and, as scan code, to the translation.
  EXPECT_EQ(keyboard.lastNameData, 0x001E0001);
  EXPECT_EQ(keyboard.lastScanCode, 0x001E0001u);
  EXPECT_EQ(keyboard.lastFlags, 0u);
  EXPECT_EQ(keyboard.keyboardStateCalls, 1);
}

struct CharCase {
  const char* what;
  std::string out;
  int result;
  char want;
};
void PrintTo(const CharCase& c, std::ostream* os) {
  *os << c.what;
}

class KeyCharacter : public HookTest, public ::testing::WithParamInterface<CharCase> {};

TEST_P(KeyCharacter, IsTheFirstCharacterUnlessThereIsNone) {
  const CharCase& c = GetParam();
  keyboard.chars[0x70] = c.out;
  keyboard.results[0x70] = c.result;
  keyboard.names[0x003B0000u] = "F1";
  TCPKeyHook hook(nullptr);
  TKeyNames got;
  hook.OnKey = [&](QObject*, TKeyStates, TKeyNames n) { got = n; };
  SendMessage(hook.WindowHandle(), 1124, 0x70, 0x003B0001);
  EXPECT_EQ(got.KeyChar, c.want) << c.what;
  EXPECT_STREQ(got.KeyName, "F1") << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, KeyCharacter,
                         ::testing::Values(CharCase{"no character (F1)", "", 0, 0},
                                           CharCase{"result 0 with a stale buffer", "x", 0, 0},
                                           CharCase{"one character", "q", 1, 'q'},
                                           CharCase{"dead key with nothing to combine: two", "^q",
                                                    2, '^'},
                                           CharCase{"a dead key alone", "`", -1, '`'}));

TEST_F(HookTest, ALongNameIsCutAndTerminated) {
  keyboard.names[0x00010000u] = std::string(300, 'N');
  TCPKeyHook hook(nullptr);
  TKeyNames got;
  hook.OnKey = [&](QObject*, TKeyStates, TKeyNames n) { got = n; };
  SendMessage(hook.WindowHandle(), 1124, 0x1B, 0x00010001);
  EXPECT_EQ(std::strlen(got.KeyName), 100u);
  EXPECT_EQ(got.KeyName[100], 0);
}

// ---- the shared repeat counter ----

TEST_F(HookTest, RepeatCounterCountsAutoRepeatsAndResetsOnAnythingElse) {
  TCPKeyHook hook(nullptr);
  std::vector<int> repeats;
  hook.OnKey = [&](QObject*, TKeyStates s, TKeyNames) { repeats.push_back(s.RepeatCount); };
  const std::uint32_t seq[] = {0x001E0001u, 0x401E0001u, 0x401E0001u, 0x401E0001u,
                               0xC01E0001u, 0x401E0001u, 0x00300001u, 0x40300001u};
  for (std::uint32_t d : seq)
    SendMessage(hook.WindowHandle(), 1124, 'A', static_cast<LPARAM>(static_cast<std::int32_t>(d)));
  EXPECT_EQ(repeats, (std::vector<int>{0, 1, 2, 3, 0, 1, 0, 1}));
}

TEST_F(HookTest, RepeatCounterIsSharedAndTheNextConstructorResetsIt) {
  TCPKeyHook first(nullptr);
  std::vector<int> repeats;
  auto record = [&](QObject*, TKeyStates s, TKeyNames) { repeats.push_back(s.RepeatCount); };
  // No handler yet: the message is still decoded and the counter moves.
  SendMessage(first.WindowHandle(), 1124, 'A', 0x001E0001);
  SendMessage(first.WindowHandle(), 1124, 'A', 0x401E0001);
  first.OnKey = record;
  SendMessage(first.WindowHandle(), 1124, 'A', 0x401E0001);
  EXPECT_EQ(keyboard.nameCalls, 3);
  TCPKeyHook second(nullptr);  // resets the shared counter
  second.OnKey = record;
  SendMessage(second.WindowHandle(), 1124, 'A', 0x401E0001);
  SendMessage(first.WindowHandle(), 1124, 'A', 0x401E0001);
  SendMessage(second.WindowHandle(), 1124, 'A', 0x401E0001);
  EXPECT_EQ(repeats, (std::vector<int>{2, 1, 2, 3}));
}

// ---- window procedure ----

TEST_F(HookTest, OtherMessagesGetDefaultHandlingAndNoEvent) {
  TCPKeyHook key(nullptr);
  TCPMouseHook mouse(nullptr);
  int keyEvents = 0, mouseEvents = 0;
  key.OnKey = [&](QObject*, TKeyStates, TKeyNames) { ++keyEvents; };
  mouse.OnMouse = [&](QObject*, TMouseStates) { ++mouseEvents; };
  for (UINT msg : {WM_TIMER, WM_USER, 1224u, 1125u})
    EXPECT_EQ(SendMessage(key.WindowHandle(), msg, 'A', 0x001E0001), 0);
  for (UINT msg : {WM_TIMER, WM_USER, 1124u, 1225u}) SendMessage(mouse.WindowHandle(), msg, 513, 0);
  EXPECT_EQ(keyEvents, 0);
  EXPECT_EQ(mouseEvents, 0);
  EXPECT_EQ(keyboard.nameCalls + keyboard.toAsciiCalls + keyboard.keyStateCalls, 0);
  EXPECT_EQ(g_log.dataReads, 0);
}

TEST_F(HookTest, AnErrorInTheHandlerIsReportedAndTheNextMessageIsHandled) {
  TCPKeyHook hook(nullptr);
  int calls = 0;
  hook.OnKey = [&](QObject*, TKeyStates, TKeyNames) {
    if (++calls == 1) throw Error(QStringLiteral("坏了"));
  };
  EXPECT_EQ(SendMessage(hook.WindowHandle(), 1124, 'A', 0x001E0001), 0);
  SendMessage(hook.WindowHandle(), 1124, 'A', 0xC01E0001);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(core.errors.shown, QStringList{QStringLiteral("坏了")});
}

TEST_F(HookTest, PostedMessagesArriveThroughTheEventLoop) {
  TCPKeyHook hook(nullptr);
  int downs = 0;
  hook.OnKey = [&](QObject*, TKeyStates s, TKeyNames) { downs += s.KeyDown; };
  for (int i = 0; i < 3; ++i)
    ASSERT_EQ(TalvenorPostMessage(hook.WindowHandle(), 1124, 'A', 0x001E0001), 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(downs, 3);
}

// ---- Start, Stop and destruction (both components) ----

template <class Hook>
class StartStop : public HookTest {};
using HookKinds = ::testing::Types<TCPKeyHook, TCPMouseHook>;
TYPED_TEST_SUITE(StartStop, HookKinds);

template <class Hook>
void SetDisable(Hook& h, bool v) {
  if constexpr (std::is_same_v<Hook, TCPKeyHook>)
    h.SetDisableKeyboard(v);
  else
    h.SetDisableMouse(v);
}

TYPED_TEST(StartStop, StartTwiceCallsTheLibraryOnce) {
  TypeParam hook(nullptr);
  EXPECT_FALSE(hook.Enabled());
  EXPECT_TRUE(hook.Start());
  EXPECT_TRUE(hook.Enabled());
  EXPECT_FALSE(hook.Start());
  EXPECT_EQ(g_log.starts, 1);
  EXPECT_EQ(g_log.window, hook.WindowHandle());
  EXPECT_EQ(g_log.message, hook.UserHookMsg());
  EXPECT_FALSE(g_log.disable);
  EXPECT_TRUE(hook.Stop());
  EXPECT_FALSE(hook.Enabled());
  EXPECT_FALSE(hook.Stop());
  EXPECT_EQ(g_log.stops, 1);
}

TYPED_TEST(StartStop, StopWithoutStartCallsNothing) {
  TypeParam hook(nullptr);
  EXPECT_FALSE(hook.Stop());
  EXPECT_EQ(g_log.stops, 0);
}

TYPED_TEST(StartStop, RefusalsLeaveTheStateAsItWas) {
  TypeParam hook(nullptr);
  g_log.startResult = false;
  EXPECT_FALSE(hook.Start());
  EXPECT_FALSE(hook.Enabled());
  g_log.startResult = true;
  ASSERT_TRUE(hook.Start());
  g_log.stopResult = false;
  EXPECT_FALSE(hook.Stop());
  EXPECT_TRUE(hook.Enabled());
  g_log.stopResult = true;
  EXPECT_TRUE(hook.Stop());
  EXPECT_EQ(g_log.starts, 2);
  EXPECT_EQ(g_log.stops, 2);
}

TYPED_TEST(StartStop, DestructionCallsStopOnceWhateverTheState) {
  { TypeParam never(nullptr); }
  EXPECT_EQ(g_log.stops, 1);
  {
    TypeParam running(nullptr);
    ASSERT_TRUE(running.Start());
  }
  EXPECT_EQ(g_log.stops, 2);
  {
    TypeParam stopped(nullptr);
    ASSERT_TRUE(stopped.Start());
    ASSERT_TRUE(stopped.Stop());
  }
  EXPECT_EQ(g_log.stops, 4);
}

TYPED_TEST(StartStop, DestructionDestroysTheWindowEvenWhenStopFails) {
  HWND window;
  g_log.stopThrows = true;
  {
    TypeParam hook(nullptr);
    window = hook.WindowHandle();
    EXPECT_TRUE(IsWindow(window));
  }
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(g_log.stops, 1);
}

TYPED_TEST(StartStop, TheOwnerFreesTheComponent) {
  auto* owner = new QObject;
  auto* hook = new TypeParam(owner);
  const HWND window = hook->WindowHandle();
  delete owner;
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(g_log.stops, 1);
}

TYPED_TEST(StartStop, NewMessageIdAndFlagTakeEffectAtTheNextStart) {
  TypeParam hook(nullptr);
  const std::uint32_t old = hook.UserHookMsg();
  ASSERT_TRUE(hook.Start());
  hook.SetUserHookMsg(old + 7);
  SetDisable(hook, true);
  EXPECT_EQ(g_log.starts, 1);  // not restarted
  int events = 0;
  if constexpr (std::is_same_v<TypeParam, TCPKeyHook>)
    hook.OnKey = [&](QObject*, TKeyStates, TKeyNames) { ++events; };
  else
    hook.OnMouse = [&](QObject*, TMouseStates) { ++events; };
  SendMessage(hook.WindowHandle(), old, 513, 0x001E0001);  // what the library still posts
  EXPECT_EQ(events, 0);
  ASSERT_TRUE(hook.Stop());
  ASSERT_TRUE(hook.Start());
  EXPECT_EQ(g_log.message, old + 7);
  EXPECT_TRUE(g_log.disable);
  SendMessage(hook.WindowHandle(), old + 7, 513, 0x001E0001);
  EXPECT_EQ(events, 1);
}

TEST_F(HookTest, PropertiesAfterConstructionAndReadOnlyWrites) {
  keyboard.layout = "00000407";
  TCPKeyHook key(nullptr);
  TCPMouseHook mouse(nullptr);
  EXPECT_EQ(key.UserHookMsg(), 1124u);
  EXPECT_EQ(mouse.UserHookMsg(), 1224u);
  EXPECT_FALSE(key.DisableKeyboard());
  EXPECT_FALSE(mouse.DisableMouse());
  EXPECT_EQ(key.KeyboardLayout(), QStringLiteral("00000407"));
  EXPECT_NE(key.WindowHandle(), mouse.WindowHandle());
  key.SetEnabled(true);
  key.SetKeyboardLayout(QStringLiteral("x"));
  mouse.SetEnabled(true);
  EXPECT_FALSE(key.Enabled());
  EXPECT_FALSE(mouse.Enabled());
  EXPECT_EQ(key.KeyboardLayout(), QStringLiteral("00000407"));
  EXPECT_EQ(g_log.starts, 0);
}

// ---- the mouse component: decoding ----

TEST_F(HookTest, MouseStatesComeFromTheDataBlockAndTheFirstParameter) {
  TCPMouseHook hook(nullptr);
  const std::int32_t block[5] = {-5, 1200, 0x0040000A, 7, 9};
  std::memcpy(g_log.block, block, sizeof block);
  std::vector<TMouseStates> got;
  hook.OnMouse = [&](QObject* sender, TMouseStates m) {
    EXPECT_EQ(sender, &hook);
    got.push_back(m);
  };
  SendMessage(hook.WindowHandle(), 1224, 516, 12345);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].X, -5);
  EXPECT_EQ(got[0].Y, 1200);
  EXPECT_EQ(got[0].Wnd, 0x0040000Au);
  EXPECT_EQ(got[0].HitTestCode, 7u);
  EXPECT_EQ(got[0].ExtraInfo, 9u);
  EXPECT_EQ(got[0].MouseMsg, 516u);
}

TEST_F(HookTest, QueuedMouseMessagesReadTheBlockWhenHandled) {
  TCPMouseHook hook(nullptr);
  g_log.block[0] = 10;
  g_log.block[1] = 20;
  std::vector<TMouseStates> got;
  TalvenorPostMessage(hook.WindowHandle(), 1224, 512, 0);
  TalvenorPostMessage(hook.WindowHandle(), 1224, 513, 0);
  g_log.block[0] = 30;  // the library moved on before the messages were handled
  g_log.block[1] = 40;
  QCoreApplication::processEvents();  // no handler: still read
  EXPECT_EQ(g_log.dataReads, 2);
  hook.OnMouse = [&](QObject*, TMouseStates m) { got.push_back(m); };
  TalvenorPostMessage(hook.WindowHandle(), 1224, 512, 0);
  TalvenorPostMessage(hook.WindowHandle(), 1224, 513, 0);
  g_log.block[0] = 50;
  QCoreApplication::processEvents();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].X, 50);
  EXPECT_EQ(got[1].X, 50);
  EXPECT_EQ(got[0].MouseMsg, 512u);
  EXPECT_EQ(got[1].MouseMsg, 513u);
}

// ---- the real loader ----

TEST(HookLibraryLoader, AMissingLibraryMakesStartFalseAndDestructionHarmless) {
  fakes::CoreFakes core;
  FakeKeyboard keyboard;
  SetKeyboard(&keyboard);
  core.system.exePath = QStringLiteral("/nonexistent/talvenor/talvenor");
  {
    TCPKeyHook key(nullptr);
    TCPMouseHook mouse(nullptr);
    EXPECT_FALSE(key.Start());
    EXPECT_FALSE(mouse.Start());
    EXPECT_FALSE(key.Enabled());
    EXPECT_FALSE(mouse.Enabled());
    EXPECT_FALSE(key.Stop());
    EXPECT_EQ(KeyboardHookLibrary().Start, nullptr);
    EXPECT_EQ(MouseHookLibrary().GetData, nullptr);
    // A message nobody should post is ignored without a block to read.
    int events = 0;
    mouse.OnMouse = [&](QObject*, TMouseStates) { ++events; };
    SendMessage(mouse.WindowHandle(), 1224, 513, 0);
    EXPECT_EQ(events, 0);
  }
  SetKeyboard(nullptr);
}
