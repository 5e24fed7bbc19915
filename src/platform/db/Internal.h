#pragma once

#include <sqlite3.h>

#include <memory>

namespace platform::db {

struct StatementDeleter {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// True when what follows a prepared statement holds no further statement: only
// blanks, semicolons and comments.
inline bool NothingFollows(const char* tail) {
  if (!tail) return true;
  const char* p = tail;
  while (*p) {
    if (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == ';') {
      ++p;
    } else if (p[0] == '-' && p[1] == '-') {
      while (*p && *p != '\n') ++p;
    } else if (p[0] == '/' && p[1] == '*') {
      p += 2;
      while (*p && !(p[0] == '*' && p[1] == '/')) ++p;
      if (*p) p += 2;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace platform::db
