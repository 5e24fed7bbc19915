// The tray icon component and its timer, against the recording notification
// area and hand-fired window timers.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QWidget>
#include <cstring>
#include <memory>

#include "app/SimpleTimer.h"
#include "app/TrayIcon.h"
#include "support/Fakes.h"
#include "unit/tray/FakeNotifyIcon.h"

using namespace platform;
using fakes::FakeNotifyIcon;

namespace {

// Eight frames told apart by their colour.
QColor FrameColour(int i) {
  return QColor::fromHsv(i * 40, 255, 200);
}

void FillFrames(TImageList& list, int count = 8) {
  for (int i = 0; i < count; ++i) {
    QPixmap p(16, 16);
    p.fill(FrameColour(i));
    list.Add(p);
  }
}

// The frame a record shows, or -1.
int FrameOf(const NOTIFYICONDATAA& d) {
  if (d.hIcon.isNull()) return -1;
  const QColor c = d.hIcon.pixmap(16, 16).toImage().pixelColor(8, 8);
  for (int i = 0; i < 8; ++i)
    if (c.rgb() == FrameColour(i).rgb()) return i;
  return -2;
}

bool ValidUtf8(const char* field, std::size_t size) {
  const std::size_t n = strnlen(field, size);
  const QByteArray bytes(field, static_cast<qsizetype>(n));
  const QString s = QString::fromUtf8(bytes);
  return !s.contains(QChar::ReplacementCharacter) && s.toUtf8() == bytes;
}

class TrayTest : public ::testing::Test {
 protected:
  fakes::CoreFakes core;
  FakeNotifyIcon shell;

