#pragma once

#include <QObject>
#include <QString>

#include "platform/db/Connection.h"

// The data module: owns the one database connection, through which every
// statement of the program runs.
class TFrmDM : public QObject {
  Q_OBJECT
 public:
  explicit TFrmDM(QObject* parent = nullptr);
  ~TFrmDM() override;

  platform::Connection ADOConnection;

  // Opens the database file beneath the executable's folder. Every error is
  // dropped: the connection then stays closed, and each later statement tries to
  // open it again.
  void DataModuleCreate();

  // "Provider=...;Persist Security Info=False;Data Source=" + exeDir +
  // "/Data/eye.mdb" + ";"
  static QString BuildConnectionString(const QString& exeDir);
};

extern TFrmDM* FrmDM;
