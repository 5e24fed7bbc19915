#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The parts of the Desktop Entry format an autostart entry needs: the escapes
// of string values and the quoting of the Exec key.
namespace platform::desktop {

// Escapes a string value for a key=value line (\\, \n, \t, \r; \s for a leading
// blank so that it survives the trimming of the line).
QString EscapeValue(const QString& value);
// The reverse; an unknown escape keeps the backslash, as readers do.
QString UnescapeValue(const QString& raw);

// One Exec argument in double quotes, with ", `, $ and \ escaped by a backslash
// and % doubled: safe for any path, spaces and quotes included.
QString QuoteExecArgument(const QString& argument);
// Splits an (already unescaped) Exec value into its arguments. Gives nothing
// when the quoting is broken, an unquoted argument holds a reserved character,
// or a field code other than %% appears.
std::optional<QStringList> SplitExec(const QString& exec);

// The value of key in the [Desktop Entry] group of a file's text; nothing when
// absent. The value is unescaped.
std::optional<QString> EntryValue(const QString& fileText, const QString& key);

}  // namespace platform::desktop
