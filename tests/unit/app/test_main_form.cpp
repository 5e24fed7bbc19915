#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>

#include "app/main.h"
#include "monitor/RunState.h"
#include "settings/fWeb.h"
#include "stats/fGradient.h"
#include "support/Fakes.h"

namespace {

// The program's windows as start-up makes them, on fake services.
class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunState = TRunState{};
    fakes_.system.fonts = {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")};
    MainForm = new TMainForm;
    fmWebStyle = new TfmWebStyle;
    fmGradient = new TfmGradient;
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
  fakes::CoreFakes fakes_;
};

TEST_F(MainFormTest, ShowPageMovesThePanelIntoTheHostAndHidesTheOther) {
  MainForm->FormResize();
  QFrame* settings = fmWebStyle->pnForm;
  QFrame* stats = fmGradient->pnForm;
  EXPECT_EQ(settings->parentWidget(), MainForm->pnParent);
  EXPECT_FALSE(settings->isHidden());

  MainForm->BWeb->click();
  EXPECT_TRUE(MainForm->BWeb->isChecked());
  EXPECT_FALSE(MainForm->BSample->isChecked());
  EXPECT_EQ(stats->parentWidget(), MainForm->pnParent);
  EXPECT_EQ(stats->pos(), QPoint(0, 0));
  EXPECT_FALSE(stats->isHidden());
  // The settings panel stays in the host, hidden, so its labels can still be written.
  EXPECT_EQ(settings->parentWidget(), MainForm->pnParent);
  EXPECT_TRUE(settings->isHidden());
  EXPECT_EQ(stats->size(), QSize(625, 386));  // a panel keeps its own size

  MainForm->BSample->click();
  EXPECT_TRUE(stats->isHidden());
  EXPECT_FALSE(settings->isHidden());
  EXPECT_FALSE(fmWebStyle->isVisible());  // the page windows themselves stay hidden
  EXPECT_FALSE(fmGradient->isVisible());
}

TEST_F(MainFormTest, WindowHasTheFixedFrameOfTheProgram) {
  EXPECT_EQ(MainForm->windowTitle(), QStringLiteral("Talvenor"));
  EXPECT_EQ(MainForm->size(), QSize(630, 451));
  EXPECT_EQ(MainForm->minimumSize(), MainForm->maximumSize());
  EXPECT_FALSE(MainForm->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(MainForm->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(MainForm->pnParent->size(), QSize(622, 376));
  EXPECT_EQ(MainForm->pnParent->mapTo(MainForm, QPoint(0, 0)), QPoint(4, 71));
  EXPECT_EQ(MainForm->TimerHint.Interval(), 1000u);
  EXPECT_TRUE(MainForm->TimerHint.Enabled());
  EXPECT_EQ(MainForm->ImageList2.Count(), 8);
  EXPECT_EQ(MainForm->ImageList2.Image(0).size(), QSize(16, 16));
  QStringList captions;
  for (QAction* a : MainForm->PopupMenu->actions())
    captions << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(captions,
            (QStringList{"显示主窗口", "重新开始计时", "帮助", "-", "统计说明", "-", "退出"}));
  EXPECT_EQ(MainForm->PopupMenu->defaultAction(), nullptr);
}

TEST_F(MainFormTest, ClosingHidesTheWindowAndTheProgramGoesOn) {
  MainForm->FormResize();
  MainForm->show();
  ASSERT_TRUE(MainForm->isVisible());
  EXPECT_FALSE(MainForm->close());  // the close is refused
  EXPECT_FALSE(MainForm->isVisible());
  EXPECT_TRUE(fakes_.timers.IsRunning(MainForm->TimerHint.Handle(), 1));
  MainForm->N1Click();
  EXPECT_TRUE(MainForm->isVisible());
}

TEST_F(MainFormTest, FirstShowInitialisationRunsOnceWhateverTheResizes) {
  fakes_.clock.tick = 777;
  MainForm->FormResize();
  EXPECT_EQ(RunState.StartTick, 777u);
  EXPECT_FALSE(fmWebStyle->btnigreen->isEnabled());
  MainForm->BWeb->click();

  fakes_.clock.tick = 9999;
  fmWebStyle->btnigreen->setEnabled(true);
  MainForm->show();  // the real first resize arrives now
  MainForm->showMinimized();
  MainForm->showNormal();
  MainForm->FormResize();
  EXPECT_EQ(RunState.StartTick, 777u);
  EXPECT_TRUE(fmGradient->pnForm->isVisible()) << "a later resize must not show the settings page";
  EXPECT_TRUE(fmWebStyle->btnigreen->isEnabled());
  MainForm->hide();
}

TEST_F(MainFormTest, FontFallbackReachesEveryDescendantAndChangesOnlyTheName) {
  fakes_.system.fonts = {QStringLiteral("DejaVu Sans")};  // no Tahoma
  auto* nested = new QFrame(fmWebStyle->pnForm);
  auto* label = new QLabel(QStringLiteral("统计键盘击键次数"), nested);
  QFont own(QStringLiteral("宋体"));
  own.setPixelSize(12);
  own.setBold(true);
  label->setFont(own);

  MainForm->FormResize();

  const QString fallback = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  EXPECT_EQ(label->font().family(), fallback);
  EXPECT_EQ(label->font().pixelSize(), 12);
  EXPECT_TRUE(label->font().bold());
  EXPECT_EQ(MainForm->font().family(), fallback);
  EXPECT_EQ(MainForm->font().pixelSize(), 11);
  EXPECT_EQ(MainForm->BSample->font().family(), fallback);
  EXPECT_EQ(fmGradient->pnForm->font().family(), fallback);
  EXPECT_EQ(fmGradient->pnForm->font().pixelSize(), 11);
}

TEST_F(MainFormTest, WithTahomaInstalledNoFontChanges) {
  auto* label = new QLabel(QStringLiteral("x"), fmWebStyle->pnForm);
  QFont own(QStringLiteral("宋体"));
  own.setPixelSize(12);
  label->setFont(own);
  MainForm->FormResize();
  EXPECT_EQ(label->font().family(), QStringLiteral("宋体"));
}

TEST_F(MainFormTest, HelpEntriesOpenThePageBesideTheExecutable) {
  MainForm->BCustomize->click();
  MainForm->N3->trigger();
  MainForm->N6->trigger();
  ASSERT_EQ(fakes_.system.openedUrls.size(), 3);
  EXPECT_EQ(fakes_.system.openedUrls[0], QStringLiteral("file:///opt/talvenor/help/index.html"));
  EXPECT_EQ(fakes_.system.openedUrls[1], fakes_.system.openedUrls[0]);
  EXPECT_EQ(fakes_.system.openedUrls[2],
            QStringLiteral("file:///opt/talvenor/help/index.html#statistics"));
}

}  // namespace
