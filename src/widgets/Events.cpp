#include "widgets/Events.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace widgets {
namespace {

int g_programDepth = 0;
std::exception_ptr g_pending;
std::function<void(std::exception_ptr)> g_sink;

class ErrorEvent : public QEvent {
 public:
  explicit ErrorEvent(std::exception_ptr e) : QEvent(Type()), error(std::move(e)) {}
  static QEvent::Type Type() {
    static const auto t = static_cast<QEvent::Type>(QEvent::registerEventType());
    return t;
  }
  std::exception_ptr error;
};

// Rethrows a carried error inside event delivery.
class ErrorCarrier : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == ErrorEvent::Type()) std::rethrow_exception(static_cast<ErrorEvent*>(e)->error);
    return QObject::event(e);
  }
};

void PostToApplication(std::exception_ptr e) {
  static ErrorCarrier* carrier = new ErrorCarrier;  // lives to the end of the process
  QCoreApplication::postEvent(carrier, new ErrorEvent(std::move(e)));
}

}  // namespace

void Fire(const std::function<void()>& handler) {
  if (!handler) return;
  try {
    handler();
  } catch (...) {
    if (g_programDepth > 0) {
      if (!g_pending) g_pending = std::current_exception();
    } else if (g_sink) {
      g_sink(std::current_exception());
    } else {
      PostToApplication(std::current_exception());
    }
  }
}

void AsProgramChange(const std::function<void()>& assign) {
  ++g_programDepth;
  try {
    assign();
  } catch (...) {
    --g_programDepth;
    throw;
  }
  --g_programDepth;
  if (g_programDepth == 0 && g_pending) {
    std::exception_ptr e = g_pending;
    g_pending = nullptr;
    std::rethrow_exception(e);
  }
}

void SetErrorSink(std::function<void(std::exception_ptr)> sink) {
  g_sink = std::move(sink);
}

}  // namespace widgets
