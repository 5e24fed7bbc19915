#include "PageFixture.h"

#include <QCoreApplication>

namespace settings_test {

HookCalls& Hooks() {
  static HookCalls calls;
  return calls;
}

namespace {

bool KeyStart(std::uintptr_t, std::uint32_t, bool) {
  ++Hooks().keyStarts;
  return true;
}
bool KeyStop() {
  ++Hooks().keyStops;
  return true;
}
bool MouseStart(std::uintptr_t, std::uint32_t, bool) {
  ++Hooks().mouseStarts;
  return true;
}
bool MouseStop() {
  ++Hooks().mouseStops;
  return true;
}

const TKeyboardHookLibrary kKeyLibrary{KeyStart, KeyStop};
const TMouseHookLibrary kMouseLibrary{MouseStart, MouseStop};

int TraceStatement(unsigned type, void* ctx, void*, void* x) {
  if (type == SQLITE_TRACE_STMT) {
    const QString sql = QString::fromUtf8(static_cast<const char*>(x));
    if (!sql.startsWith("--")) static_cast<StatementLog*>(ctx)->all << sql;
  }
  return 0;
}

}  // namespace

QStringList StatementLog::Updates() const {
  QStringList u;
  for (const QString& s : all)
    if (s.startsWith("update", Qt::CaseInsensitive)) u << s;
  return u;
}

void PageTest::SetUp() {
  ASSERT_TRUE(tmp.isValid());
  appDir = tmp.path() + "/app dir";
  ASSERT_TRUE(QDir().mkpath(appDir + "/Data"));
  ASSERT_TRUE(QFile::copy(TALVENOR_DB_TEMPLATE, appDir + "/Data/eye.mdb"));
  QFile(appDir + "/Data/eye.mdb").setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  core.system.exePath = appDir + "/talvenor";

  hadConfig_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
  savedConfig_ = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", (tmp.path() + "/config").toUtf8());
  platform::SetAutostart(&autostart);
  platform::SetSound(&sound);
  SetKeyboardHookLibrary(&kKeyLibrary);
  SetMouseHookLibrary(&kMouseLibrary);
  Hooks() = HookCalls{};
  RunState = TRunState{};

  FrmDM = new TFrmDM;
  KeyHook = new TCPKeyHook(nullptr);
  MouseHook = new TCPMouseHook(nullptr);
  RestEngine = new TRestEngine(RunState, host, nullptr);
  NewPage();
}

void PageTest::NewPage() {
  page.reset();
  page = std::make_unique<TfmWebStyle>();
  fmWebStyle = page.get();
  RestEngine->SetSettings(page.get());
  CounterLabels = page.get();
}

void PageTest::TearDown() {
  if (tracedDb_) sqlite3_trace_v2(tracedDb_, 0, nullptr, nullptr);
  page.reset();
  fmWebStyle = nullptr;
  CounterLabels = nullptr;
  delete RestEngine;
  RestEngine = nullptr;
  delete KeyHook;
  KeyHook = nullptr;
  delete MouseHook;
  MouseHook = nullptr;
  delete FrmDM;
  FrmDM = nullptr;
  SetKeyboardHookLibrary(nullptr);
  SetMouseHookLibrary(nullptr);
  platform::SetSound(nullptr);
  platform::SetAutostart(nullptr);
  if (hadConfig_)
    qputenv("XDG_CONFIG_HOME", savedConfig_);
  else
    qunsetenv("XDG_CONFIG_HOME");
  RunState = TRunState{};
}

void PageTest::Trace() {
  tracedDb_ = FrmDM->ADOConnection.Handle();
  sqlite3_trace_v2(tracedDb_, SQLITE_TRACE_STMT, TraceStatement, &log);
  log.all.clear();
}

void PageTest::Sql(const QString& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2((appDir + "/Data/eye.mdb").toUtf8().constData(), &db,
                            SQLITE_OPEN_READWRITE, nullptr),
            SQLITE_OK);
  char* err = nullptr;
  const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
  EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << " in " << sql.toStdString();
  sqlite3_free(err);
  sqlite3_close(db);
}

QVariant PageTest::Stored(const QString& column) {
  sqlite3* db = nullptr;
  sqlite3_open_v2((appDir + "/Data/eye.mdb").toUtf8().constData(), &db, SQLITE_OPEN_READONLY,
                  nullptr);
  sqlite3_stmt* st = nullptr;
  QVariant v;
  const QByteArray sql = ("select " + column + " from Setting").toUtf8();
  if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK &&
      sqlite3_step(st) == SQLITE_ROW) {
    switch (sqlite3_column_type(st, 0)) {
      case SQLITE_INTEGER:
        v = qlonglong(sqlite3_column_int64(st, 0));
        break;
      case SQLITE_FLOAT:
        v = sqlite3_column_double(st, 0);
        break;
      case SQLITE_TEXT:
        v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        break;
      default:
        break;
    }
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return v;
}

}  // namespace settings_test
