#pragma once

#include <QDateTime>
#include <string>
#include <string_view>
#include <vector>

namespace platform::db {

// A calendar date with a time of day, the way the statement language sees a
// date-time value.
struct DateTimeParts {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Reads "yyyy-M-d", "yyyy/M/d" or the US form "M/d/yyyy", each optionally followed
// (after a blank or a 'T') by "H:mm" or "H:mm:ss" with an optional fraction of a
// second, which is dropped. Leading and trailing blanks are allowed. False when the
// text is no such date or names a day that does not exist.
bool ParseDateTime(std::string_view text, DateTimeParts& out);

// A date serial as the Jet engine counts it: days since 1899-12-30, the fraction
// being the time of day. False when out of the years 100 to 9999.
bool FromSerial(double serial, DateTimeParts& out);

// "yyyy-MM-dd HH:mm:ss": how date-times are stored, so that text order is time
// order and a day's rows all begin with the day's "yyyy-MM-dd".
std::string StoredText(const DateTimeParts& t);
// The same for a Qt value (milliseconds are dropped, not rounded, so a time just
// before midnight stays on its day). Empty for an invalid value.
QString StoredText(const QDateTime& t);
QDateTime ToQDateTime(const DateTimeParts& t);

// A date-time shown with a format pattern of the Jet engine's format(): yyyy, yy,
// m, mm (the month, or minutes right after an hour or before seconds), d, dd, h,
// hh, n, nn, s, ss; letters are matched without regard to case; text in double
// quotes and a character after a backslash are copied; anything else is copied.
std::string FormatDateTime(const DateTimeParts& t, std::string_view pattern);
// The same into a buffer that the caller keeps (no allocation once it is large
// enough).
void FormatDateTime(const DateTimeParts& t, std::string_view pattern, std::string& out);

bool IsValidDate(int year, int month, int day);

}  // namespace platform::db
