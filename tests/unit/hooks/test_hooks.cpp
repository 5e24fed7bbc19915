#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <tuple>
#include <vector>

#include "KeyEncoder.h"
#include "MouseEncoder.h"
#include "Recorder.h"
#include "monitor/CPKeyHook.h"
#include "monitor/CPMouseHook.h"
#include "platform/keyboard/Keyboard.h"
#include "platform/keyboard/WinKeys.h"
#include "support/Fakes.h"

using namespace talvenor_hooks;
using namespace platform::keys;

namespace {

// X key codes (evdev + 8) on a pc105 keyboard.
constexpr unsigned kA = 38, kQ = 24, kRightCtrl = 105, kLeftAlt = 64, kRightAlt = 108, kF4 = 70,
                   kKp7 = 79, kHome = 110, kNumLock = 77, kPause = 127;
constexpr unsigned kNumLockMask = 0x10;

// A layout whose Q position types "a" (as AZERTY does), and a US layout.
KeyEncoder Encoder(bool azerty = false) {
  std::uint32_t syms[256] = {};
  for (unsigned k = 0; k < 256; ++k) {
    const unsigned vk = PositionOfKeycode(k).vk;
    if (vk >= 'A' && vk <= 'Z') syms[k] = vk - 'A' + 'a';
  }
  if (azerty) {
    syms[kQ] = 'a';
    syms[kA] = 'q';
  }
  KeyEncoder e;
  e.SetLayout(syms);
  e.SetNumLockMask(kNumLockMask);
  return e;
}

}  // namespace

// ---- keystrokes ----

struct Stroke {
  bool press;
  unsigned keycode;
  unsigned state;
  std::uint32_t vk;
  std::uint32_t data;
};

struct StrokeCase {
  const char* what;
  std::vector<Stroke> strokes;
};
void PrintTo(const StrokeCase& c, std::ostream* os) {
  *os << c.what;
}

class Keystrokes : public ::testing::TestWithParam<StrokeCase> {};

