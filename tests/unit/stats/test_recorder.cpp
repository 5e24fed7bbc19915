// The five-second recorder on a real database file, and the last save at exit.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <cmath>

#include "stats/DM.h"
#include "stats/Recorder.h"
#include "support/Fakes.h"
#include "unit/db/DbFixture.h"

namespace {

class Recorder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Deliver();
    conn.SetConnectionString(folder.ConnectionString());
    fakes.clock.now = QDateTime(QDate(2024, 3, 7), QTime(9, 30, 15));
  }
  void Save() { stats::SaveTodayStat(conn, state, fakes.clock); }
  QStringList Rows(const char* where = "1") {
    return dbtest::RawDb(folder.DbPath())
        .Rows(QStringLiteral("select Date, Ckey, CMouse, printf('%.6f', MoveMouse), ActiveTime, "
                             "RestTime from Stat where %1 order by rowid")
                  .arg(QLatin1String(where)));
  }
  void ExpectSnapshotsEqualTotals() {
    EXPECT_EQ(state.SavedKeyCount, state.KeyCount);
    EXPECT_EQ(state.SavedClickCount, state.ClickCount);
    EXPECT_EQ(state.SavedMouseDistance, state.MouseDistance);
    EXPECT_EQ(state.SavedWorkSeconds, state.WorkSeconds);
    EXPECT_EQ(state.SavedRestSeconds, state.RestSeconds);
  }

  fakes::CoreFakes fakes;
  dbtest::ProgramFolder folder;
  platform::Connection conn;
  TRunState state;
};

TEST_F(Recorder, WithoutInputOnlyTheRunningPhaseTimeGrows) {
  state.WorkSeconds = 5;
  Save();
  fakes.clock.Advance(5000);
  state.WorkSeconds = 10;
  Save();
  state.IsWorking = false;
  fakes.clock.Advance(5000);
  state.RestSeconds = 5;
  Save();
  EXPECT_EQ(Rows(), QStringList{QStringLiteral("2024-03-07 09:30:15|0|0|0.000000|10|5")});
  ExpectSnapshotsEqualTotals();
}

TEST_F(Recorder, FirstSaveOfTheDayAppendsTheGains) {
  dbtest::RawDb(folder.DbPath())
      .Exec(QStringLiteral("insert into Stat values ('2024-03-06 08:00:00', 1, 1, 1, 1, 1)"));
  // Saves earlier in the run went to yesterday: only the gains since count.
  state.KeyCount = 30, state.SavedKeyCount = 10;
  state.ClickCount = 7, state.SavedClickCount = 2;
  state.MouseDistance = 100.25, state.SavedMouseDistance = 40.0;
  state.WorkSeconds = 600, state.SavedWorkSeconds = 595;
  state.RestSeconds = 120, state.SavedRestSeconds = 120;
  Save();
  EXPECT_EQ(Rows("Date like '2024-03-07%'"),
            QStringList{QStringLiteral("2024-03-07 09:30:15|20|5|60.250000|5|0")});
  EXPECT_EQ(Rows("Date like '2024-03-06%'"),
            QStringList{QStringLiteral("2024-03-06 08:00:00|1|1|1.000000|1|1")});
  ExpectSnapshotsEqualTotals();
}

TEST_F(Recorder, OutageLosesNothingAndReportsEachFailure) {
  state.KeyCount = 1;
  state.WorkSeconds = 5;
  Save();
  folder.RemoveDb();
  for (int tick = 1; tick <= 3; ++tick) {
    state.KeyCount += 10;
    state.ClickCount += 2;
    state.MouseDistance += 3.5;
    state.WorkSeconds += 5;
    fakes.clock.Advance(5000);
    EXPECT_FALSE(platform::Guard([&] { Save(); }));
    EXPECT_EQ(state.SavedKeyCount, 1);  // no snapshot after a failed save
    EXPECT_EQ(state.SavedWorkSeconds, 5);
  }
  EXPECT_EQ(fakes.errors.shown.size(), 3);
  EXPECT_TRUE(fakes.errors.shown.last().contains(QLatin1String("unable to open database file")));
  EXPECT_FALSE(QFileInfo::exists(folder.DbPath()));

  folder.Deliver();  // a fresh file: the day's row is made again from the gains
  Save();
  EXPECT_EQ(Rows(), QStringList{QStringLiteral("2024-03-07 09:30:30|30|6|10.500000|15|0")});
  ExpectSnapshotsEqualTotals();
}

TEST_F(Recorder, OutageWhileTheRowExistsAddsEverythingOnce) {
  state.KeyCount = 4;
  Save();
  const QString path = folder.DbPath();
  ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".away")));
  state.KeyCount = 9;
  state.MouseDistance = 2.5;
  EXPECT_FALSE(platform::Guard([&] { Save(); }));
  EXPECT_FALSE(platform::Guard([&] { Save(); }));
  ASSERT_TRUE(QFile::rename(path + QStringLiteral(".away"), path));
  Save();
  Save();  // nothing more to add
  EXPECT_EQ(Rows(), QStringList{QStringLiteral("2024-03-07 09:30:15|9|0|2.500000|0|0")});
  ExpectSnapshotsEqualTotals();
}

