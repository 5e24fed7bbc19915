#include "settings/fWeb.h"

#include "widgets/PagePanel.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>

#include "monitor/CPKeyHook.h"
#include "monitor/CPMouseHook.h"
#include "monitor/RunState.h"
#include "platform/autostart/Autostart.h"
#include "platform/core/Services.h"
#include "platform/db/DataSet.h"
#include "settings/SettingsStore.h"
#include "stats/DM.h"
#include "stats/Recorder.h"

TfmWebStyle* fmWebStyle = nullptr;

namespace {

const QString kSmartScheme = QStringLiteral("智能模式");
const QString kTitle = QStringLiteral("提示");
const QColor kPageColor(0xD9, 0xE8, 0xF0);
const QColor kBadgeFill(0x40, 0xAD, 0xE1);
const QColor kBadgeBorder(0x1C, 0x82, 0xB3);
const QColor kBarFill(0x1B, 0x7A, 0xA9);
const QColor kBarBorder(0x40, 0xAD, 0xE1);
const QColor kBoxFill(0xF4, 0xF9, 0xFD);
const QColor kBoxBorder(0x30, 0x9F, 0xD6);

// The controls' own font: 宋体, 12 pixels, black.
QFont SongFont(int pixels = 12, bool bold = false) {
  QFont f(QStringLiteral("宋体"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

void Black(QWidget* w) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::WindowText, Qt::black);
  pal.setColor(QPalette::Text, Qt::black);
  pal.setColor(QPalette::ButtonText, Qt::black);
  w->setPalette(pal);
}

template <class W>
W* Named(W* w, const char* name) {
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, int x, int y,
                  bool bold = false, int pixels = 12, int width = 0) {
  auto* l = Named(new QLabel(caption, parent), name);
  l->setFont(SongFont(pixels, bold));
  Black(l);
  l->move(x, y);
  l->adjustSize();
  if (width > 0) l->resize(width, l->height());
  return l;
}

TShape* MakeBadge(QWidget* parent, const char* name, int x, int y, int w) {
  auto* s = Named(new TShape(TShape::Kind::RoundRect, parent), name);
  s->SetBrushColor(kBadgeFill);
  s->SetPenColor(kBadgeBorder);
  s->setGeometry(x, y, w, 18);
  return s;
}

TShape* MakeBar(QWidget* parent, const char* name, int x, int y, int w) {
  auto* s = Named(new TShape(TShape::Kind::Rectangle, parent), name);
  s->SetBrushColor(kBarFill);
  s->SetPenColor(kBarBorder);
  s->setGeometry(x, y, w, 3);
  return s;
}

TPickEdit* MakePick(QWidget* parent, const char* name, TPickEdit::Mode mode, int x, int y, int w,
                    const QStringList& items, TStyleController* style) {
  auto* e = Named(new TPickEdit(mode, parent), name);
  e->SetItems(items);
  e->setGeometry(x, y, w, 21);
  e->setFont(SongFont());
  Black(e);
  e->SetStyleController(style);
  return e;
}

TCheckEdit* MakeCheck(QWidget* parent, const char* name, const QString& caption, int x, int y,
                      int w, TStyleController* style) {
  auto* c = Named(new TCheckEdit(caption, parent), name);
  c->setFont(SongFont());
  // A caption wider than its box in this font still shows whole.
  c->setGeometry(x, y, std::max(w, c->sizeHint().width()), 21);
  Black(c);
  c->SetStyleController(style);
  return c;
}

QToolButton* MakeSpeedButton(QWidget* parent, const char* name, int x, int y) {
  auto* b = Named(new QToolButton(parent), name);
  b->setText(QStringLiteral("测试"));
  b->setAutoRaise(true);  // flat
  b->setFocusPolicy(Qt::NoFocus);
  b->setGeometry(x, y, 39, 20);
  b->setFont(SongFont());
  Black(b);
  return b;
}

// Minutes as the interval fields take them: an optional sign and decimal digits
// that fit a signed 32-bit integer.
bool ParseInt32(const QString& text, qint64& value) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  if (i == text.size()) return false;
  qint64 v = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') return false;
    v = v * 10 + (c - u'0');
    if (v > qint64(2147483648)) return false;
  }
  v = negative ? -v : v;
  if (v > 2147483647 || v < -qint64(2147483648)) return false;
  value = v;
  return true;
}