TEST_P(Keystrokes, CarryTheWindowsKeyData) {
  KeyEncoder e = Encoder();
  int i = 0;
  for (const Stroke& s : GetParam().strokes) {
    const KeyEncoder::Keystroke k = e.Encode(s.press, s.keycode, s.state);
    EXPECT_EQ(k.vk, s.vk) << "stroke " << i;
    EXPECT_EQ(k.data, s.data) << "stroke " << i << std::hex << " got 0x" << k.data;
    ++i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Keystrokes,
    ::testing::Values(
        StrokeCase{"press, auto-repeats, release",
                   {{true, kA, 0, 'A', 0x001E0001u},
                    {true, kA, 0, 'A', 0x401E0001u},
                    {true, kA, 0, 'A', 0x401E0001u},
                    {false, kA, 0, 'A', 0xC01E0001u},
                    {true, kA, 0, 'A', 0x001E0001u}}},
        StrokeCase{"extended keys",
                   {{true, kRightCtrl, 0, VK_CONTROL, 0x011D0001u},
                    {false, kRightCtrl, 0, VK_CONTROL, 0xC11D0001u},
                    {true, kHome, 0, VK_HOME, 0x01470001u},
                    {true, 106, 0, VK_DIVIDE, 0x01350001u},
                    {true, 104, 0, VK_RETURN, 0x011C0001u}}},
        StrokeCase{"Alt context while either Alt is down",
                   {{true, kLeftAlt, 0, VK_MENU, 0x20380001u},
                    {true, kF4, 8, VK_F1 + 3, 0x203E0001u},
                    {false, kF4, 8, VK_F1 + 3, 0xE03E0001u},
                    {false, kLeftAlt, 8, VK_MENU, 0xC0380001u},
                    {true, kRightAlt, 0, VK_MENU, 0x21380001u},
                    {true, kA, 0, 'A', 0x201E0001u},
                    {false, kRightAlt, 0, VK_MENU, 0xC1380001u},
                    {false, kA, 0, 'A', 0xC01E0001u}}},
        StrokeCase{"keypad with and without Num Lock",
                   {{true, kKp7, kNumLockMask, VK_NUMPAD0 + 7, 0x00470001u},
                    {true, kKp7, 0, VK_HOME, 0x40470001u},
                    {true, kNumLock, 0, VK_NUMLOCK, 0x01450001u},
                    {true, kPause, 0, VK_PAUSE, 0x00450001u}}},
        StrokeCase{"a key with no Windows code", {{true, 250, 0, VK_UNKNOWN, 0x00000001u}}},
        StrokeCase{"a release whose press was not seen", {{false, kA, 0, 'A', 0xC01E0001u}}}));

TEST(KeyEncoder, LettersFollowTheLayoutOtherKeysTheirPosition) {
  KeyEncoder e = Encoder(true);
  EXPECT_EQ(e.Encode(true, kQ, 0).vk, std::uint32_t{'A'});
  EXPECT_EQ(e.Encode(true, kA, 0).vk, std::uint32_t{'Q'});
  EXPECT_EQ(e.Encode(true, kQ, 0).data & 0x00FF0000u, 0x00100000u);  // scan code stays
  EXPECT_EQ(e.Encode(true, 11, 0).vk, std::uint32_t{'2'});           // digit row by position
}

TEST(KeyEncoder, KeysDownAtTheStartCountAsDown) {
  KeyEncoder e = Encoder();
  char keys[32] = {};
  keys[kA / 8] |= 1 << (kA % 8);
  keys[kLeftAlt / 8] |= 1 << (kLeftAlt % 8);
  e.SetKeysDown(keys);
  EXPECT_EQ(e.Encode(true, kA, 0).data, 0x601E0001u);  // a repeat, with Alt held
  EXPECT_EQ(e.Encode(false, kLeftAlt, 0).data, 0xC0380001u);
}

// ---- mouse messages ----

TEST(MouseMessages, ButtonsWheelAndFurtherButtons) {
  const struct {
    unsigned button;
    std::uint32_t down, up;
  } cases[] = {{1, 513, 514}, {2, 519, 520}, {3, 516, 517}, {4, 522, 0},   {5, 522, 0},
               {6, 526, 0},   {7, 526, 0},   {8, 523, 524}, {9, 523, 524}, {0, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(ButtonMessage(c.button, true), c.down) << c.button;
    EXPECT_EQ(ButtonMessage(c.button, false), c.up) << c.button;
  }
}

namespace {

// Plays the program's side: each posted message reads the block at once.
struct Ui {
  MouseData data;
  std::vector<std::uint32_t> msgs;
  std::vector<std::array<std::int32_t, 5>> blocks;
  double travel = 0, lastX = 0, lastY = 0;
  bool seen = false;
  static void Post(void* self, std::uint32_t msg) {
    auto* ui = static_cast<Ui*>(self);
    std::array<std::int32_t, 5> b;
    ui->data.CopyTo(b.data());
    ui->msgs.push_back(msg);
    ui->blocks.push_back(b);
    if (ui->seen) ui->travel += std::hypot(b[0] - ui->lastX, b[1] - ui->lastY);
    ui->seen = true;
    ui->lastX = b[0];
    ui->lastY = b[1];
  }
};

}  // namespace

TEST(MouseEncoder, MovesFoldPerBatchButtonsNever) {
  Ui ui;
  MouseEncoder enc(ui.data, &Ui::Post, &ui);
  for (int i = 1; i <= 5; ++i) enc.Motion(i, 2 * i, 77);
  EXPECT_TRUE(ui.msgs.empty());  // the move waits for the end of the run
  EXPECT_TRUE(enc.EndBatch());
  ASSERT_EQ(ui.msgs, (std::vector<std::uint32_t>{512}));
  EXPECT_EQ(ui.blocks[0], (std::array<std::int32_t, 5>{5, 10, 77, 0, 0}));

  ui.msgs.clear();
  ui.blocks.clear();
  enc.Motion(6, 6, 1);
  enc.Button(1, true, 7, 7, 2);
  enc.Button(1, false, 7, 7, 2);
  enc.Button(1, true, 7, 7, 2);
  enc.Button(1, false, 7, 7, 2);
  enc.Motion(8, 8, 1);
  enc.Motion(9, 9, 1);
  enc.Button(4, true, 9, 9, 1);
  enc.Button(4, false, 9, 9, 1);
  enc.Button(3, true, 9, 9, 1);
  EXPECT_TRUE(enc.EndBatch());
  EXPECT_EQ(ui.msgs, (std::vector<std::uint32_t>{512, 513, 514, 513, 514, 512, 522, 516}));
  EXPECT_EQ(ui.blocks[0][0], 6);  // the move before the button keeps its position
  EXPECT_EQ(ui.blocks[1][0], 7);
  EXPECT_EQ(ui.blocks[5][0], 9);
  EXPECT_EQ(ui.blocks[7][2], 1);

  ui.msgs.clear();
  enc.Button(2, true, 9, 9, 1);
  EXPECT_FALSE(enc.EndBatch());  // no move: nothing to gather
  EXPECT_EQ(ui.msgs, (std::vector<std::uint32_t>{519}));
}

TEST(GatherPolicy, GathersOnlyADenseStreamSentMoveByMove) {
  const int g = GatherPolicy::kGatherMs;
  const struct {
    const char* what;
    // Batches: server times of the moves, whether the read was a gathered one,
    // and the wait expected after it.
    std::vector<std::tuple<std::vector<std::uint32_t>, bool, int>> batches;
  } cases[] = {
      {"a 1000 Hz stream sent move by move",
       {{{100}, false, 0}, {{101}, false, g}, {{102, 103, 104, 105}, true, g}, {{}, true, 0}}},
      {"separate moves, however quick the turn",
       {{{100}, false, 0}, {{104}, false, 0}, {{110}, false, 0}}},
      {"bursts the server holds back",
       {{{100, 101, 102, 103, 104, 105}, false, 0}, {{106, 107, 108, 109}, false, 0}}},
      {"a gathering wait that finds nothing ends the gathering",
       {{{100}, false, 0}, {{101}, false, g}, {{140}, false, 0}}},
      {"a stream that stops",
       {{{200}, false, 0}, {{201}, false, g}, {{}, true, 0}, {{900}, false, 0}}},
      {"the server clock wrapping", {{{0xFFFFFFFFu}, false, 0}, {{0u}, false, g}}},
  };
  for (const auto& c : cases) {
    GatherPolicy p;
    int i = 0;
    for (const auto& [times, gathered, want] : c.batches) {
      for (std::uint32_t t : times) p.Move(t);
      EXPECT_EQ(p.AfterBatch(gathered), want) << c.what << ", batch " << i;
      ++i;
    }
  }
}

struct CurveCase {
  const char* what;
  double radius;
  double turnsPerSecond;
};
void PrintTo(const CurveCase& c, std::ostream* os) {
  *os << c.what;
}

class FoldedTravel : public ::testing::TestWithParam<CurveCase> {};

// Circles made of whole-pixel steps at 1000 events/s, read in 16 ms batches:
// the folded travel stays within 1 % of the circle's length. (Summing every
// whole-pixel step would overstate it by the staircase the pixels make.)
TEST_P(FoldedTravel, OfACurveStaysWithinOnePercent) {
  const CurveCase& c = GetParam();
  Ui ui;
  MouseEncoder enc(ui.data, &Ui::Post, &ui);
  const int rate = 1000, seconds = 2;
  long px = std::lround(c.radius), py = 0;
  enc.Motion(static_cast<std::int32_t>(px), 0, 1);
  enc.EndBatch();
  for (int i = 1; i <= rate * seconds; ++i) {
    const double a = 2 * M_PI * c.turnsPerSecond * i / rate;
    const long x = std::lround(c.radius * std::cos(a)), y = std::lround(c.radius * std::sin(a));
    if (x != px || y != py)
      enc.Motion(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), 1);
    px = x;
    py = y;
    if (i % 16 == 0) enc.EndBatch();
  }
  enc.EndBatch();
  const double exact = 2 * M_PI * c.radius * c.turnsPerSecond * seconds;
  EXPECT_NEAR(ui.travel / exact, 1.0, 0.01) << "travel " << ui.travel << " of " << exact;
  EXPECT_LE(ui.msgs.size(), static_cast<std::size_t>(rate * seconds / 16 + 2));
}

INSTANTIATE_TEST_SUITE_P(Table, FoldedTravel,
                         ::testing::Values(CurveCase{"wide fast circle", 400, 1},
                                           CurveCase{"circle of 200 px", 200, 1},
                                           CurveCase{"slower circle", 300, 0.5},
                                           CurveCase{"small quick circles", 50, 2}));

TEST(MouseData, ReadersNeverSeeAHalfWrittenBlock) {
  MouseData data;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (std::int32_t i = 0; i < 200000; ++i) data.Set(i, -i, static_cast<std::uint32_t>(i));
    done = true;
  });
  int torn = 0;
  while (!done) {
    std::int32_t b[5];
    data.CopyTo(b);
    if (b[1] != -b[0] || b[2] != b[0] || b[3] != 0 || b[4] != 0) ++torn;
  }
  writer.join();
  EXPECT_EQ(torn, 0);
}

