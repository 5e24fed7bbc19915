#include "platform/notify/NotifyIcon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QPixmap>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "platform/core/MessageWindow.h"
#include "platform/notify/BalloonPopup.h"
#include "platform/notify/DesktopNotifications.h"
#include "platform/notify/TrayHostWatcher.h"

namespace platform {

std::size_t CopyUtf8(char* dest, std::size_t size, const QByteArray& utf8) {
  if (!dest || size == 0) return 0;
  std::size_t n = static_cast<std::size_t>(utf8.size());
  if (n > size - 1) {
    n = size - 1;
    // utf8[n] is the first byte left out; if it continues a character, that
    // character started inside the field and is left out whole.
    while (n > 0 && (static_cast<unsigned char>(utf8[static_cast<qsizetype>(n)]) & 0xC0) == 0x80)
      --n;
  }
  std::memcpy(dest, utf8.constData(), n);
  dest[n] = '\0';
  return n;
}

std::size_t CopyUtf8(char* dest, std::size_t size, const QString& text) {
  return CopyUtf8(dest, size, text.toUtf8());
}

namespace {

// A registered-message number, as the shell's broadcast would have.
constexpr UINT kTaskbarCreated = 0xC0A0;
// How long a balloon waits for a tray host to place a new icon.
constexpr qint64 kPlacingMs = 1500;

QSystemTrayIcon::MessageIcon TrayKind(int kind) {
  switch (kind) {
    case 1:
      return QSystemTrayIcon::Information;
    case 2:
      return QSystemTrayIcon::Warning;
    case 3:
      return QSystemTrayIcon::Critical;
    default:
      return QSystemTrayIcon::NoIcon;
  }
}

// The real notification area: one QSystemTrayIcon per icon. Qt's own context
// menu is not used: the right button is reported, and the owner pops its menu.
class QtNotifyIconService : public NotifyIconService, public QObject {
 public:
  ~QtNotifyIconService() override {
    if (!qApp) {
      // Too late to take tray icons down without a display: let them go.
      for (auto& [key, entry] : icons_) (void)entry->tray.release();
      return;
    }
    for (auto& [key, entry] : icons_) CloseBalloon(*entry, false);
    icons_.clear();
    EndSession();
  }

  bool ShellNotifyIcon(DWORD message, const NOTIFYICONDATAA& d) override {
    if (!qApp) return false;
    const Key key{d.hWnd, d.uID};
    auto it = icons_.find(key);
    switch (message) {
      case NIM_ADD: {
        if (it == icons_.end()) {
          auto entry = std::make_unique<Entry>();
          entry->window = d.hWnd;
          entry->id = d.uID;
          entry->tray = std::make_unique<QSystemTrayIcon>();
          QSystemTrayIcon* tray = entry->tray.get();
          Entry* e = entry.get();
          QObject::connect(tray, &QSystemTrayIcon::activated, this,
                           [this, e](QSystemTrayIcon::ActivationReason r) { Activated(*e, r); });
          QObject::connect(tray, &QSystemTrayIcon::messageClicked, this, [this, e] {
            if (e->balloon == Balloon::Tray) BalloonEnded(*e, NIN_BALLOONUSERCLICK);
          });
          it = icons_.emplace(key, std::move(entry)).first;
          StartSession();
        }
        Entry& e = *it->second;
        Apply(e, d, true);
        if (e.tray->isVisible()) {
          // Shown again after a tray host came back: dock it anew.
          e.tray->hide();
        }
        e.tray->show();
        e.shownFor.start();
        return true;
      }
      case NIM_MODIFY:
        if (it == icons_.end()) return false;
        Apply(*it->second, d, false);
        return true;
      case NIM_DELETE:
        if (it == icons_.end()) return false;
        CloseBalloon(*it->second, true);
        it->second->tray->hide();
        icons_.erase(it);
        if (icons_.empty()) EndSession();
        return true;
      case NIM_SETVERSION:
        if (it == icons_.end()) return false;
        it->second->version = d.uVersion();
        return true;
      default:
        return false;
    }
  }

  UINT TaskbarCreatedMessage() override { return kTaskbarCreated; }

 protected:
  // The XEmbed tray icon is a widget of Qt's: the pointer entering it is the
  // only hover the desktop reports.
  bool eventFilter(QObject* obj, QEvent* ev) override {
    if (ev->type() != QEvent::Enter && ev->type() != QEvent::ToolTip) return false;
    auto* w = qobject_cast<QWidget*>(obj);
    if (!w || !w->isWindow() || icons_.empty()) return false;
    if (qstrcmp(w->metaObject()->className(), "QSystemTrayIconSys") != 0) return false;
    const QPoint centre = w->geometry().center();
    for (auto& [key, e] : icons_) {
      if (icons_.size() == 1 || e->tray->geometry().contains(centre)) {
        Post(*e, WM_MOUSEMOVE);
        break;
      }
    }
    return false;
  }

