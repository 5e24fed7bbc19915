// The statistics report page on a prepared table.
#include <gtest/gtest.h>

#include "stats/DM.h"
#include "stats/fGradient.h"
#include "support/Fakes.h"
#include "unit/db/DbFixture.h"

namespace {

class Report : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Deliver();
    dbtest::RawDb(folder.DbPath())
        .Exec(QStringLiteral("insert into Stat values"
                             " ('2023-11-20 09:00:00', 7, 1, 100, 60, 6),"
                             " ('2024-01-04 23:59:59', 1, 0, 0, 0, 0),"
                             " ('2024-01-05 00:00:00', 10, 1, 1000, 100, 10),"
                             " ('2024-01-05 22:30:00', 20, 2, 2000, 3625, 20),"
                             " ('2024-01-06 00:00:00', 300, 3, 3000, 300, 30),"
                             " ('2024-01-06 10:00:00', 400, 4, 4000, 400, 40),"
                             " ('2024-01-08 12:00:00', 5000, 5, 5000, 500, 50),"
                             " ('2024-02-14 12:00:00', 1, 0, 0, 0, 0),"
                             " ('2024-02-15 00:00:00', 2, 0, 0, 0, 0),"
                             " ('2024-03-10 23:59:59', 4, 0, 0, 0, 0),"
                             " ('2024-03-11 08:00:00', 8, 0, 0, 0, 0)"));
    fakes.system.exePath = folder.Dir() + QStringLiteral("/talvenor");
    fakes.system.screen = QSize(1024, 768);  // 17 inches over 1280 pixels
    FrmDM = new TFrmDM;
    page = new TfmGradient;
  }
  void TearDown() override {
    delete page;
    delete FrmDM;
    FrmDM = nullptr;
  }
  void Run(QDate start, QDate end, int grouping) {
    page->DateEdit1->SetDate(start);
    page->DateEdit2->SetDate(end);
    page->PickEdit3->SetText(page->PickEdit3->Items().at(grouping));
    page->BitBtn1->click();
  }
  // The grid's rows as shown, the first columns joined by '|'.
  QStringList Shown(int columns = 2) {
    QStringList out;
    for (int r = 0; r < page->DBGrid1->RowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < columns; ++c) cells << page->DBGrid1->CellText(r, c);
      out << cells.join(QLatin1Char('|'));
    }
    return out;
  }

  fakes::CoreFakes fakes;
  dbtest::ProgramFolder folder;
  TfmGradient* page = nullptr;
};

struct ReportCase {
  const char* name;
  QDate start;
  QDate end;
  int grouping;
  std::vector<const char*> rows;  // cdate|ckey
};

