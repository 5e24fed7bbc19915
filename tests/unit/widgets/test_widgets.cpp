#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <memory>

#include "support/Fakes.h"
#include "widgets/Widgets.h"

namespace {

const QStringList kAges = {QStringLiteral("儿童"), QStringLiteral("少年"), QStringLiteral("青年"),
                           QStringLiteral("中年"), QStringLiteral("老年")};
const QStringList kMinutes = {"15", "30", "45", "60", "75", "90", "120"};

// A shown top-level window holding the editor under test, so that focus and
// keyboard input reach it as they would on a page.
struct Host {
  QWidget window;
  Host() {
    window.resize(300, 200);
    window.show();
    window.activateWindow();
    QApplication::processEvents();
  }
  template <class W>
  W* Add(W* w) {
    w->setParent(&window);
    w->setGeometry(10, 10, 160, 21);
    w->show();
    return w;
  }
};

// One editor kind: how to assign a value by program and how a user changes it.
struct EditorCase {
  const char* name;
  std::function<QWidget*(std::function<void()> onChange)> make;
  std::function<void(QWidget*)> assignNew;   // a program assignment that changes
  std::function<void(QWidget*)> assignSame;  // an assignment of the value held
  std::function<void(QWidget*)> userChange;  // one user step that changes the value
};

template <class W>
W* As(QWidget* w) {
  return static_cast<W*>(w);
}

std::vector<EditorCase> EditorCases() {
  return {
      {"free-text pick edit",
       [](std::function<void()> onChange) {
         auto* e = new TPickEdit(TPickEdit::Mode::FreeText);
         e->SetItems(kMinutes);
         e->OnChange = onChange;
         return e;
       },
       [](QWidget* w) { As<TPickEdit>(w)->SetText("45"); },
       [](QWidget* w) { As<TPickEdit>(w)->SetText(As<TPickEdit>(w)->Text()); },
       [](QWidget* w) {
         w->setFocus();
         QTest::keyClick(w, Qt::Key_7);
       }},
      {"pick-only pick edit",
       [](std::function<void()> onChange) {
         auto* e = new TPickEdit(TPickEdit::Mode::PickOnly);
         e->SetItems(kAges);
         e->OnChange = onChange;
         return e;
       },
       [](QWidget* w) { As<TPickEdit>(w)->SetText(QStringLiteral("青年")); },
       [](QWidget* w) { As<TPickEdit>(w)->SetText(As<TPickEdit>(w)->Text()); },
       [](QWidget* w) {
         w->setFocus();
         QTest::keyClick(w, Qt::Key_Down);
       }},
      {"check edit",
       [](std::function<void()> onChange) {
         auto* e = new TCheckEdit(QStringLiteral("统计键盘击键次数"));
         e->OnChange = onChange;
         return e;
       },
       [](QWidget* w) { As<TCheckEdit>(w)->SetChecked(!As<TCheckEdit>(w)->Checked()); },
       [](QWidget* w) { As<TCheckEdit>(w)->SetChecked(As<TCheckEdit>(w)->Checked()); },
       [](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(60, 10)); }},
      {"date edit",
       [](std::function<void()> onChange) {
         auto* e = new TDateEdit;
         e->OnChange = onChange;
         return e;
       },
       [](QWidget* w) { As<TDateEdit>(w)->SetDate(As<TDateEdit>(w)->Date().addDays(-3)); },
       [](QWidget* w) { As<TDateEdit>(w)->SetDate(As<TDateEdit>(w)->Date()); },
       [](QWidget* w) {
         w->setFocus();
         QTest::keyClick(w, Qt::Key_Up);
       }},
      {"button edit",
       [](std::function<void()> onChange) {
         auto* e = new TButtonEdit;
         e->OnChange = onChange;
         return e;
       },
       [](QWidget* w) { As<TButtonEdit>(w)->SetText("/tmp/a.wav"); },
       [](QWidget* w) { As<TButtonEdit>(w)->SetText(As<TButtonEdit>(w)->Text()); },
       [](QWidget* w) {
         w->setFocus();
         QTest::keyClick(w, Qt::Key_X);
       }},
      {"memo",
       [](std::function<void()> onChange) {
         auto* e = new TMemo;
         e->OnChange = onChange;
         return e;
       },
       [](QWidget* w) { As<TMemo>(w)->SetText("line one\r\nline two"); },
       [](QWidget* w) { As<TMemo>(w)->SetText(As<TMemo>(w)->Text()); },
       [](QWidget* w) {
         w->setFocus();
         QTest::keyClick(w, Qt::Key_Q);
       }},
  };
}

}  // namespace