 private:
  using Key = std::pair<HWND, UINT>;
  enum class Balloon { None, Tray, Bus, Popup };

  struct Entry {
    HWND window = 0;
    UINT id = 0;
    UINT callback = 0;
    UINT version = 0;
    std::unique_ptr<QSystemTrayIcon> tray;
    Balloon balloon = Balloon::None;
    unsigned serial = 0;  // counts balloons, so late answers of old ones are dropped
    uint busId = 0;
    QPointer<BalloonPopup> popup;
    QTimer trayTimeout;
    QElapsedTimer shownFor;  // since the icon was last shown to a tray host
  };

  void Apply(Entry& e, const NOTIFYICONDATAA& d, bool adding) {
    if (d.uFlags & NIF_MESSAGE) e.callback = d.uCallbackMessage;
    if (d.uFlags & NIF_ICON) {
      // An icon without a picture still takes its place and its clicks.
      if (d.hIcon.isNull()) {
        QPixmap blank(16, 16);
        blank.fill(Qt::transparent);
        e.tray->setIcon(QIcon(blank));
      } else {
        e.tray->setIcon(d.hIcon);
      }
    } else if (adding && e.tray->icon().isNull()) {
      QPixmap blank(16, 16);
      blank.fill(Qt::transparent);
      e.tray->setIcon(QIcon(blank));
    }
    if (d.uFlags & NIF_TIP) e.tray->setToolTip(FieldText(d.szTip));
    if (d.uFlags & NIF_INFO) {
      const QString text = FieldText(d.szInfo);
      CloseBalloon(e, true);
      if (!text.isEmpty())
        ShowBalloon(e, FieldText(d.szInfoTitle), text,
                    static_cast<int>(d.dwInfoFlags & NIIF_ICON_MASK),
                    d.uTimeout > 0 ? static_cast<int>(d.uTimeout) : 10000);
    }
  }

  void Post(const Entry& e, UINT event) {
    if (e.callback) PostMessage(e.window, e.callback, e.id, static_cast<LPARAM>(event));
  }

  // Qt reports whole clicks; the owner expects the button's press and release.
  void Activated(Entry& e, QSystemTrayIcon::ActivationReason r) {
    switch (r) {
      case QSystemTrayIcon::Trigger:
        Post(e, WM_LBUTTONDOWN);
        Post(e, WM_LBUTTONUP);
        break;
      case QSystemTrayIcon::DoubleClick:
        Post(e, WM_LBUTTONDBLCLK);
        Post(e, WM_LBUTTONUP);
        break;
      case QSystemTrayIcon::Context:
        Post(e, WM_RBUTTONDOWN);
        Post(e, WM_RBUTTONUP);
        break;
      case QSystemTrayIcon::MiddleClick:
        Post(e, WM_MBUTTONDOWN);
        Post(e, WM_MBUTTONUP);
        break;
      default:
        break;
    }
  }

  void ShowBalloon(Entry& e, const QString& title, const QString& text, int kind, int ms) {
    const unsigned serial = ++e.serial;
    if (e.tray->isVisible() && e.tray->supportsMessages() &&
        QSystemTrayIcon::isSystemTrayAvailable()) {
      e.balloon = Balloon::Tray;
      ShowTrayBalloon(e, serial, title, text, kind, ms);
      return;
    }
    if (session_ && session_->bus.Connected() && HasDesktop()) {
      // Until the service answers, the balloon counts as on its way there.
      e.balloon = Balloon::Bus;
      const Key key{e.window, e.id};
      session_->bus.Notify(title, text, kind, ms, 0,
                           [this, key, serial, title, text, kind, ms](bool ok, uint id) {
                             auto it = icons_.find(key);
                             if (it == icons_.end()) {
                               if (ok && session_) session_->bus.Close(id);
                               return;
                             }
                             Entry& en = *it->second;
                             if (en.serial != serial || en.balloon != Balloon::Bus) {
                               if (ok && session_)
                                 session_->bus.Close(id);  // replaced or cleared meanwhile
                               return;
                             }
                             if (ok) {
                               en.busId = id;
                               Post(en, NIN_BALLOONSHOW);
                             } else {
                               ShowPopup(en, title, text, kind, ms);
                             }
                           });
      return;
    }
    ShowPopup(e, title, text, kind, ms);
  }