  // Delivers an event of the notification area to the icon, as the shell does.
  static void Mouse(TTrayIcon& icon, UINT event) {
    SendMessage(icon.IconData().hWnd, icon.IconData().uCallbackMessage, icon.Id(),
                static_cast<LPARAM>(event));
  }
  // The interval a window timer runs with; 0 when it is not running.
  UINT RunningMs(const TSimpleTimer& t) {
    auto it = core.timers.running.find({t.Handle(), t.Id()});
    return it == core.timers.running.end() ? 0u : it->second;
  }
  bool FireClickTimer(TTrayIcon& icon) {
    return core.timers.Fire(icon.ClickTimer().Handle(), icon.ClickTimer().Id());
  }
  bool FireCycleTimer(TTrayIcon& icon) {
    return core.timers.Fire(icon.CycleTimer().Handle(), icon.CycleTimer().Id());
  }
};

// ---- records sent to the notification area

TEST_F(TrayTest, AddModifyDeleteSendTheRecordOfTheIcon) {
  auto icon = std::make_unique<TTrayIcon>();
  icon->SetHint(QStringLiteral("离休息还剩：45 分钟；"));
  icon->SetIconVisible(true);
  ASSERT_FALSE(shell.calls.empty());
  const FakeNotifyIcon::Call add = shell.Last();
  EXPECT_EQ(add.message, NIM_ADD);
  EXPECT_EQ(add.data.cbSize, 488u);
  EXPECT_EQ(add.data.hWnd, TTrayIconHandler::Instance()->Handle());
  EXPECT_EQ(add.data.uID, icon->Id());
  EXPECT_EQ(add.data.uFlags, 7u);
  EXPECT_EQ(add.data.uCallbackMessage, 2048u);
  EXPECT_EQ(FieldText(add.data.szTip), QStringLiteral("离休息还剩：45 分钟；"));
  EXPECT_TRUE(shell.shown.count({add.data.hWnd, add.data.uID}));

  QPixmap red(32, 32);
  red.fill(Qt::red);
  icon->SetIcon(QIcon(red));
  EXPECT_EQ(shell.Last().message, NIM_MODIFY);
  EXPECT_EQ(shell.Last().data.hIcon.pixmap(32, 32).toImage().pixelColor(4, 4), QColor(Qt::red));

  icon->SetIconVisible(false);
  EXPECT_EQ(shell.Last().message, NIM_DELETE);
  EXPECT_EQ(shell.Last().data.uID, icon->Id());
  EXPECT_TRUE(shell.shown.empty());
  EXPECT_FALSE(icon->IconVisible());
}

TEST_F(TrayTest, TwoIconsShareOneHandlerWindowButNotAnIdentifier) {
  auto a = std::make_unique<TTrayIcon>();
  auto b = std::make_unique<TTrayIcon>();
  EXPECT_EQ(a->IconData().hWnd, b->IconData().hWnd);
  EXPECT_NE(a->Id(), b->Id());
  EXPECT_EQ(TTrayIconHandler::Instance()->Count(), 2);
  a.reset();
  ASSERT_NE(TTrayIconHandler::Instance(), nullptr);
  EXPECT_EQ(TTrayIconHandler::Instance()->Count(), 1);
  b.reset();
  EXPECT_EQ(TTrayIconHandler::Instance(), nullptr);
}

TEST_F(TrayTest, LoadingSendsNothingUntilLoadedThenModifyAddAndClassicVersion) {
  QWidget owner;
  auto* icon = new TTrayIcon(&owner);
  icon->BeginLoading();
  icon->SetHint(QStringLiteral("Talvenor"));
  icon->SetIconVisible(true);
  icon->SetCycleInterval(400);
  EXPECT_TRUE(shell.calls.empty());
  bool asked = false;
  icon->OnStartup = [&](TTrayIcon*, bool& show) {
    asked = true;
    EXPECT_TRUE(show);
  };
  icon->Loaded();
  EXPECT_TRUE(asked);
  ASSERT_EQ(shell.calls.size(), 3u);
  EXPECT_EQ(shell.calls[0].message, NIM_MODIFY);
  EXPECT_EQ(shell.calls[1].message, NIM_ADD);
  EXPECT_EQ(shell.calls[2].message, NIM_SETVERSION);
  EXPECT_EQ(shell.calls[2].data.uVersion(), 0u);
  EXPECT_TRUE(icon->IconVisible());
}

TEST_F(TrayTest, StartupHandlerAnsweringFalseHidesTheMainWindow) {
  QWidget owner;
  owner.show();
  auto* icon = new TTrayIcon(&owner);
  icon->BeginLoading();
  icon->OnStartup = [](TTrayIcon*, bool& show) { show = false; };
  icon->Loaded();
  EXPECT_FALSE(owner.isVisible());
}

TEST_F(TrayTest, AFailingShellMakesTheOperationsGiveFalse) {
  shell.working = false;
  TTrayIcon icon;
  EXPECT_FALSE(icon.AddTrayIcon());
  EXPECT_TRUE(icon.IconVisible());
  EXPECT_FALSE(icon.UpdateTrayIcon());
  EXPECT_FALSE(icon.ShowBalloon(QStringLiteral("提示"), QStringLiteral("x"), bkInfo, 10));
  EXPECT_FALSE(icon.RemoveTrayIcon());
}

// ---- texts cut at their byte limits, never inside a character

struct CutCase {
  const char* name;
  QString text;
  int bytes;  // what the field keeps
};

QString Repeat(const QString& s, int n) {
  return s.repeated(n);
}

TEST_F(TrayTest, TooltipKeepsAtMost127BytesOfWholeCharacters) {
  const CutCase cases[] = {
      {"ascii 200", Repeat(QStringLiteral("a"), 200), 127},
      {"ascii 127 fits", Repeat(QStringLiteral("b"), 127), 127},
      {"ascii 128", Repeat(QStringLiteral("c"), 128), 127},
      {"chinese 67 x 3 bytes", Repeat(QStringLiteral("汉"), 67), 126},
      {"two ascii then chinese", QStringLiteral("ab") + Repeat(QStringLiteral("离"), 70), 125},
      {"four-byte characters", Repeat(QString::fromUtf8("\xF0\x9F\x98\x80"), 50), 124},
      {"short", QStringLiteral("离休息还剩：45 分钟；"), 30},
  };
  TTrayIcon icon;
  icon.SetIconVisible(true);
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.name);
    icon.SetHint(c.text);
    const NOTIFYICONDATAA& d = shell.Last().data;
    EXPECT_EQ(static_cast<int>(strnlen(d.szTip, sizeof d.szTip)), c.bytes);
    EXPECT_TRUE(ValidUtf8(d.szTip, sizeof d.szTip));
    EXPECT_TRUE(c.text.toUtf8().startsWith(QByteArray(d.szTip)));
  }
}

TEST_F(TrayTest, EmptyHintOrHintSwitchedOffGivesAnEmptyTooltipField) {
  TTrayIcon icon;
  icon.SetIconVisible(true);
  icon.SetHint(Repeat(QStringLiteral("x"), 100));
  icon.SetShowHint(false);
  char zeros[128] = {};
  EXPECT_EQ(std::memcmp(shell.Last().data.szTip, zeros, sizeof zeros), 0);
  icon.SetShowHint(true);
  EXPECT_EQ(FieldText(shell.Last().data.szTip).size(), 100);
  icon.SetHint(QString());
  EXPECT_EQ(std::memcmp(shell.Last().data.szTip, zeros, sizeof zeros), 0);
}