bool DefaultAskYesNo(const QString& title, const QString& text) {
  QWidget* parent = fmWebStyle ? fmWebStyle->pnForm->window() : nullptr;
  if (parent && !parent->isVisible()) parent = nullptr;
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace

QString TOpenDialog::ToolkitFilter() const {
  const QStringList parts = Filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i];
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    // The toolkit reads the patterns from the last parentheses of the text.
    if (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
      filters << description;
    else
      filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  if (parts.size() == 1 && !parts[0].isEmpty()) filters << parts[0];
  return filters.join(QStringLiteral(";;"));
}

bool TOpenDialog::Execute(QWidget* parent) {
  if (Runner) return Runner(*this);
  const QString chosen =
      QFileDialog::getOpenFileName(parent, QString(), QString(), ToolkitFilter());
  if (chosen.isEmpty()) return false;
  FileName = chosen;
  return true;
}

TfmWebStyle::TfmWebStyle(QWidget* parent)
    : QWidget(parent), pnForm(new QFrame(this)), TimerSave(5000, true), AskYesNo(DefaultAskYesNo) {
  setWindowTitle(QStringLiteral("fmWebStyle"));
  StyleController = new TStyleController(this);
  StyleController->setObjectName(QStringLiteral("StyleController"));
  OpenDialog.Filter = QStringLiteral("波形文件(*.Wav)|*.Wav");
  CreateControls();
  SetTabOrder();
  BindHandlers();
  TimerSave.OnTimer = [this](platform::Timer&) { TimerSaveTimer(); };
}

TfmWebStyle::~TfmWebStyle() {
  if (CounterLabels == this) CounterLabels = nullptr;
  if (RestEngine && RestEngine->Settings() == this) RestEngine->SetSettings(nullptr);
}

void TfmWebStyle::CreateControls() {
  SetupPagePanel(pnForm, kPageColor);
  QWidget* p = pnForm;

  // Decoration first, so that everything else lies above it.
  Shape1 = MakeBadge(p, "Shape1", 10, 8, 78);
  Shape2 = MakeBar(p, "Shape2", 94, 17, 512);
  Shape3 = MakeBadge(p, "Shape3", 10, 114, 73);
  Shape4 = MakeBar(p, "Shape4", 89, 123, 256);
  Shape6 = MakeBadge(p, "Shape6", 10, 224, 70);
  Shape5 = MakeBar(p, "Shape5", 89, 232, 256);
  Shape7 = MakeBadge(p, "Shape7", 370, 233, 66);
  Shape8 = MakeBar(p, "Shape8", 453, 241, 126);
  Shape9 = MakeBar(p, "Shape9", 56, 333, 550);
  Shape10 = Named(new TShape(TShape::Kind::RoundRect, p), "Shape10");
  Shape10->SetBrushColor(kBoxFill);
  Shape10->SetPenColor(kBoxBorder);
  Shape10->SetPenWidth(2);
  Shape10->setGeometry(376, 32, 217, 185);
  Image1 = Named(new QLabel(p), "Image1");
  Image1->setGeometry(424, 40, 32, 32);
  Image1->setScaledContents(true);
  QIcon icon(platform::GetSystem().ExeDir() + QStringLiteral("/Eyes 2.ico"));
  if (icon.isNull()) icon = QApplication::windowIcon();
  if (!icon.isNull()) Image1->setPixmap(icon.pixmap(32, 32));

  // Setting controls.
  const QStringList minutes = {"15", "30", "45", "60", "75", "90", "120"};
  PickEdit4 = MakePick(p, "PickEdit4", TPickEdit::Mode::FreeText, 106, 34, 79,
                       {"12", "14", "15", "17", "19", "20", "21"}, StyleController);
  PickEdit4->setToolTip(QStringLiteral("用计算鼠标运行长度的一个条件"));
  CheckEdit2 =
      MakeCheck(p, "CheckEdit2", QStringLiteral("统计键盘击键次数"), 19, 60, 121, StyleController);
  CheckEdit3 =
      MakeCheck(p, "CheckEdit3", QStringLiteral("统计鼠标运动长度"), 174, 58, 121, StyleController);
  CheckEdit1 = MakeCheck(p, "CheckEdit1", QStringLiteral("随系统启动自动运行"), 19, 86, 121,
                         StyleController);
  CheckEdit7 = MakeCheck(p, "CheckEdit7", QStringLiteral("强制休息"), 174, 83, 83, StyleController);
  PickEdit3 = MakePick(p, "PickEdit3", TPickEdit::Mode::PickOnly, 85, 142, 120,
                       {QStringLiteral("智能模式"), QStringLiteral("手动设置")}, StyleController);
  edOccupation = MakePick(p, "edOccupation", TPickEdit::Mode::PickOnly, 210, 142, 120,
                          {QStringLiteral("儿童"), QStringLiteral("少年"), QStringLiteral("青年"),
                           QStringLiteral("中年"), QStringLiteral("老年")},
                          StyleController);
  edState =
      MakePick(p, "edState", TPickEdit::Mode::FreeText, 85, 167, 59, minutes, StyleController);
  edState->SetAutoSelect(false);
  PickEdit1 =
      MakePick(p, "PickEdit1", TPickEdit::Mode::FreeText, 85, 192, 59, minutes, StyleController);
  PickEdit1->SetAutoSelect(false);
  CheckEdit6 =
      MakeCheck(p, "CheckEdit6", QStringLiteral("气泡提示"), 21, 251, 100, StyleController);
  CheckEdit4 =
      MakeCheck(p, "CheckEdit4", QStringLiteral("系统托盘动画"), 19, 275, 100, StyleController);
  CheckEdit5 = MakeCheck(p, "CheckEdit5", QStringLiteral("声音提示"), 19, 301, 83, StyleController);
  ButtonEdit1 = Named(new TButtonEdit(p), "ButtonEdit1");
  ButtonEdit1->setGeometry(174, 301, 161, 21);
  ButtonEdit1->setFont(SongFont());
  Black(ButtonEdit1);
  ButtonEdit1->SetStyleController(StyleController);
  Memo1 = Named(new TMemo(p), "Memo1");
  Memo1->setGeometry(389, 259, 189, 65);
  Memo1->setFont(SongFont());
  Black(Memo1);
  Memo1->SetStyleController(StyleController);

  // Buttons.
  SpeedButton1 = MakeSpeedButton(p, "SpeedButton1", 136, 251);
  SpeedButton2 = MakeSpeedButton(p, "SpeedButton2", 136, 275);
  SpeedButton3 = MakeSpeedButton(p, "SpeedButton3", 337, 301);
  btnigreen = Named(new TBitBtn(TBitBtn::Kind::Ignore, QStringLiteral("应用"), p), "btnigreen");
  btnigreen->setGeometry(440, 344, 75, 25);
  btnigreen->setEnabled(false);
  btnClose = Named(new TBitBtn(TBitBtn::Kind::Close, QStringLiteral("最小化"), p), "btnClose");
  btnClose->setGeometry(526, 344, 75, 25);

  // Labels.
  Label2 = MakeLabel(p, "Label2", QStringLiteral("基础设置"), 26, 11, true);
  Label18 = MakeLabel(p, "Label18", QStringLiteral("显示器尺寸"), 19, 39);
  Label19 = MakeLabel(p, "Label19", QStringLiteral("寸"), 209, 39);
  Label3 = MakeLabel(p, "Label3", QStringLiteral("间隔设置"), 21, 117, true);
  Label10 = MakeLabel(p, "Label10", QStringLiteral("间隔方案"), 19, 146);
  Label5 = MakeLabel(p, "Label5", QStringLiteral("每隔"), 19, 172);
  Label12 = MakeLabel(p, "Label12", QStringLiteral("分休息一次"), 151, 172);
  Label13 = MakeLabel(p, "Label13", QStringLiteral("每次休息"), 19, 196);
  Label14 = MakeLabel(p, "Label14", QStringLiteral("分"), 151, 196);
  Label6 = MakeLabel(p, "Label6", QStringLiteral("提示设置"), 19, 226, true);
  Label4 = MakeLabel(p, "Label4", QStringLiteral("选择提示音"), 110, 305);
  Label7 = MakeLabel(p, "Label7", QStringLiteral("提示文字"), 378, 236, true);
  Label15 = MakeLabel(p, "Label15", QStringLiteral("本次统计"), 478, 49, true, 15);
  // The figures are rewritten while the program runs: room up to the frame.
  constexpr int kFigureWidth = 110;
  Label8 = MakeLabel(p, "Label8", QStringLiteral("离休息时间"), 402, 87);
  Label1 = MakeLabel(p, "Label1", QStringLiteral("0.00"), 478, 86, false, 12, kFigureWidth);
  Label9 = MakeLabel(p, "Label9", QStringLiteral("键盘点击"), 414, 107);
  labKey = MakeLabel(p, "labKey", QStringLiteral("0 次"), 478, 106, false, 12, kFigureWidth);
  Label16 = MakeLabel(p, "Label16", QStringLiteral("鼠标点击"), 414, 127);
  labMouse = MakeLabel(p, "labMouse", QStringLiteral("0 次"), 478, 126, false, 12, kFigureWidth);
  Label17 = MakeLabel(p, "Label17", QStringLiteral("鼠标移动"), 414, 148);
  labMove = MakeLabel(p, "labMove", QStringLiteral("0 米"), 478, 147, false, 12, kFigureWidth);
  Label11 = MakeLabel(p, "Label11", QStringLiteral("累计使用时间"), 390, 168);
  Label20 = MakeLabel(p, "Label20", QStringLiteral("0 分"), 478, 167, false, 12, kFigureWidth);
  Label21 = MakeLabel(p, "Label21", QStringLiteral("累计休息时间"), 390, 189);
  Label22 = MakeLabel(p, "Label22", QStringLiteral("0 分"), 478, 188, false, 12, kFigureWidth);
}

void TfmWebStyle::SetTabOrder() {
  QWidget* order[] = {edOccupation, edState,    CheckEdit1, CheckEdit2, CheckEdit3, PickEdit1,
                      ButtonEdit1,  Memo1,      PickEdit3,  btnigreen,  btnClose,   PickEdit4,
                      CheckEdit4,   CheckEdit5, CheckEdit6, CheckEdit7};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i)
    QWidget::setTabOrder(order[i], order[i + 1]);
}

