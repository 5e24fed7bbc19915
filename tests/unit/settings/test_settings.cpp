#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "PageFixture.h"
#include "settings/SettingsStore.h"

using namespace settings_test;

namespace {

// The column each Update names, in order.
QStringList Columns(const QStringList& updates) {
  QStringList c;
  static const QRegularExpression column(QStringLiteral("^Update Setting set  (\\w+)="));
  for (const QString& u : updates) c << column.match(u).captured(1);
  return c;
}

const QString kSmart = QStringLiteral("智能模式");
const QString kManual = QStringLiteral("手动设置");

}  // namespace

// ---------------------------------------------------------------- store

TEST(SettingStatement, HasTheExactFormAndDoublesQuotes) {
  struct {
    const char* column;
    const char* value;
    const char* statement;
  } cases[] = {
      {"Age", "青年", "Update Setting set  Age='青年'"},
      {"HimtText", "it's", "Update Setting set  HimtText='it''s'"},
      {"HimtText", "''", "Update Setting set  HimtText=''''''"},
      {"SoundPath", "", "Update Setting set  SoundPath=''"},
      {"IsStatKey", "-1", "Update Setting set  IsStatKey='-1'"},
      {"LCDSize", "x' or '1'='1", "Update Setting set  LCDSize='x'' or ''1''=''1'"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SettingStatement(c.column, QString::fromUtf8(c.value)),
              QString::fromUtf8(c.statement));
  EXPECT_THROW(SettingStatement("Age='x', HimtText", "y"), platform::Error);
}

TEST_F(PageTest, WriteSettingSetsTheColumnInEveryRow) {
  Sql("insert into Setting (Age) values ('儿童')");  // a second row
  Trace();
  WriteSetting("HimtText", "Tom's \"eyes\"\r\nrest");
  ASSERT_EQ(log.Updates().size(), 1);
  Sql("create table Seen as select HimtText from Setting");
  EXPECT_EQ(
      Stored("count(*) from Seen where HimtText = 'Tom''s \"eyes\"' || char(13,10) || 'rest' --"),
      2);
}

TEST_F(PageTest, WriteSettingReopensAClosedConnection) {
  FrmDM->ADOConnection.Close();
  WriteSetting("Age", QStringLiteral("老年"));
  EXPECT_EQ(Stored("Age"), QStringLiteral("老年"));
}

// ---------------------------------------------------------------- initial state

TEST_F(PageTest, StartsEmptyWithApplyDisabledAndTheSaveTimerRunning) {
  for (TCheckEdit* c : {page->CheckEdit1, page->CheckEdit2, page->CheckEdit3, page->CheckEdit4,
                        page->CheckEdit5, page->CheckEdit6, page->CheckEdit7})
    EXPECT_FALSE(c->Checked()) << c->objectName().toStdString();
  for (TPickEdit* e :
       {page->PickEdit3, page->edOccupation, page->edState, page->PickEdit1, page->PickEdit4})
    EXPECT_EQ(e->Text(), QString()) << e->objectName().toStdString();
  EXPECT_EQ(page->ButtonEdit1->Text(), QString());
  EXPECT_EQ(page->Memo1->Text(), QString());
  EXPECT_FALSE(page->btnigreen->isEnabled());
  EXPECT_TRUE(page->edState->isEnabled() && page->PickEdit1->isEnabled() &&
              page->edOccupation->isEnabled());
  EXPECT_EQ(page->labKey->text(), QStringLiteral("0 次"));
  EXPECT_EQ(page->Label1->text(), "0.00");
  ASSERT_TRUE(core.timers.IsRunning(page->TimerSave.Handle(), 1));
  EXPECT_EQ(core.timers.running.at({page->TimerSave.Handle(), 1}), 5000u);
}

// ---------------------------------------------------------------- change handlers

TEST_F(PageTest, KeyCountBoxWritesOnceAndStartsOrStopsTheHook) {
  Trace();
  page->CheckEdit2->click();  // the user ticks it
  EXPECT_EQ(log.Updates(), QStringList{"Update Setting set  IsStatKey='-1'"});
  EXPECT_EQ(Stored("IsStatKey"), -1);
  EXPECT_EQ(Hooks().keyStarts, 1);
  EXPECT_TRUE(KeyHook->Enabled());
  EXPECT_TRUE(page->btnigreen->isEnabled());

  page->btnigreen->setEnabled(false);
  page->CheckEdit2->click();
  EXPECT_EQ(log.Updates().size(), 2);
  EXPECT_EQ(log.Updates().last(), "Update Setting set  IsStatKey='0'");
  EXPECT_EQ(Stored("IsStatKey"), 0);
  EXPECT_EQ(Hooks().keyStops, 1);
  EXPECT_TRUE(page->btnigreen->isEnabled());

  // The mouse box does the same with the mouse hook.
  page->CheckEdit3->SetChecked(true);
  EXPECT_EQ(Hooks().mouseStarts, 1);
  page->CheckEdit3->SetChecked(false);
  EXPECT_EQ(Hooks().mouseStops, 1);
  EXPECT_EQ(Columns(log.Updates()).mid(2), (QStringList{"IsStatMouse", "IsStatMouse"}));
}

TEST_F(PageTest, EveryBoxAndFieldWritesItsOwnColumn) {
  struct {
    std::function<void(TfmWebStyle&)> change;
    const char* column;
    QVariant stored;
  } cases[] = {
      {[](TfmWebStyle& p) { p.edOccupation->SetText(QStringLiteral("中年")); }, "Age",
       QStringLiteral("中年")},
      {[](TfmWebStyle& p) { p.PickEdit3->SetText(kManual); }, "HintInterval", kManual},
      {[](TfmWebStyle& p) { p.edState->SetText("30"); }, "EachRestTime", "30"},
      {[](TfmWebStyle& p) { p.PickEdit1->SetText("200"); }, "RestTime", "200"},
      {[](TfmWebStyle& p) { p.CheckEdit1->SetChecked(true); }, "IsAotuRun", -1},
      {[](TfmWebStyle& p) { p.ButtonEdit1->SetText("/snd/a.wav"); }, "SoundPath", "/snd/a.wav"},
      {[](TfmWebStyle& p) { p.PickEdit4->SetText("big"); }, "LCDSize", "big"},
      {[](TfmWebStyle& p) { p.CheckEdit4->SetChecked(true); }, "EidolonHint", -1},
      {[](TfmWebStyle& p) { p.CheckEdit6->SetChecked(true); }, "BladderHint", -1},
      {[](TfmWebStyle& p) { p.CheckEdit5->SetChecked(true); }, "SoundHint", -1},
      {[](TfmWebStyle& p) { p.CheckEdit7->SetChecked(true); }, "ForceRest", -1},
      {[](TfmWebStyle& p) { p.Memo1->SetText("a\nb"); }, "HimtText", "a\r\nb"},
  };
  Trace();
  int n = 0;
  for (const auto& c : cases) {
    page->btnigreen->setEnabled(false);
    c.change(*page);
    ++n;
    ASSERT_EQ(log.Updates().size(), n) << c.column;
    EXPECT_EQ(Columns(log.Updates()).last(), c.column);
    EXPECT_EQ(Stored(c.column), c.stored) << c.column;
    EXPECT_TRUE(page->btnigreen->isEnabled()) << c.column;
  }
}

TEST_F(PageTest, IntervalFieldsWriteOnlyWholeNumbers) {
  struct {
    const char* typed;
    bool written;
  } cases[] = {
      {"abc", false},       {"-1", false},         {"", false},   {"5", true},
      {"200", true},        {"-5", true},          {"0", true},   {"1.5", false},
      {"2147483647", true}, {"2147483648", false}, {" 5", false}, {"-", false},
  };
  for (TPickEdit* field : {page->edState, page->PickEdit1}) {
    const QString column = field == page->edState ? "EachRestTime" : "RestTime";
    for (const auto& c : cases) {
      SCOPED_TRACE(column.toStdString() + " <- '" + c.typed + "'");
      field->SetText("77");  // a different value first, so the next one is a change
      Sql("update Setting set " + column + "='before'");
      page->btnigreen->setEnabled(false);
      Trace();
      field->SetText(QString::fromUtf8(c.typed));
      EXPECT_EQ(log.Updates().size(), c.written ? 1 : 0);
      EXPECT_EQ(Stored(column),
                c.written ? QVariant(QString::fromUtf8(c.typed)) : QVariant("before"));
      EXPECT_EQ(page->btnigreen->isEnabled(), c.written) << "Apply as it was unless written";
    }
  }
  // Typed by the user, key by key: "5" is written, the "-" alone is not.
  page->edState->SetText(QString());
  Trace();
  page->edState->setFocus();
  QTest::keyClicks(page->edState, "-5");
  EXPECT_EQ(log.Updates(), QStringList{"Update Setting set  EachRestTime='-5'"});
}

TEST_F(PageTest, TypingIntoTheMemoWritesTheWholeTextPerKeystroke) {
  Trace();
  page->Memo1->setFocus();
  QTest::keyClicks(page->Memo1, "ab");
  QTest::keyClick(page->Memo1, Qt::Key_Return);
  QTest::keyClicks(page->Memo1, "c");
  EXPECT_EQ(log.Updates(),
            (QStringList{"Update Setting set  HimtText='a'", "Update Setting set  HimtText='ab'",
                         "Update Setting set  HimtText='ab\r\n'",
                         "Update Setting set  HimtText='ab\r\nc'"}));
  EXPECT_EQ(Stored("HimtText"), "ab\r\nc");
}

TEST_F(PageTest, ApostrophesInTheReminderTextRoundTrip) {
  const QString text = QStringLiteral("It's time, Tom's eyes ''rest''\r\n休息'一下");
  page->Memo1->SetText(text);
  EXPECT_EQ(Stored("HimtText"), text);
  NewPage();
  page->LoadSettings();
  EXPECT_EQ(page->Memo1->Text(), text);
}

TEST_F(PageTest, SchemeEnablingRule) {
  struct {
    QString scheme;
    bool minutesEnabled;
  } cases[] = {{kSmart, false}, {kManual, true}, {kSmart, false}, {QString(), true}};
  Trace();
  for (const auto& c : cases) {
    page->btnigreen->setEnabled(false);
    page->PickEdit3->SetText(c.scheme);
    EXPECT_EQ(page->edState->isEnabled(), c.minutesEnabled) << c.scheme.toStdString();
    EXPECT_EQ(page->PickEdit1->isEnabled(), c.minutesEnabled);
    EXPECT_EQ(page->edOccupation->isEnabled(), !c.minutesEnabled);
    EXPECT_EQ(Stored("HintInterval"), c.scheme);
    EXPECT_TRUE(page->btnigreen->isEnabled());
  }
  EXPECT_EQ(log.Updates().size(), 4);

  // The user's own choice from the list works the same way.
  page->PickEdit3->setFocus();
  QTest::keyClick(page->PickEdit3, Qt::Key_Down);  // first item: the smart scheme
  EXPECT_EQ(page->PickEdit3->Text(), kSmart);
  EXPECT_FALSE(page->edState->isEnabled());
  EXPECT_EQ(Stored("HintInterval"), kSmart);
}

TEST_F(PageTest, PickOnlyFieldsTakeNoTypingTheOthersDo) {
  struct {
    TPickEdit* field;
    bool typed;
  } cases[] = {{page->PickEdit3, false},
               {page->edOccupation, false},
               {page->edState, true},
               {page->PickEdit1, true},
               {page->PickEdit4, true}};
  for (const auto& c : cases) {
    c.field->setEnabled(true);
    c.field->setFocus();
    QTest::keyClicks(c.field, "x9");
    EXPECT_EQ(c.field->Text(), c.typed ? "x9" : "") << c.field->objectName().toStdString();
  }
}

TEST_F(PageTest, AFailedWriteKeepsTheValueButGoesNoFurther) {
  Sql("alter table Setting rename to Gone");
  // By the user: the error reaches the application's handler.
  page->CheckEdit2->click();
  QApplication::processEvents();
  ASSERT_EQ(core.errors.shown.size(), 1);
  EXPECT_TRUE(page->CheckEdit2->Checked()) << "the control keeps the user's value";
  EXPECT_FALSE(page->btnigreen->isEnabled());
  EXPECT_EQ(Hooks().keyStarts, 0) << "the further step does not run";
  // By a program: the error comes out of the assignment.
  EXPECT_THROW(page->CheckEdit1->SetChecked(true), platform::Error);
  EXPECT_EQ(autostart.reads + autostart.writes, 0);
  EXPECT_FALSE(page->btnigreen->isEnabled());
  // Once the table is back, the next change is stored.
  Sql("alter table Gone rename to Setting");
  page->CheckEdit2->click();
  EXPECT_EQ(Stored("IsStatKey"), 0);
  EXPECT_TRUE(page->btnigreen->isEnabled());
}

// ---------------------------------------------------------------- load

TEST_F(PageTest, LoadFillsEveryControlAndWritesBackWhatChanged) {
  Sql("update Setting set Age='少年', HintInterval='手动设置', IsStatKey=-1, IsStatMouse=0,"
      " IsAotuRun=0, EachRestTime='40', RestTime='', SoundPath='/s/a b.wav', LCDSize='19',"
      " EidolonHint=-1, BladderHint=0, SoundHint=-1, ForceRest=-1, HimtText='x' || char(13,10) || "
      "'y'");
  Trace();
  page->LoadSettings();
  EXPECT_EQ(page->edOccupation->Text(), QStringLiteral("少年"));
  EXPECT_EQ(page->PickEdit3->Text(), kManual);
  EXPECT_TRUE(page->CheckEdit2->Checked());
  EXPECT_FALSE(page->CheckEdit3->Checked());
  EXPECT_FALSE(page->CheckEdit1->Checked());
  EXPECT_EQ(page->edState->Text(), "40");
  EXPECT_EQ(page->PickEdit1->Text(), "");
  EXPECT_EQ(page->ButtonEdit1->Text(), "/s/a b.wav");
  EXPECT_EQ(page->PickEdit4->Text(), "19");
  EXPECT_TRUE(page->CheckEdit4->Checked());
  EXPECT_FALSE(page->CheckEdit6->Checked());
  EXPECT_TRUE(page->CheckEdit5->Checked());
  EXPECT_TRUE(page->CheckEdit7->Checked());
  EXPECT_EQ(page->Memo1->Text(), "x\r\ny");
  // One write per control that changed, in the order of the load.
  EXPECT_EQ(Columns(log.Updates()),
            (QStringList{"Age", "HintInterval", "IsStatKey", "EachRestTime", "SoundPath", "LCDSize",
                         "EidolonHint", "SoundHint", "ForceRest", "HimtText"}));
  EXPECT_TRUE(page->btnigreen->isEnabled());
  EXPECT_TRUE(page->edState->isEnabled());
  EXPECT_FALSE(page->edOccupation->isEnabled()) << "the manual scheme's rule applied";
  EXPECT_EQ(Hooks().keyStarts, 1) << "started during the load";
  EXPECT_EQ(Hooks().mouseStarts, 0);
  // Loading the same row again changes nothing and writes nothing.
  log.all.clear();
  page->LoadSettings();
  EXPECT_EQ(log.Updates(), QStringList());
}

TEST_F(PageTest, NullBooleansLoadClearAndRaiseNoHandler) {
  Sql("update Setting set IsStatKey=NULL, IsStatMouse=NULL, IsAotuRun=NULL, EidolonHint=NULL,"
      " BladderHint=NULL, SoundHint=NULL, ForceRest=NULL, Age=NULL, HintInterval=NULL,"
      " EachRestTime=NULL, RestTime=NULL, SoundPath=NULL, LCDSize=NULL, HimtText=NULL");
  Trace();
  page->LoadSettings();
  for (TCheckEdit* c : {page->CheckEdit1, page->CheckEdit2, page->CheckEdit3, page->CheckEdit4,
                        page->CheckEdit5, page->CheckEdit6, page->CheckEdit7})
    EXPECT_FALSE(c->Checked());
  EXPECT_EQ(log.Updates(), QStringList());
  EXPECT_FALSE(page->btnigreen->isEnabled());
  EXPECT_EQ(Hooks().keyStarts + Hooks().mouseStarts + Hooks().keyStops + Hooks().mouseStops, 0);
  EXPECT_EQ(autostart.reads + autostart.writes + autostart.deletes, 0);
}

TEST_F(PageTest, EmptySchemeLeavesAllIntervalFieldsEnabled) {
  Sql("update Setting set HintInterval=''");
  Trace();
  page->LoadSettings();
  EXPECT_EQ(page->PickEdit3->Text(), QString());
  EXPECT_FALSE(Columns(log.Updates()).contains("HintInterval"));
  EXPECT_TRUE(page->edState->isEnabled());
  EXPECT_TRUE(page->PickEdit1->isEnabled());
  EXPECT_TRUE(page->edOccupation->isEnabled());
}

TEST_F(PageTest, AStoredAgeOutsideTheListIsShownAsIs) {
  Sql("update Setting set Age='退休', HintInterval='智能模式', EachRestTime='abc'");
  Trace();
  page->LoadSettings();
  EXPECT_EQ(page->edOccupation->Text(), QStringLiteral("退休"));
  EXPECT_EQ(page->edState->Text(), "abc");
  EXPECT_FALSE(Columns(log.Updates()).contains("EachRestTime")) << "not a whole number";
  EXPECT_EQ(RestEngine->SmartWorkMinutes(), 0);
}

TEST_F(PageTest, ALoadThatFailsStopsAtTheMissingColumn) {
  FrmDM->ADOConnection.Close();  // the next statement opens it on the changed table
  Sql("alter table Setting drop column IsAotuRun");
  EXPECT_THROW(page->LoadSettings(), platform::Error);
  EXPECT_EQ(page->edOccupation->Text(), QStringLiteral("青年")) << "set before the failure";
  EXPECT_TRUE(page->CheckEdit3->Checked());
  EXPECT_EQ(page->edState->Text(), QString()) << "not reached";
  EXPECT_EQ(page->Memo1->Text(), QString());
  // And the data set is gone: nothing holds the file.
  EXPECT_EQ(sqlite3_next_stmt(FrmDM->ADOConnection.Handle(), nullptr), nullptr);

  FrmDM->ADOConnection.Close();
  QFile::rename(appDir + "/Data/eye.mdb", appDir + "/Data/moved.mdb");
  NewPage();
  EXPECT_THROW(page->LoadSettings(), platform::Error) << "no database: an error, not a silent load";
}

TEST_F(PageTest, EngineCorrectionOfTheWorkingMinutesIsWrittenThrough) {
  page->PickEdit3->SetText(kManual);
  page->edState->SetText("abc");
  page->btnigreen->setEnabled(false);
  Trace();
  EXPECT_EQ(RestEngine->WorkIntervalMinutes(), "45");
  EXPECT_EQ(page->edState->Text(), "45");
  EXPECT_EQ(log.Updates(), QStringList{"Update Setting set  EachRestTime='45'"});
  EXPECT_TRUE(page->btnigreen->isEnabled());
  EXPECT_EQ(RestEngine->RestIntervalMinutes(), "15");
  EXPECT_EQ(Stored("RestTime"), "15");
}

// ---------------------------------------------------------------- Apply

TEST_F(PageTest, ApplyAnsweredNoChangesNothing) {
  QStringList asked;
  page->AskYesNo = [&](const QString& title, const QString& text) {
    asked << title << text;
    return false;
  };
  page->edState->SetText("30");
  RunState.CountdownMs = 123456;
  RunState.IsWorking = false;
  page->btnigreen->click();
  EXPECT_EQ(asked,
            (QStringList{QStringLiteral("设置已改变"), QStringLiteral("是否开始一次新的计时？")}));
  EXPECT_FALSE(page->btnigreen->isEnabled());
  EXPECT_EQ(RunState.CountdownMs, 123456);
  EXPECT_FALSE(RunState.IsWorking);
  EXPECT_TRUE(host.balloons.empty());
}

TEST_F(PageTest, ApplyAnsweredYesStartsAFullWorkingIntervalAndLeavesTheTrayAlone) {
  page->AskYesNo = [](const QString&, const QString&) { return true; };
  page->PickEdit3->SetText(kManual);
  page->edState->SetText("30");
  RunState.IsWorking = false;  // during a rest, with its animation running
  RunState.CountdownMs = 5000;
  RunState.WorkSeconds = 77;
  page->btnigreen->click();
  EXPECT_TRUE(RunState.IsWorking);
  EXPECT_EQ(RunState.CountdownMs, 30 * 60000);
  EXPECT_EQ(RunState.WorkSeconds, 77);
  ASSERT_EQ(host.balloons.size(), 1u);
  EXPECT_EQ(host.balloons[0].title, QStringLiteral("提示"));
  EXPECT_EQ(host.balloons[0].text, QStringLiteral("离下一次休息还剩：30分钟."));
  EXPECT_EQ(host.balloons[0].kind, 1);
  EXPECT_EQ(host.balloons[0].seconds, 10);
  EXPECT_EQ(host.calls, QStringList{"balloon"}) << "no icon list, cycling or icon change";
  EXPECT_FALSE(page->btnigreen->isEnabled());

  // With no whole number in the field, the engine's "45" is written and
  // enables Apply again.
  page->edState->SetText("x");
  page->btnigreen->setEnabled(true);
  page->btnigreen->click();
  EXPECT_EQ(host.balloons.back().text, QStringLiteral("离下一次休息还剩：45分钟."));
  EXPECT_EQ(Stored("EachRestTime"), "45");
  EXPECT_TRUE(page->btnigreen->isEnabled());
}

TEST_F(PageTest, TheRealQuestionBoxHasYesAndNoAndNoIcon) {
  struct {
    QMessageBox::StandardButton press;
    bool answer;
  } cases[] = {{QMessageBox::No, false}, {QMessageBox::Yes, true}};
  for (const auto& c : cases) {
    bool checked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      poll.stop();
      EXPECT_EQ(box->windowTitle(), QStringLiteral("设置已改变"));
      EXPECT_EQ(box->text(), QStringLiteral("是否开始一次新的计时？"));
      EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
      EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
      checked = true;
      box->button(c.press)->click();
    });
    poll.start(10);
    EXPECT_EQ(
        page->AskYesNo(QStringLiteral("设置已改变"), QStringLiteral("是否开始一次新的计时？")),
        c.answer);
    EXPECT_TRUE(checked);
  }
}

