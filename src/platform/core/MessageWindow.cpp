#include "platform/core/MessageWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <atomic>
#include <mutex>
#include <unordered_map>

#include "platform/core/Errors.h"

namespace platform {
namespace {

std::mutex g_mutex;
std::unordered_map<HWND, WindowProc*> g_windows;  // guarded by g_mutex
std::atomic<HWND> g_nextHandle{0x1000};

const QEvent::Type kPostedType = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessage : public QEvent {
 public:
  PostedMessage(HWND w, UINT m, WPARAM wp, LPARAM lp)
      : QEvent(kPostedType), window(w), msg(m), wParam(wp), lParam(lp) {}
  HWND window;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Lives on the application's thread; every posted message goes through it, so
// Qt's per-receiver ordering gives posting order.
class Dispatcher : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() != kPostedType) return QObject::event(e);
    auto* m = static_cast<PostedMessage*>(e);
    SendMessage(m->window, m->msg, m->wParam, m->lParam);
    return true;
  }
};

Dispatcher* g_dispatcher = nullptr;  // created on the application's thread

Dispatcher* GetDispatcher() {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_dispatcher) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return nullptr;
    g_dispatcher = new Dispatcher;
    g_dispatcher->moveToThread(app->thread());
    // Freed with the application, so a new application in the same process
    // (tests) gets a fresh dispatcher.
    QObject::connect(app, &QObject::destroyed, [] {
      std::lock_guard<std::mutex> l(g_mutex);
      delete g_dispatcher;
      g_dispatcher = nullptr;
    });
  }
  return g_dispatcher;
}

}  // namespace

MessageWindow::MessageWindow(WindowProc proc) : handle_(g_nextHandle.fetch_add(1)) {
  GetDispatcher();  // make sure it exists before another thread posts
  std::lock_guard<std::mutex> lock(g_mutex);
  g_windows[handle_] = new WindowProc(std::move(proc));
}

MessageWindow::~MessageWindow() {
  WindowProc* proc = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_windows.find(handle_);
    if (it != g_windows.end()) {
      proc = it->second;
      g_windows.erase(it);
    }
  }
  delete proc;
}

bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  Dispatcher* d = GetDispatcher();
  if (!d) return false;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_windows.find(window) == g_windows.end()) return false;
  }
  QCoreApplication::postEvent(d, new PostedMessage(window, msg, wParam, lParam));
  return true;
}

LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  WindowProc* proc = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_windows.find(window);
    if (it == g_windows.end()) return 0;
    proc = it->second;
  }
  // Copy: the procedure may destroy its own window while it runs.
  WindowProc call = *proc;
  LRESULT result = 0;
  Guard([&] { result = call(msg, wParam, lParam); });
  return result;
}

LRESULT DefWindowProc(HWND, UINT, WPARAM, LPARAM) {
  return 0;
}

bool IsWindow(HWND window) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_windows.find(window) != g_windows.end();
}

void ProcessMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace platform

extern "C" __attribute__((visibility("default"))) int TalvenorPostMessage(std::uintptr_t window,
                                                                          std::uint32_t msg,
                                                                          std::uintptr_t wParam,
                                                                          std::intptr_t lParam) {
  return platform::PostMessage(window, msg, wParam, lParam) ? 1 : 0;
}