// ---- recorded events ----

TEST(RecordedEvents, DecodeInEitherByteOrder) {
  unsigned char raw[32] = {};
  raw[0] = 4;  // ButtonPress
  raw[1] = 3;
  const std::uint32_t time = 0x01020304u, root = 0x1AB, child = 0x00400007u;
  const std::int16_t x = -3, y = 1500;
  const std::uint16_t state = 0x0011;
  std::memcpy(raw + 4, &time, 4);
  std::memcpy(raw + 8, &root, 4);
  std::memcpy(raw + 16, &child, 4);
  std::memcpy(raw + 20, &x, 2);
  std::memcpy(raw + 22, &y, 2);
  std::memcpy(raw + 28, &state, 2);
  DeviceEvent e;
  ASSERT_TRUE(DecodeDeviceEvent(raw, 32, false, e));
  EXPECT_EQ(e.type, 4);
  EXPECT_EQ(e.detail, 3);
  EXPECT_EQ(e.time, time);
  EXPECT_EQ(e.root, root);
  EXPECT_EQ(e.child, child);
  EXPECT_EQ(e.rootX, -3);
  EXPECT_EQ(e.rootY, 1500);
  EXPECT_EQ(e.state, state);

  unsigned char swapped[32];
  std::memcpy(swapped, raw, 32);
  for (int off : {4, 8, 12, 16}) std::reverse(swapped + off, swapped + off + 4);
  for (int off : {20, 22, 24, 26, 28}) std::reverse(swapped + off, swapped + off + 2);
  DeviceEvent s;
  ASSERT_TRUE(DecodeDeviceEvent(swapped, 32, true, s));
  EXPECT_EQ(s.time, time);
  EXPECT_EQ(s.child, child);
  EXPECT_EQ(s.rootX, -3);
  EXPECT_EQ(s.rootY, 1500);

  raw[0] = 0x80 | 6;  // a sent MotionNotify still is one
  EXPECT_TRUE(DecodeDeviceEvent(raw, 32, false, e));
  EXPECT_EQ(e.type, 6);
  for (unsigned char type : {0, 1, 7, 12, 35}) {
    raw[0] = type;
    EXPECT_FALSE(DecodeDeviceEvent(raw, 32, false, e)) << int(type);
  }
  raw[0] = 2;
  EXPECT_FALSE(DecodeDeviceEvent(raw, 31, false, e));
  EXPECT_FALSE(DecodeDeviceEvent(nullptr, 32, false, e));
}