void TfmWebStyle::BindHandlers() {
  edOccupation->OnChange = [this] { edOccupationChange(); };
  PickEdit3->OnChange = [this] { PickEdit3Change(); };
  edState->OnChange = [this] { edStateChange(); };
  PickEdit1->OnChange = [this] { PickEdit1Change(); };
  CheckEdit2->OnChange = [this] { CheckEdit2Change(); };
  CheckEdit3->OnChange = [this] { CheckEdit3Change(); };
  CheckEdit1->OnChange = [this] { CheckEdit1Change(); };
  ButtonEdit1->OnChange = [this] { ButtonEdit1Change(); };
  Memo1->OnChange = [this] { Memo1Change(); };
  PickEdit4->OnChange = [this] { PickEdit4Change(); };
  CheckEdit4->OnChange = [this] { CheckEdit4Change(); };
  CheckEdit5->OnChange = [this] { CheckEdit5Change(); };
  CheckEdit6->OnChange = [this] { CheckEdit6Change(); };
  CheckEdit7->OnChange = [this] { CheckEdit7Change(); };
  ButtonEdit1->OnButtonClick = [this] { ButtonEdit1ButtonClick(); };
  // Clicks arrive through the toolkit's signals: errors are reported here
  // rather than thrown through it.
  const auto bind = [this](QAbstractButton* b, void (TfmWebStyle::*handler)()) {
    connect(b, &QAbstractButton::clicked, this,
            [this, handler] { platform::Guard([this, handler] { (this->*handler)(); }); });
  };
  bind(btnigreen, &TfmWebStyle::btnigreenClick);
  bind(SpeedButton1, &TfmWebStyle::SpeedButton1Click);
  bind(SpeedButton2, &TfmWebStyle::SpeedButton2Click);
  bind(SpeedButton3, &TfmWebStyle::SpeedButton3Click);
}

