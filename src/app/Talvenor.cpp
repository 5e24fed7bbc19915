// Program entry.
#include <QApplication>

#include "app/main.h"
#include "platform/core/Services.h"
#include "platform/core/Signals.h"
#include "settings/fWeb.h"
#include "stats/DM.h"
#include "stats/fGradient.h"

int main(int argc, char** argv) {
  platform::Application app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Talvenor"));
  QApplication::setApplicationDisplayName(QStringLiteral("Talvenor"));
  QApplication::setQuitOnLastWindowClosed(false);

  FrmDM = new TFrmDM;
  MainForm = new TMainForm;
  fmWebStyle = new TfmWebStyle;
  fmGradient = new TfmGradient;
  // The window starts in the tray and is never shown at start, so its first
  // resize would come only when the user opens it: run the first-show
  // initialisation now, before the first tick of the countdown.
  MainForm->FormResize();

  platform::InstallQuitSignals([] { MainForm->N4Click(); });
  const int rc = app.exec();

  delete fmGradient;
  delete fmWebStyle;
  delete MainForm;
  delete FrmDM;
  return rc;
}
