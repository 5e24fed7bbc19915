// The connection: its string, opening and reopening, a missing or damaged file,
// and two connections sharing the file.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <thread>

#include "unit/db/DbFixture.h"

using dbtest::ErrorOf;
using platform::Connection;
using platform::DataSet;

namespace {

struct StringCase {
  const char* text;
  const char* source;  // nullptr: an error
};

TEST(ConnectionString, DataSourceAndProvider) {
  const StringCase cases[] = {
      {"Provider=SQLite3;Persist Security Info=False;Data Source=/opt/t/Data/eye.mdb;",
       "/opt/t/Data/eye.mdb"},
      {"data source = \"/a;b/eye.mdb\" ; provider=sqlite3", "/a;b/eye.mdb"},
      {"Data Source='it''s.mdb'", "it's.mdb"},
      {"Data Source=/x/一.mdb", "/x/一.mdb"},
      {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x.mdb;", nullptr},
      {"Provider=SQLite3;Persist Security Info=False;", nullptr},
      {"", nullptr},
  };
  for (const StringCase& c : cases) {
    SCOPED_TRACE(c.text);
    QString source;
    const QString err =
        ErrorOf([&] { source = Connection::DataSourceOf(QString::fromUtf8(c.text)); });
    if (c.source) {
      EXPECT_EQ(err, QString());
      EXPECT_EQ(source, QString::fromUtf8(c.source));
    } else {
      EXPECT_FALSE(err.isEmpty());
    }
  }
}

class Connections : public ::testing::Test {
 protected:
  void SetUp() override { conn.SetConnectionString(folder.ConnectionString()); }
  dbtest::ProgramFolder folder;
  Connection conn;
};

TEST_F(Connections, OpenAndCloseAreIdempotent) {
  folder.Deliver();
  conn.Open();
  conn.SetConnected(true);
  conn.Open();
  EXPECT_TRUE(conn.Connected());
  conn.Close();
  conn.SetConnected(false);
  conn.Close();
  EXPECT_FALSE(conn.Connected());
  // A statement on a closed connection opens it again.
  conn.Execute(QStringLiteral("Update Setting set  Age='少年'"));
  EXPECT_TRUE(conn.Connected());
}

TEST_F(Connections, MissingFileFailsEveryStatementUntilItIsBack) {
  const QString err = ErrorOf([&] { conn.Open(); });
  EXPECT_TRUE(err.contains(QLatin1String("unable to open database file"))) << err.toStdString();
  EXPECT_FALSE(conn.Connected());
  // Nothing was created in its place.
  EXPECT_FALSE(QFileInfo::exists(folder.DbPath()));

  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(ErrorOf([&] {
                  conn.Execute(QStringLiteral("Update Setting set  Age='x'"));
                }).contains(QLatin1String("unable to open database file")));
    DataSet ds(&conn);
    ds.SetCommandText(QStringLiteral("select * from setting"));
    EXPECT_TRUE(
        ErrorOf([&] { ds.Open(); }).contains(QLatin1String("unable to open database file")));
    EXPECT_FALSE(ds.Active());
  }
  EXPECT_FALSE(QFileInfo::exists(folder.DbPath()));

  folder.Deliver();
  conn.Execute(QStringLiteral("Update Setting set  Age='中年'"));
  EXPECT_TRUE(conn.Connected());
  EXPECT_EQ(dbtest::Query(conn, QStringLiteral("select Age from setting")),
            QStringList{QStringLiteral("中年")});
}

TEST_F(Connections, FileThatIsNoDatabaseFailsAndStaysUntouched) {
  const QByteArray kinds[] = {QByteArray("just some text, not a database\n"),
                              QByteArray(8192, '\xA5'),
                              QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\xFF')};
  for (const QByteArray& content : kinds) {
    folder.RemoveDb();
    {
      QFile f(folder.DbPath());
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(content);
    }
    const QString err = ErrorOf([&] { conn.Open(); });
    EXPECT_FALSE(err.isEmpty());
    EXPECT_FALSE(conn.Connected());
    EXPECT_FALSE(
        ErrorOf([&] { dbtest::Query(conn, QStringLiteral("select * from Stat")); }).isEmpty());
    QFile f(folder.DbPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), content);
  }
  EXPECT_TRUE(ErrorOf([&] { conn.Open(); }).contains(QLatin1String("file is not a database")));
}

TEST_F(Connections, DeletedFileIsNotWrittenSilently) {
  folder.Deliver();
  conn.Open();
  folder.RemoveDb();
  EXPECT_FALSE(
      ErrorOf([&] { conn.Execute(QStringLiteral("Update Setting set  Age='x'")); }).isEmpty());
  folder.Deliver();
  conn.Execute(QStringLiteral("Update Setting set  Age='老年'"));
  EXPECT_EQ(dbtest::RawDb(folder.DbPath()).Rows(QStringLiteral("select Age from Setting")),
            QStringList{QStringLiteral("老年")});
}

// One save as the recorder makes it: today's row by like, append or edit, post.
void AddKeys(Connection& c, int keys) {
  DataSet ds(&c);
  ds.SetCommandText(QStringLiteral("select * from Stat where Date like '2024-01-05%'"));
  ds.Open();
  if (ds.IsEmpty()) {
    ds.Append();
    ds.FieldByName(QStringLiteral("Date")).SetAsDateTime(QDateTime(QDate(2024, 1, 5), QTime(9, 0)));
  } else {
    ds.Edit();
  }
  platform::Field& f = ds.FieldByName(QStringLiteral("Ckey"));
  f.SetAsInteger(f.AsInteger() + keys);
  ds.Post();
}

TEST_F(Connections, TwoConnectionsWriteInTurn) {
  folder.Deliver();
  Connection other;
  other.SetConnectionString(folder.ConnectionString());
  // The other copy keeps a data set open all along: a static result holds no lock.
  DataSet reader(&other);
  reader.SetCommandText(QStringLiteral("select * from Stat"));
  reader.Open();
  for (int i = 0; i < 20; ++i) {
    AddKeys(conn, 1);
    AddKeys(other, 10);
  }
  EXPECT_EQ(dbtest::Query(conn, QStringLiteral("select Ckey from Stat")),
            QStringList{QStringLiteral("220")});
}

TEST_F(Connections, WaitsForAnotherWriterInsteadOfFailing) {
  folder.Deliver();
  conn.Open();
  std::atomic<bool> locked{false};
  std::thread writer([&] {
    dbtest::RawDb raw(folder.DbPath());
    raw.Exec(QStringLiteral("begin immediate"));
    raw.Exec(QStringLiteral("insert into Stat (Date, Ckey) values ('2024-01-04 08:00:00', 1)"));
    locked = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    raw.Exec(QStringLiteral("commit"));
  });
  while (!locked) std::this_thread::yield();
  const QString err = ErrorOf([&] { AddKeys(conn, 5); });
  writer.join();
  EXPECT_EQ(err, QString());
  EXPECT_EQ(dbtest::Query(conn, QStringLiteral("select Ckey from Stat order by Date")),
            (QStringList{QStringLiteral("1"), QStringLiteral("5")}));
}

TEST_F(Connections, BusyBeyondTheTimeoutIsAnError) {
  folder.Deliver();
  conn.SetBusyTimeoutMs(100);
  conn.Open();
  dbtest::RawDb raw(folder.DbPath());
  raw.Exec(QStringLiteral("begin immediate"));
  const QString err = ErrorOf([&] { conn.Execute(QStringLiteral("Update Setting set  Age='x'")); });
  raw.Exec(QStringLiteral("rollback"));
  EXPECT_TRUE(err.contains(QLatin1String("locked"))) << err.toStdString();
}

}  // namespace