TEST(ChangeEvent, FiresForRealChangesOnlyInEveryEditor) {
  for (const EditorCase& c : EditorCases()) {
    SCOPED_TRACE(c.name);
    Host host;
    int changes = 0;
    QWidget* w = host.Add(c.make([&] { ++changes; }));
    EXPECT_EQ(changes, 0) << "creation and list set-up fire nothing";

    c.assignNew(w);
    EXPECT_EQ(changes, 1) << "a program assignment that changes the value";
    c.assignSame(w);
    c.assignSame(w);
    EXPECT_EQ(changes, 1) << "assigning the value already held";
    c.userChange(w);
    EXPECT_EQ(changes, 2) << "one user step";
    c.assignSame(w);
    EXPECT_EQ(changes, 2) << "the user's value assigned again";
  }
}

TEST(ChangeEvent, HandlerErrorsLeaveTheAssignmentOrReachTheApplication) {
  fakes::CoreFakes fakes;  // records what reaches the application's handler
  for (const EditorCase& c : EditorCases()) {
    SCOPED_TRACE(c.name);
    Host host;
    int calls = 0;
    QWidget* w = host.Add(c.make([&] {
      ++calls;
      throw std::runtime_error("write failed");
    }));
    // A program assignment: the error comes out of the setter, the value is taken.
    EXPECT_THROW(c.assignNew(w), std::runtime_error);
    EXPECT_EQ(calls, 1);
    EXPECT_NO_THROW(c.assignSame(w)) << "the editor holds the new value";
    EXPECT_EQ(calls, 1);
    // A user's change: the error goes to the application, not through the toolkit.
    const qsizetype before = fakes.errors.shown.size();
    EXPECT_NO_THROW(c.userChange(w));
    EXPECT_EQ(calls, 2);
    QApplication::processEvents();
    ASSERT_EQ(fakes.errors.shown.size(), before + 1);
    EXPECT_EQ(fakes.errors.shown.last(), "write failed");
    // And the editor goes on working.
    EXPECT_THROW(c.assignNew(w), std::runtime_error);
  }
}

TEST(PickEdit, PickOnlyHoldsAnyProgramTextButTakesNoTyping) {
  Host host;
  auto* e = host.Add(new TPickEdit(TPickEdit::Mode::PickOnly));
  e->SetItems(kAges);
  int changes = 0;
  e->OnChange = [&] { ++changes; };

  EXPECT_EQ(e->Text(), QString()) << "an empty pick reads empty, not as its first item";
  EXPECT_EQ(e->ItemIndex(), -1);

  struct {
    QString text;
    int index;
  } cases[] = {{QStringLiteral("中年"), 3},
               {QStringLiteral("老人"), -1},  // not an item: still held and shown
               {QStringLiteral("青年"), 2},
               {QString(), -1},
               {QStringLiteral("something else"), -1}};
  int expected = 0;
  for (const auto& c : cases) {
    e->SetText(c.text);
    ++expected;
    EXPECT_EQ(e->Text(), c.text);
    EXPECT_EQ(e->lineEdit()->text(), c.text) << "the field shows what it holds";
    EXPECT_EQ(e->ItemIndex(), c.index);
    EXPECT_EQ(changes, expected) << c.text.toStdString();
  }

  e->setFocus();
  QTest::keyClicks(e, "abc");
  EXPECT_EQ(e->Text(), QStringLiteral("something else")) << "typing is refused";
  EXPECT_EQ(changes, expected);

  // Replacing the list keeps the text and fires nothing.
  e->SetText(QString());
  ++expected;
  e->SetItems(kAges);
  EXPECT_EQ(e->Text(), QString());
  EXPECT_EQ(changes, expected);
}

