#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/core/Services.h"
#include "support/Fakes.h"

using namespace platform;

namespace {

// Runs the event loop until pred holds or the limit passes.
template <class Pred>
bool PumpUntil(Pred pred, int limitMs = 5000) {
  QElapsedTimer t;
  t.start();
  while (!pred() && t.elapsed() < limitMs)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return pred();
}

}  // namespace

TEST(TickCount, DifferencesWrapModulo32Bits) {
  const std::uint32_t before = 0xFFFFFF00u;
  const std::uint32_t after = 0x00000100u;  // 512 ms later, across the wrap
  EXPECT_EQ(after - before, 512u);
  MonotonicClock clock;
  const std::uint32_t a = clock.TickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const std::uint32_t b = clock.TickCount();
  EXPECT_GE(b - a, 20u);
  EXPECT_LT(b - a, 2000u);
}

TEST(PostMessage, FromAnotherThreadArrivesOnTheUiThreadInOrder) {
  std::vector<std::pair<UINT, WPARAM>> got;
  std::vector<bool> onUiThread;
  MessageWindow w([&](UINT msg, WPARAM wp, LPARAM) -> LRESULT {
    got.emplace_back(msg, wp);
    onUiThread.push_back(QThread::currentThread() == qApp->thread());
    return 0;
  });
  constexpr int kCount = 2000;
  std::thread poster([&] {
    for (int i = 0; i < kCount; ++i)
      ASSERT_EQ(TalvenorPostMessage(w.Handle(), WM_USER + 100, static_cast<WPARAM>(i), 0), 1);
  });
  poster.join();
  ASSERT_TRUE(PumpUntil([&] { return got.size() == kCount; }));
  for (int i = 0; i < kCount; ++i) {
    EXPECT_EQ(got[i].second, static_cast<WPARAM>(i)) << "out of order at " << i;
    EXPECT_TRUE(onUiThread[i]);
  }
}

TEST(PostMessage, ToAWindowThatIsGoneIsDropped) {
  int calls = 0;
  HWND handle;
  {
    MessageWindow w([&](UINT, WPARAM, LPARAM) -> LRESULT { return ++calls; });
    handle = w.Handle();
    EXPECT_TRUE(PostMessage(handle, WM_USER, 0, 0));  // queued, window then destroyed
  }
  EXPECT_FALSE(PostMessage(handle, WM_USER, 0, 0));
  QCoreApplication::processEvents();
  EXPECT_EQ(calls, 0);
}

TEST(ExceptionGuard, ReportsTheTextAndTheNextTickRuns) {
  fakes::CoreFakes f;
  int ticks = 0;
  Timer timer(1000);
  timer.OnTimer = [&](Timer&) {
    ++ticks;
    if (ticks == 1) throw Error(QStringLiteral("数据库无法打开"));
  };
  ASSERT_TRUE(f.timers.Fire(timer.Handle(), 1));
  ASSERT_TRUE(f.timers.Fire(timer.Handle(), 1));
  EXPECT_EQ(ticks, 2);
  ASSERT_EQ(f.errors.shown.size(), 1);
  EXPECT_EQ(f.errors.shown[0], QStringLiteral("数据库无法打开"));
}

TEST(ExceptionGuard, EventsOfTheApplicationAreGuarded) {
  fakes::CoreFakes f;
  QTimer::singleShot(0, [] { throw std::runtime_error("from a slot"); });
  ASSERT_TRUE(PumpUntil([&] { return !f.errors.shown.isEmpty(); }, 2000));
  EXPECT_EQ(f.errors.shown[0], QStringLiteral("from a slot"));
}

TEST(TimerComponent, IntervalAndEnabledDriveTheWindowTimer) {
  fakes::CoreFakes f;
  Timer t;  // 1000 ms, enabled from creation
  EXPECT_EQ(f.timers.running.at({t.Handle(), 1}), 1000u);
  t.SetInterval(5000);
  EXPECT_EQ(f.timers.running.at({t.Handle(), 1}), 5000u);
  t.SetEnabled(false);
  EXPECT_FALSE(f.timers.IsRunning(t.Handle(), 1));
  t.SetEnabled(true);
  t.SetInterval(0);  // an interval of 0 never ticks
  EXPECT_FALSE(f.timers.IsRunning(t.Handle(), 1));
}

TEST(ErrorBox, OneBoxAtATimeCountsFurtherErrors) {
  MessageBoxErrorHandler handler;
  auto visibleBoxes = [] {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<QMessageBox*>(w) && w->isVisible()) ++n;
    return n;
  };
  handler.ShowException(QStringLiteral("第一个错误"));
  handler.ShowException(QStringLiteral("第二个错误"));
  handler.ShowException(QStringLiteral("第三个错误"));
  EXPECT_EQ(visibleBoxes(), 1);
  QMessageBox* box = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), QStringLiteral("第一个错误"));
  EXPECT_TRUE(box->informativeText().contains(QStringLiteral("2 次")));
  EXPECT_TRUE(box->informativeText().contains(QStringLiteral("第三个错误")));
  box->close();
  EXPECT_EQ(visibleBoxes(), 0);
  handler.ShowException(QStringLiteral("关闭之后"));  // a closed box makes room for a new one
  EXPECT_EQ(visibleBoxes(), 1);
}