TEST_F(Recorder, SeveralRowsForTodayUpdateTheFirstTheStatementReturns) {
  dbtest::RawDb(folder.DbPath())
      .Exec(QStringLiteral("insert into Stat values ('2024-03-07 10:00:00', 1, 0, 0, 0, 0),"
                           " ('2024-03-07 08:00:00', 1, 0, 0, 0, 0)"));
  QString first;
  {
    platform::DataSet ds(&conn);
    ds.SetCommandText(QStringLiteral("select * from Stat where Date like '2024-03-07%'"));
    ds.Open();
    first = ds.FieldByName(QStringLiteral("Date")).AsString();
  }
  state.KeyCount = 5;
  Save();
  EXPECT_EQ(Rows("Ckey=6"), QStringList{first + QStringLiteral("|6|0|0.000000|0|0")});
  EXPECT_EQ(Rows("Ckey=1").size(), 1);
}

TEST_F(Recorder, FractionsOfAPixelAddUp) {
  dbtest::RawDb(folder.DbPath())
      .Exec(QStringLiteral("insert into Stat values ('2024-03-07 08:00:00', 0, 0, 0.3, 0, 0)"));
  for (int i = 0; i < 3; ++i) {
    state.MouseDistance += std::sqrt(2.0);  // one diagonal step of one pixel each way
    Save();
  }
  platform::DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select MoveMouse from Stat"));
  ds.Open();
  EXPECT_NEAR(ds.Fields(0).AsFloat(), 0.3 + 3 * std::sqrt(2.0), 1e-12);
}

TEST_F(Recorder, InputJustBeforeMidnightSavedAfterItCountsForTheNewDay) {
  fakes.clock.now = QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58));
  state.KeyCount = 2;
  Save();
  state.KeyCount = 5;  // typed at 23:59:59
  fakes.clock.Advance(5000);
  Save();
  EXPECT_EQ(Rows(), (QStringList{QStringLiteral("2024-12-31 23:59:58|2|0|0.000000|0|0"),
                                 QStringLiteral("2025-01-01 00:00:03|3|0|0.000000|0|0")}));
}

TEST_F(Recorder, MissingColumnFailsWithoutSnapshot) {
  dbtest::RawDb(folder.DbPath()).Exec(QStringLiteral("alter table Stat drop column MoveMouse"));
  state.KeyCount = 3;
  const QString err = dbtest::ErrorOf([&] { Save(); });
  EXPECT_TRUE(err.contains(QLatin1String("MoveMouse"))) << err.toStdString();
  EXPECT_EQ(state.SavedKeyCount, 0);
  // The half-made row was never posted.
  EXPECT_EQ(dbtest::RawDb(folder.DbPath()).Rows(QStringLiteral("select count(*) from Stat")),
            QStringList{QStringLiteral("0")});
}

class ExitSave : public Recorder {
 protected:
  void SetUp() override {
    Recorder::SetUp();
    fakes.system.exePath = folder.Dir() + QStringLiteral("/talvenor");
    saved_ = RunState;
    RunState = TRunState();
  }
  void TearDown() override {
    delete FrmDM;
    FrmDM = nullptr;
    RunState = saved_;
  }
  TRunState saved_;
};

TEST_F(ExitSave, SavesWhatAccruedSinceTheLastTick) {
  FrmDM = new TFrmDM;
  RunState.KeyCount = 12;
  RunState.ClickCount = 3;
  EXPECT_TRUE(stats::SaveStatAtExit());
  EXPECT_EQ(Rows(), QStringList{QStringLiteral("2024-03-07 09:30:15|12|3|0.000000|0|0")});
  EXPECT_EQ(FrmDM->ADOConnection.BusyTimeoutMs(), 5000);
}

TEST_F(ExitSave, FailureIsSilent) {
  folder.RemoveDb();
  FrmDM = new TFrmDM;
  RunState.KeyCount = 12;
  EXPECT_FALSE(stats::SaveStatAtExit());
  EXPECT_TRUE(fakes.errors.shown.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(folder.DbPath()));

  // Another copy holding the write lock does not keep the program from ending.
  folder.Deliver();
  dbtest::RawDb raw(folder.DbPath());
  raw.Exec(QStringLiteral("begin immediate"));
  EXPECT_FALSE(stats::SaveStatAtExit());
  raw.Exec(QStringLiteral("rollback"));
  EXPECT_EQ(FrmDM->ADOConnection.BusyTimeoutMs(), 5000);

  delete FrmDM;
  FrmDM = nullptr;
  EXPECT_FALSE(stats::SaveStatAtExit());  // after the data module is gone
}

}  // namespace