TEST(PickEdit, ChoosingTheFormerItemAfterAForeignTextShowsIt) {
  Host host;
  auto* e = host.Add(new TPickEdit(TPickEdit::Mode::PickOnly));
  e->SetItems(kAges);
  QStringList seen;
  e->OnChange = [&] { seen << e->Text(); };

  e->setFocus();
  QTest::keyClick(e, Qt::Key_Down);  // the user steps onto the first item
  EXPECT_EQ(e->Text(), QStringLiteral("儿童"));
  e->SetText(QStringLiteral("老人"));  // a foreign text while item 0 was current
  // The user picks item 0 again from the list.
  e->showPopup();
  QAbstractItemView* list = e->view();
  list->setCurrentIndex(list->model()->index(0, 0));
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(e->Text(), QStringLiteral("儿童"));
  EXPECT_EQ(seen,
            (QStringList{QStringLiteral("儿童"), QStringLiteral("老人"), QStringLiteral("儿童")}));
}

TEST(PickEdit, FreeTextFiresPerKeystrokeWithoutCompletingOrSelecting) {
  Host host;
  auto* e = host.Add(new TPickEdit(TPickEdit::Mode::FreeText));
  e->SetItems(kMinutes);
  e->SetAutoSelect(false);
  auto* other = host.Add(new QLineEdit);
  other->move(10, 60);
  QStringList seen;
  e->OnChange = [&] { seen << e->Text(); };

  e->setFocus();
  QTest::keyClicks(e, "12");
  EXPECT_EQ(seen, (QStringList{"1", "12"})) << "no inline completion to an item";
  EXPECT_EQ(e->count(), kMinutes.size()) << "typed text is not added to the list";

  other->setFocus();
  QTest::keyClick(other, Qt::Key_Tab);  // tab back into the field
  QApplication::processEvents();
  ASSERT_TRUE(e->hasFocus());
  EXPECT_FALSE(e->lineEdit()->hasSelectedText()) << "text not selected on focus";
  QTest::keyClick(e, Qt::Key_0);
  EXPECT_EQ(e->Text(), "120") << "the next key appends instead of replacing";
}

TEST(Memo, ReadsLinesJoinedWithCrLf) {
  struct {
    const char* given;
    const char* read;
  } cases[] = {
      {"one", "one"},
      {"one\ntwo", "one\r\ntwo"},
      {"one\r\ntwo\r\nthree", "one\r\ntwo\r\nthree"},
      {"one\rtwo", "one\r\ntwo"},
      {"one\n\ntwo\n", "one\r\n\r\ntwo\r\n"},
      {"", ""},
  };
  Host host;
  auto* m = host.Add(new TMemo);
  for (const auto& c : cases) {
    m->SetText(QString::fromUtf8(c.given));
    EXPECT_EQ(m->Text(), QString::fromUtf8(c.read)) << c.given;
  }

  // Typed line breaks read the same way.
  int changes = 0;
  m->OnChange = [&] { ++changes; };
  m->SetText(QString());
  changes = 0;
  m->setFocus();
  QTest::keyClicks(m, "ab");
  QTest::keyClick(m, Qt::Key_Return);
  QTest::keyClicks(m, "c");
  QTest::keyClick(m, Qt::Key_Return, Qt::ShiftModifier);  // a soft line break
  QTest::keyClicks(m, "d");
  EXPECT_EQ(m->Text(), "ab\r\nc\r\nd");
  EXPECT_EQ(changes, 6) << "one change per keystroke";
  m->SetText("ab\nc\r\nd");  // the same lines with other breaks: no change
  EXPECT_EQ(changes, 6);
}

