#include "stats/Recorder.h"

#include "platform/db/DataSet.h"
#include "stats/DM.h"

namespace stats {

namespace {

// How long the last save waits for another copy of the program to finish
// writing before it gives up.
constexpr int kExitBusyTimeoutMs = 500;

}  // namespace

void SaveTodayStat(platform::Connection& connection, TRunState& state, platform::Clock& clock) {
  platform::DataSet ds(&connection);  // freed on every path, also when a step throws
  const QString today = clock.Now().date().toString(QStringLiteral("yyyy-MM-dd"));
  ds.SetCommandText(QStringLiteral("select * from Stat where Date like '") + today +
                    QStringLiteral("%'"));
  ds.Open();
  if (ds.IsEmpty()) {
    ds.Append();
    ds.FieldByName(QStringLiteral("Date")).SetAsDateTime(clock.Now());
  } else {
    ds.Edit();
  }
  // The gains are taken in 64 bits: a total that passed 2^31 still adds right.
  auto addWhole = [&](const char* column, std::int32_t total, std::int32_t saved) {
    platform::Field& f = ds.FieldByName(QLatin1String(column));
    f.SetAsInteger(f.AsInteger() + (static_cast<std::int64_t>(total) - saved));
  };
  addWhole("Ckey", state.KeyCount, state.SavedKeyCount);
  addWhole("CMouse", state.ClickCount, state.SavedClickCount);
  platform::Field& move = ds.FieldByName(QStringLiteral("MoveMouse"));
  move.SetAsFloat(move.AsFloat() + (state.MouseDistance - state.SavedMouseDistance));
  addWhole("ActiveTime", state.WorkSeconds, state.SavedWorkSeconds);
  addWhole("RestTime", state.RestSeconds, state.SavedRestSeconds);
  ds.Post();
  ds.Close();

  state.SavedWorkSeconds = state.WorkSeconds;
  state.SavedRestSeconds = state.RestSeconds;
  state.SavedKeyCount = state.KeyCount;
  state.SavedClickCount = state.ClickCount;
  state.SavedMouseDistance = state.MouseDistance;
}

void SaveTodayStat() {
  if (!FrmDM) throw platform::Error(QStringLiteral("the database module does not exist"));
  SaveTodayStat(FrmDM->ADOConnection, RunState, platform::GetClock());
}

bool SaveStatAtExit() {
  if (!FrmDM) return false;
  platform::Connection& c = FrmDM->ADOConnection;
  const int wait = c.BusyTimeoutMs();
  c.SetBusyTimeoutMs(kExitBusyTimeoutMs);
  bool saved = false;
  try {
    SaveTodayStat(c, RunState, platform::GetClock());
    saved = true;
  } catch (...) {
    // Nothing can be reported any more: the program is on its way out.
  }
  c.SetBusyTimeoutMs(wait);
  return saved;
}

}  // namespace stats
