// One save of the recorder and the report page's three reports (statement, data
// set and grid) over ten years of daily rows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "bench/db/BenchData.h"
#include "monitor/RunState.h"
#include "platform/core/Services.h"
#include "stats/DM.h"
#include "stats/Recorder.h"
#include "stats/fGradient.h"

namespace {

// A clock standing on a day inside the data.
class DayClock : public platform::Clock {
 public:
  QDateTime now{QDate(2025, 6, 15), QTime(14, 0, 0)};
  std::uint32_t TickCount() override { return 1000; }
  QDateTime Now() override { return now; }
};

TenYearsOfRows& Data() {
  static TenYearsOfRows data;
  return data;
}

void BM_SaveTodayStat(benchmark::State& state) {
  platform::Connection conn;
  conn.SetConnectionString(Data().ConnectionString());
  DayClock clock;
  TRunState rs;
  for (auto _ : state) {
    rs.KeyCount += 3;
    rs.ClickCount += 1;
    rs.MouseDistance += 1234.5;
    rs.WorkSeconds += 5;
    stats::SaveTodayStat(conn, rs, clock);
  }
  if (rs.SavedKeyCount != rs.KeyCount) state.SkipWithError("a save failed");
}
BENCHMARK(BM_SaveTodayStat)->Unit(benchmark::kMicrosecond);

void RunPage(benchmark::State& state, int grouping) {
  DayClock clock;
  platform::SetClock(&clock);
  TFrmDM dm;
  dm.ADOConnection.Close();
  dm.ADOConnection.SetConnectionString(Data().ConnectionString());
  TfmGradient page;
  page.AdoSet.SetConnection(&dm.ADOConnection);
  page.DateEdit1->SetDate(QDate(2016, 1, 1));
  page.DateEdit2->SetDate(QDate(2025, 12, 31));
  page.PickEdit3->SetText(page.PickEdit3->Items().at(grouping));
  for (auto _ : state) {
    page.BitBtn1Click();
    benchmark::DoNotOptimize(page.DBGrid1->FooterText(1));
  }
  state.counters["rows"] = page.DBGrid1->RowCount();
  platform::SetClock(nullptr);
}

void BM_PageReportByDay(benchmark::State& s) {
  RunPage(s, 0);
}
void BM_PageReportByMonth(benchmark::State& s) {
  RunPage(s, 1);
}
void BM_PageReportByYear(benchmark::State& s) {
  RunPage(s, 2);
}
BENCHMARK(BM_PageReportByDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageReportByMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageReportByYear)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::Application app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
