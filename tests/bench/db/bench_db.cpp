// The save statement sequence and the three reports over ten years of daily rows.
#include <benchmark/benchmark.h>

#include "bench/db/BenchData.h"
#include "platform/db/DataSet.h"

namespace {

TenYearsOfRows& Data() {
  static TenYearsOfRows data;
  return data;
}

platform::Connection& Conn() {
  static platform::Connection conn;
  if (!conn.Connected()) {
    conn.SetConnectionString(Data().ConnectionString());
    conn.Open();
  }
  return conn;
}

// Select the day's row by like, edit it, add to its five totals, post, close.
void BM_SaveSequence(benchmark::State& state) {
  platform::Connection& conn = Conn();
  for (auto _ : state) {
    platform::DataSet ds(&conn);
    ds.SetCommandText(QStringLiteral("select * from Stat where Date like '2025-06-15%'"));
    ds.Open();
    if (ds.IsEmpty()) {
      state.SkipWithError("no row for the day");
      break;
    }
    ds.Edit();
    for (const char* name : {"Ckey", "CMouse", "ActiveTime", "RestTime"}) {
      platform::Field& f = ds.FieldByName(QLatin1String(name));
      f.SetAsInteger(f.AsInteger() + 1);
    }
    platform::Field& m = ds.FieldByName(QStringLiteral("MoveMouse"));
    m.SetAsFloat(m.AsFloat() + 1.5);
    ds.Post();
    ds.Close();
  }
  state.counters["rows"] = Data().Rows();
}
BENCHMARK(BM_SaveSequence)->Unit(benchmark::kMicrosecond);

// The same on a day without a row: the first save of a day appends.
void BM_SaveSequenceAppend(benchmark::State& state) {
  platform::Connection& conn = Conn();
  int day = 0;
  for (auto _ : state) {
    const QDate d = QDate(2030, 1, 1).addDays(day++);
    platform::DataSet ds(&conn);
    ds.SetCommandText(QStringLiteral("select * from Stat where Date like '") +
                      d.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("%'"));
    ds.Open();
    ds.Append();
    ds.FieldByName(QStringLiteral("Date")).SetAsDateTime(QDateTime(d, QTime(0, 0, 3)));
    ds.FieldByName(QStringLiteral("Ckey")).SetAsInteger(1);
    ds.Post();
    ds.Close();
  }
}
BENCHMARK(BM_SaveSequenceAppend)->Unit(benchmark::kMicrosecond);

QString Report(const char* group) {
  const QString g = QLatin1String(group);
  return QStringLiteral("select         ") + g +
         QStringLiteral(
             " as cdate,        sum(ckey) as ckey,sum(cmouse) as CMouse,        "
             "sum(movemouse) as MoveMouse,sum(activetime) as activetime,sum(resttime) "
             "as resttime from Stat where Date>=#2016-01-01#        and "
             "Date<=#2026-01-01# group by         ") +
         g + QStringLiteral(" order by         ") + g + QStringLiteral(" DESC");
}

void RunReport(benchmark::State& state, const char* group, int groups) {
  platform::Connection& conn = Conn();
  platform::DataSet ds(&conn);
  for (const char* name : {"cdate", "ckey", "CMouse", "MoveMouse", "activetime", "resttime"})
    ds.AddField(
        QLatin1String(name),
        name[0] == 'c' && name[1] == 'd' ? platform::FieldType::Text : platform::FieldType::Float,
        255);
  ds.SetCommandText(Report(group));
  for (auto _ : state) {
    ds.Close();
    ds.Open();
    if (ds.RecordCount() < groups) state.SkipWithError("too few groups");
  }
  state.counters["groups"] = ds.RecordCount();
}

void BM_ReportByDay(benchmark::State& s) {
  RunReport(s, "format(date,'yyyy-mm-dd')", 3652);
}
void BM_ReportByMonth(benchmark::State& s) {
  RunReport(s, "format(date,'yyyy-mm')", 120);
}
void BM_ReportByYear(benchmark::State& s) {
  RunReport(s, "cstr(year(date))", 10);
}
BENCHMARK(BM_ReportByDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportByMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportByYear)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
