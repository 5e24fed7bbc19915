#include "platform/db/Connection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include "platform/db/Functions.h"
#include "platform/db/Internal.h"
#include "platform/db/Statement.h"

namespace platform {

namespace {

// Reads "key=value;key=value" with values optionally quoted; keys in lower case.
bool FindKey(const QString& text, const QString& wanted, QString& value) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  bool found = false;
  while (i < n) {
    const qsizetype eq = text.indexOf(QLatin1Char('='), i);
    if (eq < 0) break;
    const QString key = text.mid(i, eq - i).trimmed().toLower();
    qsizetype j = eq + 1;
    while (j < n && text[j] == QLatin1Char(' ')) ++j;
    QString v;
    if (j < n && (text[j] == QLatin1Char('"') || text[j] == QLatin1Char('\''))) {
      const QChar q = text[j++];
      while (j < n) {
        if (text[j] == q) {
          if (j + 1 < n && text[j + 1] == q) {
            v += q;
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        v += text[j++];
      }
      const qsizetype semi = text.indexOf(QLatin1Char(';'), j);
      i = semi < 0 ? n : semi + 1;
    } else {
      const qsizetype semi = text.indexOf(QLatin1Char(';'), j);
      const qsizetype end = semi < 0 ? n : semi;
      v = text.mid(j, end - j).trimmed();
      i = semi < 0 ? n : semi + 1;
    }
    if (key == wanted) {
      value = v;  // the last one counts, as with ADO
      found = true;
    }
  }
  return found;
}

}  // namespace

Connection::~Connection() {
  Close();
}

QString Connection::DataSourceOf(const QString& connectionString) {
  QString provider;
  if (FindKey(connectionString, QStringLiteral("provider"), provider) &&
      provider.compare(QLatin1String(kSqliteProvider), Qt::CaseInsensitive) != 0)
    throw DbError(QStringLiteral("provider cannot be found: %1").arg(provider));
  QString path;
  if (!FindKey(connectionString, QStringLiteral("data source"), path) || path.isEmpty())
    throw DbError(QStringLiteral("the connection string names no data source"));
  return path;
}

void Connection::Fail(sqlite3* db, int rc) {
  const char* msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  throw DbError(QString::fromUtf8(msg ? msg : sqlite3_errstr(rc)),
                db ? sqlite3_extended_errcode(db) : rc);
}

void Connection::SetBusyTimeoutMs(int ms) {
  busyTimeoutMs_ = ms;
  if (db_) sqlite3_busy_timeout(db_, ms);
}

void Connection::SetConnected(bool connected) {
  if (connected) {
    Open();
  } else {
    Close();
  }
}

void Connection::Open() {
  if (db_) return;
  const QString path = DataSourceOf(connectionString_);
  const QByteArray file = path.toUtf8();
  sqlite3* db = nullptr;
  // Never SQLITE_OPEN_CREATE: a missing file must stay missing.
  // One thread uses a connection: no mutex.
  int rc =
      sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  auto fail = [&](int code) {
    const QString msg = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    const int ext = db ? sqlite3_extended_errcode(db) : code;
    sqlite3_close_v2(db);
    throw DbError(QStringLiteral("%1: %2").arg(msg, path), ext);
  };
  if (rc != SQLITE_OK) fail(rc);
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, busyTimeoutMs_);
  // The first read of the file: a file that is no database fails here, not at
  // some later statement. WAL lets a second copy of the program read and write
  // alongside; NORMAL keeps every commit across a crash of the program.
  for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL"}) {
    rc = sqlite3_exec(db, pragma, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) fail(rc);
  }
  rc = db::RegisterFunctions(db);
  if (rc != SQLITE_OK) fail(rc);
  struct stat st {};
  if (::stat(file.constData(), &st) == 0) {
    device_ = static_cast<std::uint64_t>(st.st_dev);
    inode_ = static_cast<std::uint64_t>(st.st_ino);
  } else {
    device_ = inode_ = 0;
  }
  path_ = path;
  db_ = db;
}

void Connection::Close() {
  if (!db_) return;
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

bool Connection::SameFileStillThere() const {
  struct stat st {};
  if (::stat(path_.toUtf8().constData(), &st) != 0) return false;
  return static_cast<std::uint64_t>(st.st_dev) == device_ &&
         static_cast<std::uint64_t>(st.st_ino) == inode_;
}

sqlite3* Connection::Handle() {
  if (db_ && !SameFileStillThere()) Close();
  Open();
  return db_;
}

void Connection::Execute(const QString& sql) {
  sqlite3* db = Handle();
  const QByteArray text = db::TranslateStatement(sql).toUtf8();
  const char* tail = nullptr;
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()) + 1, &raw, &tail);
  db::StatementPtr stmt(raw);
  if (rc != SQLITE_OK) Fail(db, rc);
  if (!stmt) throw DbError(QStringLiteral("the statement is empty"));
  if (!db::NothingFollows(tail))
    throw DbError(QStringLiteral("only one statement can be run at a time"));
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) Fail(db, rc);
}

}  // namespace platform
