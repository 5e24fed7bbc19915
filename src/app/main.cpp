#include "app/main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

#include "app/Pictures.h"
#include "monitor/Counters.h"
#include "monitor/RunState.h"
#include "platform/core/Services.h"
#include "reminder/RestEngine.h"
#include "settings/fWeb.h"
#include "stats/fGradient.h"

TMainForm* MainForm = nullptr;

namespace {

QFrame* MakePanel(QWidget* parent, const char* name) {
  auto* p = new QFrame(parent);
  p->setObjectName(QString::fromLatin1(name));
  p->setFrameShape(QFrame::NoFrame);
  return p;
}

QToolButton* MakeToolButton(QWidget* parent, const char* name, const QString& caption,
                            const QString& hint, const QIcon& picture) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setText(caption);
  b->setToolTip(hint);
  b->setIcon(picture);
  b->setIconSize(QSize(32, 32));
  b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  b->setAutoRaise(true);  // flat
  b->setFixedSize(66, 55);
  return b;
}

}  // namespace

TMainForm::TMainForm() : TimerHint(1000, true) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("Talvenor"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(630, 451);
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(11);
  setFont(font);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);

  // Toolbar.
  pnTop = MakePanel(this, "pnTop");
  pnTop->setGeometry(0, 0, 630, 64);
  BSample = MakeToolButton(pnTop, "BSample", QStringLiteral("设置"), QStringLiteral("基础设置"),
                           Pictures::Settings());
  BSample->move(8, 4);
  BWeb = MakeToolButton(pnTop, "BWeb", QStringLiteral("统计"),
                        QStringLiteral("键盘鼠标活动频率统计"), Pictures::Statistics());
  BWeb->move(8 + 66 + 8, 4);
  Bevel2 = MakePanel(pnTop, "Bevel2");
  Bevel2->setFrameShape(QFrame::VLine);
  Bevel2->setFrameShadow(QFrame::Sunken);
  Bevel2->setGeometry(BWeb->x() + 66 + 4, 4, 4, 55);
  BCustomize =
      MakeToolButton(pnTop, "BCustomize", QStringLiteral("帮助"), QString(), Pictures::Help());
  BCustomize->move(Bevel2->x() + 4 + 4, 4);
  for (QToolButton* b : {BSample, BWeb}) {
    b->setCheckable(true);
    pageGroup_.addButton(b, 10);
  }
  pageGroup_.setExclusive(true);
  BSample->setChecked(true);

  // Separator under the toolbar.
  pnSeparator = MakePanel(this, "pnSeparator");
  pnSeparator->setGeometry(0, 64, 630, 3);
  Panel1 = MakePanel(pnSeparator, "Panel1");
  Panel1->setGeometry(0, 0, 4, 3);
  Panel2 = MakePanel(pnSeparator, "Panel2");
  Panel2->setGeometry(626, 0, 4, 3);
  Bevel1 = MakePanel(pnSeparator, "Bevel1");
  Bevel1->setFrameShape(QFrame::HLine);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Bevel1->setGeometry(4, 0, 622, 3);

  // Page host inside its margins.
  pnParent1 = MakePanel(this, "pnParent1");
  pnParent1->setGeometry(0, 67, 630, 384);
  Panel3 = MakePanel(pnParent1, "Panel3");
  Panel3->setGeometry(0, 0, 630, 4);
  Panel4 = MakePanel(pnParent1, "Panel4");
  Panel4->setGeometry(0, 380, 630, 4);
  Panel5 = MakePanel(pnParent1, "Panel5");
  Panel5->setGeometry(0, 4, 4, 376);
  Panel6 = MakePanel(pnParent1, "Panel6");
  Panel6->setGeometry(626, 4, 4, 376);
  pnParent = MakePanel(pnParent1, "pnParent");
  pnParent->setGeometry(4, 4, 622, 376);

  // Tray menu.
  PopupMenu = new QMenu(this);
  PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
  N1 = PopupMenu->addAction(QStringLiteral("显示主窗口"));
  N2 = PopupMenu->addAction(QStringLiteral("重新开始计时"));
  N3 = PopupMenu->addAction(QStringLiteral("帮助"));
  N7 = PopupMenu->addSeparator();
  N6 = PopupMenu->addAction(QStringLiteral("统计说明"));
  N6->setToolTip(QStringLiteral("在浏览器中打开统计数据的说明"));
  N5 = PopupMenu->addSeparator();
  N4 = PopupMenu->addAction(QStringLiteral("退出"));
  N1->setObjectName(QStringLiteral("N1"));
  N2->setObjectName(QStringLiteral("N2"));
  N3->setObjectName(QStringLiteral("N3"));
  N4->setObjectName(QStringLiteral("N4"));
  N5->setObjectName(QStringLiteral("N5"));
  N6->setObjectName(QStringLiteral("N6"));
  N7->setObjectName(QStringLiteral("N7"));

  connect(BSample, &QToolButton::clicked, this, [this] { BSampleClick(); });
  connect(BWeb, &QToolButton::clicked, this, [this] { BWebClick(); });
  connect(BCustomize, &QToolButton::clicked, this, [this] { BCustomizeClick(); });
  connect(N1, &QAction::triggered, this, [this] { N1Click(); });
  connect(N2, &QAction::triggered, this, [this] { N2Click(); });
  connect(N3, &QAction::triggered, this, [this] { N3Click(); });
  connect(N4, &QAction::triggered, this, [this] { N4Click(); });
  connect(N6, &QAction::triggered, this, [this] { N6Click(); });

  for (int i = 0; i < 8; ++i) ImageList2.Add(Pictures::AnimationFrame(i));

  TimerHint.OnTimer = [this](platform::Timer&) { TimerHintTimer(); };

  // Tray icon: set up like a stored component, then loaded, which puts the
  // icon into the notification area.
  setWindowIcon(Pictures::ProgramIcon());
  TrayIcon = new TTrayIcon(this);
  TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
  TrayIcon->BeginLoading();
  TrayIcon->SetCycleInterval(400);
  TrayIcon->SetIcon(Pictures::ProgramIcon());
  TrayIcon->SetIconVisible(true);
  TrayIcon->SetIconIndex(0);
  TrayIcon->SetPopupMenu(PopupMenu);
  TrayIcon->SetMinimizeToTray(true);
  TrayIcon->OnDblClick = [this](TTrayIcon* s) { TrayIconDblClick(s); };
  TrayIcon->OnMouseMove = [this](TTrayIcon* s, TTrayIcon::TShiftState sh, int x, int y) {
    TrayIconMouseMove(s, sh, x, y);
  };
  TrayIcon->Loaded();

  engine_ = std::make_unique<TRestEngine>(RunState, *this, nullptr);
  RestEngine = engine_.get();

  // Centred on the desktop.
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect r = s->availableGeometry();
    move(r.center() - QPoint(width() / 2, height() / 2));
  }
  FormCreate();
}

