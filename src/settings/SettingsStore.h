#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class Connection;
}

// The one row of the Setting table, written through on every change of a
// control of the settings page and read back into the page at first show.

// The 14 columns in the order the load reads them.
const QStringList& SettingColumns();

// "Update Setting set  <column>='<value>'" with every single quote of the value
// doubled. Throws platform::Error for a name that is not one of the columns, so
// no text of a caller can ever become part of the statement's structure.
QString SettingStatement(const QString& column, const QString& value);

// Executes the statement on the data module's connection (opening it when it is
// closed). Errors are not caught: they go to the caller.
void WriteSetting(const QString& column, const QString& value);
void WriteSetting(platform::Connection& connection, const QString& column, const QString& value);

// "-1" for on, "0" for off: how a check box reaches a Boolean column.
inline QString BoolText(bool on) {
  return on ? QStringLiteral("-1") : QStringLiteral("0");
}
