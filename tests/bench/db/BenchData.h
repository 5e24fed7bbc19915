#pragma once

#include <sqlite3.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <stdexcept>

// Ten years of daily rows in a fresh copy of the delivered database:
// one row per day from 2016-01-01 to 2025-12-31, each stamped at the day's
// first save (08:00:05), with values that vary from day to day.
class TenYearsOfRows {
 public:
  static constexpr int kFirstYear = 2016;
  static constexpr int kYears = 10;

  TenYearsOfRows() {
    if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
    QDir(dir_.path()).mkpath(QStringLiteral("Data"));
    if (!QFile::copy(QStringLiteral(TALVENOR_DB_TEMPLATE), DbPath()))
      throw std::runtime_error("cannot copy the database template");
    QFile(DbPath()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(DbPath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK)
      throw std::runtime_error("cannot open the database copy");
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "insert into Stat values (?, ?, ?, ?, ?, ?)", -1, &st, nullptr);
    int n = 0;
    for (QDate d(kFirstYear, 1, 1); d.year() < kFirstYear + kYears; d = d.addDays(1), ++n) {
      const QByteArray date =
          (d.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 08:00:05")).toUtf8();
      sqlite3_bind_text(st, 1, date.constData(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int(st, 2, 5000 + n % 977);
      sqlite3_bind_int(st, 3, 1200 + n % 311);
      sqlite3_bind_double(st, 4, 250000.0 + (n % 1013) * 1.4142135623730951);
      sqlite3_bind_int(st, 5, 20000 + n % 3001);
      sqlite3_bind_int(st, 6, 3000 + n % 601);
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    rows_ = n;
  }

  QString Dir() const { return dir_.path(); }
  QString DbPath() const { return dir_.path() + QStringLiteral("/Data/eye.mdb"); }
  QString ConnectionString() const {
    return QStringLiteral("Provider=SQLite3;Persist Security Info=False;Data Source=") + DbPath() +
           QStringLiteral(";");
  }
  int Rows() const { return rows_; }

 private:
  QTemporaryDir dir_;
  int rows_ = 0;
};