TMainForm::~TMainForm() {
  // Freeing the hook components stops the hooks.
  if (KeyHook && KeyHook->parent() == this) delete KeyHook;
  if (MouseHook && MouseHook->parent() == this) delete MouseHook;
  if (RestEngine == engine_.get()) RestEngine = nullptr;
}

void TMainForm::ShowBalloon(const QString& title, const QString& text, int kind,
                            std::uint8_t seconds) {
  TrayIcon->ShowBalloon(title, text, static_cast<TBalloonIconKind>(kind), seconds);
}

void TMainForm::SetIconList(bool imageList2) {
  TrayIcon->SetIconList(imageList2 ? &ImageList2 : nullptr);
}

void TMainForm::SetCycleIcons(bool on) { TrayIcon->SetCycleIcons(on); }

void TMainForm::LoadIconFromFile(const QString& path) { TrayIcon->Icon().LoadFromFile(path); }

void TMainForm::ShowPage(QWidget* panel) {
  panel->setParent(pnParent);
  panel->move(0, 0);
  panel->setVisible(true);
  for (QObject* child : pnParent->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (w && w != panel && w->parent() == pnParent) w->setVisible(false);
  }
}

void TMainForm::BSampleClick() {
  if (fmWebStyle) ShowPage(fmWebStyle->pnForm);
}

void TMainForm::BWebClick() {
  if (fmGradient) ShowPage(fmGradient->pnForm);
}

void TMainForm::FormCreate() {
  MouseHook = new TCPMouseHook(this);
  MouseHook->SetUserHookMsg(1224);
  MouseHook->OnMouse = [this](QObject* Sender, TMouseStates AMouseStates) {
    MouseHookMouse(Sender, AMouseStates);
  };
  MouseHook->SetDisableMouse(false);
  KeyHook = new TCPKeyHook(this);
  KeyHook->SetUserHookMsg(1124);
  KeyHook->OnKey = [this](QObject* Sender, TKeyStates AKeyStates, TKeyNames AKeyNames) {
    KeyHookKey(Sender, AKeyStates, AKeyNames);
  };
  KeyHook->SetDisableKeyboard(false);
}

