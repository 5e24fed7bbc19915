#pragma once

#include "monitor/RunState.h"
#include "platform/core/Clock.h"
#include "platform/db/Connection.h"

namespace stats {

// Adds to today's Stat row what the run state's five totals gained since the
// last successful save, then takes the five snapshots. A failed database step
// raises its error and takes no snapshot, so the next save carries everything.
void SaveTodayStat(platform::Connection& connection, TRunState& state, platform::Clock& clock);

// The same on the program's connection (FrmDM), RunState and clock.
void SaveTodayStat();

// The last save when the program ends in order (the exit entry, SIGTERM or
// SIGINT, the desktop session ending). Waits only briefly for another copy's
// write, and drops a failure silently so that the program still exits at once.
// Does nothing once the data module is gone. Gives true when the save succeeded.
bool SaveStatAtExit();

}  // namespace stats
