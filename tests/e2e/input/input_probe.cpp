// A test program: the real hook components and counters, driven by commands on
// standard input, printing what they counted. It must sit beside the hook
// libraries, as the program does.
#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "monitor/CPKeyHook.h"
#include "monitor/CPMouseHook.h"
#include "monitor/Counters.h"
#include "monitor/RunState.h"
#include "platform/core/Services.h"

namespace {

struct Seen {
  int keyEvents = 0;
  int keyUps = 0;
  int maxRepeat = 0;
  int mouseEvents = 0;
  std::string lastName;
  char lastChar = 0;
};
Seen g_seen;

void Report(const char* tag) {
  std::printf(
      "%s keys=%d clicks=%d distance=%.3f x=%.0f y=%.0f keyevents=%d keyups=%d "
      "maxrepeat=%d mouseevents=%d name=%s char=%d\n",
      tag, RunState.KeyCount, RunState.ClickCount, RunState.MouseDistance, RunState.LastMouseX,
      RunState.LastMouseY, g_seen.keyEvents, g_seen.keyUps, g_seen.maxRepeat, g_seen.mouseEvents,
      g_seen.lastName.empty() ? "-" : g_seen.lastName.c_str(), g_seen.lastChar);
  std::fflush(stdout);
}

void Command(const std::string& line) {
  if (line == "report") {
    Report("report");
  } else if (line == "start") {
    const bool key = KeyHook->Start();
    const bool mouse = MouseHook->Start();
    std::printf("start key=%d mouse=%d\n", key ? 1 : 0, mouse ? 1 : 0);
    std::fflush(stdout);
  } else if (line == "stop") {
    const bool key = KeyHook->Stop();
    const bool mouse = MouseHook->Stop();
    std::printf("stop key=%d mouse=%d\n", key ? 1 : 0, mouse ? 1 : 0);
    std::fflush(stdout);
  } else if (line == "quit") {
    delete KeyHook;
    delete MouseHook;
    Report("final");
    QCoreApplication::quit();
  }
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::Application app(argc, argv);

  MouseHook = new TCPMouseHook(nullptr);
  MouseHook->SetUserHookMsg(1224);
  MouseHook->OnMouse = [](QObject*, TMouseStates m) {
    ++g_seen.mouseEvents;
    MouseHookMouse(RunState, m, false, nullptr);
  };
  MouseHook->SetDisableMouse(false);
  KeyHook = new TCPKeyHook(nullptr);
  KeyHook->SetUserHookMsg(1124);
  KeyHook->OnKey = [](QObject*, TKeyStates k, TKeyNames n) {
    ++g_seen.keyEvents;
    if (!k.KeyDown) ++g_seen.keyUps;
    if (k.RepeatCount > g_seen.maxRepeat) g_seen.maxRepeat = k.RepeatCount;
    if (k.KeyDown) {
      g_seen.lastName = n.KeyName;
      for (char& c : g_seen.lastName)
        if (c == ' ') c = '_';
      g_seen.lastChar = n.KeyChar;
    }
    KeyHookKey(RunState, k, false, nullptr);
  };
  KeyHook->SetDisableKeyboard(false);
  std::printf("layout=%s\n", KeyHook->KeyboardLayout().toLatin1().constData());
  Command("start");

  std::string pending;
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buf[256];
    const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) {
      input.setEnabled(false);
      Command("quit");
      return;
    }
    pending.append(buf, static_cast<std::size_t>(n));
    std::size_t nl;
    while ((nl = pending.find('\n')) != std::string::npos) {
      const std::string line = pending.substr(0, nl);
      pending.erase(0, nl + 1);
      Command(line);
    }
  });
  return app.exec();
}
