#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "platform/db/DataSet.h"

namespace dbtest {

// A fresh copy of the delivered database in a temporary program folder:
// <dir>/Data/eye.mdb.
class ProgramFolder {
 public:
  ProgramFolder() {
    EXPECT_TRUE(dir_.isValid());
    QDir(dir_.path()).mkpath(QStringLiteral("Data"));
  }
  QString Dir() const { return dir_.path(); }
  QString DbPath() const { return dir_.path() + QStringLiteral("/Data/eye.mdb"); }
  QString ConnectionString() const {
    return QStringLiteral("Provider=SQLite3;Persist Security Info=False;Data Source=") + DbPath() +
           QStringLiteral(";");
  }
  // Puts the delivered file in place (replacing what is there).
  void Deliver() const {
    RemoveDb();
    ASSERT_TRUE(QFile::copy(QStringLiteral(TALVENOR_DB_TEMPLATE), DbPath()));
    QFile(DbPath()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  }
  void RemoveDb() const {
    for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(DbPath() + QLatin1String(suffix));
  }

 private:
  QTemporaryDir dir_;
};

// Direct access to the file, beside the layer under test.
class RawDb {
 public:
  explicit RawDb(const QString& path) {
    EXPECT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    sqlite3_busy_timeout(db_, 5000);
  }
  ~RawDb() { sqlite3_close_v2(db_); }
  void Exec(const QString& sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << " in " << sql.toStdString();
    sqlite3_free(err);
  }
  // Rows as "a|b|c" texts (NULL as "NULL").
  QStringList Rows(const QString& sql) {
    QStringList out;
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db_);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
      QStringList cells;
      for (int i = 0; i < sqlite3_column_count(st); ++i) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        cells << (t ? QString::fromUtf8(t) : QStringLiteral("NULL"));
      }
      out << cells.join(QLatin1Char('|'));
    }
    sqlite3_finalize(st);
    return out;
  }
  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// Every row of an open data set as "a|b|c", read with AsString.
inline QStringList Rows(platform::DataSet& ds) {
  QStringList out;
  for (ds.First(); !ds.Eof(); ds.Next()) {
    QStringList cells;
    for (int i = 0; i < ds.FieldCount(); ++i) cells << ds.Fields(i).AsString();
    out << cells.join(QLatin1Char('|'));
  }
  return out;
}

inline QStringList Query(platform::Connection& c, const QString& sql) {
  platform::DataSet ds(&c);
  ds.SetCommandText(sql);
  ds.Open();
  return Rows(ds);
}

// The text of the error a call raises, or "" when it raises none.
template <typename Fn>
QString ErrorOf(Fn&& fn) {
  try {
    fn();
  } catch (const platform::Error& e) {
    return e.Text();
  }
  return QString();
}

}  // namespace dbtest
