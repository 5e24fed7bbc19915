#include "stats/DM.h"

#include "platform/core/System.h"

TFrmDM* FrmDM = nullptr;

TFrmDM::TFrmDM(QObject* parent) : QObject(parent) {
  setObjectName(QStringLiteral("FrmDM"));
  DataModuleCreate();
}

TFrmDM::~TFrmDM() {
  ADOConnection.Close();
  // A save at exit that comes later must find no data module rather than a freed one.
  if (FrmDM == this) FrmDM = nullptr;
}

QString TFrmDM::BuildConnectionString(const QString& exeDir) {
  return QStringLiteral("Provider=") + QLatin1String(platform::kSqliteProvider) +
         QStringLiteral(";Persist Security Info=False;Data Source=") + exeDir +
         QStringLiteral("/Data/eye.mdb") + QStringLiteral(";");
}

void TFrmDM::DataModuleCreate() {
  try {
    ADOConnection.Close();
    ADOConnection.SetConnected(false);
    ADOConnection.SetConnectionString(BuildConnectionString(platform::GetSystem().ExeDir()));
    ADOConnection.SetConnected(true);
    ADOConnection.Open();
  } catch (...) {
    // A database that cannot be opened now is tried again by the next statement.
  }
}
