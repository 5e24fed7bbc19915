// The rest cycle engine, driven tick by tick with a fake clock, a fake view of
// the settings page and a fake tray host.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <limits>
#include <vector>

#include "reminder/RestEngine.h"
#include "support/Fakes.h"
#include "unit/sound/FakeSound.h"

namespace {

const QString kSmart = QStringLiteral("智能模式");
const QString kManual = QStringLiteral("手动设置");

class FakeSettings : public IRestSettings {
 public:
  QString scheme = kManual;
  QString age;
  QStringList ageItems{QStringLiteral("儿童"), QStringLiteral("少年"), QStringLiteral("青年"),
                       QStringLiteral("中年"), QStringLiteral("老年")};
  QString work = QStringLiteral("45");
  QString rest = QStringLiteral("15");
  bool animation = false;
  bool sound = false;
  bool balloon = false;
  QString soundFile;
  QString memo;
  QString label1 = QStringLiteral("0.00");
  QString label20 = QStringLiteral("0 分");
  QString label22 = QStringLiteral("0 分");
  QStringList workPutBack;
  QStringList restPutBack;

  QString PickEdit3Text() override { return scheme; }
  QString edOccupationText() override { return age; }
  QStringList edOccupationItems() override { return ageItems; }
  QString edStateText() override { return work; }
  void SetEdStateText(const QString& t) override {
    work = t;
    workPutBack << t;
  }
  QString PickEdit1Text() override { return rest; }
  void SetPickEdit1Text(const QString& t) override {
    rest = t;
    restPutBack << t;
  }
  bool CheckEdit4Checked() override { return animation; }
  bool CheckEdit5Checked() override { return sound; }
  bool CheckEdit6Checked() override { return balloon; }
  QString ButtonEdit1Text() override { return soundFile; }
  QString Memo1Text() override { return memo; }
  void SetLabel1(const QString& t) override { label1 = t; }
  void SetLabel20(const QString& t) override { label20 = t; }
  void SetLabel22(const QString& t) override { label22 = t; }
};

struct Balloon {
  QString title;
  QString text;
  int kind;
  int seconds;
};

class FakeHost : public IRestHost {
 public:
  explicit FakeHost(QStringList& log) : log_(log) {}
  bool showing = true;
  bool failLoad = false;
  bool iconList = false;
  bool cycling = false;
  std::vector<Balloon> balloons;
  QStringList loads;

  bool MainWindowShowing() override { return showing; }
  void ShowBalloon(const QString& title, const QString& text, int kind,
                   std::uint8_t seconds) override {
    balloons.push_back({title, text, kind, seconds});
    log_ << QStringLiteral("balloon ") + title;
  }
  void SetIconList(bool on) override {
    iconList = on;
    log_ << (on ? QStringLiteral("frames") : QStringLiteral("no frames"));
  }
  void SetCycleIcons(bool on) override {
    cycling = on;
    log_ << (on ? QStringLiteral("cycle on") : QStringLiteral("cycle off"));
  }
  void LoadIconFromFile(const QString& path) override {
    log_ << QStringLiteral("load ") + path;
    if (failLoad) throw platform::Error(QStringLiteral("Cannot open file \"") + path + '"');
    loads << path;
  }

 private:
  QStringList& log_;
};

class Engine : public ::testing::Test {
 protected:
  Engine() {
    sound.onPlay = [this](const QString& f) { log << QStringLiteral("play ") + f; };
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) engine.TimerHintTimer();
  }
  // Runs ticks until the phase changes; gives the number of ticks it took.
  int TicksUntilPhaseChange(int limit = 100000) {
    const bool was = state.IsWorking;
    for (int i = 1; i <= limit; ++i) {
      engine.TimerHintTimer();
      if (state.IsWorking != was) return i;
    }
    return -1;
  }
  const Balloon& LastBalloon() const { return host.balloons.back(); }

  fakes::CoreFakes core;
  fakes::FakeSound sound;
  QStringList log;
  TRunState state;
  FakeSettings settings;
  FakeHost host{log};
  TRestEngine engine{state, host, &settings};
};

// ---------------------------------------------------------------- the cycle