TEST_F(TrayTest, BalloonTextAndTitleKeepWholeCharactersWithinTheirFields) {
  struct BalloonCase {
    const char* name;
    QString title, text;
    int titleBytes, textBytes;
  };
  const BalloonCase cases[] = {
      {"ascii 300 / 100", Repeat(QStringLiteral("t"), 100), Repeat(QStringLiteral("a"), 300), 63,
       255},
      {"chinese 300 bytes exactly cut", Repeat(QStringLiteral("休"), 30),
       Repeat(QStringLiteral("息"), 100), 63, 255},
      {"one ascii before chinese", QStringLiteral("ab") + Repeat(QStringLiteral("提"), 30),
       QStringLiteral("a") + Repeat(QStringLiteral("示"), 100), 62, 253},
      {"fits", QStringLiteral("提示"),
       QStringLiteral("Talvenor正在运行.\r离下一次休息还剩：45分钟."), 6, 58},
  };
  TTrayIcon icon;
  icon.SetIconVisible(true);
  for (const BalloonCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(icon.ShowBalloon(c.title, c.text, bkInfo, 10));
    const NOTIFYICONDATAA& d = shell.Last().data;
    EXPECT_EQ(static_cast<int>(strnlen(d.szInfo, sizeof d.szInfo)), c.textBytes);
    EXPECT_EQ(static_cast<int>(strnlen(d.szInfoTitle, sizeof d.szInfoTitle)), c.titleBytes);
    EXPECT_TRUE(ValidUtf8(d.szInfo, sizeof d.szInfo));
    EXPECT_TRUE(ValidUtf8(d.szInfoTitle, sizeof d.szInfoTitle));
    EXPECT_TRUE(c.text.toUtf8().startsWith(QByteArray(d.szInfo)));
  }
}

TEST(CopyUtf8, NeverWritesPastTheFieldAndAlwaysEndsIt) {
  char field[8];
  std::memset(field, 'x', sizeof field);
  EXPECT_EQ(CopyUtf8(field, 0, QStringLiteral("abc")), 0u);
  EXPECT_EQ(field[0], 'x');
  EXPECT_EQ(CopyUtf8(field, 1, QStringLiteral("abc")), 0u);
  EXPECT_EQ(field[0], '\0');
  EXPECT_EQ(CopyUtf8(field, 4, QStringLiteral("汉")), 3u);
  std::memset(field, 'x', sizeof field);
  EXPECT_EQ(CopyUtf8(field, 3, QStringLiteral("汉")), 0u);
  EXPECT_EQ(field[0], '\0');
  EXPECT_EQ(field[1], 'x');  // untouched beyond the size given
}

// ---- balloons

TEST_F(TrayTest, BalloonSendsInfoWithTimeoutThenFlagsGoBackTo7) {
  TTrayIcon icon;
  icon.SetIconVisible(true);
  const std::size_t before = shell.calls.size();
  EXPECT_TRUE(icon.ShowBalloon(QStringLiteral("提示"), QStringLiteral("该休息了"), bkInfo, 10));
  ASSERT_EQ(shell.calls.size(), before + 2);  // the clear, then the balloon
  const NOTIFYICONDATAA& clear = shell.calls[before].data;
  EXPECT_EQ(shell.calls[before].message, NIM_MODIFY);
  EXPECT_EQ(clear.uFlags, 7u | NIF_INFO);
  EXPECT_EQ(clear.szInfo[0], '\0');
  const NOTIFYICONDATAA& shown = shell.Last().data;
  EXPECT_EQ(shell.Last().message, NIM_MODIFY);
  EXPECT_EQ(shown.uFlags, 7u | NIF_INFO);
  EXPECT_EQ(shown.dwInfoFlags, NIIF_INFO);
  EXPECT_EQ(shown.uTimeout, 10000u);
  EXPECT_EQ(FieldText(shown.szInfoTitle), QStringLiteral("提示"));
  EXPECT_EQ(FieldText(shown.szInfo), QStringLiteral("该休息了"));
  EXPECT_EQ(icon.IconData().uFlags, 7u);

  // A later change of the picture does not send the balloon again.
  icon.SetHint(QStringLiteral("x"));
  EXPECT_EQ(shell.Last().data.uFlags, 7u);
}

