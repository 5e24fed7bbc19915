// The statement language run through the real layer on a copy of the delivered
// database.
#include <gtest/gtest.h>

#include <cmath>

#include "unit/db/DbFixture.h"

using dbtest::Query;

namespace {

class Language : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Deliver();
    {
      dbtest::RawDb raw(folder.DbPath());
      raw.Exec(
          QStringLiteral("insert into Stat values"
                         " ('2023-12-31 10:00:00', 2, 1, 0.5, 60, 6),"
                         " ('2024-01-04 23:59:59', 1, 1, 1.25, 10, 1),"
                         " ('2024-01-05 00:00:00', 10, 2, 2.25, 20, 2),"
                         " ('2024-01-05 12:00:00', 100, 3, 3.25, 30, 3),"
                         " ('2024-01-05 23:59:59', 1000, 4, 4.25, 40, 4),"
                         " ('2024-01-06 00:00:00', 10000, 5, 5.25, 50, 5),"
                         " ('2024-02-10 08:00:00', 7, 6, 0.125, 70, 7)"));
    }
    conn.SetConnectionString(folder.ConnectionString());
  }
  dbtest::ProgramFolder folder;
  platform::Connection conn;
};

struct LanguageCase {
  const char* name;
  const char* sql;
  std::vector<const char*> rows;
};