TEST_F(Engine, ManualCycleCountsAndSwitchesOnTheRightTicks) {
  settings.balloon = true;
  settings.memo = QStringLiteral("眼睛累了\r\n站起来走走");
  EXPECT_EQ(engine.WorkIntervalMinutes(), QStringLiteral("45"));

  Ticks(1);
  EXPECT_EQ(settings.label1, QStringLiteral("44分59秒"));
  EXPECT_EQ(settings.label20, QStringLiteral("0 时 0 分 1 秒"));
  EXPECT_EQ(settings.label22, QStringLiteral("0 时 0 分 0 秒"));

  EXPECT_EQ(TicksUntilPhaseChange(), 2700);  // the 2701st tick
  ASSERT_EQ(host.balloons.size(), 1u);
  EXPECT_EQ(LastBalloon().title, QStringLiteral("提示"));
  EXPECT_EQ(LastBalloon().text, QStringLiteral("眼睛累了\r\n站起来走走\r请您休息：15分钟."));
  EXPECT_EQ(LastBalloon().kind, 1);
  EXPECT_EQ(LastBalloon().seconds, 10);
  EXPECT_EQ(settings.label20, QStringLiteral("0 时 45 分 1 秒"));
  EXPECT_EQ(settings.label22, QStringLiteral("0 时 0 分 0 秒"));
  EXPECT_EQ(settings.label1, QStringLiteral("14分59秒"));

  Ticks(1);
  EXPECT_EQ(settings.label20, QStringLiteral("0 时 45 分 1 秒"));
  EXPECT_EQ(settings.label22, QStringLiteral("0 时 0 分 1 秒"));

  EXPECT_EQ(TicksUntilPhaseChange(), 899);  // the rest ends on its 901st tick
  ASSERT_EQ(host.balloons.size(), 2u);
  EXPECT_EQ(LastBalloon().text, QStringLiteral("开始新的计时.\r离下一次休息还剩：45分钟."));
  EXPECT_EQ(LastBalloon().kind, 1);
  EXPECT_EQ(LastBalloon().seconds, 10);
  EXPECT_EQ(state.WorkSeconds, 2701);
  EXPECT_EQ(state.RestSeconds, 900);
  EXPECT_EQ(state.CountdownMs, 45 * 60000 - 1000);
  EXPECT_EQ(settings.label1, QStringLiteral("44分59秒"));
  EXPECT_EQ(settings.label22, QStringLiteral("0 时 15 分 0 秒"));
}

TEST_F(Engine, RemindersComeInOrderUnderTheirSwitches) {
  struct Case {
    bool animation, balloon, sound;
    QStringList atRestStart;
    QStringList atRestEnd;
  };
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString wav = dir.filePath(QStringLiteral("bell.wav"));
  QFile(wav).open(QIODevice::WriteOnly);
  const QString idle = QStringLiteral("load /opt/talvenor/Eyes 2.ico");
  const QString rest = QStringLiteral("balloon 提示");
  const std::vector<Case> cases = {
      {true,
       true,
       true,
       {"frames", "cycle on", rest, "play " + wav},
       {rest, "no frames", idle, "cycle off"}},
      {false, false, false, {}, {rest}},
      {true, false, false, {"frames", "cycle on"}, {rest, "no frames", idle, "cycle off"}},
      {false, true, false, {rest}, {rest}},
      {false, false, true, {"play " + wav}, {rest}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.animation << c.balloon << c.sound);
    settings.animation = c.animation;
    settings.balloon = c.balloon;
    settings.sound = c.sound;
    settings.soundFile = wav;
    settings.work = QStringLiteral("1");
    settings.rest = QStringLiteral("2");
    state = TRunState();
    engine.WorkIntervalMinutes();
    log.clear();
    EXPECT_EQ(TicksUntilPhaseChange(), 61);
    EXPECT_EQ(log, c.atRestStart);
    // The rest has its configured length whatever the switches say.
    EXPECT_EQ(state.CountdownMs, 2 * 60000 - 1000);
    log.clear();
    EXPECT_EQ(TicksUntilPhaseChange(), 120);
    EXPECT_EQ(log, c.atRestEnd);
    EXPECT_EQ(LastBalloon().text, QStringLiteral("开始新的计时.\r离下一次休息还剩：1分钟."));
  }
}

