// The tray icon as the main window uses it, on the recording notification area.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>

#include "app/main.h"
#include "monitor/RunState.h"
#include "settings/fWeb.h"
#include "stats/fGradient.h"
#include "support/Fakes.h"
#include "unit/tray/FakeNotifyIcon.h"

using namespace platform;

namespace {

class TrayAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunState = TRunState{};
    core_.system.fonts = {QStringLiteral("Tahoma")};
    MainForm = new TMainForm;
    fmWebStyle = new TfmWebStyle;
    fmGradient = new TfmGradient;
    MainForm->FormResize();
  }
  void TearDown() override {
    delete fmGradient;
    delete fmWebStyle;
    delete MainForm;
    fmGradient = nullptr;
    fmWebStyle = nullptr;
    MainForm = nullptr;
    RunState = TRunState{};
  }
  void Mouse(UINT event) {
    TTrayIcon* icon = MainForm->TrayIcon;
    SendMessage(icon->IconData().hWnd, icon->IconData().uCallbackMessage, icon->Id(),
                static_cast<LPARAM>(event));
  }
  void DoubleClick() {
    for (UINT e : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) Mouse(e);
  }
  void FireHintTimer() {
    for (const auto& [key, ms] : core_.timers.running)
      if (key.first == MainForm->TimerHint.Handle()) {
        core_.timers.Fire(key.first, key.second);
        return;
      }
    ADD_FAILURE() << "TimerHint is not running";
  }
  QString Tooltip() const { return FieldText(shell_.Last().data.szTip); }

  fakes::CoreFakes core_;
  fakes::FakeNotifyIcon shell_;
};

TEST_F(TrayAppTest, TheIconIsInTheTrayAtStartAndTheWindowIsNot) {
  TTrayIcon* icon = MainForm->TrayIcon;
  ASSERT_NE(icon, nullptr);
  ASSERT_EQ(shell_.Of(NIM_ADD).size(), 1u);
  const NOTIFYICONDATAA added = shell_.Of(NIM_ADD)[0].data;
  EXPECT_EQ(added.uID, icon->Id());
  EXPECT_FALSE(added.hIcon.isNull());
  EXPECT_TRUE(added.hIcon.availableSizes().contains(QSize(32, 32)));
  EXPECT_EQ(shell_.shown.size(), 1u);
  EXPECT_TRUE(icon->IconVisible());
  EXPECT_EQ(icon->CycleInterval(), 400u);
  EXPECT_FALSE(icon->CycleIcons());
  EXPECT_EQ(icon->IconIndex(), 0);
  EXPECT_EQ(icon->PopupMenu(), MainForm->PopupMenu);
  EXPECT_TRUE(icon->MinimizeToTray());
  EXPECT_FALSE(icon->LeftPopup());
  EXPECT_TRUE(icon->Enabled());
  EXPECT_TRUE(icon->ShowHint());
  EXPECT_FALSE(MainForm->isVisible());
}

TEST_F(TrayAppTest, HoveringShowsTheMinutesLeftRoundedHalfToEven) {
  struct HintCase {
    std::int32_t countdownMs;
    const char* minutes;
  };
  const HintCase cases[] = {
      {44 * 60000 + 59000, "45"},
      {90000, "2"},
      {150000, "2"},
      {210000, "4"},
      {29999, "0"},
      {0, "0"},
      {45 * 60000, "45"},
  };
  for (const HintCase& c : cases) {
    SCOPED_TRACE(c.countdownMs);
    RunState.CountdownMs = c.countdownMs;
    Mouse(WM_MOUSEMOVE);
    EXPECT_EQ(MainForm->TrayIcon->Hint(),
              QStringLiteral("离休息还剩：%1 分钟；").arg(QLatin1String(c.minutes)));
    EXPECT_EQ(Tooltip(), MainForm->TrayIcon->Hint());
  }
}

