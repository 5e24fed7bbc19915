// Runs the application's own event loop, so it lives in an executable of its own.
#include <QApplication>
#include <QTimer>

#include "PageFixture.h"

using namespace settings_test;

TEST_F(PageTest, AnExitRequestDuringTheAnimationWaitTakesEffectWhenItEnds) {
  QStringList atQuit;
  bool timedOut = false;
  QTimer::singleShot(0, [&] { page->SpeedButton2->click(); });
  QTimer::singleShot(30, [&] {
    QCoreApplication::quit();  // what the tray's exit entry does
    atQuit = host.calls;
    QTimer::singleShot(50, [&] { core.clock.Advance(10000); });
  });
  QTimer::singleShot(20000, [&] {
    timedOut = true;
    core.clock.Advance(100000);
    QCoreApplication::exit(1);
  });
  const int rc = QApplication::exec();
  EXPECT_FALSE(timedOut) << "the exit request was lost";
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(atQuit, (QStringList{"iconlist=ImageList2", "cycle=on", "balloon"}))
      << "the wait was under way when the exit was asked for";
  EXPECT_EQ(host.calls, (QStringList{"iconlist=ImageList2", "cycle=on", "balloon", "iconlist=none",
                                     "icon", "cycle=off"}))
      << "the loop ended only after the wait had finished";
}
