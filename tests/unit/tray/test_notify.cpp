// The real notification area on a desktop without a tray host or notification
// service (the offscreen platform): balloons come as our own popup.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>
#include <vector>

#include "platform/core/MessageWindow.h"
#include "platform/notify/NotifyIcon.h"

using namespace platform;

namespace {

constexpr UINT kCallback = WM_USER + 1024;

class NotifyTest : public ::testing::Test {
 protected:
  NotifyTest()
      : window_([this](UINT msg, WPARAM w, LPARAM l) {
          if (msg == kCallback) {
            EXPECT_EQ(w, 7u);
            events_.push_back(static_cast<UINT>(l));
          }
          return LRESULT{0};
        }) {}
  ~NotifyTest() override {
    Send(NIM_DELETE, Record());
    QApplication::processEvents();
  }

  NOTIFYICONDATAA Record() const {
    NOTIFYICONDATAA d;
    d.cbSize = kNotifyIconDataSize;
    d.hWnd = window_.Handle();
    d.uID = 7;
    d.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    d.uCallbackMessage = kCallback;
    CopyUtf8(d.szTip, QStringLiteral("托盘"));
    return d;
  }
  NOTIFYICONDATAA Balloon(const QString& title, const QString& text, UINT ms) const {
    NOTIFYICONDATAA d = Record();
    d.uFlags |= NIF_INFO;
    CopyUtf8(d.szInfoTitle, title);
    CopyUtf8(d.szInfo, text);
    d.uTimeout = ms;
    d.dwInfoFlags = NIIF_INFO;
    return d;
  }
  static bool Send(DWORD m, const NOTIFYICONDATAA& d) { return Shell_NotifyIconA(m, &d); }

  static std::vector<QWidget*> Popups() {
    std::vector<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == QLatin1String("TalvenorBalloon") && w->isVisible()) out.push_back(w);
    return out;
  }
  // Runs the event loop until the predicate holds or two seconds passed.
  static bool Until(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 2000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
  }
  bool Heard(UINT e) const { return std::find(events_.begin(), events_.end(), e) != events_.end(); }

  MessageWindow window_;
  std::vector<UINT> events_;
};

TEST_F(NotifyTest, UnknownIconsFailAndAddingTwiceShowsItAgain) {
  EXPECT_FALSE(Send(NIM_MODIFY, Record()));
  EXPECT_FALSE(Send(NIM_DELETE, Record()));
  EXPECT_FALSE(Send(NIM_SETVERSION, Record()));
  EXPECT_TRUE(Send(NIM_ADD, Record()));
  EXPECT_TRUE(Send(NIM_ADD, Record()));
  EXPECT_TRUE(Send(NIM_MODIFY, Record()));
  EXPECT_TRUE(Send(NIM_SETVERSION, Record()));
  EXPECT_TRUE(Send(NIM_DELETE, Record()));
  EXPECT_FALSE(Send(NIM_DELETE, Record()));
  EXPECT_FALSE(Send(9, Record()));
  EXPECT_NE(GetNotifyIcon().TaskbarCreatedMessage(), 0u);
}

TEST_F(NotifyTest, WithoutTrayOrServiceABalloonIsOurPopupClosedByAClick) {
  ASSERT_TRUE(Send(NIM_ADD, Record()));
  ASSERT_TRUE(Send(NIM_MODIFY,
                   Balloon(QStringLiteral("提示"),
                           QStringLiteral("Talvenor正在运行.\r离下一次休息还剩：45分钟."), 10000)));
  ASSERT_EQ(Popups().size(), 1u);
  QWidget* popup = Popups()[0];
  EXPECT_EQ(popup->windowTitle(), QStringLiteral("提示"));
  EXPECT_TRUE(popup->windowFlags() & Qt::WindowStaysOnTopHint);
  QStringList texts;
  for (QLabel* l : popup->findChildren<QLabel*>()) texts << l->text();
  EXPECT_TRUE(texts.contains(QStringLiteral("Talvenor正在运行.\n离下一次休息还剩：45分钟.")))
      << texts.join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(Until([&] { return Heard(NIN_BALLOONSHOW); }));

  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(popup, &press);
  EXPECT_TRUE(Until([&] { return Heard(NIN_BALLOONUSERCLICK); }));
  EXPECT_TRUE(Popups().empty());
  EXPECT_FALSE(Heard(NIN_BALLOONTIMEOUT));
}

TEST_F(NotifyTest, APopupLeftAloneClosesAfterItsTimeout) {
  ASSERT_TRUE(Send(NIM_ADD, Record()));
  ASSERT_TRUE(Send(NIM_MODIFY, Balloon(QStringLiteral("提示"), QStringLiteral("短"), 100)));
  ASSERT_EQ(Popups().size(), 1u);
  EXPECT_TRUE(Until([&] { return Heard(NIN_BALLOONTIMEOUT); }));
  EXPECT_TRUE(Until([&] { return Popups().empty(); }));
}

TEST_F(NotifyTest, ANewBalloonReplacesTheShownOneAndDeletingTheIconTakesItAway) {
  ASSERT_TRUE(Send(NIM_ADD, Record()));
  Send(NIM_MODIFY, Balloon(QStringLiteral("一"), QStringLiteral("第一个"), 10000));
  Send(NIM_MODIFY, Balloon(QStringLiteral("二"), QStringLiteral("第二个"), 10000));
  ASSERT_TRUE(Until([&] { return Popups().size() == 1u; }));
  EXPECT_EQ(Popups()[0]->windowTitle(), QStringLiteral("二"));
  EXPECT_TRUE(Until([&] { return Heard(NIN_BALLOONHIDE); }));
  // An empty balloon text takes it away.
  NOTIFYICONDATAA clear = Record();
  clear.uFlags |= NIF_INFO;
  Send(NIM_MODIFY, clear);
  EXPECT_TRUE(Until([&] { return Popups().empty(); }));

  Send(NIM_MODIFY, Balloon(QStringLiteral("三"), QStringLiteral("第三个"), 10000));
  ASSERT_EQ(Popups().size(), 1u);
  events_.clear();
  EXPECT_TRUE(Send(NIM_DELETE, Record()));
  EXPECT_TRUE(Until([&] { return Popups().empty(); }));
  EXPECT_FALSE(Heard(NIN_BALLOONUSERCLICK));
  EXPECT_FALSE(Heard(NIN_BALLOONTIMEOUT));
}

TEST_F(NotifyTest, ARecordWithoutPictureStillMakesAnIcon) {
  NOTIFYICONDATAA d = Record();
  d.hIcon = QIcon();
  EXPECT_TRUE(Send(NIM_ADD, d));
  EXPECT_TRUE(Send(NIM_MODIFY, d));
}

}  // namespace
