// The statement scanner and the translation of date constants.
#include <gtest/gtest.h>

#include "platform/db/Statement.h"
#include "unit/db/DbFixture.h"

using platform::db::ScanStatement;
using platform::db::TokenKind;
using platform::db::TranslateStatement;

namespace {

struct TranslateCase {
  const char* name;
  const char* in;
  const char* out;
};

class Translate : public ::testing::TestWithParam<TranslateCase> {};

TEST_P(Translate, GivesTheEngineStatement) {
  const TranslateCase& c = GetParam();
  EXPECT_EQ(TranslateStatement(QString::fromUtf8(c.in)).toStdString(), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Translate,
    ::testing::Values(
        TranslateCase{"NoDate", "select * from Stat where Date like '2024-01-05%'",
                      "select * from Stat where Date like '2024-01-05%'"},
        TranslateCase{"ShortDate", "Date>=#2024-01-05#", "Date>= '2024-01-05 00:00:00' "},
        TranslateCase{"OneDigitParts", "#2024-1-5#", " '2024-01-05 00:00:00' "},
        TranslateCase{"Slashes", "#2024/01/05#", " '2024-01-05 00:00:00' "},
        TranslateCase{"UsOrder", "#1/5/2024#", " '2024-01-05 00:00:00' "},
        TranslateCase{"HourMinute", "#2024-01-05 7:05#", " '2024-01-05 07:05:00' "},
        TranslateCase{"Seconds", "#2024-01-05 23:59:59#", " '2024-01-05 23:59:59' "},
        TranslateCase{"IsoFraction", "#2024-01-05T23:59:59.75#", " '2024-01-05 23:59:59' "},
        TranslateCase{"InnerBlanks", "# 2024-02-29 #", " '2024-02-29 00:00:00' "},
        TranslateCase{"TwoConstants", "Date>=#2024-01-05#       and Date<=#2024-01-06# group",
                      "Date>= '2024-01-05 00:00:00'        and Date<= '2024-01-06 00:00:00'  "
                      "group"},
        TranslateCase{"InsideText", "x='#2024-01-05#'", "x='#2024-01-05#'"},
        TranslateCase{"DoubledQuote", "x='it''s #1' and y=#2024-01-05#",
                      "x='it''s #1' and y= '2024-01-05 00:00:00' "},
        TranslateCase{"InsideQuotedNames", "select \"a#b\", [c#d], `e#f` from t",
                      "select \"a#b\", [c#d], `e#f` from t"},
        TranslateCase{"InsideComments", "select 1 -- #no\n, 2 /* #no# */",
                      "select 1 -- #no\n, 2 /* #no# */"},
        TranslateCase{"UnterminatedText", "x='abc #2024-01-05#", "x='abc #2024-01-05#"},
        // A constant right beside a text constant must not merge with it.
        TranslateCase{"BesideTexts", "'a'#2024-01-05#'b'", "'a' '2024-01-05 00:00:00' 'b'"},
        TranslateCase{"Chinese", "x='按天统计#' and d=#2024-01-05#",
                      "x='按天统计#' and d= '2024-01-05 00:00:00' "}),
    [](const auto& info) { return std::string(info.param.name); });

class BadDate : public ::testing::TestWithParam<const char*> {};

TEST_P(BadDate, IsAnError) {
  const QString sql = QStringLiteral("select 1 where d>=") + QString::fromUtf8(GetParam());
  const QString err = dbtest::ErrorOf([&] { TranslateStatement(sql); });
  EXPECT_FALSE(err.isEmpty()) << GetParam();
  EXPECT_TRUE(err.contains(QString::fromUtf8(GetParam()).left(5))) << err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, BadDate,
                         ::testing::Values("#2024-02-30#", "#2023-02-29#", "#2024-13-01#",
                                           "#13/01/2024#", "#05-01-2024#", "#2024-01-05 24:00#",
                                           "#2024-01-05 12:60#", "#abc#", "##", "#2024-01-05",
                                           "#2024-01-05 12#", "#0099-01-01#"));

TEST(ScanStatement, MarksEveryPieceAndCoversTheWholeText) {
  const QString sql = QStringLiteral("a 'b''c' \"d\" [e] `f` -- g\n/* h */ #i# 'j");
  const auto tokens = ScanStatement(sql);
  QString joined;
  std::vector<TokenKind> kinds;
  for (const auto& t : tokens) {
    joined += sql.mid(t.begin, t.length);
    if (t.kind != TokenKind::Other) kinds.push_back(t.kind);
  }
  EXPECT_EQ(joined, sql);
  EXPECT_EQ(kinds,
            (std::vector<TokenKind>{TokenKind::Text, TokenKind::QuotedName, TokenKind::QuotedName,
                                    TokenKind::QuotedName, TokenKind::Comment, TokenKind::Comment,
                                    TokenKind::DateConstant, TokenKind::Text}));
  EXPECT_FALSE(tokens.back().closed);
  EXPECT_EQ(platform::db::TextConstantValue(sql, tokens[1]), QStringLiteral("b'c"));
}

}  // namespace
