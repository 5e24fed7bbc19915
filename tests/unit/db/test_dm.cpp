// The data module: its connection string and the silent opening at start-up.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "stats/DM.h"
#include "support/Fakes.h"
#include "unit/db/DbFixture.h"

namespace {

TEST(DataModule, ConnectionStringOfFourPieces) {
  EXPECT_EQ(TFrmDM::BuildConnectionString(QStringLiteral("/opt/talvenor")),
            QStringLiteral("Provider=SQLite3;Persist Security Info=False;Data "
                           "Source=/opt/talvenor/Data/eye.mdb;"));
  // The folder goes in as the system reports it.
  EXPECT_EQ(platform::Connection::DataSourceOf(
                TFrmDM::BuildConnectionString(QStringLiteral("/home/李 雷/bin"))),
            QStringLiteral("/home/李 雷/bin/Data/eye.mdb"));
}

class DataModuleCreate : public ::testing::Test {
 protected:
  void SetUp() override { fakes.system.exePath = folder.Dir() + QStringLiteral("/talvenor"); }
  fakes::CoreFakes fakes;
  dbtest::ProgramFolder folder;
};

TEST_F(DataModuleCreate, OpensTheFileBesideTheProgram) {
  folder.Deliver();
  TFrmDM dm;
  EXPECT_TRUE(dm.ADOConnection.Connected());
  EXPECT_EQ(dm.ADOConnection.ConnectionString(), folder.ConnectionString());
  EXPECT_EQ(dbtest::Query(dm.ADOConnection, QStringLiteral("select Age from setting")),
            QStringList{QStringLiteral("青年")});
}

TEST_F(DataModuleCreate, MissingOrDamagedFileIsSilentAndTriedAgainLater) {
  for (bool damaged : {false, true}) {
    SCOPED_TRACE(damaged ? "damaged" : "missing");
    folder.RemoveDb();
    if (damaged) {
      QFile f(folder.DbPath());
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(QByteArray(4096, 'x'));
    }
    TFrmDM dm;  // must not throw
    EXPECT_FALSE(dm.ADOConnection.Connected());
    EXPECT_TRUE(fakes.errors.shown.isEmpty());
    EXPECT_EQ(QFileInfo::exists(folder.DbPath()), damaged);
    EXPECT_FALSE(dbtest::ErrorOf([&] {
                   dm.ADOConnection.Execute(QStringLiteral("Update Setting set  Age='x'"));
                 }).isEmpty());
    folder.Deliver();
    dm.ADOConnection.Execute(QStringLiteral("Update Setting set  Age='儿童'"));
    EXPECT_TRUE(dm.ADOConnection.Connected());
  }
}

}  // namespace