class ReportCases : public Report, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ReportCases, ShowTheGroupsOfTheRange) {
  const ReportCase& c = GetParam();
  Run(c.start, c.end, c.grouping);
  EXPECT_TRUE(fakes.errors.shown.isEmpty())
      << fakes.errors.shown.join(QLatin1Char('\n')).toStdString();
  QStringList expected;
  for (const char* r : c.rows) expected << QString::fromUtf8(r);
  EXPECT_EQ(Shown(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportCases,
    ::testing::Values(
        // The late-evening row is counted; midnight after the end date makes its own day.
        ReportCase{"OneDayWithTheMidnightAfterIt",
                   QDate(2024, 1, 5),
                   QDate(2024, 1, 5),
                   0,
                   {"2024-01-06|300", "2024-01-05|30"}},
        ReportCase{"OneDay", QDate(2024, 1, 8), QDate(2024, 1, 8), 0, {"2024-01-08|5000"}},
        ReportCase{"StartAfterEnd", QDate(2024, 1, 9), QDate(2024, 1, 8), 0, {}},
        ReportCase{
            "StartTheDayAfterEnd", QDate(2024, 1, 6), QDate(2024, 1, 5), 0, {"2024-01-06|300"}},
        ReportCase{"DaysWithoutRowsDoNotShow",
                   QDate(2024, 1, 5),
                   QDate(2024, 1, 8),
                   0,
                   {"2024-01-08|5000", "2024-01-06|700", "2024-01-05|30"}},
        ReportCase{"ByMonthSumsOnlyDaysInside",
                   QDate(2024, 2, 15),
                   QDate(2024, 3, 10),
                   1,
                   {"2024-03|4", "2024-02|2"}},
        ReportCase{"ByYear", QDate(2023, 1, 1), QDate(2024, 12, 31), 2, {"2024|5746", "2023|7"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Report, CellsAndFooter) {
  Run(QDate(2024, 1, 5), QDate(2024, 1, 8), 0);
  // 3000 pixels on a 17-inch 1280-pixel diagonal are 1.01 metres; 3725 s are 1 h 2 min 5 s.
  EXPECT_EQ(Shown(6), (QStringList{
                          QStringLiteral("2024-01-08|5000|5|1.69|0 时 8 分 20 秒|0 时 0 分 50 秒"),
                          QStringLiteral("2024-01-06|700|7|2.36|0 时 11 分 40 秒|0 时 1 分 10 秒"),
                          QStringLiteral("2024-01-05|30|3|1.01|1 时 2 分 5 秒|0 时 0 分 30 秒"),
                      }));
  // Keys and clicks in whole numbers; travel summed in pixels, shown in whole metres.
  QStringList footer;
  for (int c = 0; c < 6; ++c) footer << page->DBGrid1->FooterText(c);
  EXPECT_EQ(footer, (QStringList{QString(), QStringLiteral("5730"), QStringLiteral("15"),
                                 QStringLiteral("5"), QString(), QString()}));
  EXPECT_EQ(page->AdoSet.RecNo(), 1);  // reading the rows for the grid left the cursor alone
}

TEST_F(Report, StatementOfTenPiecesPerGrouping) {
  const QString day = TfmGradient::ReportStatement(0, QDate(2024, 1, 5), QDate(2024, 1, 6));
  EXPECT_EQ(day, QStringLiteral(
                     "select         format(date,'yyyy-mm-dd') as cdate,        sum(ckey) as "
                     "ckey,sum(cmouse) as CMouse,        sum(movemouse) as MoveMouse,"
                     "sum(activetime) as activetime,sum(resttime) as resttime from Stat where "
                     "Date>=#2024-01-05#        and Date<=#2024-01-07# group by         "
                     "format(date,'yyyy-mm-dd') order by         format(date,'yyyy-mm-dd') DESC"));
  const QString month = TfmGradient::ReportStatement(1, QDate(2024, 2, 29), QDate(2024, 12, 31));
  EXPECT_TRUE(month.startsWith(QLatin1String("select         format(date,'yyyy-mm') as cdate,")));
  EXPECT_TRUE(month.endsWith(QLatin1String(
      "Date>=#2024-02-29#        and Date<=#2025-01-01# group by         format(date,'yyyy-mm') "
      "order by         format(date,'yyyy-mm') DESC")));
  const QString year = TfmGradient::ReportStatement(2, QDate(2024, 1, 1), QDate(2024, 1, 1));
  EXPECT_TRUE(year.startsWith(QLatin1String("select         cstr(year(date)) as cdate,")));
  EXPECT_TRUE(
      year.endsWith(QLatin1String("group by         cstr(year(date)) order by         "
                                  "cstr(year(date)) DESC")));
  // The button runs what the grouping box names.
  Run(QDate(2024, 1, 1), QDate(2024, 1, 1), 2);
  EXPECT_EQ(page->AdoSet.CommandText(), year);
}

TEST_F(Report, FailedQueryLeavesTheGridEmptyAndThePageUsable) {
  Run(QDate(2024, 1, 5), QDate(2024, 1, 8), 0);
  ASSERT_EQ(page->DBGrid1->RowCount(), 3);
  folder.RemoveDb();
  page->BitBtn1->click();
  EXPECT_EQ(fakes.errors.shown.size(), 1);
  EXPECT_TRUE(fakes.errors.shown.value(0).contains(QLatin1String("unable to open database file")));
  EXPECT_FALSE(page->AdoSet.Active());
  EXPECT_EQ(page->DBGrid1->RowCount(), 0);
  EXPECT_EQ(page->DBGrid1->FooterText(1), QStringLiteral("0"));

  folder.Deliver();  // the delivered file has no rows yet
  dbtest::RawDb(folder.DbPath())
      .Exec(QStringLiteral("insert into Stat values ('2024-01-06 09:00:00', 9, 0, 0, 0, 0)"));
  page->BitBtn1->click();
  EXPECT_EQ(fakes.errors.shown.size(), 1);
  EXPECT_EQ(Shown(), QStringList{QStringLiteral("2024-01-06|9")});
}

struct DefaultCase {
  QDate today;
  QDate start;
};

TEST(ReportDefaults, EndTodayStartOneCalendarMonthBack) {
  const DefaultCase cases[] = {{QDate(2024, 3, 31), QDate(2024, 2, 29)},
                               {QDate(2023, 3, 31), QDate(2023, 2, 28)},
                               {QDate(2024, 5, 31), QDate(2024, 4, 30)},
                               {QDate(2024, 1, 15), QDate(2023, 12, 15)}};
  for (const DefaultCase& c : cases) {
    fakes::CoreFakes fakes;
    fakes.clock.now = QDateTime(c.today, QTime(23, 59, 59));
    TfmGradient page;
    EXPECT_EQ(page.DateEdit2->Date(), c.today);
    EXPECT_EQ(page.DateEdit1->Date(), c.start) << c.today.toString().toStdString();
    EXPECT_EQ(page.PickEdit3->Text(), QStringLiteral("按天统计"));
    EXPECT_EQ(page.PickEdit3->ItemIndex(), 0);
    EXPECT_FALSE(page.AdoSet.Active());
    EXPECT_EQ(page.DBGrid1->RowCount(), 0);
  }
}

TEST(ReportPage, ControlsWhereTheLayoutPutsThem) {
  fakes::CoreFakes fakes;
  TfmGradient page;
  struct Place {
    QWidget* w;
    QRect r;
  };
  const Place places[] = {{page.Label14, QRect(23, 28, 12, 12)},
                          {page.DateEdit1, QRect(40, 24, 121, page.DateEdit1->height())},
                          {page.Label1, QRect(170, 28, 12, 12)},
                          {page.DateEdit2, QRect(192, 24, 121, page.DateEdit2->height())},
                          {page.PickEdit3, QRect(357, 22, 120, page.PickEdit3->height())},
                          {page.BitBtn1, QRect(496, 19, 75, 26)},
                          {page.DBGrid1, QRect(16, 56, 593, 313)}};
  for (const Place& p : places) {
    EXPECT_EQ(p.w->parentWidget(), page.pnForm) << p.w->objectName().toStdString();
    EXPECT_EQ(p.w->geometry(), p.r) << p.w->objectName().toStdString();
  }
  EXPECT_EQ(page.pnForm->size(), QSize(625, 386));
  EXPECT_EQ(page.PickEdit3->EditMode(), TPickEdit::Mode::PickOnly);
  EXPECT_EQ(page.PickEdit3->Items(),
            (QStringList{QStringLiteral("按天统计"), QStringLiteral("按月统计"),
                         QStringLiteral("按年统计")}));
  EXPECT_EQ(page.DateEdit1->Color(), QColor(0xD9, 0xE8, 0xF0));
  EXPECT_EQ(page.PickEdit3->Color(), QColor(0xF4, 0xF9, 0xFD));
  EXPECT_EQ(page.BitBtn1->ButtonKind(), TBitBtn::Kind::OK);
  QStringList captions;
  for (const TGridColumn& c : page.DBGrid1->Columns()) captions << c.Caption;
  EXPECT_EQ(captions,
            (QStringList{QStringLiteral("时间"), QStringLiteral("键盘点击"),
                         QStringLiteral("鼠标点击"), QStringLiteral("鼠标移动 (米)"),
                         QStringLiteral("累计使用时间"), QStringLiteral("累计休息时间")}));
  // Moved into the page host of a window whose ground is the button colour, the
  // panel keeps its own.
  QWidget host;
  host.setBackgroundRole(QPalette::Button);
  host.setAutoFillBackground(true);
  host.resize(640, 400);
  page.pnForm->setParent(&host);
  page.pnForm->show();
  EXPECT_EQ(QColor(host.grab().toImage().pixel(5, 5)), QColor(0xD9, 0xE8, 0xF0));
}

// The main window's page host takes the panel; either may go first at exit.
TEST(ReportPage, PanelInThePageHostAndThePageEndInEitherOrder) {
  fakes::CoreFakes fakes;
  {
    QWidget host;
    auto* page = new TfmGradient;
    page->pnForm->setParent(&host);
    QPointer<QFrame> panel = page->pnForm;
    delete page;  // takes its panel along, with the grid that reads its data set
    EXPECT_TRUE(panel.isNull());
  }
  auto* page = new TfmGradient;
  auto* host = new QWidget;
  page->pnForm->setParent(host);
  delete host;
  delete page;  // must not touch the grid that went with the host
}

}  // namespace