TEST_F(TrayTest, ABalloonReplacesTheOneBefore) {
  TTrayIcon icon;
  icon.SetIconVisible(true);
  icon.ShowBalloon(QStringLiteral("一"), Repeat(QStringLiteral("长"), 80), bkWarning, 30);
  const std::size_t before = shell.calls.size();
  icon.ShowBalloon(QStringLiteral("二"), QStringLiteral("短"), bkInfo, 5);
  ASSERT_EQ(shell.calls.size(), before + 2);
  // The first one is taken away before the second is shown.
  EXPECT_EQ(shell.calls[before].data.uFlags & NIF_INFO, NIF_INFO);
  EXPECT_EQ(shell.calls[before].data.szInfo[0], '\0');
  const NOTIFYICONDATAA& d = shell.Last().data;
  EXPECT_EQ(FieldText(d.szInfo), QStringLiteral("短"));  // nothing of the longer text is left
  EXPECT_EQ(FieldText(d.szInfoTitle), QStringLiteral("二"));
  EXPECT_EQ(d.uTimeout, 5000u);
  EXPECT_EQ(d.dwInfoFlags, NIIF_INFO);
  char zeros[256] = {};
  EXPECT_EQ(std::memcmp(d.szInfo + 4, zeros, sizeof d.szInfo - 4), 0);
}

TEST_F(TrayTest, BalloonNotificationsAreRaisedEvenWhileDisabled) {
  TTrayIcon icon;
  icon.SetEnabled(false);
  int shows = 0, hides = 0, timeouts = 0, clicks = 0;
  icon.OnBalloonHintShow = [&](TTrayIcon*) { ++shows; };
  icon.OnBalloonHintHide = [&](TTrayIcon*) { ++hides; };
  icon.OnBalloonHintTimeout = [&](TTrayIcon*) { ++timeouts; };
  icon.OnBalloonHintClick = [&](TTrayIcon*) { ++clicks; };
  for (UINT e : {NIN_BALLOONSHOW, NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT, NIN_BALLOONUSERCLICK})
    Mouse(icon, e);
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(hides, 1);
  EXPECT_EQ(timeouts, 1);
  EXPECT_EQ(clicks, 1);
}

// ---- frames and animation

TEST_F(TrayTest, IconIndexIsKeptWithinTheList) {
  struct IndexCase {
    int set;
    int reads;
  };
  const IndexCase cases[] = {{0, 0}, {3, 3}, {7, 7}, {8, 7}, {20, 7}, {-3, 0}};
  TImageList frames;
  FillFrames(frames);
  TTrayIcon icon;
  icon.SetIconVisible(true);
  icon.SetIconList(&frames);
  for (const IndexCase& c : cases) {
    SCOPED_TRACE(c.set);
    icon.SetIconIndex(c.set);
    EXPECT_EQ(icon.IconIndex(), c.reads);
    EXPECT_EQ(shell.Last().message, NIM_MODIFY);
    EXPECT_EQ(FrameOf(shell.Last().data), c.reads);
  }
  icon.SetIconList(nullptr);
  icon.SetIconIndex(5);
  EXPECT_EQ(icon.IconIndex(), 0);
}

TEST_F(TrayTest, CyclingShowsEveryFrameInTurnAndReportsTheNextOne) {
  TImageList frames;
  FillFrames(frames);
  TTrayIcon icon;
  icon.SetIconVisible(true);
  icon.SetIconList(&frames);
  icon.SetIconIndex(5);
  std::vector<int> reported;
  icon.OnCycle = [&](TTrayIcon* sender, int next) {
    EXPECT_EQ(sender, &icon);
    reported.push_back(next);
  };
  icon.SetCycleInterval(400);
  icon.SetCycleIcons(true);
  EXPECT_TRUE(core.timers.IsRunning(icon.CycleTimer().Handle(), icon.CycleTimer().Id()));
  EXPECT_EQ(icon.CycleTimer().Interval(), 400u);
  EXPECT_EQ(FrameOf(shell.Last().data), 0);  // starts at the first frame
  std::vector<int> shown;
  for (int i = 0; i < 9; ++i) {
    ASSERT_TRUE(FireCycleTimer(icon));
    shown.push_back(FrameOf(shell.Last().data));
  }
  EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1}));
  EXPECT_EQ(reported, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1}));

  icon.SetCycleIcons(false);
  EXPECT_FALSE(core.timers.IsRunning(icon.CycleTimer().Handle(), icon.CycleTimer().Id()));
}

TEST_F(TrayTest, NewCycleIntervalRestartsAtFrameZeroAndZeroNeverStarts) {
  TImageList frames;
  FillFrames(frames);
  TTrayIcon icon;
  icon.SetIconVisible(true);
  icon.SetIconList(&frames);
  icon.SetCycleIcons(true);  // interval still 0
  EXPECT_FALSE(icon.CycleTimer().Enabled());
  icon.SetCycleInterval(400);
  EXPECT_TRUE(icon.CycleTimer().Enabled());
  FireCycleTimer(icon);
  FireCycleTimer(icon);
  EXPECT_EQ(icon.IconIndex(), 2);
  icon.SetCycleInterval(250);
  EXPECT_EQ(icon.IconIndex(), 0);
  EXPECT_EQ(RunningMs(icon.CycleTimer()), 250u);
  icon.SetCycleInterval(0);
  EXPECT_FALSE(icon.CycleTimer().Enabled());
}