TEST_F(TrayAppTest, TheTooltipFollowsTheCountdownWithoutHovering) {
  RunState.CountdownMs = 44 * 60000 + 59000;
  FireHintTimer();
  EXPECT_EQ(Tooltip(), QStringLiteral("离休息还剩：45 分钟；"));
  // The same minute figure sends nothing more.
  const std::size_t before = shell_.calls.size();
  RunState.CountdownMs -= 1000;
  FireHintTimer();
  EXPECT_EQ(shell_.calls.size(), before);
  RunState.CountdownMs = 43 * 60000 + 29000;
  FireHintTimer();
  EXPECT_EQ(Tooltip(), QStringLiteral("离休息还剩：43 分钟；"));
}

TEST_F(TrayAppTest, DoubleClickBringsTheWindowBackWithItsLastPage) {
  DoubleClick();
  EXPECT_TRUE(MainForm->isVisible());
  EXPECT_FALSE(MainForm->isMinimized());
  EXPECT_TRUE(MainForm->BSample->isChecked());
  EXPECT_EQ(fmWebStyle->pnForm->parentWidget(), MainForm->pnParent);
  EXPECT_TRUE(fmWebStyle->pnForm->isVisible());
  EXPECT_TRUE(core_.timers.Fire(MainForm->TrayIcon->ClickTimer().Handle(),
                                MainForm->TrayIcon->ClickTimer().Id()));
  EXPECT_FALSE(MainForm->PopupMenu->isVisible());  // no entry is chosen or shown

  MainForm->BWeb->click();
  MainForm->close();
  EXPECT_FALSE(MainForm->isVisible());
  MainForm->N1->trigger();
  EXPECT_TRUE(MainForm->isVisible());
  EXPECT_TRUE(MainForm->BWeb->isChecked());
  EXPECT_TRUE(fmGradient->pnForm->isVisible());
}

TEST_F(TrayAppTest, ClosingOrMinimisingHidesTheWindowIntoTheTray) {
  MainForm->N1->trigger();
  ASSERT_TRUE(MainForm->isVisible());
  QCloseEvent close;
  QCoreApplication::sendEvent(MainForm, &close);
  EXPECT_FALSE(close.isAccepted());
  EXPECT_FALSE(MainForm->isVisible());
  EXPECT_EQ(shell_.shown.size(), 1u);  // the icon stays

  MainForm->N1->trigger();
  MainForm->showMinimized();
  QCoreApplication::processEvents();
  EXPECT_FALSE(MainForm->isVisible());
  EXPECT_TRUE(MainForm->TrayIcon->IconVisible());
  MainForm->N1->trigger();
  EXPECT_TRUE(MainForm->isVisible());
  EXPECT_FALSE(MainForm->isMinimized());
  EXPECT_NE(RunState.StartTick, 0u);  // and the first-show work is not repeated
}

TEST_F(TrayAppTest, RightClickPopsTheTrayMenu) {
  Mouse(WM_RBUTTONDOWN);
  Mouse(WM_RBUTTONUP);
  EXPECT_TRUE(MainForm->PopupMenu->isVisible());
  MainForm->PopupMenu->hide();
}

TEST_F(TrayAppTest, ExitEndsTheProgramEvenWhileTheWindowShows) {
  MainForm->N1->trigger();
  ASSERT_TRUE(MainForm->isVisible());
  // A window that refuses to close must not keep the program running.
  QTimer::singleShot(0, [] { MainForm->N4->trigger(); });
  QTimer::singleShot(3000, [] { QCoreApplication::exit(99); });
  EXPECT_EQ(QCoreApplication::exec(), 0);
}

TEST_F(TrayAppTest, DestroyingTheWindowTakesTheIconAway) {
  const UINT id = MainForm->TrayIcon->Id();
  delete fmGradient;
  delete fmWebStyle;
  delete MainForm;
  fmGradient = nullptr;
  fmWebStyle = nullptr;
  MainForm = nullptr;
  EXPECT_EQ(shell_.Last().message, NIM_DELETE);
  EXPECT_EQ(shell_.Last().data.uID, id);
  EXPECT_TRUE(shell_.shown.empty());
}

}  // namespace