TEST(ButtonEdit, ButtonClickIsReportedAndLeavesTheText) {
  Host host;
  auto* e = host.Add(new TButtonEdit);
  e->SetText("x.wav");
  int clicks = 0, changes = 0;
  e->OnButtonClick = [&] { ++clicks; };
  e->OnChange = [&] { ++changes; };
  QTest::mouseClick(e->Button(), Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(e->Text(), "x.wav");
  EXPECT_GT(e->Button()->x(), e->width() / 2) << "the button sits at the right end";
}

TEST(DateEdit, RefusesAnInvalidDate) {
  TDateEdit e;
  int changes = 0;
  e.OnChange = [&] { ++changes; };
  e.SetDate(QDate(2024, 2, 29));
  ASSERT_EQ(changes, 1);
  e.SetDate(QDate());
  e.SetDate(QDate(2024, 2, 30));
  EXPECT_EQ(e.Date(), QDate(2024, 2, 29));
  EXPECT_EQ(changes, 1);
}

TEST(CheckEdit, ClickOnTheCaptionToggles) {
  Host host;
  auto* c = host.Add(new TCheckEdit(QStringLiteral("声音提示")));
  int changes = 0;
  c->OnChange = [&] { ++changes; };
  QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(5, 10));  // the square
  EXPECT_TRUE(c->Checked());
  QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(40, 10));  // the caption
  EXPECT_FALSE(c->Checked());
  c->setFocus();
  QTest::keyClick(c, Qt::Key_Space);
  EXPECT_TRUE(c->Checked());
  EXPECT_EQ(changes, 3);
}

TEST(StyleController, LinkedEditorsFollowTheController) {
  TStyleController style;
  TPickEdit pick;
  TButtonEdit button;
  TMemo memo;
  pick.SetStyleController(&style);
  button.SetStyleController(&style);
  memo.SetStyleController(&style);
  for (QWidget* w : {static_cast<QWidget*>(&pick), static_cast<QWidget*>(&button),
                     static_cast<QWidget*>(&memo)}) {
    EXPECT_TRUE(w->styleSheet().contains("1px solid #309fd6")) << w->styleSheet().toStdString();
    EXPECT_TRUE(w->styleSheet().contains("#f4f9fd"));
    EXPECT_TRUE(w->styleSheet().contains(":hover"));
  }
  style.SetBorderColor(QColor(0x11, 0x22, 0x33));
  EXPECT_TRUE(pick.styleSheet().contains("#112233"));
  EXPECT_TRUE(memo.styleSheet().contains("#112233"));
  pick.SetColor(QColor(0xD9, 0xE8, 0xF0));
  EXPECT_TRUE(pick.styleSheet().contains("#d9e8f0"));
  {
    // A controller that goes away leaves its editors usable.
    TStyleController shortLived;
    memo.SetStyleController(&shortLived);
  }
  style.SetBorderColor(QColor(0x44, 0x55, 0x66));
  EXPECT_FALSE(memo.styleSheet().contains("#445566"));
  EXPECT_TRUE(button.styleSheet().contains("#445566"));
}

TEST(BitBtn, CloseKindClosesItsTopLevelWindow) {
  struct Window : QWidget {
    int closes = 0;
    void closeEvent(QCloseEvent* e) override {
      ++closes;
      e->ignore();  // the window decides: here it stays
    }
  } window;
  auto* inner = new QFrame(&window);
  auto* close = new TBitBtn(TBitBtn::Kind::Close, QStringLiteral("最小化"), inner);
  auto* ignore = new TBitBtn(TBitBtn::Kind::Ignore, QStringLiteral("应用"), inner);
  window.show();
  QTest::mouseClick(ignore, Qt::LeftButton);
  EXPECT_EQ(window.closes, 0);
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_EQ(window.closes, 1);
  EXPECT_FALSE(close->icon().isNull());
  EXPECT_FALSE(ignore->icon().isNull());
}

