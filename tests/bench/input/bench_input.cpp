// Cost per input event: on the user-interface thread from the posted message
// to the updated totals, and in the hook libraries per recorded event.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdlib>
#include <cstring>

#include "KeyEncoder.h"
#include "MouseEncoder.h"
#include "Recorder.h"
#include "monitor/CPKeyHook.h"
#include "monitor/CPMouseHook.h"
#include "monitor/Counters.h"
#include "monitor/RunState.h"
#include "platform/core/Services.h"
#include "platform/keyboard/Keyboard.h"

namespace {

std::int32_t g_block[5] = {};
bool Start(std::uintptr_t, std::uint32_t, bool) {
  return true;
}
bool Stop() {
  return true;
}
const std::int32_t* Data() {
  return g_block;
}
const TKeyboardHookLibrary kKeys{Start, Stop};
const TMouseHookLibrary kMouse{Start, Stop, Data};

class Labels : public ICounterLabels {
 public:
  QString key, mouse, move;
  void SetLabKey(const QString& t) override { key = t; }
  void SetLabMouse(const QString& t) override { mouse = t; }
  void SetLabMove(const QString& t) override { move = t; }
};

// range(0): messages posted before the event loop runs (the library posts a
// batch per wake-up); range(1): 1 when the main window is showing (labels).
void BM_MouseMessageToTotals(benchmark::State& state) {
  SetMouseHookLibrary(&kMouse);
  TCPMouseHook hook(nullptr);
  Labels labels;
  const bool showing = state.range(1) != 0;
  hook.OnMouse = [&](QObject*, TMouseStates m) {
    MouseHookMouse(RunState, m, showing, showing ? &labels : nullptr);
  };
  const int batch = static_cast<int>(state.range(0));
  std::int32_t x = 0;
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i) {
      g_block[0] = ++x & 1023;
      g_block[1] = x & 511;
      TalvenorPostMessage(hook.WindowHandle(), 1224, (x & 15) == 0 ? 513 : 512, 0);
    }
    QCoreApplication::sendPostedEvents();
  }
  state.SetItemsProcessed(state.iterations() * batch);
  benchmark::DoNotOptimize(RunState.MouseDistance);
  SetMouseHookLibrary(nullptr);
}
BENCHMARK(BM_MouseMessageToTotals)->Args({1, 0})->Args({8, 0})->Args({1, 1})->Args({8, 1});

// With the real keyboard service (an XKB keymap, no server): key state, name,
// translation, then the count.
void BM_KeyMessageToTotals(benchmark::State& state) {
  SetKeyboardHookLibrary(&kKeys);
  platform::LinuxKeyboard keyboard(platform::XkbNames{"evdev", "pc105", "us", "", ""});
  platform::SetKeyboard(&keyboard);
  TCPKeyHook hook(nullptr);
  Labels labels;
  const bool showing = state.range(0) != 0;
  hook.OnKey = [&](QObject*, TKeyStates k, TKeyNames) {
    KeyHookKey(RunState, k, showing, showing ? &labels : nullptr);
  };
  std::uint32_t n = 0;
  for (auto _ : state) {
    const bool up = (++n & 1) == 0;
    TalvenorPostMessage(
        hook.WindowHandle(), 1124, 'A',
        static_cast<std::intptr_t>(static_cast<std::int32_t>(up ? 0xC01E0001u : 0x001E0001u)));
    QCoreApplication::sendPostedEvents();
  }
  state.SetItemsProcessed(state.iterations());
  platform::SetKeyboard(nullptr);
  SetKeyboardHookLibrary(nullptr);
}
BENCHMARK(BM_KeyMessageToTotals)->Arg(0)->Arg(1);

int g_posted = 0;
int CountPost(std::uintptr_t, std::uint32_t, std::uintptr_t, std::intptr_t) {
  return ++g_posted;
}

unsigned char* RawEvent(unsigned char* raw, int type, int detail, int x, int y) {
  std::memset(raw, 0, 32);
  raw[0] = static_cast<unsigned char>(type);
  raw[1] = static_cast<unsigned char>(detail);
  const std::int16_t rx = static_cast<std::int16_t>(x), ry = static_cast<std::int16_t>(y);
  std::memcpy(raw + 20, &rx, 2);
  std::memcpy(raw + 22, &ry, 2);
  return raw;
}

// The keyboard library's work per recorded event: decode, encode, post.
void BM_LibraryKeyEvent(benchmark::State& state) {
  talvenor_hooks::KeyEncoder encoder;
  unsigned char press[32], release[32];
  RawEvent(press, 2, 38, 0, 0);
  RawEvent(release, 3, 38, 0, 0);
  std::uint32_t n = 0;
  for (auto _ : state) {
    talvenor_hooks::DeviceEvent e;
    talvenor_hooks::DecodeDeviceEvent((++n & 1) ? press : release, 32, false, e);
    const auto k = encoder.Encode(e.type == 2, e.detail, e.state);
    CountPost(1, 1124, k.vk, static_cast<std::int32_t>(k.data));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LibraryKeyEvent);

void PostThrough(void*, std::uint32_t msg) {
  CountPost(1, 1224, msg, 0);
}

// The mouse library's work per recorded motion event, batches of eight.
void BM_LibraryMouseEvent(benchmark::State& state) {
  talvenor_hooks::MouseData data;
  talvenor_hooks::MouseEncoder encoder(data, PostThrough, nullptr);
  unsigned char raw[32];
  int n = 0;
  for (auto _ : state) {
    ++n;
    talvenor_hooks::DeviceEvent e;
    talvenor_hooks::DecodeDeviceEvent(RawEvent(raw, 6, 0, n & 1023, n & 511), 32, false, e);
    encoder.Motion(e.rootX, e.rootY, e.child);
    if ((n & 7) == 0) encoder.EndBatch();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LibraryMouseEvent);

// The program's posting function as the libraries call it, from another thread's
// point of view the cost of handing one message over (drained every 64).
void BM_PostMessage(benchmark::State& state) {
  platform::MessageWindow window(
      [](platform::UINT, platform::WPARAM, platform::LPARAM) { return platform::LRESULT{0}; });
  int n = 0;
  for (auto _ : state) {
    TalvenorPostMessage(window.Handle(), 1224, 512, 0);
    if ((++n & 63) == 0) {
      state.PauseTiming();
      QCoreApplication::sendPostedEvents();
      state.ResumeTiming();
    }
  }
  QCoreApplication::sendPostedEvents();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PostMessage);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::Application app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