// The server packs several recorded events into one block of data.
TEST(RecordedEvents, ABlockHandsOverEachDeviceEventInOrder) {
  struct Seen : Recorder::Client {
    std::vector<std::pair<int, int>> events;  // type, detail
    void OnEvent(const DeviceEvent& e) override { events.emplace_back(e.type, e.detail); }
  };
  auto event = [](unsigned char type, unsigned char detail) {
    std::vector<unsigned char> e(32, 0);
    e[0] = type;
    e[1] = detail;
    return e;
  };
  auto join = [](std::initializer_list<std::vector<unsigned char>> parts) {
    std::vector<unsigned char> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  // A generic event of 32 + 8 bytes, its extra length in 4-byte units at 4.
  std::vector<unsigned char> generic(40, 0);
  generic[0] = 35;
  generic[4] = 2;
  std::vector<unsigned char> tooLong = event(35, 0);
  tooLong[4] = 9;
  const struct {
    const char* what;
    std::vector<unsigned char> block;
    std::vector<std::pair<int, int>> want;
  } cases[] = {
      {"three moves and a press",
       join({event(6, 0), event(6, 0), event(4, 1), event(6, 0)}),
       {{6, 0}, {6, 0}, {4, 1}, {6, 0}}},
      {"an event of another kind between",
       join({event(4, 3), event(12, 0), event(5, 3)}),
       {{4, 3}, {5, 3}}},
      {"a generic event is stepped over by its length",
       join({event(2, 38), generic, event(3, 38)}),
       {{2, 38}, {3, 38}}},
      {"a cut tail is dropped", join({event(4, 1), std::vector<unsigned char>(20, 6)}), {{4, 1}}},
      {"a generic event longer than the block", join({event(4, 2), tooLong}), {{4, 2}}},
      {"empty", {}, {}},
  };
  for (const auto& c : cases) {
    Seen seen;
    const int n = Recorder::DeliverBlock(c.block.data(), c.block.size(), false, seen);
    EXPECT_EQ(seen.events, c.want) << c.what;
    EXPECT_EQ(n, static_cast<int>(c.want.size())) << c.what;
  }
}

// ---- the real libraries ----

// With no X display the real libraries refuse to start, and stopping what never
// ran does no harm.
TEST(HookLibraries, WithoutADisplayStartIsFalse) {
  fakes::CoreFakes core;
  platform::FakeKeyboard keyboard;
  platform::SetKeyboard(&keyboard);
  core.system.exePath = QStringLiteral(TALVENOR_OUT_DIR "/talvenor");
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  {
    TCPKeyHook key(nullptr);
    TCPMouseHook mouse(nullptr);
    ASSERT_NE(KeyboardHookLibrary().Start, nullptr) << "libkeyboardhook.so not found";
    ASSERT_NE(MouseHookLibrary().GetData, nullptr) << "libmousehook.so not found";
    EXPECT_FALSE(KeyboardHookLibrary().Stop());
    EXPECT_FALSE(MouseHookLibrary().Stop());
    EXPECT_FALSE(key.Start());
    EXPECT_FALSE(mouse.Start());
    EXPECT_FALSE(key.Enabled());
    const std::int32_t* block = MouseHookLibrary().GetData();
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(block[i], 0);
  }  // destruction stops hooks that never ran
  if (display) setenv("DISPLAY", saved.c_str(), 1);
  platform::SetKeyboard(nullptr);
}
