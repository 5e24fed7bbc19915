#pragma once

#include <QFrame>
#include <QLabel>
#include <QString>
#include <QToolButton>
#include <QWidget>
#include <functional>

#include "monitor/Counters.h"
#include "platform/core/Timer.h"
#include "reminder/RestEngine.h"
#include "widgets/Widgets.h"

// The standard open-file dialog of the page: a filter in the form
// "description|pattern" and, after a confirmed Execute, the chosen FileName.
class TOpenDialog {
 public:
  QString Filter;
  QString FileName;
  // The filter as the toolkit's dialog takes it: the description, with the
  // pattern in parentheses unless the description already ends with it.
  QString ToolkitFilter() const;
  // Shows the dialog; true when the user confirmed a file.
  bool Execute(QWidget* parent);
  // Replaces the real dialog (tests): sets FileName and gives true to confirm.
  std::function<bool(TOpenDialog&)> Runner;
};

// The settings page. The window is never shown: its pnForm travels into the
// main window's page host. Its controls are the live settings of the program:
// the rest engine reads them through IRestSettings, the counters write their
// labels through ICounterLabels, and every change is written through to the
// Setting row at once.
class TfmWebStyle : public QWidget, public IRestSettings, public ICounterLabels {
  Q_OBJECT
 public:
  explicit TfmWebStyle(QWidget* parent = nullptr);
  ~TfmWebStyle() override;

  QFrame* pnForm;
  TStyleController* StyleController;

  // Settings.
  TPickEdit* PickEdit4;
  TCheckEdit* CheckEdit2;
  TCheckEdit* CheckEdit3;
  TCheckEdit* CheckEdit1;
  TCheckEdit* CheckEdit7;
  TPickEdit* PickEdit3;
  TPickEdit* edOccupation;
  TPickEdit* edState;
  TPickEdit* PickEdit1;
  TCheckEdit* CheckEdit6;
  TCheckEdit* CheckEdit4;
  TCheckEdit* CheckEdit5;
  TButtonEdit* ButtonEdit1;
  TMemo* Memo1;

  // Buttons.
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton3;
  TBitBtn* btnigreen;
  TBitBtn* btnClose;

  // Labels.
  QLabel* Label2;
  QLabel* Label18;
  QLabel* Label19;
  QLabel* Label3;
  QLabel* Label10;
  QLabel* Label5;
  QLabel* Label12;
  QLabel* Label13;
  QLabel* Label14;
  QLabel* Label6;
  QLabel* Label4;
  QLabel* Label7;
  QLabel* Label15;
  QLabel* Label8;
  QLabel* Label1;
  QLabel* Label9;
  QLabel* labKey;
  QLabel* Label16;
  QLabel* labMouse;
  QLabel* Label17;
  QLabel* labMove;
  QLabel* Label11;
  QLabel* Label20;
  QLabel* Label21;
  QLabel* Label22;

  // Decoration.
  TShape* Shape1;
  TShape* Shape2;
  TShape* Shape3;
  TShape* Shape4;
  TShape* Shape5;
  TShape* Shape6;
  TShape* Shape7;
  TShape* Shape8;
  TShape* Shape9;
  TShape* Shape10;
  QLabel* Image1;

  TOpenDialog OpenDialog;
  platform::Timer TimerSave;

  // Asks a Yes/No question; true for Yes. Defaults to a message box without an
  // icon; tests put their own answer here.
  std::function<bool(const QString& title, const QString& text)> AskYesNo;

  // Change handlers.
  void edOccupationChange();
  void PickEdit3Change();
  void edStateChange();
  void PickEdit1Change();
  void CheckEdit2Change();
  void CheckEdit3Change();
  void CheckEdit1Change();
  void ButtonEdit1Change();
  void Memo1Change();
  void PickEdit4Change();
  void CheckEdit4Change();
  void CheckEdit5Change();
  void CheckEdit6Change();
  void CheckEdit7Change();
  // Buttons and timer.
  void btnigreenClick();
  void ButtonEdit1ButtonClick();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void TimerSaveTimer();

  // Fills the controls from the Setting row; each value goes through the
  // control's setter, so its change handler runs as for a user's change.
  // Does nothing while there is no data module.
  void LoadSettings();
  void AutoRunOn();
  void AutoRunOff();
  void WriteAutoRunPath();
  int SmartWorkMinutes();
  // Adds this run's activity to today's statistics row.
  void SaveTodayStat();

  // The autostart value's name.
  static QString AutoRunName() { return QStringLiteral("Morvane"); }
  // The whole-number test of the interval fields: a signed 32-bit integer
  // other than -1.
  static bool IsIntervalNumber(const QString& text);

  // IRestSettings.
  QString PickEdit3Text() override { return PickEdit3->Text(); }
  QString edOccupationText() override { return edOccupation->Text(); }
  QStringList edOccupationItems() override { return edOccupation->Items(); }
  QString edStateText() override { return edState->Text(); }
  void SetEdStateText(const QString& text) override { edState->SetText(text); }
  QString PickEdit1Text() override { return PickEdit1->Text(); }
  void SetPickEdit1Text(const QString& text) override { PickEdit1->SetText(text); }
  bool CheckEdit4Checked() override { return CheckEdit4->Checked(); }
  bool CheckEdit5Checked() override { return CheckEdit5->Checked(); }
  bool CheckEdit6Checked() override { return CheckEdit6->Checked(); }
  QString ButtonEdit1Text() override { return ButtonEdit1->Text(); }
  QString Memo1Text() override { return Memo1->Text(); }
  void SetLabel1(const QString& text) override { Label1->setText(text); }
  void SetLabel20(const QString& text) override { Label20->setText(text); }
  void SetLabel22(const QString& text) override { Label22->setText(text); }

  // ICounterLabels.
  void SetLabKey(const QString& text) override { labKey->setText(text); }
  void SetLabMouse(const QString& text) override { labMouse->setText(text); }
  void SetLabMove(const QString& text) override { labMove->setText(text); }

 private:
  void CreateControls();
  void BindHandlers();
  void SetTabOrder();
  // Steps 1 to 3 of every change handler: write, then enable Apply.
  void Written(const QString& column, const QString& value);
  // The engine, or an error naming what is missing.
  TRestEngine& Engine();
};

extern TfmWebStyle* fmWebStyle;
