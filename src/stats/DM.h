#pragma once

#include <QObject>

// The data module: owns the one database connection.
class TFrmDM : public QObject {
  Q_OBJECT
 public:
  explicit TFrmDM(QObject* parent = nullptr);
  ~TFrmDM() override;
  void DataModuleCreate();
};

extern TFrmDM* FrmDM;
