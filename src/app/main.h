#pragma once

#include <QAction>
#include <QButtonGroup>
#include <QFrame>
#include <QMenu>
#include <QToolButton>
#include <QWidget>
#include <memory>

#include "app/TrayIcon.h"
#include "monitor/Counters.h"
#include "platform/core/Timer.h"
#include "reminder/RestEngine.h"
#include "widgets/ImageList.h"

// The main window: toolbar, page host, tray menu and the one-second timer.
class TMainForm : public QWidget, public IRestHost {
  Q_OBJECT
 public:
  TMainForm();
  ~TMainForm() override;

  // Components, in declaration order.
  QFrame* pnTop;
  QFrame* pnSeparator;
  QFrame* Bevel1;
  QFrame* Panel1;
  QFrame* Panel2;
  QToolButton* BSample;
  QToolButton* BWeb;
  QToolButton* BCustomize;
  QFrame* Bevel2;
  QFrame* pnParent1;
  QFrame* Panel3;
  QFrame* Panel4;
  QFrame* Panel5;
  QFrame* Panel6;
  QFrame* pnParent;
  TTrayIcon* TrayIcon;
  TImageList ImageList2;
  platform::Timer TimerHint;
  QMenu* PopupMenu;
  QAction* N1;
  QAction* N2;
  QAction* N3;
  QAction* N7;
  QAction* N6;
  QAction* N5;
  QAction* N4;

  void ShowPage(QWidget* panel);
  void BSampleClick();
  void BWebClick();
  void FormCreate();
  void FormResize();
  void FormShow();
  // The hook events, counted by the activity counters.
  void MouseHookMouse(QObject* Sender, TMouseStates AMouseStates);
  void KeyHookKey(QObject* Sender, TKeyStates AKeyStates, TKeyNames AKeyNames);
  void BCustomizeClick();
  void N1Click();
  void TrayIconDblClick(TTrayIcon* Sender);
  void TrayIconMouseMove(TTrayIcon* Sender, TTrayIcon::TShiftState Shift, int X, int Y);
  // The desktop tray reports no hovering: the tooltip follows the countdown
  // whenever its minute figure changes.
  void RefreshTrayHint();
  void FormClose(QCloseEvent* e);
  void N2Click();
  void N3Click();
  void N4Click();
  void N6Click();
  void UseDefaultFontName(QWidget* control);
  static void SetFontNameDeep(QWidget* control, const QString& name);

  // True while the window is visible on screen (not hidden in the tray).
  bool Showing() const;
  // The help page beside the executable, with an optional section.
  static QString HelpUrl(const QString& section = QString());

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 public:
  // What the rest engine needs of this window and its tray icon.
  bool MainWindowShowing() override { return Showing(); }
  void ShowBalloon(const QString& title, const QString& text, int kind,
                   std::uint8_t seconds) override;
  void SetIconList(bool imageList2) override;
  void SetCycleIcons(bool on) override;
  void LoadIconFromFile(const QString& path) override;

  void TimerHintTimer();

 private:
  QButtonGroup pageGroup_;
  std::unique_ptr<TRestEngine> engine_;
};

extern TMainForm* MainForm;