TEST_F(Engine, RestOfZeroMinutesShowsMinusOneSecondAndEndsNextTick) {
  settings.work = QStringLiteral("1");
  settings.rest = QStringLiteral("0");
  engine.WorkIntervalMinutes();
  EXPECT_EQ(TicksUntilPhaseChange(), 61);
  EXPECT_EQ(state.CountdownMs, -1000);
  EXPECT_EQ(settings.label1, QStringLiteral("0分-1秒"));
  EXPECT_TRUE(settings.restPutBack.isEmpty());
  Ticks(1);
  EXPECT_TRUE(state.IsWorking);
  EXPECT_EQ(state.RestSeconds, 1);
  EXPECT_EQ(LastBalloon().text, QStringLiteral("开始新的计时.\r离下一次休息还剩：1分钟."));
}

TEST_F(Engine, UnknownAgeEndsEveryWorkingPhaseOneTickAfterItStarts) {
  settings.scheme = kSmart;
  settings.age = QStringLiteral("学生");
  settings.balloon = true;
  EXPECT_EQ(engine.WorkIntervalMinutes(), QStringLiteral("0"));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    EXPECT_EQ(TicksUntilPhaseChange(), 1);
    EXPECT_FALSE(state.IsWorking);
    EXPECT_EQ(LastBalloon().text, QStringLiteral("\r请您休息：10分钟."));
    EXPECT_EQ(TicksUntilPhaseChange(), 600);
    EXPECT_EQ(LastBalloon().text, QStringLiteral("开始新的计时.\r离下一次休息还剩：0分钟."));
  }
}

TEST_F(Engine, HiddenWindowFreezesTheLabelsUntilTheNextTickAfterShowing) {
  engine.WorkIntervalMinutes();
  Ticks(1);
  host.showing = false;
  Ticks(10);
  EXPECT_EQ(settings.label1, QStringLiteral("44分59秒"));
  EXPECT_EQ(settings.label20, QStringLiteral("0 时 0 分 1 秒"));
  EXPECT_EQ(state.WorkSeconds, 11);
  host.showing = true;
  Ticks(1);
  EXPECT_EQ(settings.label1, QStringLiteral("44分48秒"));
  EXPECT_EQ(settings.label20, QStringLiteral("0 时 0 分 12 秒"));
}

