#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>

#include "app/SimpleTimer.h"
#include "platform/core/MessageWindow.h"
#include "platform/notify/NotifyIcon.h"
#include "widgets/ImageList.h"

class TTrayIcon;

// The picture a tray icon owns. Changes raise OnChange, except AssignSilently.
class TIcon {
 public:
  const QIcon& Picture() const { return icon_; }
  bool Empty() const { return icon_.isNull(); }
  void Assign(const QIcon& icon);
  void AssignSilently(const QIcon& icon) { icon_ = icon; }
  // Throws platform::Error when the file holds no readable picture.
  void LoadFromFile(const QString& path);
  // The picture to hand to the notification area: null when it cannot be read.
  QIcon Handle() const;

  std::function<void()> OnChange;

 private:
  void Changed();
  QIcon icon_;
};

enum TBalloonIconKind : int { bkNone = 0, bkInfo = 1, bkWarning = 2, bkError = 3 };

// The hidden window that receives the notification area's messages for every
// tray icon of the process; the first parameter names the icon.
class TTrayIconHandler {
 public:
  static TTrayIconHandler* Instance();
  platform::HWND Handle() const { return window_.Handle(); }
  int Count() const { return count_; }
  // The "taskbar created" broadcast's message number (0: none).
  platform::UINT TaskbarCreatedMsg() const { return taskbarCreated_; }

 private:
  friend class TTrayIcon;
  TTrayIconHandler();
  static TTrayIconHandler& Acquire(TTrayIcon* icon);
  static void Release(TTrayIcon* icon);
  platform::LRESULT WndProc(platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam);

  platform::MessageWindow window_;
  std::map<platform::UINT, TTrayIcon*> icons_;
  int count_ = 0;
  platform::UINT taskbarCreated_ = 0;
};

// One icon in the notification area: tooltip, balloons, mouse events, a popup
// menu, animation through an image list, and hiding the owner window into the
// tray. Owned by its owner (a QObject parent); an owner that is a widget is the
// window it minimises and restores.
class TTrayIcon : public QObject {
 public:
  // The callback message of the notification area (WM_USER + 1024).
  static constexpr platform::UINT WM_TRAYNOTIFY = platform::WM_USER + 1024;

  enum TMouseButton { mbLeft, mbRight, mbMiddle };
  enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32
  };
  using TShiftState = unsigned;

  using TNotifyEvent = std::function<void(TTrayIcon* sender)>;
  using TMouseEvent =
      std::function<void(TTrayIcon* sender, TMouseButton button, TShiftState shift, int x, int y)>;
  using TMouseMoveEvent = std::function<void(TTrayIcon* sender, TShiftState shift, int x, int y)>;
  using TCycleEvent = std::function<void(TTrayIcon* sender, int nextIndex)>;
  using TStartupEvent = std::function<void(TTrayIcon* sender, bool& showMainForm)>;

  explicit TTrayIcon(QObject* owner = nullptr);
  ~TTrayIcon() override;

  // An owner that sets the properties as a stored form would: between the two
  // calls the notification area is left alone; Loaded then applies them.
  void BeginLoading() { loading_ = true; }
  void Loaded();

  // Properties.
  bool DesignPreview() const { return designPreview_; }
  void SetDesignPreview(bool on) { designPreview_ = on; }
  TImageList* IconList() const { return iconList_; }
  void SetIconList(TImageList* list);
  bool CycleIcons() const { return cycleIcons_; }
  void SetCycleIcons(bool on);
  std::uint32_t CycleInterval() const { return cycleInterval_; }
  void SetCycleInterval(std::uint32_t ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on) { enabled_ = on; }
  const QString& Hint() const { return hint_; }
  void SetHint(const QString& hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool on);
  TIcon& Icon() { return icon_; }
  void SetIcon(const QIcon& icon);
  bool IconVisible() const { return iconVisible_; }
  void SetIconVisible(bool on);
  int IconIndex() const { return iconIndex_; }
  void SetIconIndex(int index);
  QMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
  bool LeftPopup() const { return leftPopup_; }
  void SetLeftPopup(bool on) { leftPopup_ = on; }
  bool WantEnterExitEvents() const { return wantEnterExit_; }
  void SetWantEnterExitEvents(bool on);
  bool MinimizeToTray() const { return minimizeToTray_; }
  void SetMinimizeToTray(bool on) { minimizeToTray_ = on; }

  // Events.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseExit;
  TCycleEvent OnCycle;
  TNotifyEvent OnBalloonHintShow;
  TNotifyEvent OnBalloonHintHide;
  TNotifyEvent OnBalloonHintTimeout;
  TNotifyEvent OnBalloonHintClick;
  TNotifyEvent OnMinimizeToTray;
  TStartupEvent OnStartup;

  virtual bool AllowPreviewIcon() { return true; }
  virtual bool AddTrayIcon();
  virtual bool RemoveTrayIcon();
  virtual bool UpdateTrayIcon();

  bool ShowBalloon(const QString& title, const QString& text, TBalloonIconKind kind,
                   std::uint8_t seconds);
  void ClearBalloon();
  void RestoreMainWindow();
  void HideMainWindow();
  void HideTaskbarButton();
  void ShowPopupAtCursor();
  virtual void MinimizeIntoTray();

  // Internal state, readable for the owner's tests.
  platform::UINT Id() const { return id_; }
  const platform::NOTIFYICONDATAA& IconData() const { return iconData_; }
  TSimpleTimer& CycleTimer() { return cycleTimer_; }
  TSimpleTimer& ClickTimer() { return clickTimer_; }
  TSimpleTimer& ExitTimer() { return exitTimer_; }

  // Whether the component may pop the menu up and choose its default entry: a
  // menu property "AutoPopup" of false says no.
  static bool MenuAutoPopup(const QMenu* menu);

 protected:
  virtual void DoClick();
  virtual void DoDblClick();
  virtual void DoCycle(int nextIndex);
  virtual void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DoMouseMove(TShiftState shift, int x, int y);
  virtual void DoMouseEnter();
  virtual void DoMouseExit();

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class TTrayIconHandler;
  void FillIconData();
  bool Send(platform::DWORD message);
  void HandleIconMessage(platform::LPARAM event);
  void TaskbarCreated();
  void AdvanceCycleIcon();
  void ClickTick();
  void ExitCheck();
  QWidget* OwnerWindow() const;
  QWidget* MainWindow() const;
  static TShiftState KeyboardShift();
  static QPoint Pointer();

  TTrayIconHandler& handler_;
  platform::UINT id_;
  platform::NOTIFYICONDATAA iconData_;
  TIcon icon_;
  TSimpleTimer cycleTimer_;
  TSimpleTimer clickTimer_;
  TSimpleTimer exitTimer_;

  bool loading_ = false;
  bool designPreview_ = false;
  TImageList* iconList_ = nullptr;
  bool cycleIcons_ = false;
  std::uint32_t cycleInterval_ = 0;
  bool enabled_ = true;
  QString hint_;
  bool showHint_ = true;
  bool iconVisible_ = false;
  int iconIndex_ = 0;
  QPointer<QMenu> popupMenu_;
  bool leftPopup_ = false;
  bool wantEnterExit_ = false;
  bool minimizeToTray_ = false;

  bool clickPending_ = false;
  bool clickReady_ = false;
  bool doubleClicked_ = false;
  bool pointerOutside_ = true;
  int lastMoveX_ = 0;
  int lastMoveY_ = 0;
};
