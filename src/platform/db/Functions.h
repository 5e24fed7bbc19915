#pragma once

struct sqlite3;

namespace platform::db {

// Registers the Jet functions the statements use on one connection: format(d, f),
// format(x), cstr(n), year(d), and a sum() whose result is always a 64-bit floating
// point number. SQLite keeps functions per connection, and its own two-argument
// format() would hand back its first argument, so every connection needs these.
// Gives SQLite's result code.
int RegisterFunctions(sqlite3* db);

}  // namespace platform::db