// ---------------------------------------------------------------- tests of the reminders

TEST_F(PageTest, BalloonTestAlwaysSaysFifteenMinutes) {
  struct {
    const char* rest;
    bool balloonBox;
  } cases[] = {{"30", true}, {"5", false}, {"", false}};
  page->Memo1->SetText("first\nsecond");
  for (const auto& c : cases) {
    page->PickEdit1->SetText(c.rest);
    page->CheckEdit6->SetChecked(c.balloonBox);
    host.balloons.clear();
    page->SpeedButton1->click();
    ASSERT_EQ(host.balloons.size(), 1u);
    EXPECT_EQ(host.balloons[0].title, QStringLiteral("提示"));
    EXPECT_EQ(host.balloons[0].text, QStringLiteral("first\r\nsecond\r请您休息：15分钟."));
    EXPECT_EQ(host.balloons[0].kind, 1);
    EXPECT_EQ(host.balloons[0].seconds, 10);
  }
}

TEST_F(PageTest, SoundTestPlaysTheChosenFileOrTheDefault) {
  QDir().mkpath(appDir + "/res");
  const QString fallback = appDir + "/res/enter.wav";
  const QString chosen = tmp.path() + "/my sound.wav";
  struct {
    const char* name;
    QString field;
    bool defaultThere;
    QStringList played;
  } cases[] = {
      {"empty field", "", true, {fallback}},
      {"chosen file", chosen, true, {chosen}},
      {"chosen file missing", tmp.path() + "/gone.wav", true, {fallback}},
      {"nothing there", "", false, {}},
  };
  QFile(chosen).open(QIODevice::WriteOnly);
  for (const auto& c : cases) {
    if (c.defaultThere)
      QFile(fallback).open(QIODevice::WriteOnly);
    else
      QFile::remove(fallback);
    page->ButtonEdit1->SetText(c.field);
    page->CheckEdit5->SetChecked(false);  // the test plays whatever the switch says
    sound.played.clear();
    page->SpeedButton3->click();
    EXPECT_EQ(sound.played, c.played) << c.name;
    EXPECT_TRUE(core.errors.shown.isEmpty()) << c.name;
  }
}

