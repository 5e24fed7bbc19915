// Data sets over the delivered database: reading, appending, editing, declared
// fields, and the conversions of the read accessors.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "unit/db/DbFixture.h"

using dbtest::ErrorOf;
using platform::DataSet;
using platform::FieldType;

namespace {

class DataSets : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Deliver();
    conn.SetConnectionString(folder.ConnectionString());
  }
  QStringList Raw(const QString& sql) { return dbtest::RawDb(folder.DbPath()).Rows(sql); }
  dbtest::ProgramFolder folder;
  platform::Connection conn;
};

TEST_F(DataSets, AppendPostThenReadBack) {
  {
    DataSet ds(&conn);
    ds.SetCommandText(QStringLiteral("select * from Stat where Date like '2024-01-05%'"));
    ds.Open();
    ASSERT_TRUE(ds.IsEmpty());
    ds.Append();
    ds.FieldByName(QStringLiteral("Date"))
        .SetAsDateTime(QDateTime(QDate(2024, 1, 5), QTime(13, 14, 15, 987)));
    ds.FieldByName(QStringLiteral("Ckey")).SetAsInteger(ds.FieldByName("Ckey").AsInteger() + 3);
    ds.FieldByName(QStringLiteral("MoveMouse")).SetAsFloat(1.0 / 3.0);
    ds.Post();
    // The new row is the current one, with the columns left out still empty.
    EXPECT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(ds.FieldByName(QStringLiteral("ckey")).AsInteger(), 3);
    EXPECT_TRUE(ds.FieldByName(QStringLiteral("CMouse")).IsNull());
    ds.Close();
  }
  // Milliseconds are dropped, never rounded into the next second.
  EXPECT_EQ(Raw(QStringLiteral("select Date, typeof(Date), Ckey, CMouse from Stat")),
            QStringList{QStringLiteral("2024-01-05 13:14:15|text|3|NULL")});
  DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select * from Stat where Date like '2024-01-05%'"));
  ds.Open();
  ASSERT_FALSE(ds.IsEmpty());
  EXPECT_EQ(ds.FieldByName(QStringLiteral("date")).AsDateTime(),
            QDateTime(QDate(2024, 1, 5), QTime(13, 14, 15)));
  EXPECT_EQ(ds.FieldByName(QStringLiteral("MOVEMOUSE")).AsFloat(), 1.0 / 3.0);
  EXPECT_EQ(ds.FieldByName(QStringLiteral("RestTime")).AsInteger(), 0);
}

TEST_F(DataSets, EditPostChangesOnlyThatRow) {
  dbtest::RawDb(folder.DbPath())
      .Exec(QStringLiteral("insert into Stat values ('2024-01-05 08:00:00', 1, 2, 0.5, 3, 4),"
                           " ('2024-01-06 08:00:00', 1, 2, 0.5, 3, 4)"));
  DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select * from Stat where Date like '2024-01-05%'"));
  ds.Open();
  ds.Edit();
  ds.FieldByName(QStringLiteral("Ckey")).SetAsInteger(11);
  ds.FieldByName(QStringLiteral("MoveMouse"))
      .SetAsFloat(ds.FieldByName(QStringLiteral("MoveMouse")).AsFloat() + std::sqrt(2.0));
  ds.Post();
  ds.Edit();
  ds.FieldByName(QStringLiteral("RestTime")).SetAsInteger(40);
  ds.Post();
  ds.Close();
  EXPECT_EQ(Raw(QStringLiteral("select Date, Ckey, MoveMouse=0.5+sqrt(2), RestTime from Stat "
                               "order by Date")),
            (QStringList{QStringLiteral("2024-01-05 08:00:00|11|1|40"),
                         QStringLiteral("2024-01-06 08:00:00|1|0|4")}));
}

TEST_F(DataSets, SeveralMatchingRowsEditTheFirst) {
  dbtest::RawDb(folder.DbPath())
      .Exec(QStringLiteral("insert into Stat values ('2024-01-05 08:00:00', 1, 0, 0, 0, 0),"
                           " ('2024-01-05 09:00:00', 1, 0, 0, 0, 0)"));
  DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select * from Stat where Date like '2024-01-05%'"));
  ds.Open();
  const QString first = ds.FieldByName(QStringLiteral("Date")).AsString();
  ds.Edit();
  ds.FieldByName(QStringLiteral("Ckey")).SetAsInteger(5);
  ds.Post();
  EXPECT_EQ(Raw(QStringLiteral("select Date, Ckey from Stat where Ckey=5")),
            QStringList{first + QStringLiteral("|5")});
  EXPECT_EQ(Raw(QStringLiteral("select count(*) from Stat where Ckey=1")),
            QStringList{QStringLiteral("1")});
}