TEST_F(TrayTest, ClearingTheListWhileCyclingKeepsTheLastPicture) {
  TImageList frames;
  FillFrames(frames);
  TTrayIcon icon;
  icon.SetIconVisible(true);
  icon.SetIconList(&frames);
  icon.SetCycleInterval(400);
  icon.SetCycleIcons(true);
  FireCycleTimer(icon);
  FireCycleTimer(icon);
  icon.SetIconList(nullptr);
  const int last = FrameOf(shell.Last().data);
  EXPECT_EQ(last, 2);
  const std::size_t before = shell.calls.size();
  EXPECT_TRUE(FireCycleTimer(icon));  // still running
  EXPECT_EQ(shell.calls.size(), before);
}

TEST_F(TrayTest, OnCycleMayTakeTheListAway) {
  TImageList frames;
  FillFrames(frames);
  TTrayIcon icon;
  icon.SetIconList(&frames);
  icon.SetCycleInterval(400);
  icon.SetCycleIcons(true);
  icon.OnCycle = [&](TTrayIcon* s, int) { s->SetIconList(nullptr); };
  EXPECT_TRUE(FireCycleTimer(icon));
  EXPECT_EQ(icon.IconIndex(), 0);
}

// ---- clicks

TEST_F(TrayTest, DoubleClickRaisesOnDblClickOnly) {
  TTrayIcon icon;
  int clicks = 0, doubles = 0;
  icon.OnClick = [&](TTrayIcon*) { ++clicks; };
  icon.OnDblClick = [&](TTrayIcon*) { ++doubles; };
  // The desktop reports a click, then the double click.
  for (UINT e : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) Mouse(icon, e);
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(FireClickTimer(icon));
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(icon.ClickTimer().Enabled());
  // The next single click is a click again.
  Mouse(icon, WM_LBUTTONDOWN);
  Mouse(icon, WM_LBUTTONUP);
  EXPECT_TRUE(FireClickTimer(icon));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(doubles, 1);
}

TEST_F(TrayTest, SingleClickWaitsOneDoubleClickTimeFromThePress) {
  core.system.doubleClickTime = 430;
  TTrayIcon icon;
  int clicks = 0;
  icon.OnClick = [&](TTrayIcon* s) {
    EXPECT_EQ(s, &icon);
    ++clicks;
  };
  icon.OnDblClick = [](TTrayIcon*) {};
  Mouse(icon, WM_LBUTTONDOWN);
  EXPECT_EQ(RunningMs(icon.ClickTimer()), 430u);
  Mouse(icon, WM_LBUTTONUP);
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(FireClickTimer(icon));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(FireClickTimer(icon));  // it stopped itself
  EXPECT_EQ(clicks, 1);
}

TEST_F(TrayTest, WithoutADoubleClickHandlerTheClickComesAtTheRelease) {
  TTrayIcon icon;
  int clicks = 0;
  icon.OnClick = [&](TTrayIcon*) { ++clicks; };
  Mouse(icon, WM_LBUTTONDOWN);
  EXPECT_FALSE(icon.ClickTimer().Enabled());
  Mouse(icon, WM_LBUTTONUP);
  EXPECT_EQ(clicks, 1);
}

TEST_F(TrayTest, MouseEventsCarryButtonShiftAndPointer) {
  core.system.cursor = QPoint(1010, 760);
  TTrayIcon icon;
  struct Seen {
    bool down;
    TTrayIcon::TMouseButton button;
    TTrayIcon::TShiftState shift;
    QPoint at;
  };
  std::vector<Seen> seen;
  icon.OnMouseDown = [&](TTrayIcon*, TTrayIcon::TMouseButton b, TTrayIcon::TShiftState s, int x,
                         int y) {
    seen.push_back({true, b, s, {x, y}});
  };
  icon.OnMouseUp = [&](TTrayIcon*, TTrayIcon::TMouseButton b, TTrayIcon::TShiftState s, int x,
                       int y) {
    seen.push_back({false, b, s, {x, y}});
  };
  for (UINT e : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_RBUTTONUP})
    Mouse(icon, e);
  ASSERT_EQ(seen.size(), 5u);
  const TTrayIcon::TMouseButton buttons[] = {TTrayIcon::mbLeft, TTrayIcon::mbLeft,
                                             TTrayIcon::mbMiddle, TTrayIcon::mbMiddle,
                                             TTrayIcon::mbRight};
  const unsigned flags[] = {TTrayIcon::ssLeft, TTrayIcon::ssLeft, TTrayIcon::ssMiddle,
                            TTrayIcon::ssMiddle, TTrayIcon::ssRight};
  for (std::size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].down, i % 2 == 0 && i < 4);
    EXPECT_EQ(seen[i].button, buttons[i]);
    EXPECT_EQ(seen[i].shift & flags[i], flags[i]);
    EXPECT_EQ(seen[i].at, QPoint(1010, 760));
  }
}

