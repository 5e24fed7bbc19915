// Fuzzes the statement scanner and the translation of date constants: no crash,
// no hang, every text constant comes out unchanged and in its place, and the
// translation is stable (translating twice changes nothing more).
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/core/Errors.h"
#include "platform/db/Statement.h"

using platform::db::ScanStatement;
using platform::db::TokenKind;

namespace {

[[noreturn]] void Fail(const char* what, const QString& in, const QString& out) {
  std::fprintf(stderr, "%s\n in:  %s\n out: %s\n", what, in.toUtf8().constData(),
               out.toUtf8().constData());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString in =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  // The scan covers the whole text, piece after piece.
  qsizetype at = 0;
  for (const auto& t : ScanStatement(in)) {
    if (t.begin != at || t.length <= 0) Fail("scan leaves a gap", in, QString());
    at += t.length;
  }
  if (at != in.size()) Fail("scan stops short", in, QString());

  QString out;
  try {
    out = platform::db::TranslateStatement(in);
  } catch (const platform::Error&) {
    return 0;  // a bad date constant is refused
  }
  // Each date constant becomes one text constant; everything quoted stays as it was.
  QStringList expected;
  for (const auto& t : ScanStatement(in)) {
    if (t.kind == TokenKind::Text || t.kind == TokenKind::QuotedName)
      expected << in.mid(t.begin, t.length);
    if (t.kind == TokenKind::DateConstant) expected << QStringLiteral("<date>");
  }
  QStringList got;
  for (const auto& t : ScanStatement(out)) {
    if (t.kind == TokenKind::DateConstant) Fail("a date constant is left", in, out);
    if (t.kind == TokenKind::Text || t.kind == TokenKind::QuotedName) {
      got << out.mid(t.begin, t.length);
    }
  }
  if (got.size() != expected.size()) Fail("quoted pieces changed in number", in, out);
  for (qsizetype i = 0; i < got.size(); ++i) {
    if (expected[i] == QStringLiteral("<date>")) {
      // 'yyyy-MM-dd HH:mm:ss'
      if (got[i].size() != 21 || got[i][5] != QLatin1Char('-') || got[i][11] != QLatin1Char(' '))
        Fail("a date constant became something else", in, out);
    } else if (got[i] != expected[i]) {
      Fail("a quoted piece changed", in, out);
    }
  }
  if (platform::db::TranslateStatement(out) != out) Fail("translation is not stable", in, out);
  return 0;
}