void TfmWebStyle::Written(const QString& column, const QString& value) {
  WriteSetting(column, value);
  btnigreen->setEnabled(true);
}

bool TfmWebStyle::IsIntervalNumber(const QString& text) {
  qint64 v = 0;
  return ParseInt32(text, v) && v != -1;
}

void TfmWebStyle::edOccupationChange() {
  Written(QStringLiteral("Age"), edOccupation->Text());
}

void TfmWebStyle::PickEdit3Change() {
  const QString scheme = PickEdit3->Text();
  Written(QStringLiteral("HintInterval"), scheme);
  const bool smart = scheme == kSmartScheme;
  edState->setEnabled(!smart);
  PickEdit1->setEnabled(!smart);
  edOccupation->setEnabled(smart);
}

void TfmWebStyle::edStateChange() {
  const QString text = edState->Text();
  if (!IsIntervalNumber(text)) return;
  Written(QStringLiteral("EachRestTime"), text);
}

void TfmWebStyle::PickEdit1Change() {
  const QString text = PickEdit1->Text();
  if (!IsIntervalNumber(text)) return;
  Written(QStringLiteral("RestTime"), text);
}

void TfmWebStyle::CheckEdit2Change() {
  const bool on = CheckEdit2->Checked();
  Written(QStringLiteral("IsStatKey"), BoolText(on));
  if (KeyHook) on ? KeyHook->Start() : KeyHook->Stop();
}