TEST_F(Engine, TotalsStopAtTheLargest32BitValueInsteadOfWrapping) {
  engine.WorkIntervalMinutes();
  state.WorkSeconds = std::numeric_limits<std::int32_t>::max() - 1;
  Ticks(3);
  EXPECT_EQ(state.WorkSeconds, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(settings.label20, QStringLiteral("596523 时 14 分 7 秒"));
}

TEST_F(Engine, WithoutASettingsPageRunsTheManualFallbackQuietly) {
  TRestEngine bare(state, host, nullptr);
  EXPECT_EQ(bare.WorkIntervalMinutes(), QStringLiteral("45"));
  for (int i = 0; i < 2701; ++i) bare.TimerHintTimer();
  EXPECT_FALSE(state.IsWorking);
  EXPECT_EQ(state.CountdownMs, 15 * 60000 - 1000);
  EXPECT_TRUE(host.balloons.empty());
  EXPECT_TRUE(log.isEmpty());
  bare.PlayReminderSound();  // no file chosen and none beside the fake executable
  EXPECT_TRUE(sound.played.isEmpty());
  for (int i = 0; i < 900; ++i) bare.TimerHintTimer();
  EXPECT_TRUE(state.IsWorking);
  ASSERT_EQ(host.balloons.size(), 1u);
  EXPECT_EQ(LastBalloon().text, QStringLiteral("开始新的计时.\r离下一次休息还剩：45分钟."));
  EXPECT_EQ(settings.label1, QStringLiteral("0.00"));  // nothing to write to

  bare.SetSettings(&settings);
  settings.work = QStringLiteral("20");
  EXPECT_EQ(bare.WorkIntervalMinutes(), QStringLiteral("20"));
  bare.TimerHintTimer();
  EXPECT_EQ(settings.label1, QStringLiteral("19分59秒"));
}

// ---------------------------------------------------------- interval policy

struct IntervalCase {
  bool rest;
  const char* text;
  const char* minutes;
  std::int32_t countdownMs;
  bool putBack;
};

class IntervalPolicy : public Engine, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(IntervalPolicy, ManualMinutesOrTheirDefault) {
  const IntervalCase& c = GetParam();
  const QString text = QString::fromUtf8(c.text);
  (c.rest ? settings.rest : settings.work) = text;
  const QString got = c.rest ? engine.RestIntervalMinutes() : engine.WorkIntervalMinutes();
  EXPECT_EQ(got, QString::fromUtf8(c.minutes));
  EXPECT_EQ(state.CountdownMs, c.countdownMs);
  const QStringList& putBack = c.rest ? settings.restPutBack : settings.workPutBack;
  if (c.putBack) {
    EXPECT_EQ(putBack, QStringList{QString::fromUtf8(c.minutes)});
  } else {
    EXPECT_TRUE(putBack.isEmpty());
  }
  EXPECT_TRUE((c.rest ? settings.workPutBack : settings.restPutBack).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, IntervalPolicy,
                         ::testing::Values(IntervalCase{false, "", "45", 2700000, true},
                                           IntervalCase{false, "abc", "45", 2700000, true},
                                           IntervalCase{false, "-1", "45", 2700000, true},
                                           IntervalCase{false, "40000", "45", 2700000, true},
                                           IntervalCase{false, "35792", "45", 2700000, true},
                                           IntervalCase{false, "-35792", "45", 2700000, true},
                                           IntervalCase{false, "99999999999", "45", 2700000, true},
                                           IntervalCase{false, "4 5", "45", 2700000, true},
                                           IntervalCase{false, "045", "045", 2700000, false},
                                           IntervalCase{false, "+30", "+30", 1800000, false},
                                           IntervalCase{false, "35791", "35791", 35791 * 60000,
                                                        false},
                                           IntervalCase{false, "-5", "-5", -300000, false},
                                           IntervalCase{true, "", "15", 900000, true},
                                           IntervalCase{true, "abc", "15", 900000, true},
                                           IntervalCase{true, "-1", "15", 900000, true},
                                           IntervalCase{true, "40000", "15", 900000, true},
                                           IntervalCase{true, "0", "0", 0, false},
                                           IntervalCase{true, "007", "007", 420000, false}));

struct SmartCase {
  const char* scheme;
  const char* age;
  const char* work;
  std::int32_t workMs;
  const char* rest;
  std::int32_t restMs;
};

class SmartScheme : public Engine, public ::testing::WithParamInterface<SmartCase> {};

TEST_P(SmartScheme, AgeGivesTheWorkingMinutesWhateverTheMinuteFieldsSay) {
  const SmartCase& c = GetParam();
  settings.scheme = QString::fromUtf8(c.scheme);
  settings.age = QString::fromUtf8(c.age);
  settings.work = QStringLiteral("abc");
  settings.rest = QStringLiteral("30");
  EXPECT_EQ(engine.WorkIntervalMinutes(), QString::fromUtf8(c.work));
  EXPECT_EQ(state.CountdownMs, c.workMs);
  EXPECT_EQ(engine.RestIntervalMinutes(), QString::fromUtf8(c.rest));
  EXPECT_EQ(state.CountdownMs, c.restMs);
}

INSTANTIATE_TEST_SUITE_P(
    Ages, SmartScheme,
    ::testing::Values(SmartCase{"智能模式", "儿童", "40", 2400000, "10", 600000},
                      SmartCase{"智能模式", "少年", "45", 2700000, "10", 600000},
                      SmartCase{"智能模式", "青年", "50", 3000000, "10", 600000},
                      SmartCase{"智能模式", "中年", "55", 3300000, "10", 600000},
                      SmartCase{"智能模式", "老年", "60", 3600000, "10", 600000},
                      SmartCase{"智能模式", "", "0", 0, "10", 600000},
                      SmartCase{"智能模式", "学生", "0", 0, "10", 600000},
                      // Only the exact scheme text is smart; the manual fields rule.
                      SmartCase{"智能模式 ", "儿童", "45", 2700000, "30", 1800000},
                      SmartCase{"", "儿童", "45", 2700000, "30", 1800000}));

TEST_F(Engine, AgeLookupIgnoresLetterCaseAndTakesTheFirstMatch) {
  settings.scheme = kSmart;
  settings.ageItems = {QStringLiteral("teen"), QStringLiteral("Child"), QStringLiteral("child"),
                       QStringLiteral("a"),    QStringLiteral("b"),     QStringLiteral("c")};
  const std::vector<std::pair<const char*, int>> cases = {
      {"TEEN", 40}, {"child", 45}, {"b", 60}, {"c", 0}, {"teens", 0}};
  for (const auto& [age, minutes] : cases) {
    settings.age = QString::fromLatin1(age);
    EXPECT_EQ(engine.SmartWorkMinutes(), minutes) << age;
  }
}

// ------------------------------------------------------ restart and the icon

TEST_F(Engine, RestartDuringARestStartsAFullWorkingIntervalAndStopsTheAnimation) {
  settings.animation = true;
  settings.work = QStringLiteral("30");
  engine.WorkIntervalMinutes();
  TicksUntilPhaseChange();
  ASSERT_TRUE(host.cycling);
  Ticks(100);
  settings.animation = false;  // the restart stops it all the same
  const std::int32_t work = state.WorkSeconds, rest = state.RestSeconds;
  log.clear();
  engine.N2Click();
  EXPECT_TRUE(state.IsWorking);
  EXPECT_EQ(state.CountdownMs, 30 * 60000);
  EXPECT_EQ(LastBalloon().title, QStringLiteral("已经开始从新计时"));
  EXPECT_EQ(LastBalloon().text, QStringLiteral("离下一次休息还剩：30分钟."));
  EXPECT_EQ(LastBalloon().kind, 1);
  EXPECT_EQ(LastBalloon().seconds, 10);
  EXPECT_EQ(log, (QStringList{"balloon 已经开始从新计时", "no frames",
                              "load /opt/talvenor/Eyes 2.ico", "cycle off"}));
  EXPECT_FALSE(host.cycling);
  EXPECT_EQ(state.WorkSeconds, work);
  EXPECT_EQ(state.RestSeconds, rest);
  Ticks(1);
  EXPECT_EQ(settings.label1, QStringLiteral("29分59秒"));
}

TEST_F(Engine, SwitchingTheAnimationOffDuringARestLeavesItRunning) {
  settings.animation = true;
  settings.work = QStringLiteral("1");
  settings.rest = QStringLiteral("1");
  engine.WorkIntervalMinutes();
  TicksUntilPhaseChange();
  ASSERT_TRUE(host.cycling);
  settings.animation = false;
  TicksUntilPhaseChange();
  EXPECT_TRUE(state.IsWorking);
  EXPECT_TRUE(host.cycling);
  EXPECT_TRUE(host.loads.isEmpty());
  // A later rest end with the switch on stops it.
  TicksUntilPhaseChange();
  settings.animation = true;
  TicksUntilPhaseChange();
  EXPECT_FALSE(host.cycling);
  EXPECT_EQ(host.loads, QStringList{"/opt/talvenor/Eyes 2.ico"});
}

TEST_F(Engine, AnIconThatCannotBeLoadedAbandonsTheRestOfTheTick) {
  settings.animation = true;
  settings.work = QStringLiteral("1");
  settings.rest = QStringLiteral("1");
  engine.WorkIntervalMinutes();
  TicksUntilPhaseChange();
  Ticks(59);
  ASSERT_EQ(settings.label1, QStringLiteral("0分0秒"));
  host.failLoad = true;
  // The tick runs under the guard the timer's handler runs under.
  EXPECT_FALSE(platform::Guard([&] { engine.TimerHintTimer(); }));
  ASSERT_EQ(core.errors.shown.size(), 1);
  EXPECT_EQ(core.errors.shown[0], QStringLiteral("Cannot open file \"/opt/talvenor/Eyes 2.ico\""));
  EXPECT_TRUE(state.IsWorking);
  EXPECT_EQ(state.CountdownMs, 60000);                   // armed, not decreased
  EXPECT_EQ(settings.label1, QStringLiteral("0分0秒"));  // not refreshed
  EXPECT_TRUE(host.cycling);                             // not switched off
  EXPECT_FALSE(host.iconList);                           // the frames are gone
  EXPECT_EQ(LastBalloon().text, QStringLiteral("开始新的计时.\r离下一次休息还剩：1分钟."));

  // The next tick runs normally.
  EXPECT_TRUE(platform::Guard([&] { engine.TimerHintTimer(); }));
  EXPECT_EQ(state.CountdownMs, 59000);
  EXPECT_EQ(settings.label1, QStringLiteral("0分59秒"));

  // The restart reports it too, after its balloon and the phase are set.
  state.IsWorking = false;
  EXPECT_FALSE(platform::Guard([&] { engine.N2Click(); }));
  EXPECT_EQ(core.errors.shown.size(), 2);
  EXPECT_TRUE(state.IsWorking);
  EXPECT_EQ(LastBalloon().title, QStringLiteral("已经开始从新计时"));
  EXPECT_TRUE(host.cycling);
}

TEST_F(Engine, FirstWorkingPhaseIsArmedAndAnnounced) {
  settings.work = QStringLiteral("50");
  engine.StartFirstWorkingPhase();
  EXPECT_EQ(state.CountdownMs, 50 * 60000);
  ASSERT_EQ(host.balloons.size(), 1u);
  EXPECT_EQ(LastBalloon().title, QStringLiteral("提示"));
  EXPECT_EQ(LastBalloon().text, QStringLiteral("Talvenor正在运行.\r离下一次休息还剩：50分钟."));
  EXPECT_EQ(LastBalloon().kind, 1);
  EXPECT_EQ(LastBalloon().seconds, 10);
  Ticks(1);
  EXPECT_EQ(settings.label1, QStringLiteral("49分59秒"));
}

// ------------------------------------------------------------------- sound

TEST_F(Engine, ReminderSoundPlaysTheChosenFileElseTheDefaultElseNothing) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  core.system.exePath = dir.filePath(QStringLiteral("talvenor"));
  const QString chosen = dir.filePath(QStringLiteral("my bell.wav"));
  const QString fallback = dir.filePath(QStringLiteral("res/enter.wav"));
  QFile(chosen).open(QIODevice::WriteOnly);
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("folder.wav")));
  struct Case {
    QString soundFile;
    bool defaultThere;
    QString played;  // empty: nothing
  };
  const std::vector<Case> cases = {
      {chosen, true, chosen},
      {chosen, false, chosen},
      {dir.filePath(QStringLiteral("gone.wav")), true, fallback},
      {QString(), true, fallback},
      {dir.filePath(QStringLiteral("folder.wav")), true, fallback},
      {QString(), false, QString()},
      {dir.filePath(QStringLiteral("gone.wav")), false, QString()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.soundFile.toStdString() + (c.defaultThere ? " +default" : " -default"));
    QDir(dir.path()).mkpath(QStringLiteral("res"));
    if (c.defaultThere)
      QFile(fallback).open(QIODevice::WriteOnly);
    else
      QFile::remove(fallback);
    settings.soundFile = c.soundFile;
    sound.played.clear();
    engine.PlayReminderSound();
    EXPECT_EQ(sound.played, c.played.isEmpty() ? QStringList() : QStringList{c.played});
  }
}

