#include "app/TrayIcon.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QImageReader>
#include <QTimer>
#include <QWidget>

#include <cstring>

#include "platform/core/Errors.h"
#include "platform/core/System.h"

using namespace platform;

namespace {

// Messages the handler's window answers itself, so it is never taken down.
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ENDSESSION = 0x0016;
constexpr UINT WM_NCDESTROY = 0x0082;

constexpr UINT kRecordFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

TTrayIconHandler* g_handler = nullptr;
UINT g_nextId = 1;

}  // namespace

// ---- TIcon

void TIcon::Assign(const QIcon& icon) {
  icon_ = icon;
  Changed();
}

void TIcon::LoadFromFile(const QString& path) {
  QImageReader reader(path);
  const QImage image = reader.read();
  if (image.isNull())
    throw Error(QStringLiteral("无法读取图标文件“%1”：%2").arg(path, reader.errorString()));
  // All sizes of an .ico file, not only the first.
  QIcon icon(path);
  if (icon.availableSizes().isEmpty()) icon = QIcon(QPixmap::fromImage(image));
  icon_ = icon;
  Changed();
}

QIcon TIcon::Handle() const {
  if (icon_.isNull() || icon_.availableSizes().isEmpty()) {
    // A picture drawn by an engine without fixed sizes may still render.
    if (!icon_.isNull() && !icon_.pixmap(16, 16).isNull()) return icon_;
    return QIcon();
  }
  return icon_;
}

void TIcon::Changed() {
  if (const auto call = OnChange) call();
}

// ---- TTrayIconHandler

TTrayIconHandler::TTrayIconHandler()
    : window_([this](UINT m, WPARAM w, LPARAM l) { return WndProc(m, w, l); }),
      taskbarCreated_(GetNotifyIcon().TaskbarCreatedMessage()) {}

TTrayIconHandler* TTrayIconHandler::Instance() {
  return g_handler;
}

TTrayIconHandler& TTrayIconHandler::Acquire(TTrayIcon* icon) {
  if (!g_handler) g_handler = new TTrayIconHandler;
  ++g_handler->count_;
  (void)icon;
  return *g_handler;
}

void TTrayIconHandler::Release(TTrayIcon* icon) {
  if (!g_handler) return;
  g_handler->icons_.erase(icon->Id());
  if (--g_handler->count_ <= 0) {
    delete g_handler;
    g_handler = nullptr;
  }
}

LRESULT TTrayIconHandler::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == TTrayIcon::WM_TRAYNOTIFY) {
    auto it = icons_.find(static_cast<UINT>(wParam));
    if (it != icons_.end()) it->second->HandleIconMessage(lParam);
    return 0;
  }
  if (taskbarCreated_ != 0 && msg == taskbarCreated_) {
    // A copy: an icon's handler may free another icon.
    const auto icons = icons_;
    for (auto& [id, icon] : icons)
      if (icons_.count(id)) icon->TaskbarCreated();
    return 0;
  }
  switch (msg) {
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_QUIT:
    case WM_ENDSESSION:
    case WM_NCDESTROY:
      return 1;
    default:
      return DefWindowProc(window_.Handle(), msg, wParam, lParam);
  }
}

// ---- TTrayIcon

TTrayIcon::TTrayIcon(QObject* owner)
    : QObject(owner),
      handler_(TTrayIconHandler::Acquire(this)),
      id_(g_nextId++),
      cycleTimer_(1000, [this](TSimpleTimer*) { AdvanceCycleIcon(); }),
      clickTimer_(1000, [this](TSimpleTimer*) { ClickTick(); }),
      exitTimer_(20, [this](TSimpleTimer*) { ExitCheck(); }) {
  handler_.icons_[id_] = this;
  icon_.OnChange = [this] { UpdateTrayIcon(); };
  iconData_.cbSize = kNotifyIconDataSize;
  iconData_.hWnd = handler_.Handle();
  iconData_.uID = id_;
  iconData_.uFlags = kRecordFlags;
  iconData_.uCallbackMessage = WM_TRAYNOTIFY;
  // The owner window's minimise and show reach the component here.
  if (QWidget* w = OwnerWindow()) w->installEventFilter(this);
}