void TfmWebStyle::CheckEdit3Change() {
  const bool on = CheckEdit3->Checked();
  Written(QStringLiteral("IsStatMouse"), BoolText(on));
  if (MouseHook) on ? MouseHook->Start() : MouseHook->Stop();
}

void TfmWebStyle::CheckEdit1Change() {
  const bool on = CheckEdit1->Checked();
  Written(QStringLiteral("IsAotuRun"), BoolText(on));
  on ? AutoRunOn() : AutoRunOff();
}

void TfmWebStyle::ButtonEdit1Change() {
  Written(QStringLiteral("SoundPath"), ButtonEdit1->Text());
}

void TfmWebStyle::Memo1Change() {
  Written(QStringLiteral("HimtText"), Memo1->Text());
}

void TfmWebStyle::PickEdit4Change() {
  Written(QStringLiteral("LCDSize"), PickEdit4->Text());
}

void TfmWebStyle::CheckEdit4Change() {
  Written(QStringLiteral("EidolonHint"), BoolText(CheckEdit4->Checked()));
}

void TfmWebStyle::CheckEdit5Change() {
  Written(QStringLiteral("SoundHint"), BoolText(CheckEdit5->Checked()));
}

void TfmWebStyle::CheckEdit6Change() {
  Written(QStringLiteral("BladderHint"), BoolText(CheckEdit6->Checked()));
}

void TfmWebStyle::CheckEdit7Change() {
  Written(QStringLiteral("ForceRest"), BoolText(CheckEdit7->Checked()));
}

TRestEngine& TfmWebStyle::Engine() {
  if (!RestEngine) throw platform::Error(QStringLiteral("计时功能尚未启动。"));
  return *RestEngine;
}

void TfmWebStyle::btnigreenClick() {
  btnigreen->setEnabled(false);
  if (!AskYesNo(QStringLiteral("设置已改变"), QStringLiteral("是否开始一次新的计时？"))) return;
  TRestEngine& engine = Engine();
  const QString minutes = engine.WorkIntervalMinutes();
  engine.Host().ShowBalloon(
      kTitle, QStringLiteral("离下一次休息还剩：") + minutes + QStringLiteral("分钟."),
      TRestEngine::kBalloonInfo, TRestEngine::kBalloonSeconds);
  RunState.IsWorking = true;
}