// --------------------------------------------------------------- idle pause

// The counters' give-back, as the key and mouse handlers apply it.
void InputArrives(TRunState& s) {
  s.KeyCount += 1;
  if (s.IdlePending) {
    s.CountdownMs += static_cast<std::int32_t>(platform::GetTickCount() - s.IdleSinceTick);
    s.IdlePending = false;
  }
}

TEST_F(Engine, LongIdleSpellGivesBackLessThanOneCheckPeriod) {
  struct Case {
    QString scheme;
    std::int32_t givenBack;
  };
  for (const Case& c : {Case{kSmart, 3000}, Case{kManual, 0}}) {
    SCOPED_TRACE(c.scheme.toStdString());
    settings.scheme = c.scheme;
    state = TRunState();
    state.CountdownMs = 600000;
    state.KeyCount = 7;
    state.ClickCount = 3;
    state.MouseDistance = 123.25;
    engine.IdleCheck();  // takes the totals in
    EXPECT_FALSE(state.IdlePending);
    EXPECT_EQ(state.CheckKeyCount, 7);
    EXPECT_EQ(state.CheckClickCount, 3);
    EXPECT_EQ(state.CheckMouseDistance, 123.25);
    for (int i = 0; i < 20 * 60 / 5; ++i) {  // twenty quiet minutes
      core.clock.Advance(5000);
      engine.IdleCheck();
    }
    EXPECT_EQ(state.IdlePending, c.scheme == kSmart);
    core.clock.Advance(3000);
    InputArrives(state);
    EXPECT_EQ(state.CountdownMs, 600000 + c.givenBack);
  }
}