namespace {

TGridData StatRows() {
  TGridData d;
  d.Fields = {"cdate", "ckey", "CMouse", "MoveMouse"};
  d.Rows = {
      {"2026-12-10", 120.0, 7.0, 1000.25},
      {"2026-12-09", 80.0, QVariant(), 2000.5},  // a NULL counts as 0
      {"2026-12-08", 0.5, 3.0, 0.0},
  };
  return d;
}

QList<TGridColumn> StatColumns() {
  QList<TGridColumn> cols;
  cols << TGridColumn{QStringLiteral("时间"), "cdate", 95, Qt::AlignRight, {}, false, {}};
  cols << TGridColumn{QStringLiteral("键盘点击"), "CKEY", 65, Qt::AlignRight, {}, true, {}};
  cols << TGridColumn{QStringLiteral("鼠标点击"), "cmouse", 71, Qt::AlignRight, {}, true, {}};
  TGridColumn move{QStringLiteral("鼠标移动 (米)"), "MoveMouse", 116, Qt::AlignRight, {}, true, {}};
  move.GetText = [](const QVariant& v) { return QString::number(v.toDouble() * 0.001, 'f', 2); };
  move.FooterText = [](double sum) { return widgets::FormatWhole(sum * 0.001); };
  cols << move;
  cols << TGridColumn{QStringLiteral("无此字段"), "nothing", 50, Qt::AlignRight, {}, true, {}};
  return cols;
}

}  // namespace

TEST(DataGrid, FooterSumsEachTotalledColumnOverAllRows) {
  TDataGrid grid;
  grid.resize(593, 313);
  grid.SetColumns(StatColumns());
  EXPECT_EQ(grid.RowCount(), 0);
  EXPECT_EQ(grid.FooterText(1), "0") << "an empty grid totals 0";

  grid.SetData(StatRows());
  ASSERT_EQ(grid.RowCount(), 3);
  EXPECT_DOUBLE_EQ(grid.ColumnSum(1), 200.5);
  EXPECT_EQ(grid.FooterText(0), QString()) << "no total under the date";
  EXPECT_EQ(grid.FooterText(1), "201") << "format 0 rounds 200.5 to a whole number";
  EXPECT_EQ(grid.FooterText(2), "10") << "a NULL adds nothing";
  EXPECT_EQ(grid.FooterText(3), "3") << "the column's own footer text (3.00075 m)";
  EXPECT_EQ(grid.FooterText(4), "0") << "a missing field totals 0";
  EXPECT_EQ(grid.FooterText(99), QString());

  // The footer follows the data it is given.
  TGridData fewer = StatRows();
  fewer.Rows.removeFirst();
  grid.SetData(fewer);
  EXPECT_EQ(grid.FooterText(1), "81");
  grid.Clear();
  EXPECT_EQ(grid.RowCount(), 0);
  EXPECT_EQ(grid.FooterText(2), "0");
}

TEST(DataGrid, CellTextsAndColumnWidths) {
  TDataGrid grid;
  grid.resize(593, 313);
  grid.SetColumns(StatColumns());
  grid.SetData(StatRows());
  struct {
    int row, col;
    const char* text;
  } cases[] = {
      {0, 0, "2026-12-10"}, {0, 1, "120"},  // a whole number without a point
      {2, 1, "0.5"},        {1, 2, ""},     // NULL shows empty
      {0, 3, "1.00"},       {1, 3, "2.00"}, {0, 4, ""}, {5, 1, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(grid.CellText(c.row, c.col), QString::fromUtf8(c.text)) << c.row << "," << c.col;

  grid.show();
  QApplication::processEvents();
  QHeaderView* h = grid.View()->horizontalHeader();
  int total = 0;
  for (int i = 0; i < h->count(); ++i) total += h->sectionSize(i);
  EXPECT_EQ(total, grid.View()->viewport()->width()) << "columns fill the width";
  EXPECT_NEAR(double(h->sectionSize(3)) / h->sectionSize(1), 116.0 / 65.0, 0.05);
  EXPECT_EQ(grid.View()->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(grid.View()->editTriggers(), QAbstractItemView::NoEditTriggers);
}