TEST_F(PageTest, SoundFileChooser) {
  EXPECT_EQ(page->OpenDialog.Filter, QStringLiteral("波形文件(*.Wav)|*.Wav"));
  EXPECT_EQ(page->OpenDialog.ToolkitFilter(), QStringLiteral("波形文件(*.Wav)"));
  int shown = 0;
  page->OpenDialog.Runner = [&](TOpenDialog& d) {
    ++shown;
    d.FileName = "/music/Chime One.Wav";
    return true;
  };
  Trace();
  page->ButtonEdit1->Button()->click();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(page->ButtonEdit1->Text(), "/music/Chime One.Wav");
  EXPECT_EQ(Stored("SoundPath"), "/music/Chime One.Wav");
  EXPECT_TRUE(page->btnigreen->isEnabled());

  page->btnigreen->setEnabled(false);
  page->OpenDialog.Runner = [&](TOpenDialog& d) {
    d.FileName = "/elsewhere.wav";
    return false;  // cancelled
  };
  page->ButtonEdit1->Button()->click();
  EXPECT_EQ(page->ButtonEdit1->Text(), "/music/Chime One.Wav");
  EXPECT_EQ(log.Updates().size(), 1);
  EXPECT_FALSE(page->btnigreen->isEnabled());
}

TEST(OpenDialogFilter, ToolkitForm) {
  struct {
    const char* filter;
    const char* toolkit;
  } cases[] = {
      {"波形文件(*.Wav)|*.Wav", "波形文件(*.Wav)"},
      {"Sounds|*.wav;*.ogg", "Sounds (*.wav *.ogg)"},
      {"A|*.a|B (*.b)|*.b", "A (*.a);;B (*.b)"},
  };
  for (const auto& c : cases) {
    TOpenDialog d;
    d.Filter = QString::fromUtf8(c.filter);
    EXPECT_EQ(d.ToolkitFilter(), QString::fromUtf8(c.toolkit));
  }
}

