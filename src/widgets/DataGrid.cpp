#include "widgets/DataGrid.h"

#include <QHeaderView>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <cmath>

int TGridData::FieldIndex(const QString& name) const {
  for (int i = 0; i < Fields.size(); ++i)
    if (Fields[i].compare(name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

namespace widgets {

QString PlainText(const QVariant& v) {
  if (v.isNull() || !v.isValid()) return QString();
  switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
      const double d = v.toDouble();
      if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
        return QString::number(static_cast<qlonglong>(d));
      return QString::number(d, 'g', 15);
    }
    default:
      return v.toString();
  }
}

QString FormatWhole(double v) {
  if (!std::isfinite(v)) return QString::number(v);
  const double r = std::round(v);
  if (r == 0) return QStringLiteral("0");  // never "-0"
  return QString::number(r, 'f', 0);
}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !data_ ? 0 : data_->Rows.size();
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || !columns_ ? 0 : columns_->size();
}

void GridModel::Reset(const QList<TGridColumn>* columns, const TGridData* data) {
  beginResetModel();
  columns_ = columns;
  data_ = data;
  fieldOf_.clear();
  if (columns_ && data_)
    for (const TGridColumn& c : *columns_) fieldOf_ << data_->FieldIndex(c.FieldName);
  endResetModel();
}

QString GridModel::Text(int row, int column) const {
  if (!columns_ || !data_ || row < 0 || row >= data_->Rows.size() || column < 0 ||
      column >= columns_->size())
    return QString();
  const int f = fieldOf_.value(column, -1);
  const QVariantList& r = data_->Rows[row];
  const QVariant v = f >= 0 && f < r.size() ? r[f] : QVariant();
  const TGridColumn& c = (*columns_)[column];
  if (f < 0) return QString();
  return c.GetText ? c.GetText(v) : PlainText(v);
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return Text(index.row(), index.column());
  if (role == Qt::TextAlignmentRole && columns_)
    return QVariant::fromValue((*columns_)[index.column()].Alignment);
  return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal || !columns_ || section < 0 || section >= columns_->size()) return {};
  if (role == Qt::DisplayRole) return (*columns_)[section].Caption;
  return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;  // read-only
}

// The footer row: one cell per column, lined up with the header's sections.
class GridFooter : public QWidget {
 public:
  explicit GridFooter(TDataGrid* grid) : QWidget(grid), grid_(grid) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    QHeaderView* h = grid_->view_->horizontalHeader();
    const QColor line = palette().color(QPalette::Mid);
    p.setPen(line);
    p.drawLine(0, 0, width(), 0);
    for (int c = 0; c < grid_->columns_.size(); ++c) {
      const int x = h->sectionViewportPosition(c) + grid_->view_->viewport()->x();
      const QRect cell(x, 1, h->sectionSize(c), height() - 1);
      p.setPen(line);
      p.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
      p.setPen(palette().color(QPalette::ButtonText));
      p.drawText(cell.adjusted(3, 0, -4, 0), static_cast<int>(grid_->columns_[c].Alignment),
                 grid_->FooterText(c));
    }
  }

 private:
  TDataGrid* grid_;
};

}  // namespace widgets

TDataGrid::TDataGrid(QWidget* parent)
    : QWidget(parent), view_(new QTableView(this)), footer_(new widgets::GridFooter(this)) {
  view_->setFrameShape(QFrame::NoFrame);
  view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->verticalHeader()->setVisible(false);
  view_->verticalHeader()->setDefaultSectionSize(18);
  view_->horizontalHeader()->setHighlightSections(false);
  view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view_->setWordWrap(false);
  view_->setModel(&model_);
  connect(view_->horizontalHeader(), &QHeaderView::sectionResized, footer_,
          [this] { footer_->update(); });
  model_.Reset(&columns_, &data_);
}

TDataGrid::~TDataGrid() {
  view_->setModel(nullptr);
}

void TDataGrid::SetColumns(const QList<TGridColumn>& columns) {
  columns_ = columns;
  model_.Reset(&columns_, &data_);
  StretchColumns();
  footer_->update();
}

void TDataGrid::SetData(const TGridData& data) {
  data_ = data;
  model_.Reset(&columns_, &data_);
  StretchColumns();
  footer_->update();
}

void TDataGrid::Clear() {
  SetData(TGridData{});
}

QString TDataGrid::CellText(int row, int column) const {
  return model_.Text(row, column);
}

double TDataGrid::ColumnSum(int column) const {
  if (column < 0 || column >= columns_.size()) return 0.0;
  const int f = data_.FieldIndex(columns_[column].FieldName);
  if (f < 0) return 0.0;
  double sum = 0.0;
  for (const QVariantList& r : data_.Rows) {
    if (f >= r.size() || r[f].isNull()) continue;
    bool ok = false;
    const double v = r[f].toDouble(&ok);
    if (ok) sum += v;
  }
  return sum;
}

QString TDataGrid::FooterText(int column) const {
  if (column < 0 || column >= columns_.size() || !columns_[column].FooterSum) return QString();
  const double sum = ColumnSum(column);
  const TGridColumn& c = columns_[column];
  return c.FooterText ? c.FooterText(sum) : widgets::FormatWhole(sum);
}

void TDataGrid::SetShowFooter(bool on) {
  if (on == showFooter_) return;
  showFooter_ = on;
  Layout();
}

void TDataGrid::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Layout();
}

void TDataGrid::Layout() {
  const int footerHeight = showFooter_ ? view_->verticalHeader()->defaultSectionSize() + 1 : 0;
  view_->setGeometry(0, 0, width(), height() - footerHeight);
  footer_->setGeometry(0, height() - footerHeight, width(), footerHeight);
  footer_->setVisible(showFooter_);
  StretchColumns();
}

void TDataGrid::StretchColumns() {
  if (columns_.isEmpty()) return;
  int total = 0;
  for (const TGridColumn& c : columns_) total += std::max(1, c.Width);
  // The viewport's own size follows only once the view has handled its resize.
  const int avail = std::max(0, view_->width() - 2 * view_->frameWidth());
  int used = 0;
  for (int i = 0; i < columns_.size(); ++i) {
    int w =
        i + 1 == columns_.size()
            ? avail - used
            : static_cast<int>(std::lround(double(std::max(1, columns_[i].Width)) * avail / total));
    w = std::max(0, w);
    view_->horizontalHeader()->resizeSection(i, w);
    used += w;
  }
  footer_->update();
}
