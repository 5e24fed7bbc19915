#include <gtest/gtest.h>

#include <QStringList>

#include "monitor/Counters.h"
#include "support/Fakes.h"

namespace {

class FakeLabels : public ICounterLabels {
 public:
  QStringList key, mouse, move;
  void SetLabKey(const QString& t) override { key << t; }
  void SetLabMouse(const QString& t) override { mouse << t; }
  void SetLabMove(const QString& t) override { move << t; }
};

TKeyStates Key(bool down, bool wasDown = false) {
  TKeyStates s;
  s.KeyDown = down;
  s.WasDown = wasDown;
  return s;
}

TMouseStates Mouse(int x, int y, std::uint32_t msg) {
  TMouseStates m;
  m.X = x;
  m.Y = y;
  m.MouseMsg = msg;
  return m;
}

class Counting : public ::testing::Test {
 protected:
  fakes::CoreFakes core;
  TRunState state;
  FakeLabels labels;
};

}  // namespace

// ---- MetresPerPixel and the label texts ----

TEST_F(Counting, MetresPerPixelOnA1024By768Screen) {
  EXPECT_DOUBLE_EQ(MetresPerPixel(17), 0.00033734375);
  EXPECT_EQ(MetresText(MetresPerPixel(17) * 10000), QStringLiteral("3.37 米"));
}

TEST_F(Counting, MetresPerPixelReadsTheScreenAtEveryCall) {
  const double before = MetresPerPixel(17);
  core.system.screen = QSize(1920, 1080);
  EXPECT_DOUBLE_EQ(MetresPerPixel(17), 17 * 0.0254 / std::sqrt(1920.0 * 1920 + 1080.0 * 1080));
  EXPECT_NE(MetresPerPixel(17), before);
  EXPECT_DOUBLE_EQ(MetresPerPixel(34), 2 * MetresPerPixel(17));
  // A screen with no size gives no distance instead of an infinite one.
  core.system.screen = QSize(0, 0);
  EXPECT_EQ(MetresPerPixel(17), 0.0);
  EXPECT_EQ(MetresText(MetresPerPixel(17) * 10000), QStringLiteral("0.00 米"));
}