// The animation test waits 10 seconds on the system's tick count while
// everything else goes on; a second press waits inside the first, and each
// wait ends with its own stop of the animation.
TEST_F(PageTest, AnimationTestWaitsTenSecondsWhileEverythingRunsAndNests) {
  const QStringList start = {"iconlist=ImageList2", "cycle=on", "balloon"};
  const QStringList stop = {"iconlist=none", "icon", "cycle=off"};
  RunState.KeyCount = 5;
  QStringList atInnerPress, atOuterDue, afterInner;
  QTimer::singleShot(10, [&] {
    core.clock.Advance(3000);
    core.timers.Fire(page->TimerSave.Handle(), 1);  // a save tick during the wait
    atInnerPress = host.calls;
    QTimer::singleShot(10, [&] {
      core.clock.Advance(7000);  // the first wait's time is up, the second runs on
      atOuterDue = host.calls;
      QTimer::singleShot(10, [&] { core.clock.Advance(3000); });
    });
    page->SpeedButton2->click();  // pressed again, inside the first wait
    afterInner = host.calls;
  });
  page->SpeedButton2->click();

  EXPECT_EQ(atInnerPress, start);
  EXPECT_EQ(RunState.CheckKeyCount, 5) << "the save timer's idle check ran during the wait";
  EXPECT_EQ(atOuterDue, start + start) << "no stop while the inner wait runs";
  EXPECT_EQ(afterInner, start + start + stop);
  EXPECT_EQ(host.calls, start + start + stop + stop);
  EXPECT_EQ(host.iconLoads, QStringList(2, appDir + "/Eyes 2.ico"));
  ASSERT_EQ(host.balloons.size(), 2u);
  EXPECT_EQ(host.balloons[0].title, QStringLiteral("提示"));
  EXPECT_EQ(host.balloons[0].text, QStringLiteral("当您休息的时间，这里就播放动画."));
  EXPECT_EQ(host.balloons[0].seconds, 10);
  EXPECT_TRUE(core.errors.shown.isEmpty());
}

