#pragma once

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/db/DataSet.h"
#include "widgets/BitBtn.h"
#include "widgets/DataGrid.h"
#include "widgets/DateEdit.h"
#include "widgets/PickEdit.h"
#include "widgets/StyleController.h"

// The statistics report page: the stored daily totals summed by day, month or
// year between two dates. The window is never shown: its pnForm travels into
// the main window's page host.
class TfmGradient : public QWidget {
  Q_OBJECT
 public:
  explicit TfmGradient(QWidget* parent = nullptr);
  ~TfmGradient() override;

  // Grid columns, left to right.
  enum {
    DBGrid1Date,
    DBGrid1Ckey,
    DBGrid1CMouse,
    DBGrid1MoveMouse,
    DBGrid1ActiveTime,
    DBGrid1RestTime
  };

  QFrame* pnForm;
  QLabel* Label14;
  TDateEdit* DateEdit1;
  QLabel* Label1;
  TDateEdit* DateEdit2;
  TPickEdit* PickEdit3;
  TBitBtn* BitBtn1;
  TDataGrid* DBGrid1;
  platform::DataSet AdoSet;
  platform::DataSource DSSet;

  // The editors take their look from the settings page's edit style.
  void SetStyleController(TStyleController* style);

  void FormCreate();
  void BitBtn1Click();
  void AdoSetactivetimeGetText(platform::Field& Sender, QString& Text, bool DisplayText);
  void AdoSetMoveMouseGetText(platform::Field& Sender, QString& Text, bool DisplayText);

  // The report statement for a grouping (0 by day, 1 by month, 2 by year).
  static QString ReportStatement(int grouping, const QDate& start, const QDate& end);

 private:
  void DSSetDataChange();
  bool refreshing_ = false;
  QPointer<QFrame> form_;
};

extern TfmGradient* fmGradient;