TEST_F(DataSets, PostDoesNotOverwriteARowChangedSinceItWasRead) {
  dbtest::RawDb raw(folder.DbPath());
  raw.Exec(QStringLiteral("insert into Stat values ('2024-01-05 08:00:00', 1, 0, 0, 0, 0)"));
  DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select * from Stat"));
  ds.Open();
  ds.Edit();
  ds.FieldByName(QStringLiteral("Ckey")).SetAsInteger(2);
  raw.Exec(QStringLiteral("update Stat set Ckey=100"));  // another copy of the program
  const QString err = ErrorOf([&] { ds.Post(); });
  EXPECT_TRUE(err.contains(QLatin1String("cannot be located"))) << err.toStdString();
  EXPECT_EQ(raw.Rows(QStringLiteral("select Ckey from Stat")), QStringList{QStringLiteral("100")});
}

TEST_F(DataSets, EmptyResult) {
  DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select * from Stat where Date like '1999-01-01%'"));
  ds.Open();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.RecordCount(), 0);
  EXPECT_EQ(ds.RecNo(), 0);
  EXPECT_EQ(ds.FieldCount(), 6);
  // Fields of an empty result read as empty.
  EXPECT_EQ(ds.FieldByName(QStringLiteral("Ckey")).AsInteger(), 0);
  EXPECT_FALSE(ErrorOf([&] { ds.Edit(); }).isEmpty());
}

TEST_F(DataSets, MissingFieldNameIsAnError) {
  DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select * from Stat"));
  ds.Open();
  EXPECT_EQ(ds.FindField(QStringLiteral("ckey")), &ds.FieldByName(QStringLiteral("CKEY")));
  const QString err = ErrorOf([&] { ds.FieldByName(QStringLiteral("Keys")); });
  EXPECT_TRUE(err.contains(QLatin1String("'Keys'"))) << err.toStdString();
}

TEST_F(DataSets, NullReadsAsEmptyValues) {
  dbtest::RawDb(folder.DbPath())
      .Exec(QStringLiteral("insert into Stat values (NULL, NULL, NULL, NULL, NULL, NULL)"));
  DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select * from Stat"));
  ds.Open();
  for (int i = 0; i < ds.FieldCount(); ++i) {
    platform::Field& f = ds.Fields(i);
    SCOPED_TRACE(f.FieldName().toStdString());
    EXPECT_TRUE(f.IsNull());
    EXPECT_EQ(f.AsString(), QString());
    EXPECT_FALSE(f.AsBoolean());
    EXPECT_EQ(f.AsInteger(), 0);
    EXPECT_EQ(f.AsFloat(), 0.0);
    EXPECT_FALSE(f.AsDateTime().isValid());
  }
}

TEST_F(DataSets, FloatReadAsWholeNumberRoundsHalfToEven) {
  struct Case {
    double value;
    std::int64_t whole;
  };
  const Case cases[] = {{0.5, 0},
                        {1.5, 2},
                        {2.5, 2},
                        {3.5, 4},
                        {-0.5, 0},
                        {-1.5, -2},
                        {-2.5, -2},
                        {2.4999, 2},
                        {2.5001, 3},
                        {-2.6, -3},
                        {1e6 + 0.5, 1000000},
                        {7.0, 7}};
  for (const Case& c : cases) {
    DataSet ds(&conn);
    ds.SetCommandText(QStringLiteral("select cast(%1 as real) as x").arg(c.value, 0, 'g', 17));
    ds.Open();
    EXPECT_EQ(ds.Fields(0).DataType(), FieldType::Float);
    EXPECT_EQ(ds.Fields(0).AsInteger(), c.whole) << c.value;
  }
}

TEST_F(DataSets, TextConversions) {
  DataSet ds(&conn);
  ds.SetCommandText(
      QStringLiteral("select ' 42 ' as a, '2.5' as b, 'abc' as c, 'Yes' as d, '2024-01-05' as e"));
  ds.Open();
  EXPECT_EQ(ds.FieldByName(QStringLiteral("a")).AsInteger(), 42);
  EXPECT_EQ(ds.FieldByName(QStringLiteral("b")).AsInteger(), 2);
  EXPECT_EQ(ds.FieldByName(QStringLiteral("b")).AsFloat(), 2.5);
  EXPECT_FALSE(ErrorOf([&] { ds.FieldByName(QStringLiteral("c")).AsInteger(); }).isEmpty());
  EXPECT_FALSE(ErrorOf([&] { ds.FieldByName(QStringLiteral("c")).AsFloat(); }).isEmpty());
  EXPECT_FALSE(ErrorOf([&] { ds.FieldByName(QStringLiteral("c")).AsDateTime(); }).isEmpty());
  EXPECT_TRUE(ds.FieldByName(QStringLiteral("d")).AsBoolean());
  EXPECT_FALSE(ds.FieldByName(QStringLiteral("c")).AsBoolean());
  EXPECT_EQ(ds.FieldByName(QStringLiteral("e")).AsDateTime(),
            QDateTime(QDate(2024, 1, 5), QTime(0, 0)));
}

