#include "platform/db/Statement.h"

#include "platform/core/Errors.h"
#include "platform/db/DateText.h"

namespace platform::db {

std::vector<Token> ScanStatement(const QString& sql) {
  std::vector<Token> tokens;
  const qsizetype n = sql.size();
  const QChar* s = sql.constData();
  qsizetype otherStart = -1;
  auto flushOther = [&](qsizetype end) {
    if (otherStart >= 0 && end > otherStart)
      tokens.push_back({TokenKind::Other, otherStart, end - otherStart, true});
    otherStart = -1;
  };
  qsizetype i = 0;
  while (i < n) {
    const char16_t c = s[i].unicode();
    const char16_t next = i + 1 < n ? s[i + 1].unicode() : 0;
    if (c == u'\'' || c == u'"' || c == u'`') {
      // A quote closes at the next single one; a doubled one is part of the text.
      flushOther(i);
      const qsizetype start = i++;
      bool closed = false;
      while (i < n) {
        if (s[i].unicode() == c) {
          if (i + 1 < n && s[i + 1].unicode() == c) {
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        ++i;
      }
      tokens.push_back(
          {c == u'\'' ? TokenKind::Text : TokenKind::QuotedName, start, i - start, closed});
    } else if (c == u'[') {
      flushOther(i);
      const qsizetype start = i;
      const qsizetype end = sql.indexOf(QLatin1Char(']'), i + 1);
      i = end < 0 ? n : end + 1;
      tokens.push_back({TokenKind::QuotedName, start, i - start, end >= 0});
    } else if (c == u'-' && next == u'-') {
      flushOther(i);
      const qsizetype start = i;
      const qsizetype end = sql.indexOf(QLatin1Char('\n'), i + 2);
      i = end < 0 ? n : end;
      tokens.push_back({TokenKind::Comment, start, i - start, true});
    } else if (c == u'/' && next == u'*') {
      flushOther(i);
      const qsizetype start = i;
      const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
      i = end < 0 ? n : end + 2;
      tokens.push_back({TokenKind::Comment, start, i - start, end >= 0});
    } else if (c == u'#') {
      flushOther(i);
      const qsizetype start = i;
      const qsizetype end = sql.indexOf(QLatin1Char('#'), i + 1);
      i = end < 0 ? n : end + 1;
      tokens.push_back({TokenKind::DateConstant, start, i - start, end >= 0});
    } else {
      if (otherStart < 0) otherStart = i;
      ++i;
    }
  }
  flushOther(n);
  return tokens;
}

QString TranslateStatement(const QString& sql) {
  const std::vector<Token> tokens = ScanStatement(sql);
  bool anyDate = false;
  for (const Token& t : tokens) anyDate = anyDate || t.kind == TokenKind::DateConstant;
  if (!anyDate) return sql;

  QString out;
  out.reserve(sql.size() + 16);
  for (const Token& t : tokens) {
    const QStringView piece = QStringView(sql).mid(t.begin, t.length);
    if (t.kind != TokenKind::DateConstant) {
      out += piece;
      continue;
    }
    if (!t.closed)
      throw Error(QStringLiteral("date constant without its closing #: %1").arg(piece));
    const QByteArray inner = piece.mid(1, piece.size() - 2).toUtf8();
    DateTimeParts parts;
    if (!ParseDateTime(std::string_view(inner.constData(), inner.size()), parts))
      throw Error(QStringLiteral("invalid date constant: %1").arg(piece));
    out += QLatin1String(" '");
    out += QLatin1String(StoredText(parts).c_str());
    out += QLatin1String("' ");
  }
  return out;
}

QString TextConstantValue(const QString& sql, const Token& token) {
  QStringView body = QStringView(sql).mid(token.begin + 1, token.length - (token.closed ? 2 : 1));
  QString value = body.toString();
  value.replace(QLatin1String("''"), QLatin1String("'"));
  return value;
}

}  // namespace platform::db