TEST(CounterTexts, MetresWithTwoDecimalsRoundedAsTheyRead) {
  const struct {
    double metres;
    const char* text;
  } cases[] = {
      {0.0, "0.00 米"},       {0.004, "0.00 米"},
      {0.005, "0.01 米"},     {0.125, "0.13 米"},
      {2.675, "2.68 米"},     {1.005, "1.01 米"},
      {3.3734375, "3.37 米"}, {9.995, "10.00 米"},
      {99.999, "100.00 米"},  {123456.789, "123456.79 米"},
      {1e-300, "0.00 米"},    {5e9, "5000000000.00 米"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MetresText(c.metres), QString::fromUtf8(c.text)) << c.metres;
  EXPECT_EQ(CountText(0), QStringLiteral("0 次"));
  EXPECT_EQ(CountText(12345), QStringLiteral("12345 次"));
}

// ---- KeyHookKey ----

TEST_F(Counting, KeyDownsAndRepeatsCountKeyUpsDoNot) {
  KeyHookKey(state, Key(true), false, &labels);
  KeyHookKey(state, Key(true, true), false, &labels);
  KeyHookKey(state, Key(true, true), false, &labels);
  KeyHookKey(state, Key(false, true), false, &labels);
  EXPECT_EQ(state.KeyCount, 3);
  EXPECT_TRUE(labels.key.isEmpty());  // hidden window: only counting
}

TEST_F(Counting, KeyLabelFollowsWhileShowingKeyUpsIncluded) {
  KeyHookKey(state, Key(true), true, &labels);
  KeyHookKey(state, Key(false, true), true, &labels);
  KeyHookKey(state, Key(true), true, nullptr);  // no page: counts all the same
  EXPECT_EQ(state.KeyCount, 2);
  EXPECT_EQ(labels.key, (QStringList{QStringLiteral("1 次"), QStringLiteral("1 次")}));
  EXPECT_TRUE(labels.mouse.isEmpty());
}

// ---- MouseHookMouse ----

TEST_F(Counting, TheFirstMouseEventMeasuresFromTheOrigin) {
  MouseHookMouse(state, Mouse(300, 400, 512), false, nullptr);
  EXPECT_DOUBLE_EQ(state.MouseDistance, 500.0);
  EXPECT_EQ(state.LastMouseX, 300.0);
  EXPECT_EQ(state.LastMouseY, 400.0);
  EXPECT_EQ(state.ClickCount, 0);
}

TEST_F(Counting, OnlyPressesAndDoubleClicksCount) {
  const struct {
    std::uint32_t msg;
    int clicks;
  } cases[] = {{512, 0}, {513, 1}, {514, 0}, {515, 1}, {516, 1}, {517, 0}, {518, 1},
               {519, 1}, {520, 0}, {521, 1}, {522, 0}, {523, 0}, {524, 0}, {526, 0}};
  for (const auto& c : cases) {
    TRunState s;
    MouseHookMouse(s, Mouse(0, 0, c.msg), false, nullptr);
    EXPECT_EQ(s.ClickCount, c.clicks) << c.msg;
  }
}

TEST_F(Counting, ADoubleClickCountsTwoAndPressesInPlaceAddNoTravel) {
  MouseHookMouse(state, Mouse(30, 40, 512), false, nullptr);
  const struct {
    const char* what;
    std::uint32_t seq[4];
  } cases[] = {{"second press as a press", {513, 514, 513, 514}},
               {"second press as a double click", {513, 514, 515, 514}}};
  for (const auto& c : cases) {
    const int clicks = state.ClickCount;
    for (std::uint32_t msg : c.seq) MouseHookMouse(state, Mouse(30, 40, msg), false, nullptr);
    EXPECT_EQ(state.ClickCount - clicks, 2) << c.what;
  }
  EXPECT_DOUBLE_EQ(state.MouseDistance, 50.0);
}

TEST_F(Counting, TravelAfterAStopMeasuresFromTheLastPositionSeen) {
  MouseHookMouse(state, Mouse(100, 100, 512), false, nullptr);
  const double before = state.MouseDistance;
  // (the hook stopped here; the pointer went elsewhere unseen)
  MouseHookMouse(state, Mouse(400, 500, 513), false, nullptr);
  EXPECT_DOUBLE_EQ(state.MouseDistance - before, 500.0);
}

TEST_F(Counting, MouseLabelsWhileShowingConvertTheWholeTotalAtTheCurrentSize) {
  MouseHookMouse(state, Mouse(6000, 8000, 513), true, &labels);  // 10000 px
  EXPECT_EQ(labels.mouse, QStringList{QStringLiteral("1 次")});
  EXPECT_EQ(labels.move, QStringList{QStringLiteral("3.37 米")});
  MouseHookMouse(state, Mouse(6000, 8000, 514), false, &labels);
  EXPECT_EQ(labels.move.size(), 1);        // hidden: labels keep their text
  core.system.screen = QSize(2048, 1536);  // twice the diagonal
  MouseHookMouse(state, Mouse(6000, 8000, 512), true, &labels);
  EXPECT_EQ(labels.move.last(), QStringLiteral("1.69 米"));
  EXPECT_EQ(labels.mouse.last(), QStringLiteral("1 次"));
  EXPECT_TRUE(labels.key.isEmpty());
}

// ---- the idle give-back ----

TEST_F(Counting, AnyFirstEventAfterAnIdleCheckGivesTheIdleTimeBackOnce) {
  const struct {
    const char* what;
    bool key;
    bool down;
    std::uint32_t msg;
  } cases[] = {{"key-down", true, true, 0},
               {"key-up", true, false, 0},
               {"bare movement", false, false, 512},
               {"click", false, false, 513}};
  for (const auto& c : cases) {
    TRunState s;
    s.CountdownMs = 1000;
    s.IdlePending = true;
    s.IdleSinceTick = core.clock.tick;
    core.clock.Advance(7000);
    for (int i = 0; i < 2; ++i) {  // the second event finds nothing pending
      if (c.key)
        KeyHookKey(s, Key(c.down, !c.down), false, nullptr);
      else
        MouseHookMouse(s, Mouse(1, 1, c.msg), false, nullptr);
      EXPECT_FALSE(s.IdlePending) << c.what;
      EXPECT_EQ(s.CountdownMs, 8000) << c.what;
      core.clock.Advance(500);
    }
  }
}

TEST_F(Counting, IdleTimeIsTakenModulo32BitsAcrossTheTickWrap) {
  state.CountdownMs = -200;  // a phase just due
  state.IdlePending = true;
  state.IdleSinceTick = 0xFFFFF000u;
  core.clock.tick = 0x00000800u;
  KeyHookKey(state, Key(false), false, nullptr);
  EXPECT_EQ(state.CountdownMs, -200 + 0x1800);
}

TEST_F(Counting, AGiveBackBeyondTheCountdownsRangeStopsAtItsTop) {
  state.CountdownMs = 2700000;
  state.IdlePending = true;
  state.IdleSinceTick = core.clock.tick;
  core.clock.Advance(0xF0000000u);  // a mark left pending for about 46 days
  KeyHookKey(state, Key(true), false, nullptr);
  EXPECT_EQ(state.CountdownMs, INT32_MAX);
  EXPECT_FALSE(state.IdlePending);
}

TEST_F(Counting, NoIdleMarkGivesNothing) {
  state.CountdownMs = 5000;
  state.IdleSinceTick = 1;
  core.clock.Advance(100000);
  KeyHookKey(state, Key(true), false, nullptr);
  MouseHookMouse(state, Mouse(1, 1, 512), false, nullptr);
  EXPECT_EQ(state.CountdownMs, 5000);
}