TEST_F(DataSets, DeclaredFields) {
  DataSet ds(&conn);
  platform::Field& cdate = ds.AddField(QStringLiteral("cdate"), FieldType::Text, 255);
  platform::Field& ckey = ds.AddField(QStringLiteral("ckey"), FieldType::Float);
  ckey.OnGetText = [](platform::Field& sender, QString& text, bool) {
    text = QStringLiteral("<%1>").arg(sender.AsFloat());
  };
  ds.SetCommandText(QStringLiteral("select 'x' as CDATE, 3 as CKey, 9 as extra"));
  ds.Open();
  EXPECT_EQ(ds.FieldCount(), 2);
  EXPECT_EQ(cdate.AsString(), QStringLiteral("x"));
  EXPECT_EQ(ckey.DataType(), FieldType::Float);
  EXPECT_EQ(ckey.AsVariant().metaType().id(), QMetaType::Double);
  EXPECT_EQ(ckey.DisplayText(), QStringLiteral("<3>"));
  EXPECT_EQ(ckey.DisplayTextFor(QVariant(2.5)), QStringLiteral("<2.5>"));
  EXPECT_EQ(ckey.DisplayText(), QStringLiteral("<3>"));  // the probe left no trace
  EXPECT_FALSE(ErrorOf([&] { ds.FieldByName(QStringLiteral("extra")); }).isEmpty());
  ds.Close();

  // A result without a declared field fails and leaves the data set closed; the
  // declared fields stay for the next statement.
  ds.SetCommandText(QStringLiteral("select 1 as cdate"));
  const QString err = ErrorOf([&] { ds.Open(); });
  EXPECT_TRUE(err.contains(QLatin1String("'ckey'"))) << err.toStdString();
  EXPECT_FALSE(ds.Active());
  ds.SetCommandText(QStringLiteral("select 'y' as cdate, 4 as ckey"));
  ds.Open();
  EXPECT_EQ(&ds.FieldByName(QStringLiteral("cdate")), &cdate);
  EXPECT_EQ(cdate.AsString(), QStringLiteral("y"));
}

TEST_F(DataSets, MisuseIsAnErrorNotACrash) {
  DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select count(*) as n from Stat"));
  EXPECT_FALSE(ErrorOf([&] { ds.IsEmpty(); }).isEmpty());  // closed
  ds.Open();
  EXPECT_TRUE(ErrorOf([&] { ds.Fields(0).SetAsInteger(1); }).contains(QLatin1String("edit")));
  EXPECT_TRUE(ErrorOf([&] { ds.Edit(); }).contains(QLatin1String("cannot be changed")));
  EXPECT_TRUE(ErrorOf([&] { ds.Append(); }).contains(QLatin1String("cannot be changed")));
  ds.Close();
  ds.Close();

  // A statement that returns no rows is refused before it runs.
  DataSet upd(&conn);
  upd.SetCommandText(QStringLiteral("delete from Setting"));
  EXPECT_FALSE(ErrorOf([&] { upd.Open(); }).isEmpty());
  EXPECT_EQ(Raw(QStringLiteral("select count(*) from Setting")), QStringList{QStringLiteral("1")});

  DataSet none;
  none.SetCommandText(QStringLiteral("select 1"));
  EXPECT_FALSE(ErrorOf([&] { none.Open(); }).isEmpty());
}

TEST_F(DataSets, StaticResultDoesNotFollowLaterChanges) {
  DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select * from Setting"));
  ds.Open();
  conn.Execute(QStringLiteral("Update Setting set  Age='老年'"));
  EXPECT_EQ(ds.FieldByName(QStringLiteral("Age")).AsString(), QStringLiteral("青年"));
}

TEST_F(DataSets, DataSourceFollowsTheDataSet) {
  int changes = 0;
  platform::DataSource source;
  source.OnDataChange = [&] { ++changes; };
  {
    DataSet ds(&conn);
    ds.SetCommandText(QStringLiteral("select * from Setting"));
    source.SetDataSet(&ds);
    const int linked = changes;
    ds.Open();
    EXPECT_EQ(changes, linked + 1);
    ds.Close();
    EXPECT_EQ(changes, linked + 2);
  }
  // The data set went first: the source knows it has none.
  EXPECT_EQ(source.GetDataSet(), nullptr);
}

}  // namespace
