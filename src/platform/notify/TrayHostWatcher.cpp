#include "platform/notify/TrayHostWatcher.h"

#include <xcb/xcb.h>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <cstdlib>
#include <string>

namespace platform {

struct TrayHostWatcher::X {
  xcb_connection_t* conn = nullptr;
  xcb_window_t root = 0;
  xcb_atom_t selection = 0;
  xcb_atom_t manager = 0;
  ~X() {
    if (conn) xcb_disconnect(conn);
  }
};

namespace {

xcb_atom_t InternAtom(xcb_connection_t* c, const std::string& name) {
  xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
  if (!r) return 0;
  const xcb_atom_t atom = r->atom;
  std::free(r);
  return atom;
}

}  // namespace

TrayHostWatcher::TrayHostWatcher() {
  if (QGuiApplication::platformName() == QLatin1String("xcb")) StartX();
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected()) {
    sni_ = new QDBusServiceWatcher(QStringLiteral("org.kde.StatusNotifierWatcher"), bus,
                                   QDBusServiceWatcher::WatchForRegistration, this);
    connect(sni_, &QDBusServiceWatcher::serviceRegistered, this, [this] { Appeared(); });
  }
}

TrayHostWatcher::~TrayHostWatcher() = default;

void TrayHostWatcher::StartX() {
  int screen = 0;
  auto x = std::make_unique<X>();
  x->conn = xcb_connect(nullptr, &screen);
  if (!x->conn || xcb_connection_has_error(x->conn)) return;
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(x->conn));
  for (int i = 0; i < screen && it.rem; ++i) xcb_screen_next(&it);
  if (!it.rem) return;
  x->root = it.data->root;
  x->selection = InternAtom(x->conn, "_NET_SYSTEM_TRAY_S" + std::to_string(screen));
  x->manager = InternAtom(x->conn, "MANAGER");
  if (!x->selection || !x->manager) return;
  // A new tray host announces itself with a MANAGER message to the root window.
  const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(x->conn, x->root, XCB_CW_EVENT_MASK, &mask);
  x_ = std::move(x);
  WatchXOwner(false);
  notifier_ = new QSocketNotifier(xcb_get_file_descriptor(x_->conn), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { ReadX(); });
}

void TrayHostWatcher::WatchXOwner(bool announce) {
  xcb_get_selection_owner_reply_t* r = xcb_get_selection_owner_reply(
      x_->conn, xcb_get_selection_owner(x_->conn, x_->selection), nullptr);
  const unsigned owner = r ? r->owner : 0;
  std::free(r);
  if (owner != 0 && owner != xOwner_) {
    // Its end comes as a DestroyNotify; an owner already gone gives an error
    // event, which ReadX drops.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(x_->conn, owner, XCB_CW_EVENT_MASK, &mask);
  }
  const bool appeared = owner != 0 && owner != xOwner_;
  xOwner_ = owner;
  xcb_flush(x_->conn);
  if (announce && appeared) Appeared();
}

void TrayHostWatcher::ReadX() {
  if (!x_) return;
  bool recheck = false;
  while (xcb_generic_event_t* e = xcb_poll_for_event(x_->conn)) {
    switch (e->response_type & 0x7f) {
      case XCB_CLIENT_MESSAGE: {
        auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
        if (m->type == x_->manager && m->format == 32 && m->data.data32[1] == x_->selection)
          recheck = true;
        break;
      }
      case XCB_DESTROY_NOTIFY: {
        auto* d = reinterpret_cast<xcb_destroy_notify_event_t*>(e);
        if (d->window == xOwner_) {
          xOwner_ = 0;
          recheck = true;  // a successor may already own the selection
        }
        break;
      }
      default:
        break;
    }
    std::free(e);
  }
  if (xcb_connection_has_error(x_->conn)) {
    // The display went away: nothing more to watch.
    delete notifier_;
    notifier_ = nullptr;
    x_.reset();
    xOwner_ = 0;
    return;
  }
  if (recheck) WatchXOwner(true);
}

void TrayHostWatcher::Appeared() {
  if (OnHostAppeared) OnHostAppeared();
}

}  // namespace platform
