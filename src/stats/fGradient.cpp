#include "stats/fGradient.h"

#include "widgets/PagePanel.h"

#include <cmath>
#include <limits>

#include "monitor/Counters.h"
#include "platform/core/Clock.h"
#include "platform/core/Errors.h"
#include "reminder/RestEngine.h"
#include "stats/DM.h"

TfmGradient* fmGradient = nullptr;

namespace {

const QColor kPanelColour(0xD9, 0xE8, 0xF0);
const QColor kPickColour(0xF4, 0xF9, 0xFD);

QFont EditorFont() {
  QFont f(QStringLiteral("宋体"));
  f.setPixelSize(12);
  return f;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QLatin1String(name));
  l->setGeometry(x, y, 12, 12);
  l->setFont(EditorFont());
  l->setAttribute(Qt::WA_TranslucentBackground);
  l->setAutoFillBackground(false);
  QPalette pal = l->palette();
  pal.setColor(QPalette::WindowText, Qt::black);
  l->setPalette(pal);
  return l;
}

// Hours, minutes and seconds as the rest engine shows them, also for a sum too
// large for its 32-bit seconds.
QString HmsText(double seconds) {
  const double whole = platform::RoundHalfEven(seconds);
  if (whole >= std::numeric_limits<std::int32_t>::min() &&
      whole <= std::numeric_limits<std::int32_t>::max())
    return TRestEngine::FormatHms(static_cast<std::int32_t>(whole));
  if (!std::isfinite(whole)) return QString();
  const auto s = static_cast<long long>(whole);
  return QString::number(s / 3600) + QStringLiteral(" 时 ") + QString::number(s / 60 % 60) +
         QStringLiteral(" 分 ") + QString::number(s % 60) + QStringLiteral(" 秒");
}

struct Grouping {
  const char* select;
  const char* group;
  const char* order;
};

const Grouping kGroupings[] = {
    {"select         format(date,'yyyy-mm-dd') as cdate,        sum(ckey) as ckey,sum(cmouse) "
     "as CMouse,        sum(movemouse) as MoveMouse,sum(activetime) as activetime,sum(resttime) "
     "as resttime from Stat where Date>=#",
     "       format(date,'yyyy-mm-dd') ", "       format(date,'yyyy-mm-dd') DESC"},
    {"select         format(date,'yyyy-mm') as cdate,        sum(ckey) as ckey,sum(cmouse) as "
     "CMouse,        sum(movemouse) as MoveMouse,sum(activetime) as activetime,sum(resttime) as "
     "resttime from Stat where Date>=#",
     "       format(date,'yyyy-mm') ", "       format(date,'yyyy-mm') DESC"},
    {"select         cstr(year(date)) as cdate,        sum(ckey) as ckey,sum(cmouse) as CMouse,"
     "        sum(movemouse) as MoveMouse,sum(activetime) as activetime,sum(resttime) as "
     "resttime from Stat where Date>=#",
     "       cstr(year(date)) ", "       cstr(year(date)) DESC"},
};

}  // namespace

TfmGradient::TfmGradient(QWidget* parent)
    : QWidget(parent),
      pnForm(new QFrame(this)),
      AdoSet(FrmDM ? &FrmDM->ADOConnection : nullptr),
      form_(pnForm) {
  setObjectName(QStringLiteral("fmGradient"));
  setWindowTitle(QStringLiteral("fmGradient"));
  SetupPagePanel(pnForm, kPanelColour);

  Label14 = MakeLabel(pnForm, "Label14", QStringLiteral("从"), 23, 28);
  DateEdit1 = new TDateEdit(pnForm);
  DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
  DateEdit1->setGeometry(40, 24, 121, DateEdit1->height());
  Label1 = MakeLabel(pnForm, "Label1", QStringLiteral("到"), 170, 28);
  DateEdit2 = new TDateEdit(pnForm);
  DateEdit2->setObjectName(QStringLiteral("DateEdit2"));
  DateEdit2->setGeometry(192, 24, 121, DateEdit2->height());
  PickEdit3 = new TPickEdit(TPickEdit::Mode::PickOnly, pnForm);
  PickEdit3->setObjectName(QStringLiteral("PickEdit3"));
  PickEdit3->setGeometry(357, 22, 120, PickEdit3->height());
  PickEdit3->SetItems(
      {QStringLiteral("按天统计"), QStringLiteral("按月统计"), QStringLiteral("按年统计")});
  PickEdit3->SetDropDownRows(10);
  for (TDateEdit* d : {DateEdit1, DateEdit2}) {
    d->setFont(EditorFont());
    d->SetColor(kPanelColour);
  }
  PickEdit3->setFont(EditorFont());
  PickEdit3->SetColor(kPickColour);

  BitBtn1 = new TBitBtn(TBitBtn::Kind::OK, QStringLiteral("确定"), pnForm);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(496, 19, 75, 26);

  DBGrid1 = new TDataGrid(pnForm);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  DBGrid1->setGeometry(16, 56, 593, 313);
  auto fieldText = [this](const char* field) {
    return [this, field](const QVariant& v) {
      platform::Field* f = AdoSet.FindField(QLatin1String(field));
      return f ? f->DisplayTextFor(v) : widgets::PlainText(v);
    };
  };
  QList<TGridColumn> columns;
  const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
  columns.append({QStringLiteral("时间"), QStringLiteral("cdate"), 95, right, {}, false, {}});
  columns.append({QStringLiteral("键盘点击"), QStringLiteral("ckey"), 65, right, {}, true, {}});
  columns.append({QStringLiteral("鼠标点击"), QStringLiteral("CMouse"), 71, right, {}, true, {}});
  columns.append({QStringLiteral("鼠标移动 (米)"), QStringLiteral("MoveMouse"), 116, right,
                  fieldText("MoveMouse"), true,
                  [](double pixels) { return widgets::FormatWhole(pixels * MetresPerPixel(17)); }});
  columns.append({QStringLiteral("累计使用时间"),
                  QStringLiteral("activetime"),
                  117,
                  right,
                  fieldText("activetime"),
                  false,
                  {}});
  columns.append({QStringLiteral("累计休息时间"),
                  QStringLiteral("resttime"),
                  113,
                  right,
                  fieldText("resttime"),
                  false,
                  {}});
  DBGrid1->SetColumns(columns);

  setTabOrder(DateEdit1, DateEdit2);
  setTabOrder(DateEdit2, PickEdit3);
  setTabOrder(PickEdit3, BitBtn1);
  setTabOrder(BitBtn1, DBGrid1);

  // The report's fields, declared by name and type: the statement must bring them.
  AdoSet.AddField(QStringLiteral("cdate"), platform::FieldType::Text, 255);
  AdoSet.AddField(QStringLiteral("ckey"), platform::FieldType::Float);
  AdoSet.AddField(QStringLiteral("CMouse"), platform::FieldType::Float);
  AdoSet.AddField(QStringLiteral("MoveMouse"), platform::FieldType::Float).OnGetText =
      [this](platform::Field& s, QString& t, bool d) { AdoSetMoveMouseGetText(s, t, d); };
  for (const char* name : {"activetime", "resttime"})
    AdoSet.AddField(QLatin1String(name), platform::FieldType::Float).OnGetText =
        [this](platform::Field& s, QString& t, bool d) { AdoSetactivetimeGetText(s, t, d); };
  DSSet.OnDataChange = [this] { DSSetDataChange(); };
  DSSet.SetDataSet(&AdoSet);

  // A click's error goes to the default handler here, not through the toolkit.
  connect(BitBtn1, &QPushButton::clicked, this,
          [this] { platform::Guard([this] { BitBtn1Click(); }); });
  FormCreate();
}

