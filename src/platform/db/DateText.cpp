#include "platform/db/DateText.h"

#include <cmath>
#include <cstdint>

namespace platform::db {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads up to maxDigits digits at pos; gives the number of digits read.
int ReadNumber(std::string_view s, std::size_t& pos, int maxDigits, int& value) {
  int n = 0;
  value = 0;
  while (pos < s.size() && IsDigit(s[pos]) && n < maxDigits) {
    value = value * 10 + (s[pos] - '0');
    ++pos;
    ++n;
  }
  return n;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Days from 1970-01-01 to a civil date, and back (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

void Append2(std::string& out, int v) {
  out.push_back(static_cast<char>('0' + (v / 10) % 10));
  out.push_back(static_cast<char>('0' + v % 10));
}

// v >= 0, at least width digits.
void AppendInt(std::string& out, int v, int width) {
  char buf[12];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v > 0 && n < 11);
  while (n < width && n < 11) buf[n++] = '0';
  while (n > 0) out.push_back(buf[--n]);
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  int last = kDays[month - 1];
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (month == 2 && leap) last = 29;
  return day <= last;
}

bool ParseDateTime(std::string_view s, DateTimeParts& out) {
  std::size_t pos = 0;
  while (pos < s.size() && IsBlank(s[pos])) ++pos;
  int a = 0, b = 0, c = 0;
  const int na = ReadNumber(s, pos, 4, a);
  if (na == 0 || pos >= s.size()) return false;
  const char sep = s[pos];
  if (sep != '-' && sep != '/') return false;
  ++pos;
  if (ReadNumber(s, pos, 2, b) == 0 || pos >= s.size() || s[pos] != sep) return false;
  ++pos;
  const int nc = ReadNumber(s, pos, 4, c);
  if (nc == 0) return false;
  DateTimeParts t;
  if (na == 4 && nc <= 2) {
    t.year = a, t.month = b, t.day = c;
  } else if (sep == '/' && na <= 2 && nc == 4) {
    t.year = c, t.month = a, t.day = b;
  } else {
    return false;
  }
  if (!IsValidDate(t.year, t.month, t.day)) return false;
  if (pos < s.size() && (s[pos] == 'T' || IsBlank(s[pos]))) {
    std::size_t p = pos + 1;
    while (p < s.size() && IsBlank(s[p])) ++p;
    if (p < s.size() && IsDigit(s[p])) {
      pos = p;
      if (ReadNumber(s, pos, 2, t.hour) == 0 || pos >= s.size() || s[pos] != ':') return false;
      ++pos;
      if (ReadNumber(s, pos, 2, t.minute) != 2) return false;
      if (pos < s.size() && s[pos] == ':') {
        ++pos;
        if (ReadNumber(s, pos, 2, t.second) != 2) return false;
        if (pos < s.size() && s[pos] == '.') {
          ++pos;
          if (pos >= s.size() || !IsDigit(s[pos])) return false;
          while (pos < s.size() && IsDigit(s[pos])) ++pos;
        }
      }
      if (t.hour > 23 || t.minute > 59 || t.second > 59) return false;
    }
  }
  while (pos < s.size() && IsBlank(s[pos])) ++pos;
  if (pos != s.size()) return false;
  out = t;
  return true;
}

bool FromSerial(double serial, DateTimeParts& out) {
  if (!std::isfinite(serial)) return false;
  // Whole days count from 1899-12-30; the fraction is the time of day on either
  // side of that origin, as the Jet engine counts it.
  const double days = std::trunc(serial);
  if (std::fabs(days) > 3.0e6) return false;
  double frac = std::fabs(serial - days);
  std::int64_t secs = static_cast<std::int64_t>(std::floor(frac * 86400.0 + 0.5e-6));
  if (secs >= 86400) secs = 86399;
  DateTimeParts t;
  CivilFromDays(DaysFromCivil(1899, 12, 30) + static_cast<std::int64_t>(days), t.year, t.month,
                t.day);
  if (!IsValidDate(t.year, t.month, t.day)) return false;
  t.hour = static_cast<int>(secs / 3600);
  t.minute = static_cast<int>(secs / 60 % 60);
  t.second = static_cast<int>(secs % 60);
  out = t;
  return true;
}

std::string StoredText(const DateTimeParts& t) {
  std::string out;
  out.reserve(19);
  AppendInt(out, t.year, 4);
  out.push_back('-');
  Append2(out, t.month);
  out.push_back('-');
  Append2(out, t.day);
  out.push_back(' ');
  Append2(out, t.hour);
  out.push_back(':');
  Append2(out, t.minute);
  out.push_back(':');
  Append2(out, t.second);
  return out;
}

QString StoredText(const QDateTime& t) {
  if (!t.isValid()) return QString();
  const QDate d = t.date();
  const QTime tm = t.time();
  DateTimeParts p{d.year(), d.month(), d.day(), tm.hour(), tm.minute(), tm.second()};
  if (!IsValidDate(p.year, p.month, p.day)) return QString();
  return QString::fromStdString(StoredText(p));
}

QDateTime ToQDateTime(const DateTimeParts& t) {
  return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
}

namespace {

bool IsPatternLetter(char l) {
  return l == 'y' || l == 'm' || l == 'd' || l == 'h' || l == 'n' || l == 's';
}

// The letter of the next date token at or after pos, skipping literal text; 0
// when there is none.
char NextLetter(std::string_view p, std::size_t pos) {
  while (pos < p.size()) {
    const char c = p[pos];
    if (c == '"') {
      const std::size_t end = p.find('"', pos + 1);
      if (end == std::string_view::npos) return 0;
      pos = end + 1;
    } else if (c == '\\') {
      pos += 2;
    } else if (IsPatternLetter(Lower(c))) {
      return Lower(c);
    } else {
      ++pos;
    }
  }
  return 0;
}

}  // namespace

std::string FormatDateTime(const DateTimeParts& t, std::string_view pattern) {
  std::string out;
  FormatDateTime(t, pattern, out);
  return out;
}

void FormatDateTime(const DateTimeParts& t, std::string_view pattern, std::string& out) {
  out.clear();
  char lastLetter = 0;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    const char l = Lower(c);
    if (c == '"') {
      const std::size_t end = pattern.find('"', i + 1);
      const std::size_t stop = end == std::string_view::npos ? pattern.size() : end;
      out.append(pattern.substr(i + 1, stop - i - 1));
      i = end == std::string_view::npos ? pattern.size() : end + 1;
      continue;
    }
    if (c == '\\' && i + 1 < pattern.size()) {
      out.push_back(pattern[i + 1]);
      i += 2;
      continue;
    }
    if (!IsPatternLetter(l)) {
      out.push_back(c);
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < pattern.size() && Lower(pattern[j]) == l) ++j;
    const std::size_t n = j - i;
    char letter = l;
    // "m" or "mm" right after an hour or right before seconds means minutes.
    if (letter == 'm' && n <= 2 && (lastLetter == 'h' || NextLetter(pattern, j) == 's'))
      letter = 'n';
    lastLetter = l;
    i = j;
    switch (letter) {
      case 'y':
        if (n >= 3) {
          AppendInt(out, t.year, 4);
        } else if (n == 2) {
          Append2(out, t.year % 100);
        } else {
          AppendInt(out,
                    static_cast<int>(DaysFromCivil(t.year, t.month, t.day) -
                                     DaysFromCivil(t.year, 1, 1) + 1),
                    1);
        }
        break;
      case 'm':
        n >= 2 ? Append2(out, t.month) : AppendInt(out, t.month, 1);
        break;
      case 'd':
        n >= 2 ? Append2(out, t.day) : AppendInt(out, t.day, 1);
        break;
      case 'h':
        n >= 2 ? Append2(out, t.hour) : AppendInt(out, t.hour, 1);
        break;
      case 'n':
        n >= 2 ? Append2(out, t.minute) : AppendInt(out, t.minute, 1);
        break;
      default:
        n >= 2 ? Append2(out, t.second) : AppendInt(out, t.second, 1);
        break;
    }
  }
}

}  // namespace platform::db