TTrayIcon::~TTrayIcon() {
  RemoveTrayIcon();
  cycleTimer_.Stop();
  clickTimer_.Stop();
  exitTimer_.Stop();
  icon_.OnChange = nullptr;
  if (QWidget* w = OwnerWindow()) w->removeEventFilter(this);
  TTrayIconHandler::Release(this);
}

void TTrayIcon::Loaded() {
  loading_ = false;
  if (OwnerWindow()) {
    bool showMainForm = true;
    if (OnStartup) OnStartup(this, showMainForm);
    if (!showMainForm) HideMainWindow();
  }
  UpdateTrayIcon();
  SetIconVisible(iconVisible_);
  SetCycleIcons(cycleIcons_);
  SetWantEnterExitEvents(wantEnterExit_);
  NOTIFYICONDATAA version = iconData_;
  version.uTimeout = 0;  // the classic behaviour
  Shell_NotifyIconA(NIM_SETVERSION, &version);
}

// ---- the record and the notification area

void TTrayIcon::FillIconData() {
  iconData_.hIcon = icon_.Handle();
  if (!hint_.isEmpty() && showHint_) {
    CopyUtf8(iconData_.szTip, hint_);
  } else {
    std::memset(iconData_.szTip, 0, sizeof iconData_.szTip);
  }
}

bool TTrayIcon::Send(DWORD message) {
  // While the owner is being set up nothing is filled and nothing is sent.
  if (loading_) return false;
  FillIconData();
  return Shell_NotifyIconA(message, &iconData_);
}

bool TTrayIcon::AddTrayIcon() {
  iconVisible_ = true;
  return Send(NIM_ADD);
}

bool TTrayIcon::RemoveTrayIcon() {
  iconVisible_ = false;
  return Send(NIM_DELETE);
}

bool TTrayIcon::UpdateTrayIcon() {
  return Send(NIM_MODIFY);
}

// ---- property setters

void TTrayIcon::SetIcon(const QIcon& icon) {
  icon_.AssignSilently(icon);
  UpdateTrayIcon();
}

void TTrayIcon::SetIconVisible(bool on) {
  if (loading_) {
    iconVisible_ = on;
    return;
  }
  if (on)
    AddTrayIcon();
  else
    RemoveTrayIcon();
}

void TTrayIcon::SetHint(const QString& hint) {
  hint_ = hint;
  UpdateTrayIcon();
}

void TTrayIcon::SetShowHint(bool on) {
  showHint_ = on;
  UpdateTrayIcon();
}

void TTrayIcon::SetIconList(TImageList* list) {
  iconList_ = list;
  SetIconIndex(0);
}

void TTrayIcon::SetIconIndex(int index) {
  if (iconList_ && iconList_->Count() > 0) {
    // Below the first frame is as wrong as past the last: both are brought
    // back into the list.
    if (index >= iconList_->Count()) index = iconList_->Count() - 1;
    if (index < 0) index = 0;
    iconIndex_ = index;
    icon_.Assign(iconList_->GetIcon(iconIndex_));
  } else {
    iconIndex_ = 0;
  }
  UpdateTrayIcon();
}

void TTrayIcon::SetCycleIcons(bool on) {
  cycleIcons_ = on;
  if (loading_) return;
  if (on) {
    SetIconIndex(0);
    cycleTimer_.SetInterval(cycleInterval_);
    cycleTimer_.Start();
  } else {
    cycleTimer_.Stop();
  }
}

void TTrayIcon::SetCycleInterval(std::uint32_t ms) {
  cycleInterval_ = ms;
  SetCycleIcons(cycleIcons_);
}

void TTrayIcon::SetWantEnterExitEvents(bool on) {
  wantEnterExit_ = on;
  if (loading_) return;
  if (on)
    exitTimer_.Start();
  else
    exitTimer_.Stop();
}

// ---- mouse activity

TTrayIcon::TShiftState TTrayIcon::KeyboardShift() {
  const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
  TShiftState s = 0;
  if (m & Qt::ShiftModifier) s |= ssShift;
  if (m & Qt::AltModifier) s |= ssAlt;
  if (m & Qt::ControlModifier) s |= ssCtrl;
  return s;
}