TEST_F(PageTest, AnimationTestWaitsAcrossTheTickCountsWrap) {
  core.clock.tick = 0xFFFFF000u;  // 4096 ms before the 32-bit count wraps
  int polls = 0;
  QTimer step;
  QObject::connect(&step, &QTimer::timeout, [&] {
    ++polls;
    core.clock.Advance(1000);
  });
  step.start(1);
  page->SpeedButton2->click();
  step.stop();
  EXPECT_GE(polls, 10);
  EXPECT_LE(polls, 11) << "ended as soon as 10 s had passed, not at the wrap";
  EXPECT_EQ(host.calls.mid(3), (QStringList{"iconlist=none", "icon", "cycle=off"}));
}

TEST_F(PageTest, AnimationTestWithAnIconThatCannotBeLoadedKeepsCycling) {
  host.failIconLoad = true;
  QTimer::singleShot(10, [&] { core.clock.Advance(10000); });
  page->SpeedButton2->click();
  ASSERT_EQ(core.errors.shown.size(), 1);
  EXPECT_TRUE(core.errors.shown[0].contains("Eyes 2.ico"));
  EXPECT_EQ(host.calls,
            (QStringList{"iconlist=ImageList2", "cycle=on", "balloon", "iconlist=none"}));
}

// ---------------------------------------------------------------- autostart

