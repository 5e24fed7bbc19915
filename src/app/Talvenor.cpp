// Program entry.
#include <QApplication>

#include "app/main.h"
#include "monitor/Counters.h"
#include "platform/core/Services.h"
#include "platform/core/Signals.h"
#include "settings/fWeb.h"
#include "stats/DM.h"
#include "stats/Recorder.h"
#include "stats/fGradient.h"

#include <QSessionManager>
#include <cstdlib>

int main(int argc, char** argv) {
  platform::Application app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Talvenor"));
  QApplication::setApplicationDisplayName(QStringLiteral("Talvenor"));
  QApplication::setQuitOnLastWindowClosed(false);

  FrmDM = new TFrmDM;
  MainForm = new TMainForm;
  fmWebStyle = new TfmWebStyle;
  // The page's controls are the live settings and show the live figures.
  if (RestEngine) RestEngine->SetSettings(fmWebStyle);
  CounterLabels = fmWebStyle;
  fmGradient = new TfmGradient;
  // The report page's editors take the settings page's edit style.
  fmGradient->SetStyleController(fmWebStyle->StyleController);
  // The window starts in the tray and is never shown at start, so its first
  // resize would come only when the user opens it: run the first-show
  // initialisation now, before the first tick of the countdown.
  // An error (the database cannot be read) is reported; the next resize of the
  // main window tries again.
  platform::Guard([] { MainForm->FormResize(); });

  platform::InstallQuitSignals([] { MainForm->N4Click(); });
  // One last save, so the counts since the last five-second save are not lost:
  // when the desktop session ends, and when the X connection breaks (the
  // toolkit then calls exit()).
  QObject::connect(&app, &QGuiApplication::commitDataRequest,
                   [](QSessionManager&) { stats::SaveStatAtExit(); });
  std::atexit([] { stats::SaveStatAtExit(); });
  const int rc = app.exec();
  stats::SaveStatAtExit();

  delete fmGradient;
  delete fmWebStyle;
  delete MainForm;
  delete FrmDM;
  return rc;
}