TEST_F(TrayTest, DisabledIconIgnoresTheMouse) {
  QMenu menu;
  menu.addAction(QStringLiteral("a"));
  TTrayIcon icon;
  icon.SetPopupMenu(&menu);
  icon.SetEnabled(false);
  int any = 0;
  icon.OnClick = icon.OnDblClick = [&](TTrayIcon*) { ++any; };
  icon.OnMouseDown = icon.OnMouseUp = [&](TTrayIcon*, TTrayIcon::TMouseButton,
                                          TTrayIcon::TShiftState, int, int) { ++any; };
  for (UINT e : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP})
    Mouse(icon, e);
  EXPECT_EQ(any, 0);
  EXPECT_FALSE(menu.isVisible());
  EXPECT_FALSE(icon.ClickTimer().Enabled());
}

TEST_F(TrayTest, MoveEnterAndExitFollowThePointer) {
  TTrayIcon icon;
  int enters = 0, exits = 0;
  QPoint moved;
  icon.OnMouseEnter = [&](TTrayIcon*) { ++enters; };
  icon.OnMouseExit = [&](TTrayIcon*) { ++exits; };
  icon.OnMouseMove = [&](TTrayIcon*, TTrayIcon::TShiftState, int x, int y) { moved = {x, y}; };
  Mouse(icon, WM_MOUSEMOVE);  // enter/exit not wanted yet
  EXPECT_EQ(moved, core.system.cursor);
  EXPECT_EQ(enters, 0);
  icon.SetWantEnterExitEvents(true);
  EXPECT_EQ(RunningMs(icon.ExitTimer()), 20u);
  Mouse(icon, WM_MOUSEMOVE);
  Mouse(icon, WM_MOUSEMOVE);
  EXPECT_EQ(enters, 1);
  auto fireExit = [&] {
    return core.timers.Fire(icon.ExitTimer().Handle(), icon.ExitTimer().Id());
  };
  fireExit();
  EXPECT_EQ(exits, 0);  // still where it was
  core.system.cursor += QPoint(0, -40);
  fireExit();
  fireExit();
  EXPECT_EQ(exits, 1);
  Mouse(icon, WM_MOUSEMOVE);
  EXPECT_EQ(enters, 2);
  icon.SetWantEnterExitEvents(false);
  EXPECT_FALSE(icon.ExitTimer().Enabled());
}

// ---- the menu

TEST_F(TrayTest, RightButtonPopsTheMenuUpAtThePointer) {
  core.system.cursor = QPoint(300, 200);
  QMenu menu;
  menu.addAction(QStringLiteral("显示主窗口"));
  TTrayIcon icon;
  icon.SetPopupMenu(&menu);
  Mouse(icon, WM_RBUTTONDOWN);
  EXPECT_TRUE(menu.isVisible());
  EXPECT_EQ(menu.pos(), QPoint(300, 200));
  EXPECT_EQ(menu.property("PopupComponent").value<QObject*>(), &icon);
  menu.hide();

  // Not with the pointer unreadable, nor with the menu's automatic popup off.
  core.system.cursorReadable = false;
  Mouse(icon, WM_RBUTTONDOWN);
  EXPECT_FALSE(menu.isVisible());
  core.system.cursorReadable = true;
  menu.setProperty("AutoPopup", false);
  Mouse(icon, WM_RBUTTONDOWN);
  EXPECT_FALSE(menu.isVisible());
}

TEST_F(TrayTest, LeftPopupShowsTheMenuOnTheLeftButtonToo) {
  QMenu menu;
  menu.addAction(QStringLiteral("a"));
  TTrayIcon icon;
  icon.SetPopupMenu(&menu);
  Mouse(icon, WM_LBUTTONDOWN);
  EXPECT_FALSE(menu.isVisible());
  icon.SetLeftPopup(true);
  Mouse(icon, WM_LBUTTONDOWN);
  EXPECT_TRUE(menu.isVisible());
  menu.hide();
}

