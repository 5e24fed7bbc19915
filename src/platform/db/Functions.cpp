#include "platform/db/Functions.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/db/DateText.h"

namespace platform::db {

namespace {

std::string_view TextOf(sqlite3_value* v) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v)))
           : std::string_view();
}

// A date-time argument: stored text, or a date serial. False when it is neither.
bool DateArgument(sqlite3_value* v, DateTimeParts& out) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return FromSerial(sqlite3_value_double(v), out);
    case SQLITE_TEXT:
    case SQLITE_BLOB:
      return ParseDateTime(TextOf(v), out);
    default:
      return false;
  }
}

// Text of a number without a leading blank: whole values without a decimal
// point, others with up to 15 significant digits.
std::string NumberText(double d) {
  char buf[40];
  if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15) {
    std::snprintf(buf, sizeof buf, "%.0f", d);
  } else {
    std::snprintf(buf, sizeof buf, "%.15g", d);
  }
  return buf;
}

void ResultText(sqlite3_context* ctx, const std::string& s) {
  sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

void ValueAsText(sqlite3_context* ctx, sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
      sqlite3_result_null(ctx);
      return;
    case SQLITE_INTEGER:
      ResultText(ctx, std::to_string(sqlite3_value_int64(v)));
      return;
    case SQLITE_FLOAT:
      ResultText(ctx, NumberText(sqlite3_value_double(v)));
      return;
    default: {
      const std::string_view t = TextOf(v);
      sqlite3_result_text(ctx, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
    }
  }
}

void FormatFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  if (sqlite3_value_type(v) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  if (argc < 2 || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    ValueAsText(ctx, v);
    return;
  }
  DateTimeParts t;
  // A text that is no date comes back as it is, as the Jet engine does.
  if (sqlite3_value_type(v) == SQLITE_TEXT && !ParseDateTime(TextOf(v), t)) {
    ValueAsText(ctx, v);
    return;
  }
  if (!DateArgument(v, t)) {
    sqlite3_result_error(ctx, "format(): the value is not a date", -1);
    return;
  }
  thread_local std::string buffer;
  FormatDateTime(t, TextOf(argv[1]), buffer);
  ResultText(ctx, buffer);
}

void CstrFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  ValueAsText(ctx, argv[0]);
}

void YearFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  DateTimeParts t;
  if (!DateArgument(argv[0], t)) {
    const std::string msg = "year(): not a date: '" + std::string(TextOf(argv[0])) + "'";
    sqlite3_result_error(ctx, msg.c_str(), -1);
    return;
  }
  sqlite3_result_int(ctx, t.year);
}

// sum() in floating point with Neumaier's compensation, so that pixel fractions
// add up as closely as a double allows; NULL when no value was summed, as the
// engine's own.
struct SumState {
  double sum;
  double compensation;
  std::int64_t count;
};

void Add(SumState& s, double x) {
  const double t = s.sum + x;
  if (std::fabs(s.sum) >= std::fabs(x)) {
    s.compensation += (s.sum - t) + x;
  } else {
    s.compensation += (x - t) + s.sum;
  }
  s.sum = t;
}

void SumStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* s = static_cast<SumState*>(sqlite3_aggregate_context(ctx, sizeof(SumState)));
  if (!s) {
    sqlite3_result_error_nomem(ctx);
    return;
  }
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
  Add(*s, sqlite3_value_double(argv[0]));
  ++s->count;
}

void SumInverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* s = static_cast<SumState*>(sqlite3_aggregate_context(ctx, sizeof(SumState)));
  if (!s || sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
  Add(*s, -sqlite3_value_double(argv[0]));
  --s->count;
}

void SumValue(sqlite3_context* ctx) {
  auto* s = static_cast<SumState*>(sqlite3_aggregate_context(ctx, 0));
  if (!s || s->count == 0) {
    sqlite3_result_null(ctx);
  } else {
    sqlite3_result_double(ctx, s->sum + s->compensation);
  }
}

}  // namespace

int RegisterFunctions(sqlite3* db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  int rc = sqlite3_create_function_v2(db, "format", 2, flags, nullptr, FormatFunction, nullptr,
                                      nullptr, nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_create_function_v2(db, "format", 1, flags, nullptr, FormatFunction, nullptr,
                                    nullptr, nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_create_function_v2(db, "cstr", 1, flags, nullptr, CstrFunction, nullptr, nullptr,
                                    nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_create_function_v2(db, "year", 1, flags, nullptr, YearFunction, nullptr, nullptr,
                                    nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_create_window_function(db, "sum", 1, flags, nullptr, SumStep, SumValue, SumValue,
                                        SumInverse, nullptr);
  return rc;
}

}  // namespace platform::db