TfmGradient::~TfmGradient() {
  // The panel may live in the main window's page host by now: it goes with the
  // page, and the data set no longer tells a grid that may be gone.
  DSSet.OnDataChange = nullptr;
  DSSet.SetDataSet(nullptr);
  delete form_.data();
}

void TfmGradient::SetStyleController(TStyleController* style) {
  DateEdit1->SetStyleController(style);
  DateEdit2->SetStyleController(style);
  PickEdit3->SetStyleController(style);
}

void TfmGradient::FormCreate() {
  const QDate today = platform::GetClock().Now().date();
  DateEdit2->SetDate(today);
  // Qt keeps the day of the month, or takes the shorter month's last day.
  DateEdit1->SetDate(today.addMonths(-1));
  PickEdit3->SetText(PickEdit3->Items().first());
}

QString TfmGradient::ReportStatement(int grouping, const QDate& start, const QDate& end) {
  const Grouping& g = kGroupings[grouping < 0 || grouping > 2 ? 0 : grouping];
  const QString s = start.toString(QStringLiteral("yyyy-MM-dd"));
  const QString e = end.addDays(1).toString(QStringLiteral("yyyy-MM-dd"));
  return QString::fromUtf8(g.select) + s + QStringLiteral("# ") +
         QStringLiteral("       and Date<=#") + e + QStringLiteral("# ") +
         QStringLiteral("group by  ") + QString::fromUtf8(g.group) + QStringLiteral("order by  ") +
         QString::fromUtf8(g.order);
}

void TfmGradient::BitBtn1Click() {
  const QString sql = ReportStatement(PickEdit3->ItemIndex(), DateEdit1->Date(), DateEdit2->Date());
  AdoSet.Close();
  if (!AdoSet.GetConnection() && FrmDM) AdoSet.SetConnection(&FrmDM->ADOConnection);
  AdoSet.SetCommandText(sql);
  AdoSet.Open();
}

void TfmGradient::AdoSetactivetimeGetText(platform::Field& Sender, QString& Text, bool) {
  Text = HmsText(Sender.AsFloat());
}

void TfmGradient::AdoSetMoveMouseGetText(platform::Field& Sender, QString& Text, bool) {
  const double metres = platform::RoundHalfEven(Sender.AsFloat()) * MetresPerPixel(17);
  Text = QString::number(metres, 'f', 2);
}

void TfmGradient::DSSetDataChange() {
  // Reading the rows moves the data set, which tells us again: once is enough.
  if (refreshing_) return;
  refreshing_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{refreshing_};
  if (!AdoSet.Active()) {
    DBGrid1->Clear();
    return;
  }
  if (AdoSet.GetState() != platform::DataSet::State::Browse) return;
  TGridData data;
  for (int i = 0; i < AdoSet.FieldCount(); ++i) data.Fields << AdoSet.Fields(i).FieldName();
  const int at = AdoSet.RecNo();
  for (AdoSet.First(); !AdoSet.Eof(); AdoSet.Next()) {
    QVariantList row;
    for (int i = 0; i < AdoSet.FieldCount(); ++i) row << AdoSet.Fields(i).AsVariant();
    data.Rows << row;
  }
  if (at > 0) AdoSet.MoveTo(at - 1);
  DBGrid1->SetData(data);
}