  // Qt points its balloon at the icon: an icon that the tray host has not
  // placed yet sits at the screen's corner, so the balloon waits for it a
  // little (the program's first balloon comes right after the icon is added).
  void ShowTrayBalloon(Entry& e, unsigned serial, const QString& title, const QString& text,
                       int kind, int ms) {
    if (e.serial != serial || e.balloon != Balloon::Tray) return;  // replaced meanwhile
    const bool placed = e.tray->geometry().topLeft() != QPoint(0, 0);
    if (!placed && e.shownFor.isValid() && e.shownFor.elapsed() < kPlacingMs) {
      const Key key{e.window, e.id};
      QTimer::singleShot(50, this, [this, key, serial, title, text, kind, ms] {
        auto it = icons_.find(key);
        if (it != icons_.end()) ShowTrayBalloon(*it->second, serial, title, text, kind, ms);
      });
      return;
    }
    e.tray->showMessage(DisplayText(title), DisplayText(text), TrayKind(kind), ms);
    e.trayTimeout.setSingleShot(true);
    e.trayTimeout.disconnect();
    QObject::connect(&e.trayTimeout, &QTimer::timeout, this, [this, &e, serial] {
      if (e.serial == serial && e.balloon == Balloon::Tray) BalloonEnded(e, NIN_BALLOONTIMEOUT);
    });
    e.trayTimeout.start(ms);
    Post(e, NIN_BALLOONSHOW);
  }

  // A program drawn offscreen (tests) has no desktop to tell anything.
  static bool HasDesktop() {
    const QString name = QGuiApplication::platformName();
    return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
  }

  void ShowPopup(Entry& e, const QString& title, const QString& text, int kind, int ms) {
    auto* popup = new BalloonPopup(title, text, kind, ms);
    Entry* en = &e;
    popup->OnClick = [this, en] { BalloonEnded(*en, NIN_BALLOONUSERCLICK); };
    popup->OnTimeout = [this, en] { BalloonEnded(*en, NIN_BALLOONTIMEOUT); };
    e.balloon = Balloon::Popup;
    e.popup = popup;
    popup->ShowNearCorner();
    Post(e, NIN_BALLOONSHOW);
  }

  // The balloon ended by itself (timeout) or by the user (click).
  void BalloonEnded(Entry& e, UINT event) {
    e.balloon = Balloon::None;
    e.busId = 0;
    e.popup = nullptr;
    e.trayTimeout.stop();
    Post(e, event);
  }

  // Takes a shown balloon away (a new one replaces it, or the icon goes).
  void CloseBalloon(Entry& e, bool notify) {
    const Balloon was = e.balloon;
    e.balloon = Balloon::None;
    e.trayTimeout.stop();
    switch (was) {
      case Balloon::None:
        return;
      case Balloon::Tray:
        // Qt has no call to take its balloon back; its window is closed instead.
        for (QWidget* w : QApplication::topLevelWidgets())
          if (qstrcmp(w->metaObject()->className(), "QBalloonTip") == 0) w->close();
        break;
      case Balloon::Bus:
        if (e.busId && session_) session_->bus.Close(e.busId);
        e.busId = 0;
        break;
      case Balloon::Popup:
        if (e.popup) e.popup->Dismiss();
        e.popup = nullptr;
        break;
    }
    if (notify) Post(e, NIN_BALLOONHIDE);
  }

  Entry* FindBus(uint id) {
    if (id == 0) return nullptr;
    for (auto& [key, e] : icons_)
      if (e->balloon == Balloon::Bus && e->busId == id) return e.get();
    return nullptr;
  }

  void BusClosed(uint id, uint reason) {
    if (Entry* e = FindBus(id))
      BalloonEnded(*e, reason == 3 ? NIN_BALLOONHIDE : NIN_BALLOONTIMEOUT);
  }

  void BusClicked(uint id) {
    if (Entry* e = FindBus(id)) BalloonEnded(*e, NIN_BALLOONUSERCLICK);
  }

  // Every window with an icon hears that a tray host is there now.
  void Broadcast() {
    std::set<HWND> windows;
    for (auto& [key, e] : icons_) windows.insert(e->window);
    for (HWND w : windows) PostMessage(w, kTaskbarCreated, 0, 0);
  }

  // What is watched while icons exist: the tray hosts, the notification
  // service, and the hover over Qt's tray widget.
  struct Session {
    TrayHostWatcher watcher;
    DesktopNotifications bus;
  };

  void StartSession() {
    if (session_) return;
    session_ = std::make_unique<Session>();
    session_->watcher.OnHostAppeared = [this] { Broadcast(); };
    session_->bus.OnClosed = [this](uint id, uint reason) { BusClosed(id, reason); };
    session_->bus.OnClicked = [this](uint id) { BusClicked(id); };
    qApp->installEventFilter(this);
  }

  void EndSession() {
    if (!session_) return;
    qApp->removeEventFilter(this);
    session_.reset();
  }

  std::map<Key, std::unique_ptr<Entry>> icons_;
  std::unique_ptr<Session> session_;
};

NotifyIconService* g_service = nullptr;

}  // namespace

NotifyIconService& GetNotifyIcon() {
  if (g_service) return *g_service;
  // Never destroyed: an exit() from inside the event loop (the X connection
  // broke) would otherwise close windows of a display that is gone. Icons are
  // taken down by their owners' NIM_DELETE before a normal end.
  static QtNotifyIconService* real = new QtNotifyIconService;
  return *real;
}

void SetNotifyIcon(NotifyIconService* service) {
  g_service = service;
}

}  // namespace platform
