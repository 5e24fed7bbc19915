#pragma once

#include <QString>
#include <vector>

namespace platform::db {

// The pieces of a statement that translation must know about. Everything between
// them is Other.
enum class TokenKind {
  Text,          // 'a text constant' (doubled quotes inside), as the engine reads it
  QuotedName,    // "name", `name` or [name]
  Comment,       // -- to the end of the line, or /* ... */
  DateConstant,  // #a date#
  Other,
};

struct Token {
  TokenKind kind;
  qsizetype begin;
  qsizetype length;
  // False for a quote, name, comment or date constant that runs to the end of the
  // statement without its closing mark.
  bool closed = true;
};

// Splits a statement into tokens, following the engine's own rules for quotes and
// comments, so that a '#' or a quote inside a text constant, a quoted name or a
// comment is never taken for anything else. Never fails.
std::vector<Token> ScanStatement(const QString& sql);

// Rewrites a statement of the Jet dialect into one the engine runs: each date
// constant #...# becomes the same instant as a stored date-time text,
// ' yyyy-MM-dd HH:mm:ss ' (with a blank on each side so that it cannot merge
// with a neighbouring quote). Everything else is copied unchanged. Throws
// platform::Error for a date constant that is no valid date or has no closing #.
QString TranslateStatement(const QString& sql);

// The value of a text constant token: the text between the quotes, doubled
// quotes made single.
QString TextConstantValue(const QString& sql, const Token& token);

}  // namespace platform::db