TEST_F(TrayTest, DoubleClickChoosesTheMenusDefaultEntryOnlyIfItHasOne) {
  QMenu menu;
  QAction* first = menu.addAction(QStringLiteral("first"));
  QAction* second = menu.addAction(QStringLiteral("second"));
  int firstHits = 0, secondHits = 0;
  QObject::connect(first, &QAction::triggered, [&] { ++firstHits; });
  QObject::connect(second, &QAction::triggered, [&] { ++secondHits; });
  TTrayIcon icon;
  icon.SetPopupMenu(&menu);
  Mouse(icon, WM_LBUTTONDBLCLK);
  EXPECT_EQ(firstHits + secondHits, 0);  // no default entry: nothing chosen
  menu.setDefaultAction(second);
  Mouse(icon, WM_LBUTTONDBLCLK);
  EXPECT_EQ(secondHits, 1);
  icon.SetLeftPopup(true);
  Mouse(icon, WM_LBUTTONDBLCLK);
  EXPECT_EQ(secondHits, 1);
  menu.hide();
}

TEST_F(TrayTest, AMenuThatIsDestroyedIsForgotten) {
  auto menu = std::make_unique<QMenu>();
  TTrayIcon icon;
  icon.SetPopupMenu(menu.get());
  menu.reset();
  EXPECT_EQ(icon.PopupMenu(), nullptr);
  Mouse(icon, WM_RBUTTONDOWN);  // and nothing is popped up
}

// ---- the owner window

TEST_F(TrayTest, MinimisingTheOwnerHidesItIntoTheTray) {
  QWidget owner;
  auto* icon = new TTrayIcon(&owner);
  icon->SetMinimizeToTray(true);
  int told = 0;
  icon->OnMinimizeToTray = [&](TTrayIcon*) { ++told; };
  owner.show();
  owner.showMinimized();
  QCoreApplication::processEvents();
  EXPECT_FALSE(owner.isVisible());
  EXPECT_EQ(told, 1);
  EXPECT_TRUE(icon->IconVisible());
  EXPECT_EQ(shell.Last().message, NIM_ADD);

  icon->RestoreMainWindow();
  EXPECT_TRUE(owner.isVisible());
  EXPECT_FALSE(owner.isMinimized());
}

TEST_F(TrayTest, WithoutMinimizeToTrayTheOwnerStaysOnTheTaskbar) {
  QWidget owner;
  auto* icon = new TTrayIcon(&owner);
  owner.show();
  owner.showMinimized();
  QCoreApplication::processEvents();
  EXPECT_TRUE(owner.isVisible());
  EXPECT_FALSE(icon->IconVisible());
}

TEST_F(TrayTest, HideAndRestoreNeedAnOwnerWindow) {
  TTrayIcon noOwner;
  noOwner.HideMainWindow();  // no window: nothing to do, nothing breaks
  noOwner.RestoreMainWindow();
  QWidget owner;
  auto* icon = new TTrayIcon(&owner);
  icon->RestoreMainWindow();
  EXPECT_TRUE(owner.isVisible());
  icon->HideMainWindow();
  EXPECT_FALSE(owner.isVisible());
}

// ---- the taskbar rebuilt, and the end

TEST_F(TrayTest, TaskbarBroadcastAddsTheIconAgainWithItsCurrentLook) {
  TImageList frames;
  FillFrames(frames);
  TTrayIcon icon;
  icon.SetIconList(&frames);
  icon.SetIconIndex(4);
  icon.SetHint(QStringLiteral("离休息还剩：12 分钟；"));
  icon.SetIconVisible(true);
  TTrayIcon hidden;
  hidden.SetIconVisible(true);
  hidden.SetIconVisible(false);
  const std::size_t before = shell.calls.size();
  shell.RestartShell();
  ASSERT_EQ(shell.calls.size(), before + 1);
  EXPECT_EQ(shell.Last().message, NIM_ADD);
  EXPECT_EQ(shell.Last().data.uID, icon.Id());
  EXPECT_EQ(FrameOf(shell.Last().data), 4);
  EXPECT_EQ(FieldText(shell.Last().data.szTip), QStringLiteral("离休息还剩：12 分钟；"));
  EXPECT_EQ(shell.shown.size(), 1u);

  // Without a broadcast number nothing is mistaken for one.
  SendMessage(icon.IconData().hWnd, 0, 0, 0);
  EXPECT_EQ(shell.calls.size(), before + 1);
}