QPoint TTrayIcon::Pointer() {
  QPoint p;
  if (!GetSystem().CursorPos(p)) return QPoint();
  return p;
}

void TTrayIcon::HandleIconMessage(LPARAM event) {
  switch (event) {
    case NIN_BALLOONSHOW:
      if (OnBalloonHintShow) OnBalloonHintShow(this);
      return;
    case NIN_BALLOONHIDE:
      if (OnBalloonHintHide) OnBalloonHintHide(this);
      return;
    case NIN_BALLOONTIMEOUT:
      if (OnBalloonHintTimeout) OnBalloonHintTimeout(this);
      return;
    case NIN_BALLOONUSERCLICK:
      if (OnBalloonHintClick) OnBalloonHintClick(this);
      return;
    default:
      break;
  }
  if (!enabled_) return;
  const QPoint p = Pointer();
  const TShiftState shift = KeyboardShift();
  switch (event) {
    case WM_MOUSEMOVE:
      if (wantEnterExit_ && pointerOutside_) {
        DoMouseEnter();
        pointerOutside_ = false;
      }
      DoMouseMove(shift, p.x(), p.y());
      lastMoveX_ = p.x();
      lastMoveY_ = p.y();
      break;
    case WM_LBUTTONDOWN:
      if (OnDblClick) {
        clickTimer_.SetInterval(GetSystem().DoubleClickTime());
        clickTimer_.Start();
      }
      DoMouseDown(mbLeft, shift | ssLeft, p.x(), p.y());
      clickPending_ = true;
      if (leftPopup_) ShowPopupAtCursor();
      break;
    case WM_LBUTTONUP:
      if (clickPending_) clickReady_ = true;
      if (clickPending_ && !clickTimer_.Enabled()) {
        clickPending_ = false;
        clickReady_ = false;
        DoClick();
      }
      clickPending_ = false;
      DoMouseUp(mbLeft, shift | ssLeft, p.x(), p.y());
      break;
    case WM_LBUTTONDBLCLK: {
      clickReady_ = false;
      doubleClicked_ = true;
      DoDblClick();
      QMenu* menu = popupMenu_;
      if (menu && MenuAutoPopup(menu) && !leftPopup_) {
        QAction* def = menu->defaultAction();
        for (QAction* a : menu->actions()) {
          if (a == def && !a->isSeparator()) {
            a->trigger();
            break;
          }
        }
      }
      break;
    }
    case WM_RBUTTONDOWN:
      DoMouseDown(mbRight, shift | ssRight, p.x(), p.y());
      ShowPopupAtCursor();
      break;
    case WM_RBUTTONUP:
      DoMouseUp(mbRight, shift | ssRight, p.x(), p.y());
      break;
    case WM_MBUTTONDOWN:
      DoMouseDown(mbMiddle, shift | ssMiddle, p.x(), p.y());
      break;
    case WM_MBUTTONUP:
      DoMouseUp(mbMiddle, shift | ssMiddle, p.x(), p.y());
      break;
    default:
      break;
  }
}

void TTrayIcon::ClickTick() {
  clickTimer_.Stop();
  const bool click = clickReady_ && !doubleClicked_;
  clickReady_ = false;
  doubleClicked_ = false;
  if (click) DoClick();
}

void TTrayIcon::ExitCheck() {
  if (!wantEnterExit_ || pointerOutside_) return;
  QPoint p;
  if (!GetSystem().CursorPos(p)) return;
  if (p.x() != lastMoveX_ || p.y() != lastMoveY_) {
    pointerOutside_ = true;
    DoMouseExit();
  }
}

void TTrayIcon::DoClick() {
  if (OnClick) OnClick(this);
}
void TTrayIcon::DoDblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TTrayIcon::DoCycle(int nextIndex) {
  if (OnCycle) OnCycle(this, nextIndex);
}
void TTrayIcon::DoMouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TTrayIcon::DoMouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, b, s, x, y);
}
void TTrayIcon::DoMouseMove(TShiftState s, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, s, x, y);
}
void TTrayIcon::DoMouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}
void TTrayIcon::DoMouseExit() {
  if (OnMouseExit) OnMouseExit(this);
}

