#pragma once

// One include for the core services of the platform layer.
#include "platform/core/Clock.h"
#include "platform/core/Errors.h"
#include "platform/core/MessageWindow.h"
#include "platform/core/System.h"
#include "platform/core/Timer.h"
#include "platform/core/Timers.h"

#include <QApplication>

namespace platform {

// The application object: every event it delivers runs inside the exception
// guard, so an error in any handler reaches the default exception handler.
class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace platform
