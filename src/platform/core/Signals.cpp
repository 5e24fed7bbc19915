#include "platform/core/Signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>

namespace platform {
namespace {

int g_pipe[2] = {-1, -1};

void OnSignal(int) {
  const char c = 1;
  [[maybe_unused]] ssize_t n = write(g_pipe[1], &c, 1);
}

}  // namespace

void InstallQuitSignals(std::function<void()> onQuit) {
  if (g_pipe[0] < 0) {
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  }
  auto* notifier =
      new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onQuit = std::move(onQuit)] {
    char buf[64];
    while (read(g_pipe[0], buf, sizeof buf) > 0) {
    }
    onQuit();
  });
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
}

}  // namespace platform