TEST_F(TrayTest, DestructionRemovesTheIconAndStopsItsTimers) {
  QWidget owner;
  auto* icon = new TTrayIcon(&owner);
  icon->SetIconVisible(true);
  icon->SetCycleInterval(400);
  icon->SetCycleIcons(true);
  icon->OnDblClick = [](TTrayIcon*) {};
  Mouse(*icon, WM_LBUTTONDOWN);
  const UINT id = icon->Id();
  ASSERT_FALSE(core.timers.running.empty());
  delete icon;
  EXPECT_EQ(shell.Last().message, NIM_DELETE);
  EXPECT_EQ(shell.Last().data.uID, id);
  EXPECT_TRUE(shell.shown.empty());
  EXPECT_TRUE(core.timers.running.empty());
  EXPECT_EQ(TTrayIconHandler::Instance(), nullptr);
  EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
  owner.show();
  owner.showMinimized();  // the owner's hook went with it
  QCoreApplication::processEvents();
  EXPECT_TRUE(owner.isVisible());
}

TEST_F(TrayTest, HandlerWindowRefusesToBeTakenDown) {
  TTrayIcon icon;
  const HWND w = icon.IconData().hWnd;
  for (UINT m : {0x0002u, 0x0010u, 0x0011u, 0x0012u, 0x0016u, 0x0082u})
    EXPECT_EQ(SendMessage(w, m, 0, 0), 1) << m;
  EXPECT_TRUE(IsWindow(w));
}

// ---- the owned picture

TEST_F(TrayTest, LoadingTheIconFromAFileUpdatesTheTrayAndABadFileThrows) {
  TTrayIcon icon;
  icon.SetIconVisible(true);
  const QString path = QDir::tempPath() + QStringLiteral("/talvenor-tray-test.png");
  QPixmap green(32, 32);
  green.fill(Qt::green);
  ASSERT_TRUE(green.save(path));
  const std::size_t before = shell.calls.size();
  icon.Icon().LoadFromFile(path);
  ASSERT_EQ(shell.calls.size(), before + 1);
  EXPECT_EQ(shell.Last().data.hIcon.pixmap(32, 32).toImage().pixelColor(3, 3), QColor(Qt::green));
  QFile::remove(path);
  EXPECT_THROW(icon.Icon().LoadFromFile(path), Error);
  EXPECT_EQ(shell.calls.size(), before + 1);
  EXPECT_FALSE(icon.Icon().Empty());  // the picture before stays
}

// ---- the timer

TEST_F(TrayTest, SimpleTimerStartsStopsAndRestarts) {
  int ticks = 0;
  TSimpleTimer* seen = nullptr;
  TSimpleTimer t(0, [&](TSimpleTimer* s) {
    seen = s;
    ++ticks;
  });
  EXPECT_FALSE(t.Start());  // interval 0: nothing happens
  EXPECT_TRUE(core.timers.running.empty());
  t.SetInterval(250);
  EXPECT_FALSE(t.Enabled());  // a stopped timer stays stopped
  EXPECT_TRUE(t.Start());
  EXPECT_EQ(RunningMs(t), 250u);
  EXPECT_TRUE(core.timers.Fire(t.Handle(), t.Id()));
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(seen, &t);
  t.SetInterval(90);
  EXPECT_EQ(RunningMs(t), 90u);
  t.SetInterval(0);
  EXPECT_FALSE(t.Enabled());
  EXPECT_FALSE(core.timers.IsRunning(t.Handle(), t.Id()));
  t.SetInterval(40);
  t.SetEnabled(true);
  t.SetEnabled(false);
  EXPECT_FALSE(core.timers.Fire(t.Handle(), t.Id()));
  EXPECT_EQ(ticks, 1);
}

TEST_F(TrayTest, SimpleTimersShareOneWindowAndMayEndInTheirOwnTick) {
  auto a = std::make_unique<TSimpleTimer>();
  EXPECT_EQ(a->Interval(), 1000u);
  auto* b = new TSimpleTimer(10);
  EXPECT_EQ(a->Handle(), b->Handle());
  EXPECT_NE(a->Id(), b->Id());
  EXPECT_EQ(TSimpleTimerHandler::Instance()->Count(), 2);
  int aTicks = 0;
  a->OnTimer = [&](TSimpleTimer*) { ++aTicks; };
  b->OnTimer = [](TSimpleTimer* self) { delete self; };
  b->Start();
  a->Start();
  const HWND w = b->Handle();
  const auto bId = b->Id();
  EXPECT_TRUE(core.timers.Fire(w, bId));
  EXPECT_FALSE(core.timers.IsRunning(w, bId));
  EXPECT_EQ(TSimpleTimerHandler::Instance()->Count(), 1);
  EXPECT_TRUE(core.timers.Fire(w, a->Id()));
  EXPECT_EQ(aTicks, 1);
  a.reset();
  EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
}

}  // namespace
