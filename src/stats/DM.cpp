#include "stats/DM.h"

TFrmDM* FrmDM = nullptr;

TFrmDM::TFrmDM(QObject* parent) : QObject(parent) { DataModuleCreate(); }
TFrmDM::~TFrmDM() = default;
void TFrmDM::DataModuleCreate() {}
