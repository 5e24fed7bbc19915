#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <QTableView>
#include <QVariant>
#include <QWidget>
#include <functional>

// Rows of values under named fields: what a query hands to a grid. Field names
// are matched without regard to case.
struct TGridData {
  QStringList Fields;
  QList<QVariantList> Rows;
  int FieldIndex(const QString& name) const;
};

// One column of a data grid.
struct TGridColumn {
  QString Caption;
  QString FieldName;
  // Design width; the columns share the grid's width in proportion to these.
  int Width = 64;
  Qt::Alignment Alignment = Qt::AlignRight | Qt::AlignVCenter;
  // Cell text for a value; empty: the value's plain text (a whole number
  // without a decimal point).
  std::function<QString(const QVariant&)> GetText;
  // Whether the footer shows the column's total, and how the total reads
  // (empty: the sum as a whole number, format "0").
  bool FooterSum = false;
  std::function<QString(double sum)> FooterText;
};

namespace widgets {

// The plain text of a value: numbers as decimals without trailing zeros.
QString PlainText(const QVariant& v);
// A number rounded to a whole number (halves away from zero), without a point.
QString FormatWhole(double v);

class GridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  void Reset(const QList<TGridColumn>* columns, const TGridData* data);
  QString Text(int row, int column) const;

 private:
  const QList<TGridColumn>* columns_ = nullptr;
  const TGridData* data_ = nullptr;
  QList<int> fieldOf_;  // per column: index into data_->Fields, -1 when missing
};

class GridFooter;

}  // namespace widgets

// Data grid with a footer row of column totals: no border, flat, no scroll
// bars, one header row, a click selects the whole row, read-only, columns
// stretched to the grid's width in proportion to their design widths.
class TDataGrid : public QWidget {
  Q_OBJECT
 public:
  explicit TDataGrid(QWidget* parent = nullptr);
  ~TDataGrid() override;

  void SetColumns(const QList<TGridColumn>& columns);
  const QList<TGridColumn>& Columns() const { return columns_; }
  // Replaces the rows shown (a closed data set shows as no rows at all).
  void SetData(const TGridData& data);
  void Clear();
  const TGridData& Data() const { return data_; }

  int RowCount() const { return data_.Rows.size(); }
  // The text shown in a cell; empty outside the grid or for a missing field.
  QString CellText(int row, int column) const;
  // The footer's text under a column (empty for a column without a total).
  QString FooterText(int column) const;
  // The raw total of a column's values (NULLs and non-numbers count as 0).
  double ColumnSum(int column) const;
  bool ShowFooter() const { return showFooter_; }
  void SetShowFooter(bool on);

  QTableView* View() const { return view_; }

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  friend class widgets::GridFooter;
  void Layout();
  void StretchColumns();
  QList<TGridColumn> columns_;
  TGridData data_;
  widgets::GridModel model_;
  QTableView* view_;
  widgets::GridFooter* footer_;
  bool showFooter_ = true;
};