TEST_F(Engine, IdleCheckMarksOnlyWhenNoTotalMoved) {
  settings.scheme = kSmart;
  struct Case {
    const char* name;
    void (*move)(TRunState&);
    bool idle;
  };
  const Case cases[] = {
      {"nothing", [](TRunState&) {}, true},
      {"a key", [](TRunState& s) { s.KeyCount += 1; }, false},
      {"a click", [](TRunState& s) { s.ClickCount += 1; }, false},
      {"a tiny move", [](TRunState& s) { s.MouseDistance += 1e-9; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    state = TRunState();
    state.MouseDistance = 1000.0;
    engine.IdleCheck();
    state.IdlePending = false;
    c.move(state);
    core.clock.Advance(5000);
    engine.IdleCheck();
    EXPECT_EQ(state.IdlePending, c.idle);
    if (c.idle) {
      EXPECT_EQ(state.IdleSinceTick, core.clock.tick);
    }
    EXPECT_EQ(state.CheckKeyCount, state.KeyCount);
    EXPECT_EQ(state.CheckClickCount, state.ClickCount);
    EXPECT_EQ(state.CheckMouseDistance, state.MouseDistance);
  }
}

// --------------------------------------------------------------- formatting

TEST(FormatHms, WholeSecondsAsHoursMinutesSeconds) {
  const std::vector<std::pair<std::int32_t, const char*>> cases = {
      {0, "0 时 0 分 0 秒"},
      {59, "0 时 0 分 59 秒"},
      {60, "0 时 1 分 0 秒"},
      {3600, "1 时 0 分 0 秒"},
      {3725, "1 时 2 分 5 秒"},
      {86399, "23 时 59 分 59 秒"},
      {360000, "100 时 0 分 0 秒"},
      {std::numeric_limits<std::int32_t>::max(), "596523 时 14 分 7 秒"},
      {-3725, "-1 时 -2 分 -5 秒"},
  };
  for (const auto& [s, text] : cases)
    EXPECT_EQ(TRestEngine::FormatHms(s), QString::fromUtf8(text)) << s;
}

TEST(CountdownText, TruncatesTowardZeroAndKeepsTheSign) {
  const std::vector<std::pair<std::int32_t, const char*>> cases = {
      {2699000, "44分59秒"}, {2700000, "45分0秒"},
      {0, "0分0秒"},         {999, "0分0秒"},
      {-1000, "0分-1秒"},    {-61000, "-1分-1秒"},
      {59999, "0分59秒"},    {35791 * 60000 - 1000, "35790分59秒"},
  };
  for (const auto& [ms, text] : cases)
    EXPECT_EQ(TRestEngine::CountdownText(ms), QString::fromUtf8(text)) << ms;
}

TEST(TrayHint, MinutesLeftRoundedHalfToEven) {
  const std::vector<std::pair<std::int32_t, std::int32_t>> cases = {
      {2699000, 45},
      {90000, 2},
      {150000, 2},
      {210000, 4},
      {29999, 0},
      {30000, 0},
      {30001, 1},
      {0, 0},
      {-1000, 0},
      {-90000, -2},
      {-150000, -2},
      {-210000, -4},
      {std::numeric_limits<std::int32_t>::max(), 35791},
      {std::numeric_limits<std::int32_t>::min(), -35791},
  };
  for (const auto& [ms, minutes] : cases) EXPECT_EQ(TRestEngine::HintMinutes(ms), minutes) << ms;
  EXPECT_EQ(TRestEngine::TrayHintText(2699000), QStringLiteral("离休息还剩：45 分钟；"));
  EXPECT_EQ(TRestEngine::TrayHintText(150000), QStringLiteral("离休息还剩：2 分钟；"));
}

}  // namespace
