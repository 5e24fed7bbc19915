#include "monitor/Counters.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/core/Clock.h"
#include "platform/core/System.h"
#include "platform/core/Types.h"

ICounterLabels* CounterLabels = nullptr;

double MetresPerPixel(std::int32_t inches) {
  const QSize size = platform::GetSystem().ScreenSize();
  const std::int64_t w = size.width(), h = size.height();
  const double diagonal = std::sqrt(static_cast<double>(w * w + h * h));
  // A screen that reports no size would make every distance infinite.
  if (!(diagonal > 0)) return 0.0;
  return inches * 0.0254 / diagonal;
}

QString CountText(std::int32_t count) {
  return QString::number(count) + QStringLiteral(" 次");
}

QString MetresText(double metres) {
  if (!std::isfinite(metres)) metres = 0.0;
  const bool negative = metres < 0;
  // The figure with 15 significant digits is what a user reads; round that.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(metres));
  std::string digits;
  digits += buf[0];
  digits += std::string(buf + 2, buf + 16);
  const int exponent = std::atoi(buf + 17);
  // Keep the digits down to the hundredths: exponent + 1 whole digits and two more.
  const int keep = exponent + 3;
  std::string hundredths;  // the value times 100, as decimal digits
  if (keep <= 0) {
    hundredths.assign(1, (keep == 0 && digits[0] >= '5') ? '1' : '0');
  } else if (keep >= static_cast<int>(digits.size())) {
    hundredths = digits + std::string(keep - digits.size(), '0');
  } else {
    hundredths = digits.substr(0, keep);
    if (digits[keep] >= '5') {
      int i = static_cast<int>(hundredths.size()) - 1;
      while (i >= 0 && hundredths[i] == '9') hundredths[i--] = '0';
      if (i < 0)
        hundredths.insert(hundredths.begin(), '1');
      else
        ++hundredths[i];
    }
  }
  while (hundredths.size() < 3) hundredths.insert(hundredths.begin(), '0');
  std::string text =
      hundredths.substr(0, hundredths.size() - 2) + '.' + hundredths.substr(hundredths.size() - 2);
  if (negative && text != "0.00") text.insert(text.begin(), '-');
  return QString::fromLatin1(text.c_str()) + QStringLiteral(" 米");
}

void IdleResume(TRunState& state) {
  if (!state.IdlePending) return;
  const std::uint32_t idle = platform::GetTickCount() - state.IdleSinceTick;  // modulo 2^32
  // A mark left pending for weeks (the scheme switched to manual meanwhile) must
  // not wrap the countdown negative and end the phase at once: stop at the top.
  const std::int64_t sum = static_cast<std::int64_t>(state.CountdownMs) + idle;
  state.CountdownMs = static_cast<std::int32_t>(std::min<std::int64_t>(sum, INT32_MAX));
  state.IdlePending = false;
}

void KeyHookKey(TRunState& state, const TKeyStates& AKeyStates, bool showing,
                ICounterLabels* labels) {
  if (AKeyStates.KeyDown) ++state.KeyCount;
  if (showing && labels) labels->SetLabKey(CountText(state.KeyCount));
  IdleResume(state);
}

void MouseHookMouse(TRunState& state, const TMouseStates& AMouseStates, bool showing,
                    ICounterLabels* labels) {
  const double dx = AMouseStates.X - state.LastMouseX;
  const double dy = AMouseStates.Y - state.LastMouseY;
  state.MouseDistance += std::sqrt(dx * dx + dy * dy);
  state.LastMouseX = AMouseStates.X;
  state.LastMouseY = AMouseStates.Y;
  switch (AMouseStates.MouseMsg) {
    case platform::WM_LBUTTONDOWN:
    case platform::WM_RBUTTONDOWN:
    case platform::WM_MBUTTONDOWN:
    case platform::WM_LBUTTONDBLCLK:
    case platform::WM_RBUTTONDBLCLK:
    case platform::WM_MBUTTONDBLCLK:
      ++state.ClickCount;
      break;
    default:
      break;
  }
  if (showing && labels) {
    labels->SetLabMouse(CountText(state.ClickCount));
    labels->SetLabMove(MetresText(MetresPerPixel(17) * state.MouseDistance));
  }
  IdleResume(state);
}