void TMainForm::MouseHookMouse(QObject*, TMouseStates AMouseStates) {
  ::MouseHookMouse(RunState, AMouseStates, Showing(), CounterLabels);
}

void TMainForm::KeyHookKey(QObject*, TKeyStates AKeyStates, TKeyNames) {
  ::KeyHookKey(RunState, AKeyStates, Showing(), CounterLabels);
}

void TMainForm::FormResize() {
  if (RunState.StartTick != 0) return;
  if (!platform::GetSystem().FontFamilies().contains(QStringLiteral("Tahoma"))) {
    UseDefaultFontName(this);
    if (fmGradient) UseDefaultFontName(fmGradient->pnForm);
    if (fmWebStyle) UseDefaultFontName(fmWebStyle->pnForm);
  }
  BSampleClick();
  if (fmWebStyle) fmWebStyle->LoadSettings();
  if (fmWebStyle) fmWebStyle->btnigreen->setEnabled(false);
  RestEngine->StartFirstWorkingPhase();
  RefreshTrayHint();
  if (fmWebStyle && fmWebStyle->CheckEdit2->Checked() && KeyHook) KeyHook->Start();
  if (fmWebStyle && fmWebStyle->CheckEdit3->Checked() && MouseHook) MouseHook->Start();
  RunState.StartTick = platform::GetTickCount();
}

void TMainForm::FormShow() {
  if (CounterLabels) CounterLabels->SetLabKey(CountText(RunState.KeyCount));
}

void TMainForm::BCustomizeClick() {
  platform::GetSystem().OpenUrl(HelpUrl());
}

void TMainForm::N1Click() {
  TrayIcon->RestoreMainWindow();
}

void TMainForm::TrayIconDblClick(TTrayIcon*) {
  TrayIcon->RestoreMainWindow();
}

void TMainForm::TrayIconMouseMove(TTrayIcon*, TTrayIcon::TShiftState, int, int) {
  TrayIcon->SetHint(TRestEngine::TrayHintText(RunState.CountdownMs));
}

void TMainForm::RefreshTrayHint() {
  const QString hint = TRestEngine::TrayHintText(RunState.CountdownMs);
  if (TrayIcon->Hint() != hint) TrayIcon->SetHint(hint);
}

void TMainForm::FormClose(QCloseEvent* e) {
  // Neither closed nor freed: the window goes into the tray.
  e->ignore();
  TrayIcon->HideMainWindow();
}

void TMainForm::N2Click() {
  RestEngine->N2Click();
  RefreshTrayHint();
}

// The tray menu's own help entry opens the same page as the toolbar's.
void TMainForm::N3Click() {
  BCustomizeClick();
}

void TMainForm::N4Click() {
  // Not quit(): Qt 6 first asks every window to close, and this one only
  // hides into the tray, which would cancel the end of the program.
  QCoreApplication::exit(0);
}

void TMainForm::N6Click() {
  platform::GetSystem().OpenUrl(HelpUrl(QStringLiteral("statistics")));
}

QString TMainForm::HelpUrl(const QString& section) {
  QString url = QStringLiteral("file://") + platform::GetSystem().ExeDir() +
                QStringLiteral("/help/index.html");
  if (!section.isEmpty()) url += QLatin1Char('#') + section;
  return url;
}

void TMainForm::UseDefaultFontName(QWidget* control) {
  const QString name = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  QFont f = control->font();
  f.setFamily(name);
  control->setFont(f);
  SetFontNameDeep(control, name);
}

void TMainForm::SetFontNameDeep(QWidget* control, const QString& name) {
  for (QObject* child : control->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (!w) continue;
    QFont f = w->font();
    f.setFamily(name);
    w->setFont(f);
    SetFontNameDeep(w, name);
  }
}

bool TMainForm::Showing() const {
  return isVisible() && !isMinimized();
}

void TMainForm::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  FormResize();
}

void TMainForm::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  FormShow();
}

void TMainForm::closeEvent(QCloseEvent* e) {
  FormClose(e);
}

void TMainForm::TimerHintTimer() {
  RestEngine->TimerHintTimer();
  RefreshTrayHint();
}