void TfmWebStyle::ButtonEdit1ButtonClick() {
  if (OpenDialog.Execute(pnForm->window())) ButtonEdit1->SetText(OpenDialog.FileName);
}

void TfmWebStyle::SpeedButton1Click() {
  Engine().Host().ShowBalloon(
      kTitle, Memo1->Text() + QStringLiteral("\r") + QStringLiteral("请您休息：15分钟."),
      TRestEngine::kBalloonInfo, TRestEngine::kBalloonSeconds);
}

void TfmWebStyle::SpeedButton2Click() {
  TRestEngine& engine = Engine();
  engine.StartRestAnimation();
  const std::uint32_t start = platform::GetTickCount();
  engine.Host().ShowBalloon(kTitle, QStringLiteral("当您休息的时间，这里就播放动画."),
                            TRestEngine::kBalloonInfo, TRestEngine::kBalloonSeconds);
  {
    // Everything goes on during the wait (timers, hook messages, clicks, a
    // further test); the wake-up lets it look at the clock without spinning.
    QTimer wake;
    wake.start(20);
    while (static_cast<std::uint32_t>(platform::GetTickCount() - start) < 10000u)
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  engine.StopRestAnimation();
}

void TfmWebStyle::SpeedButton3Click() {
  Engine().PlayReminderSound();
}

void TfmWebStyle::TimerSaveTimer() {
  SaveTodayStat();
  if (RestEngine) RestEngine->IdleCheck();
}

void TfmWebStyle::SaveTodayStat() {
  stats::SaveTodayStat();
}

int TfmWebStyle::SmartWorkMinutes() {
  return RestEngine ? RestEngine->SmartWorkMinutes() : 0;
}

void TfmWebStyle::LoadSettings() {
  // Without a data module (a main window tried on its own) there is no row to
  // read; a data module whose database cannot be read fails below.
  if (!FrmDM) return;
  // Freed on every way out, also when a column is missing.
  platform::DataSet query(&FrmDM->ADOConnection);
  query.SetCommandText(QStringLiteral("select * from setting"));
  query.Open();
  query.First();
  const auto text = [&](const char* column) {
    return query.FieldByName(QString::fromLatin1(column)).AsString();
  };
  const auto flag = [&](const char* column) {
    return query.FieldByName(QString::fromLatin1(column)).AsBoolean();
  };
  edOccupation->SetText(text("Age"));
  PickEdit3->SetText(text("HintInterval"));
  CheckEdit2->SetChecked(flag("IsStatKey"));
  CheckEdit3->SetChecked(flag("IsStatMouse"));
  CheckEdit1->SetChecked(flag("IsAotuRun"));
  edState->SetText(text("EachRestTime"));
  PickEdit1->SetText(text("RestTime"));
  ButtonEdit1->SetText(text("SoundPath"));
  PickEdit4->SetText(text("LCDSize"));
  CheckEdit4->SetChecked(flag("EidolonHint"));
  CheckEdit6->SetChecked(flag("BladderHint"));
  CheckEdit5->SetChecked(flag("SoundHint"));
  CheckEdit7->SetChecked(flag("ForceRest"));
  Memo1->SetText(text("HimtText"));
  query.Close();
}

void TfmWebStyle::AutoRunOn() {
  try {
    platform::AutostartStore& store = platform::GetAutostart();
    if (store.Read(AutoRunName()) != platform::GetSystem().ExePath()) WriteAutoRunPath();
  } catch (...) {
    // Autostart errors are dropped: the box keeps saying on.
  }
}

void TfmWebStyle::WriteAutoRunPath() {
  try {
    platform::GetAutostart().Write(AutoRunName(), platform::GetSystem().ExePath());
  } catch (...) {
  }
}

void TfmWebStyle::AutoRunOff() {
  try {
    platform::GetAutostart().Delete(AutoRunName());
  } catch (...) {
  }
}