TEST_F(PageTest, AutostartFollowsTheBox) {
  const QString entry = tmp.path() + "/config/autostart/Morvane.desktop";
  struct Step {
    const char* name;
    std::function<void()> act;
    bool entryThere;
    int writes, deletes;
  };
  Step steps[] = {
      {"off with no entry", [&] { page->AutoRunOff(); }, false, 0, 1},
      {"on", [&] { page->CheckEdit1->SetChecked(true); }, true, 1, 1},
      {"on again, same path", [&] { page->AutoRunOn(); }, true, 1, 1},
      {"off", [&] { page->CheckEdit1->SetChecked(false); }, false, 1, 2},
      {"on after the program moved",
       [&] {
         autostart.real.Write("Morvane", "/old/place/talvenor");
         page->CheckEdit1->SetChecked(true);
       },
       true, 2, 2},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(QFile::exists(entry), s.entryThere) << s.name;
    EXPECT_EQ(autostart.writes, s.writes) << s.name;
    EXPECT_EQ(autostart.deletes, s.deletes) << s.name;
    if (s.entryThere) {
      EXPECT_EQ(autostart.real.Read("Morvane"), core.system.exePath) << s.name;
    }
  }
  EXPECT_TRUE(core.errors.shown.isEmpty());
}

TEST_F(PageTest, AutostartErrorsAreDroppedAndTheBoxStaysOn) {
  autostart.fail = true;
  page->CheckEdit1->click();
  QApplication::processEvents();
  EXPECT_TRUE(page->CheckEdit1->Checked());
  EXPECT_EQ(Stored("IsAotuRun"), -1);
  EXPECT_EQ(autostart.reads, 1);
  EXPECT_NO_THROW(page->AutoRunOff());
  EXPECT_NO_THROW(page->WriteAutoRunPath());
  EXPECT_TRUE(core.errors.shown.isEmpty());
}

