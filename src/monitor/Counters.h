#pragma once

#include <QString>
#include <cstdint>

#include "monitor/CPKeyHook.h"
#include "monitor/CPMouseHook.h"
#include "monitor/RunState.h"

// The three live figures of the current run (keys, clicks, travel), shown by
// the settings page.
class ICounterLabels {
 public:
  virtual ~ICounterLabels() = default;
  virtual void SetLabKey(const QString& text) = 0;
  virtual void SetLabMouse(const QString& text) = 0;
  virtual void SetLabMove(const QString& text) = 0;
};

// The page showing the live figures; nullptr while there is none.
extern ICounterLabels* CounterLabels;

// Metres per screen pixel along the diagonal of a screen of that many inches,
// from the primary screen's size at the moment of the call. 0 when the screen
// has no size.
double MetresPerPixel(std::int32_t inches);

// "<count> 次"
QString CountText(std::int32_t count);
// "<metres with two decimals> 米", rounded half away from zero as the figure
// reads in decimal.
QString MetresText(double metres);

// The key event handler: counts key-downs, refreshes labKey while the main
// window is showing, and ends an idle spell.
void KeyHookKey(TRunState& state, const TKeyStates& AKeyStates, bool showing,
                ICounterLabels* labels);
// The mouse event handler: pointer travel, clicks, labMouse and labMove while
// the main window is showing, and the end of an idle spell.
void MouseHookMouse(TRunState& state, const TMouseStates& AMouseStates, bool showing,
                    ICounterLabels* labels);

// Gives the time since the latest idle check back to the countdown, once.
void IdleResume(TRunState& state);