class LanguageCases : public Language, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(LanguageCases, GiveTheJetResults) {
  QStringList expected;
  for (const char* r : GetParam().rows) expected << QString::fromUtf8(r);
  EXPECT_EQ(Query(conn, QString::fromUtf8(GetParam().sql)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageCases,
    ::testing::Values(
        LanguageCase{"LikeFindsTheDayFromMidnightToItsLastSecond",
                     "select ckey from Stat where Date like '2024-01-05%' order by Date",
                     {"10", "100", "1000"}},
        LanguageCase{"ShortDateConstantsIncludeMidnightOfTheEndDay",
                     "select sum(ckey) as s from Stat where Date>=#2024-01-05#       and "
                     "Date<=#2024-01-06# ",
                     {"11110"}},
        LanguageCase{"UsDateConstant",
                     "select sum(ckey) from Stat where Date>=#1/5/2024# and Date<#1/6/2024#",
                     {"1110"}},
        LanguageCase{"DateConstantWithTime",
                     "select sum(ckey) from stat where date>=#2024/1/5 0:00# and "
                     "date<=#2024-01-05 12:00:00#",
                     {"110"}},
        LanguageCase{"ByDay",
                     "select format(date,'yyyy-mm-dd') as cdate, sum(ckey) as ckey from Stat "
                     "where Date>=#2024-01-04# and Date<=#2024-01-06# group by "
                     "format(date,'yyyy-mm-dd') order by format(date,'yyyy-mm-dd') DESC",
                     {"2024-01-06|10000", "2024-01-05|1110", "2024-01-04|1"}},
        LanguageCase{"ByMonth",
                     "select format(date,'yyyy-mm') as cdate, sum(cmouse) as CMouse from Stat "
                     "group by format(date,'yyyy-mm') order by format(date,'yyyy-mm') DESC",
                     {"2024-02|6", "2024-01|15", "2023-12|1"}},
        LanguageCase{"ByYear",
                     "select cstr(year(date)) as cdate, sum(activetime) as activetime from Stat "
                     "group by cstr(year(date)) order by cstr(year(date)) DESC",
                     {"2024|220", "2023|60"}},
        LanguageCase{"FractionsOfPixelsSum",
                     "select sum(movemouse) from Stat where Date like '2024-01-05%'",
                     {"9.75"}},
        LanguageCase{"MixedCaseNames",
                     "SELECT CKEY, cMoUsE FROM stat WHERE DATE LIKE '2024-01-04%'",
                     {"1|1"}},
        LanguageCase{"FormatPatternsAndCase",
                     "select format('2024-03-07 09:05:04','YYYY/M/D h:nn:ss'), "
                     "format('2024-03-07 09:05:04','hh:mm'), format('2024-03-07','yy-mm-dd')",
                     {"2024/3/7 9:05:04|09:05|24-03-07"}},
        LanguageCase{"FormatOfSomethingElse",
                     "select format('not a date','yyyy-mm-dd'), format(null,'yyyy'), "
                     "format(45296.5,'yyyy-mm-dd hh:nn')",
                     {"not a date||2024-01-05 12:00"}},
        LanguageCase{
            "CstrWithoutLeadingBlank", "select cstr(2024), cstr(2.5), cstr(-3.0)", {"2024|2.5|-3"}},
        LanguageCase{
            "SumOfNothingIsNull", "select sum(ckey) from Stat where Date like '1999%'", {""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Language, ReportStatementOfTheDayRunsAsBuilt) {
  // Blanks exactly as the report page puts the pieces together.
  const QString sql = QStringLiteral(
      "select         format(date,'yyyy-mm-dd') as cdate,        sum(ckey) as "
      "ckey,sum(cmouse) as CMouse,        sum(movemouse) as MoveMouse,sum(activetime) as "
      "activetime,sum(resttime) as resttime from Stat where Date>=#2024-01-05#        and "
      "Date<=#2024-01-06# group by         format(date,'yyyy-mm-dd') order by         "
      "format(date,'yyyy-mm-dd') DESC");
  EXPECT_EQ(Query(conn, sql), (QStringList{QStringLiteral("2024-01-06|10000|5|5.25|50|5"),
                                           QStringLiteral("2024-01-05|1110|9|9.75|90|9")}));
}

TEST_F(Language, SumsComeBackAsDoubles) {
  platform::DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select sum(ckey) as k, sum(movemouse) as m from Stat"));
  ds.Open();
  EXPECT_EQ(ds.FieldByName(QStringLiteral("k")).DataType(), platform::FieldType::Float);
  EXPECT_EQ(ds.FieldByName(QStringLiteral("k")).AsVariant().metaType().id(), QMetaType::Double);
  EXPECT_DOUBLE_EQ(ds.FieldByName(QStringLiteral("k")).AsFloat(), 11120.0);
  EXPECT_DOUBLE_EQ(ds.FieldByName(QStringLiteral("m")).AsFloat(), 16.875);
  // A whole sum shows without a decimal point.
  EXPECT_EQ(ds.FieldByName(QStringLiteral("k")).DisplayText(), QStringLiteral("11120"));
}

TEST_F(Language, SumAddsPixelFractionsWithoutDrift) {
  {
    dbtest::RawDb raw(folder.DbPath());
    raw.Exec(QStringLiteral("delete from Stat"));
    raw.Exec(
        QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where "
                       "i<10000) insert into Stat (Date, MoveMouse) select "
                       "'2024-01-01 00:00:00', 0.1 from n"));
  }
  platform::DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select sum(MoveMouse) as m from Stat"));
  ds.Open();
  EXPECT_NEAR(ds.Fields(0).AsFloat(), 1000.0, 1e-9);
}

TEST_F(Language, TextConstantsRoundTrip) {
  const QStringList texts = {QStringLiteral("It's time, isn't it?"),
                             QStringLiteral("#1 on #2024-01-05# -- not a comment"),
                             QStringLiteral("您已经连续工作很久了。\r\n请休息'一下'。")};
  for (const QString& text : texts) {
    QString quoted = text;
    quoted.replace(QLatin1String("'"), QLatin1String("''"));
    conn.Execute(QStringLiteral("Update Setting set  HimtText='") + quoted + QStringLiteral("'"));
    platform::DataSet ds(&conn);
    ds.SetCommandText(QStringLiteral("select * from setting"));
    ds.Open();
    EXPECT_EQ(ds.FieldByName(QStringLiteral("himttext")).AsString(), text);
  }
}

TEST_F(Language, BooleanColumnsTakeMinusOneAndZeroTexts) {
  struct Case {
    const char* written;
    bool reads;
  };
  for (const Case c : {Case{"-1", true}, Case{"0", false}, Case{"-1", true}}) {
    conn.Execute(
        QStringLiteral("Update Setting set  IsStatKey='%1'").arg(QLatin1String(c.written)));
    platform::DataSet ds(&conn);
    ds.SetCommandText(QStringLiteral("select * from setting"));
    ds.Open();
    EXPECT_EQ(ds.FieldByName(QStringLiteral("IsStatKey")).AsBoolean(), c.reads) << c.written;
    EXPECT_EQ(ds.FieldByName(QStringLiteral("IsStatKey")).DataType(), platform::FieldType::Boolean);
  }
  conn.Execute(QStringLiteral("Update Setting set  ForceRest=NULL"));
  platform::DataSet ds(&conn);
  ds.SetCommandText(QStringLiteral("select ForceRest from setting"));
  ds.Open();
  EXPECT_FALSE(ds.Fields(0).AsBoolean());
}

TEST_F(Language, DeliveredSettingRow) {
  EXPECT_EQ(Query(conn, QStringLiteral("select * from setting")),
            QStringList{QStringLiteral("青年|手动设置|45|15|-1|-1|0||17|-1|-1|-1|0|"
                                       "您已经连续工作很久了，请休息一下眼睛。")});
}

TEST_F(Language, LikeOnTheDayUsesTheDateIndex) {
  dbtest::RawDb raw(folder.DbPath());
  const QStringList plan = raw.Rows(
      QStringLiteral("explain query plan select * from Stat where Date like '2024-01-05%'"));
  ASSERT_FALSE(plan.isEmpty());
  EXPECT_TRUE(plan.join(QLatin1Char(' ')).contains(QLatin1String("USING INDEX StatDate")))
      << plan.join(QLatin1Char('\n')).toStdString();
}

TEST_F(Language, ErrorsCarryTheEngineMessage) {
  struct Case {
    const char* sql;
    const char* message;
  };
  for (const Case c : {Case{"select * from Nowhere", "no such table: Nowhere"},
                       Case{"select nope from Stat", "no such column: nope"},
                       Case{"selec * from Stat", "syntax error"},
                       Case{"select year('soon') from Stat", "not a date"},
                       Case{"select 1; select 2", "one statement"}}) {
    const QString err = dbtest::ErrorOf([&] { Query(conn, QString::fromUtf8(c.sql)); });
    EXPECT_TRUE(err.contains(QLatin1String(c.message))) << c.sql << " -> " << err.toStdString();
  }
}

}  // namespace