// ---- balloons

bool TTrayIcon::ShowBalloon(const QString& title, const QString& text, TBalloonIconKind kind,
                            std::uint8_t seconds) {
  ClearBalloon();
  iconData_.uFlags |= NIF_INFO;
  CopyUtf8(iconData_.szInfo, text);
  CopyUtf8(iconData_.szInfoTitle, title);
  iconData_.uTimeout = static_cast<UINT>(seconds) * 1000u;
  iconData_.dwInfoFlags = static_cast<DWORD>(kind);
  const bool ok = UpdateTrayIcon();
  iconData_.uFlags = kRecordFlags;
  return ok;
}

void TTrayIcon::ClearBalloon() {
  iconData_.uFlags |= NIF_INFO;
  std::memset(iconData_.szInfo, 0, sizeof iconData_.szInfo);
  UpdateTrayIcon();
}

// ---- the menu

bool TTrayIcon::MenuAutoPopup(const QMenu* menu) {
  const QVariant v = menu->property("AutoPopup");
  return !v.isValid() || v.toBool();
}

void TTrayIcon::ShowPopupAtCursor() {
  QMenu* menu = popupMenu_;
  if (!menu || !MenuAutoPopup(menu)) return;
  QPoint p;
  if (!GetSystem().CursorPos(p)) return;
  ProcessMessages();
  menu = popupMenu_;  // the pending messages may have taken it away
  if (!menu) return;
  menu->setProperty("PopupComponent", QVariant::fromValue<QObject*>(this));
  // Qt's popup closes itself when the user clicks elsewhere, so the owner
  // needs no nudge afterwards.
  menu->popup(p);
}

// ---- the owner window

QWidget* TTrayIcon::OwnerWindow() const {
  return qobject_cast<QWidget*>(parent());
}

QWidget* TTrayIcon::MainWindow() const {
  QWidget* owner = OwnerWindow();
  return owner ? owner->window() : nullptr;
}

void TTrayIcon::HideTaskbarButton() {
  // The taskbar button is the main window's own: it goes when the window hides.
  QWidget* w = MainWindow();
  if (w && w->isVisible()) w->hide();
}

void TTrayIcon::HideMainWindow() {
  QWidget* w = MainWindow();
  if (!w) return;
  w->setVisible(false);
  HideTaskbarButton();
}

void TTrayIcon::RestoreMainWindow() {
  QWidget* w = MainWindow();
  if (!w) return;
  if (w->isMinimized()) w->showNormal();
  w->setVisible(true);
  w->raise();
  w->activateWindow();
}

void TTrayIcon::MinimizeIntoTray() {
  HideMainWindow();
  SetIconVisible(true);
}

bool TTrayIcon::eventFilter(QObject* watched, QEvent* event) {
  if (watched != OwnerWindow() || loading_) return false;
  auto* w = static_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::WindowStateChange:
      if ((w->windowState() & Qt::WindowMinimized) && minimizeToTray_) {
        // After the change has run its course: showMinimized() shows the
        // window right after setting the state.
        QTimer::singleShot(0, this, [this] {
          QWidget* owner = OwnerWindow();
          if (!owner || !(owner->windowState() & Qt::WindowMinimized) || !minimizeToTray_) return;
          if (OnMinimizeToTray) OnMinimizeToTray(this);
          MinimizeIntoTray();
        });
      }
      break;
    case QEvent::Show:
      if (!w->isMinimized()) {
        w->raise();
        w->activateWindow();
      }
      break;
    default:
      break;
  }
  return false;
}

void TTrayIcon::TaskbarCreated() {
  if (iconVisible_) AddTrayIcon();
}

// ---- animation

void TTrayIcon::AdvanceCycleIcon() {
  if (!iconList_) return;
  icon_.Assign(iconList_->GetIcon(iconIndex_));
  const int next = iconIndex_ + 1 < iconList_->Count() ? iconIndex_ + 1 : 0;
  DoCycle(next);
  SetIconIndex(next);
}
