#include "settings/SettingsStore.h"

#include "platform/core/Errors.h"
#include "platform/db/Connection.h"
#include "stats/DM.h"

const QStringList& SettingColumns() {
  static const QStringList columns = {
      QStringLiteral("Age"),         QStringLiteral("HintInterval"), QStringLiteral("IsStatKey"),
      QStringLiteral("IsStatMouse"), QStringLiteral("IsAotuRun"),    QStringLiteral("EachRestTime"),
      QStringLiteral("RestTime"),    QStringLiteral("SoundPath"),    QStringLiteral("LCDSize"),
      QStringLiteral("EidolonHint"), QStringLiteral("BladderHint"),  QStringLiteral("SoundHint"),
      QStringLiteral("ForceRest"),   QStringLiteral("HimtText")};
  return columns;
}

QString SettingStatement(const QString& column, const QString& value) {
  if (!SettingColumns().contains(column))
    throw platform::Error(QStringLiteral("未知的设置项：") + column);
  QString quoted = value;
  quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QStringLiteral("Update Setting set  ") + column + QStringLiteral("='") + quoted +
         QLatin1Char('\'');
}

void WriteSetting(platform::Connection& connection, const QString& column, const QString& value) {
  connection.Execute(SettingStatement(column, value));
}

void WriteSetting(const QString& column, const QString& value) {
  if (!FrmDM) throw platform::Error(QStringLiteral("数据模块不存在，设置无法保存。"));
  WriteSetting(FrmDM->ADOConnection, column, value);
}