TEST_F(PageTest, LoadWithAutostartOnPutsTheCurrentPathInTheEntry) {
  autostart.real.Write("Morvane", "/where/it/was/talvenor");
  Sql("update Setting set IsAotuRun=-1");
  page->LoadSettings();
  EXPECT_EQ(autostart.real.Read("Morvane"), core.system.exePath);
}

// ---------------------------------------------------------------- timer and labels

TEST_F(PageTest, SaveTimerRunsTheIdleCheck) {
  page->PickEdit3->SetText(kSmart);
  RunState.KeyCount = RunState.CheckKeyCount = 3;
  core.clock.tick = 777;
  ASSERT_TRUE(core.timers.Fire(page->TimerSave.Handle(), 1));
  EXPECT_TRUE(RunState.IdlePending);
  EXPECT_EQ(RunState.IdleSinceTick, 777u);
}

TEST_F(PageTest, TheEngineAndTheCountersWriteTheLiveLabels) {
  host.showing = true;
  RunState.CountdownMs = 45 * 60000;
  RestEngine->TimerHintTimer();
  EXPECT_EQ(page->Label1->text(), QStringLiteral("44分59秒"));
  EXPECT_EQ(page->Label20->text(), QStringLiteral("0 时 0 分 1 秒"));
  EXPECT_EQ(page->Label22->text(), QStringLiteral("0 时 0 分 0 秒"));
  CounterLabels->SetLabKey(QStringLiteral("12345 次"));
  CounterLabels->SetLabMove(QStringLiteral("1234.56 米"));
  EXPECT_EQ(page->labKey->text(), QStringLiteral("12345 次"));
  EXPECT_EQ(page->labMove->text(), QStringLiteral("1234.56 米"));
  EXPECT_GE(page->labMove->width(), page->labMove->fontMetrics().horizontalAdvance("1234.56 米"))
      << "room for a long figure";
}

TEST_F(PageTest, TabOrder) {
  const QStringList expected = {"edOccupation", "edState",    "CheckEdit1",  "CheckEdit2",
                                "CheckEdit3",   "PickEdit1",  "ButtonEdit1", "Memo1",
                                "PickEdit3",    "btnigreen",  "btnClose",    "PickEdit4",
                                "CheckEdit4",   "CheckEdit5", "CheckEdit6",  "CheckEdit7"};
  // Once round the focus chain from the first control, keeping the controls.
  QWidget* first = page->edOccupation;
  QStringList seen;
  QWidget* w = first;
  do {
    if (expected.contains(w->objectName()) && !seen.contains(w->objectName()))
      seen << w->objectName();
    w = w->nextInFocusChain();
  } while (w && w != first);
  EXPECT_EQ(seen, expected);
}
