#include "platform/db/DataSet.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/db/DateText.h"
#include "platform/db/Internal.h"
#include "platform/db/Statement.h"

namespace platform {

namespace {

// Text of a floating-point number: a whole number without a decimal point,
// others with up to 15 significant digits.
QString FloatText(double d) {
  if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
    return QString::number(static_cast<std::int64_t>(d));
  return QString::number(d, 'g', 15);
}

FieldType TypeOfDeclaration(const char* decl) {
  if (!decl) return FieldType::Unknown;
  const QByteArray d = QByteArray(decl).toUpper();
  if (d.contains("BOOL") || d.contains("BIT") || d.contains("LOGICAL")) return FieldType::Boolean;
  if (d.contains("DATE") || d.contains("TIME")) return FieldType::DateTime;
  if (d.contains("INT")) return FieldType::Integer;
  if (d.contains("CHAR") || d.contains("CLOB") || d.contains("TEXT")) return FieldType::Text;
  if (d.contains("BLOB")) return FieldType::Blob;
  if (d.contains("REAL") || d.contains("FLOA") || d.contains("DOUB") || d.contains("NUM") ||
      d.contains("DEC"))
    return FieldType::Float;
  return FieldType::Unknown;
}

FieldType TypeOfValue(const DbValue& v) {
  switch (v.kind) {
    case DbValue::Kind::Integer:
      return FieldType::Integer;
    case DbValue::Kind::Float:
      return FieldType::Float;
    case DbValue::Kind::Text:
      return FieldType::Text;
    case DbValue::Kind::Blob:
      return FieldType::Blob;
    default:
      return FieldType::Unknown;
  }
}

DbValue ReadColumn(sqlite3_stmt* st, int i) {
  DbValue v;
  switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
      v.kind = DbValue::Kind::Integer;
      v.integer = sqlite3_column_int64(st, i);
      break;
    case SQLITE_FLOAT:
      v.kind = DbValue::Kind::Float;
      v.real = sqlite3_column_double(st, i);
      break;
    case SQLITE_TEXT: {
      v.kind = DbValue::Kind::Text;
      const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
      v.bytes = QByteArray(p, sqlite3_column_bytes(st, i));
      break;
    }
    case SQLITE_BLOB: {
      v.kind = DbValue::Kind::Blob;
      const auto* p = static_cast<const char*>(sqlite3_column_blob(st, i));
      v.bytes = QByteArray(p, sqlite3_column_bytes(st, i));
      break;
    }
    default:
      break;
  }
  return v;
}

int Bind(sqlite3_stmt* st, int index, const DbValue& v) {
  switch (v.kind) {
    case DbValue::Kind::Integer:
      return sqlite3_bind_int64(st, index, v.integer);
    case DbValue::Kind::Float:
      return sqlite3_bind_double(st, index, v.real);
    case DbValue::Kind::Text:
      return sqlite3_bind_text(st, index, v.bytes.constData(), static_cast<int>(v.bytes.size()),
                               SQLITE_TRANSIENT);
    case DbValue::Kind::Blob:
      return sqlite3_bind_blob(st, index, v.bytes.constData(), static_cast<int>(v.bytes.size()),
                               SQLITE_TRANSIENT);
    default:
      return sqlite3_bind_null(st, index);
  }
}

QString Quoted(const QString& name) {
  QString q = name;
  q.replace(QLatin1Char('"'), QLatin1String("\"\""));
  return QLatin1Char('"') + q + QLatin1Char('"');
}

db::StatementPtr Prepare(sqlite3* db, const QString& sql) {
  const QByteArray text = sql.toUtf8();
  sqlite3_stmt* raw = nullptr;
  const int rc =
      sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()) + 1, &raw, nullptr);
  db::StatementPtr st(raw);
  if (rc != SQLITE_OK) Connection::Fail(db, rc);
  return st;
}

QString ValueText(const DbValue& v) {
  switch (v.kind) {
    case DbValue::Kind::Integer:
      return QString::number(v.integer);
    case DbValue::Kind::Float:
      return FloatText(v.real);
    case DbValue::Kind::Text:
    case DbValue::Kind::Blob:
      return QString::fromUtf8(v.bytes);
    default:
      return QString();
  }
}

bool TextNumber(const DbValue& v, double& out) {
  bool ok = false;
  out = v.bytes.trimmed().toDouble(&ok);
  return ok;
}

}  // namespace

double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  const double lower = std::floor(x);
  const double diff = x - lower;
  if (diff > 0.5) return lower + 1.0;
  if (diff < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

DbValue DbValue::FromVariant(const QVariant& v) {
  DbValue out;
  if (!v.isValid() || v.isNull()) return out;
  switch (v.metaType().id()) {
    case QMetaType::Bool:
      out.kind = Kind::Integer;
      out.integer = v.toBool() ? -1 : 0;
      break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
      out.kind = Kind::Integer;
      out.integer = v.toLongLong();
      break;
    case QMetaType::Double:
    case QMetaType::Float:
      out.kind = Kind::Float;
      out.real = v.toDouble();
      break;
    case QMetaType::QByteArray:
      out.kind = Kind::Blob;
      out.bytes = v.toByteArray();
      break;
    case QMetaType::QDateTime:
      out.kind = Kind::Text;
      out.bytes = db::StoredText(v.toDateTime()).toUtf8();
      break;
    default:
      out.kind = Kind::Text;
      out.bytes = v.toString().toUtf8();
  }
  return out;
}

// ---- Field ----

const DbValue& Field::Value() const {
  if (probe_) return *probe_;
  return owner_->CurrentValue(column_);
}

bool Field::IsNull() const {
  return Value().kind == DbValue::Kind::Null;
}

QString Field::AsString() const {
  return ValueText(Value());
}

bool Field::AsBoolean() const {
  const DbValue& v = Value();
  switch (v.kind) {
    case DbValue::Kind::Integer:
      return v.integer != 0;
    case DbValue::Kind::Float:
      return v.real != 0.0;
    case DbValue::Kind::Text:
    case DbValue::Kind::Blob: {
      double d = 0;
      if (TextNumber(v, d)) return d != 0.0;
      const QByteArray t = v.bytes.trimmed();
      return !t.isEmpty() && QByteArray("tTyY").contains(t[0]);
    }
    default:
      return false;
  }
}

std::int64_t Field::AsInteger() const {
  const DbValue& v = Value();
  double d = 0;
  switch (v.kind) {
    case DbValue::Kind::Integer:
      return v.integer;
    case DbValue::Kind::Float:
      d = v.real;
      break;
    case DbValue::Kind::Text:
    case DbValue::Kind::Blob: {
      bool ok = false;
      const std::int64_t i = v.bytes.trimmed().toLongLong(&ok);
      if (ok) return i;
      if (!TextNumber(v, d))
        throw DbError(QStringLiteral("'%1' is not a valid integer value for field '%2'")
                          .arg(QString::fromUtf8(v.bytes), name_));
      break;
    }
    default:
      return 0;
  }
  const double r = RoundHalfEven(d);
  if (!std::isfinite(r) || r < -9.2e18 || r > 9.2e18)
    throw DbError(QStringLiteral("%1 is out of the range of whole numbers (field '%2')")
                      .arg(FloatText(d), name_));
  return static_cast<std::int64_t>(r);
}

double Field::AsFloat() const {
  const DbValue& v = Value();
  switch (v.kind) {
    case DbValue::Kind::Integer:
      return static_cast<double>(v.integer);
    case DbValue::Kind::Float:
      return v.real;
    case DbValue::Kind::Text:
    case DbValue::Kind::Blob: {
      double d = 0;
      if (!TextNumber(v, d))
        throw DbError(QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                          .arg(QString::fromUtf8(v.bytes), name_));
      return d;
    }
    default:
      return 0.0;
  }
}

QDateTime Field::AsDateTime() const {
  const DbValue& v = Value();
  db::DateTimeParts t;
  bool ok = false;
  switch (v.kind) {
    case DbValue::Kind::Null:
      return QDateTime();
    case DbValue::Kind::Integer:
      ok = db::FromSerial(static_cast<double>(v.integer), t);
      break;
    case DbValue::Kind::Float:
      ok = db::FromSerial(v.real, t);
      break;
    default:
      ok = db::ParseDateTime(std::string_view(v.bytes.constData(), v.bytes.size()), t);
  }
  if (!ok)
    throw DbError(QStringLiteral("'%1' is not a valid date and time for field '%2'")
                      .arg(ValueText(v), name_));
  return db::ToQDateTime(t);
}

QVariant Field::AsVariant() const {
  const DbValue& v = Value();
  switch (v.kind) {
    case DbValue::Kind::Null:
      return QVariant();
    case DbValue::Kind::Integer:
      if (type_ == FieldType::Float) return QVariant(static_cast<double>(v.integer));
      if (type_ == FieldType::Boolean) return QVariant(v.integer != 0);
      return QVariant(static_cast<qlonglong>(v.integer));
    case DbValue::Kind::Float:
      return QVariant(v.real);
    case DbValue::Kind::Text:
      if (type_ == FieldType::Float) return QVariant(AsFloat());
      return QVariant(QString::fromUtf8(v.bytes));
    default:
      return QVariant(v.bytes);
  }
}

void Field::Assign(DbValue v) {
  owner_->SetValue(column_, std::move(v));
}

void Field::SetAsString(const QString& v) {
  DbValue d;
  d.kind = DbValue::Kind::Text;
  d.bytes = v.toUtf8();
  Assign(std::move(d));
}

void Field::SetAsBoolean(bool v) {
  SetAsInteger(v ? -1 : 0);
}

void Field::SetAsInteger(std::int64_t v) {
  DbValue d;
  d.kind = DbValue::Kind::Integer;
  d.integer = v;
  Assign(std::move(d));
}

void Field::SetAsFloat(double v) {
  DbValue d;
  if (std::isfinite(v)) {
    d.kind = DbValue::Kind::Float;
    d.real = v;
  }
  Assign(std::move(d));
}

void Field::SetAsDateTime(const QDateTime& v) {
  const QString text = db::StoredText(v);
  if (text.isEmpty())
    throw DbError(QStringLiteral("an invalid date and time for field '%1'").arg(name_));
  SetAsString(text);
}

void Field::Clear() {
  Assign(DbValue());
}

QString Field::DisplayText() const {
  if (OnGetText) {
    QString text;
    OnGetText(const_cast<Field&>(*this), text, true);
    return text;
  }
  if (type_ == FieldType::Boolean && !IsNull())
    return AsBoolean() ? QStringLiteral("True") : QStringLiteral("False");
  if (type_ == FieldType::Float && Value().kind != DbValue::Kind::Null) return FloatText(AsFloat());
  return AsString();
}

QString Field::DisplayTextFor(const QVariant& value) const {
  const DbValue v = DbValue::FromVariant(value);
  const DbValue* saved = probe_;
  probe_ = &v;
  struct Restore {
    const Field* f;
    const DbValue* saved;
    ~Restore() { f->probe_ = saved; }
  } restore{this, saved};
  return DisplayText();
}

// ---- DataSet ----

DataSet::DataSet(Connection* connection) : connection_(connection) {}

DataSet::~DataSet() {
  const std::vector<DataSetObserver*> observers = observers_;
  for (DataSetObserver* o : observers) o->DataSetDestroyed(*this);
}

Field& DataSet::AddField(const QString& name, FieldType type, int size) {
  if (Active()) throw DbError(QStringLiteral("fields cannot be declared on an open data set"));
  fields_.push_back(std::unique_ptr<Field>(new Field(this, name, type, size, true)));
  return *fields_.back();
}

void DataSet::Open() {
  if (Active()) return;
  if (!connection_) throw DbError(QStringLiteral("the data set has no connection"));
  sqlite3* db = connection_->Handle();
  const QByteArray text = db::TranslateStatement(commandText_).toUtf8();
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()) + 1, &raw, &tail);
  db::StatementPtr st(raw);
  if (rc != SQLITE_OK) Connection::Fail(db, rc);
  if (!st) throw DbError(QStringLiteral("the statement is empty"));
  if (!db::NothingFollows(tail))
    throw DbError(QStringLiteral("only one statement can be run at a time"));
  const int count = sqlite3_column_count(st.get());
  if (count == 0) throw DbError(QStringLiteral("the statement returns no rows"));

  std::vector<Column> columns(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    Column& c = columns[static_cast<std::size_t>(i)];
    c.name = QString::fromUtf8(sqlite3_column_name(st.get(), i));
    if (const char* t = sqlite3_column_table_name(st.get(), i)) c.table = QString::fromUtf8(t);
    if (const char* o = sqlite3_column_origin_name(st.get(), i)) c.origin = QString::fromUtf8(o);
    if (const char* s = sqlite3_column_database_name(st.get(), i)) c.schema = QString::fromUtf8(s);
    c.declared = TypeOfDeclaration(sqlite3_column_decltype(st.get(), i));
  }
  std::vector<std::vector<DbValue>> rows;
  while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
    std::vector<DbValue> row(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) row[static_cast<std::size_t>(i)] = ReadColumn(st.get(), i);
    rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) Connection::Fail(db, rc);

  auto columnOf = [&](const QString& name) {
    for (int i = 0; i < count; ++i)
      if (columns[static_cast<std::size_t>(i)].name.compare(name, Qt::CaseInsensitive) == 0)
        return i;
    return -1;
  };
  const bool declared = !fields_.empty();
  if (declared) {
    for (auto& f : fields_) {
      const int c = columnOf(f->name_);
      if (c < 0) {
        for (auto& g : fields_) g->column_ = -1;
        throw DbError(QStringLiteral("field '%1' not found in the result").arg(f->name_));
      }
      f->column_ = c;
    }
  } else {
    for (int i = 0; i < count; ++i) {
      const Column& c = columns[static_cast<std::size_t>(i)];
      FieldType type = c.declared;
      for (std::size_t r = 0; type == FieldType::Unknown && r < rows.size(); ++r)
        type = TypeOfValue(rows[r][static_cast<std::size_t>(i)]);
      fields_.push_back(std::unique_ptr<Field>(new Field(this, c.name, type, 0, false)));
      fields_.back()->column_ = i;
    }
  }

  // Editable when every column that comes from a table comes from the same one.
  updatable_ = false;
  updateTable_.clear();
  updateSchema_.clear();
  for (const Column& c : columns) {
    if (c.table.isEmpty()) continue;
    if (!updatable_) {
      updatable_ = true;
      updateTable_ = c.table;
      updateSchema_ = c.schema;
    } else if (c.table != updateTable_ || c.schema != updateSchema_) {
      updatable_ = false;
      updateTable_.clear();
      break;
    }
  }

  columns_ = std::move(columns);
  rows_ = std::move(rows);
  current_ = 0;
  bof_ = true;
  eof_ = rows_.empty();
  state_ = State::Browse;
  Notify();
}

void DataSet::Close() {
  if (!Active()) return;
  state_ = State::Inactive;
  rows_.clear();
  columns_.clear();
  buffer_.clear();
  modified_.clear();
  fields_.erase(std::remove_if(fields_.begin(), fields_.end(),
                               [](const std::unique_ptr<Field>& f) { return !f->declared_; }),
                fields_.end());
  for (auto& f : fields_) f->column_ = -1;
  current_ = 0;
  eof_ = bof_ = true;
  Notify();
}

void DataSet::CheckActive() const {
  if (!Active()) throw DbError(QStringLiteral("the data set is closed"));
}

void DataSet::CheckBrowse() {
  CheckActive();
  if (state_ == State::Edit || state_ == State::Insert) Post();
}

bool DataSet::IsEmpty() const {
  CheckActive();
  return rows_.empty() && state_ != State::Insert;
}

int DataSet::RecordCount() const {
  CheckActive();
  return static_cast<int>(rows_.size());
}

int DataSet::RecNo() const {
  if (!Active() || rows_.empty()) return 0;
  return current_ + 1;
}

void DataSet::First() {
  CheckBrowse();
  current_ = 0;
  bof_ = true;
  eof_ = rows_.empty();
  Notify();
}

void DataSet::Next() {
  CheckBrowse();
  if (current_ + 1 < static_cast<int>(rows_.size())) {
    ++current_;
    bof_ = false;
  } else {
    eof_ = true;
  }
  Notify();
}

void DataSet::Prior() {
  CheckBrowse();
  if (current_ > 0) {
    --current_;
    eof_ = false;
  } else {
    bof_ = true;
  }
  Notify();
}

void DataSet::Last() {
  CheckBrowse();
  current_ = rows_.empty() ? 0 : static_cast<int>(rows_.size()) - 1;
  eof_ = true;
  bof_ = rows_.empty();
  Notify();
}

void DataSet::MoveTo(int row) {
  CheckBrowse();
  if (row < 0 || row >= static_cast<int>(rows_.size()))
    throw DbError(QStringLiteral("row %1 is outside the data set").arg(row));
  current_ = row;
  bof_ = row == 0;
  eof_ = false;
  Notify();
}

Field& DataSet::Fields(int index) {
  if (index < 0 || index >= FieldCount())
    throw DbError(QStringLiteral("field index %1 out of range").arg(index));
  return *fields_[static_cast<std::size_t>(index)];
}

Field* DataSet::FindField(const QString& name) {
  for (auto& f : fields_)
    if (f->name_.compare(name, Qt::CaseInsensitive) == 0) return f.get();
  return nullptr;
}

Field& DataSet::FieldByName(const QString& name) {
  if (Field* f = FindField(name)) return *f;
  throw DbError(QStringLiteral("field '%1' not found").arg(name));
}

const DbValue& DataSet::CurrentValue(int column) const {
  static const DbValue kNull;
  CheckActive();
  if (column < 0) return kNull;
  if (state_ == State::Edit || state_ == State::Insert)
    return buffer_[static_cast<std::size_t>(column)];
  if (rows_.empty()) return kNull;
  return rows_[static_cast<std::size_t>(current_)][static_cast<std::size_t>(column)];
}

void DataSet::SetValue(int column, DbValue v) {
  CheckActive();
  if (state_ != State::Edit && state_ != State::Insert)
    throw DbError(QStringLiteral("the data set is not in edit or insert mode"));
  if (column < 0) return;
  buffer_[static_cast<std::size_t>(column)] = std::move(v);
  modified_[static_cast<std::size_t>(column)] = true;
}

void DataSet::CheckUpdatable() const {
  if (!updatable_)
    throw DbError(
        QStringLiteral("the data set cannot be changed: its fields come from no single "
                       "table"));
}

void DataSet::Append() {
  CheckBrowse();
  CheckUpdatable();
  buffer_.assign(columns_.size(), DbValue());
  modified_.assign(columns_.size(), false);
  state_ = State::Insert;
  eof_ = bof_ = true;
  Notify();
}

void DataSet::Edit() {
  CheckActive();
  if (state_ == State::Edit || state_ == State::Insert) return;
  CheckUpdatable();
  if (rows_.empty()) throw DbError(QStringLiteral("the data set has no row to edit"));
  buffer_ = rows_[static_cast<std::size_t>(current_)];
  modified_.assign(columns_.size(), false);
  state_ = State::Edit;
  Notify();
}

void DataSet::Cancel() {
  if (state_ != State::Edit && state_ != State::Insert) return;
  buffer_.clear();
  modified_.clear();
  state_ = State::Browse;
  eof_ = rows_.empty();
  bof_ = current_ == 0;
  Notify();
}

QString DataSet::QualifiedTable() const {
  return (updateSchema_.isEmpty() ? QString() : Quoted(updateSchema_) + QLatin1Char('.')) +
         Quoted(updateTable_);
}

void DataSet::Post() {
  CheckActive();
  if (state_ != State::Edit && state_ != State::Insert)
    throw DbError(QStringLiteral("the data set is not in edit or insert mode"));
  for (std::size_t i = 0; i < columns_.size(); ++i)
    if (modified_[i] && columns_[i].table.isEmpty())
      throw DbError(QStringLiteral("field '%1' cannot be modified").arg(columns_[i].name));
  sqlite3* db = connection_ ? connection_->Handle() : nullptr;
  if (!db) throw DbError(QStringLiteral("the data set has no connection"));
  if (state_ == State::Insert) {
    PostInsert(db);
  } else {
    PostEdit(db);
  }
  buffer_.clear();
  modified_.clear();
  state_ = State::Browse;
  eof_ = false;
  bof_ = current_ == 0;
  Notify();
}

void DataSet::PostInsert(sqlite3* db) {
  QStringList names;
  QStringList marks;
  std::vector<const DbValue*> values;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (!modified_[i]) continue;
    names << Quoted(columns_[i].origin);
    marks << QStringLiteral("?");
    values.push_back(&buffer_[i]);
  }
  const QString sql =
      names.isEmpty()
          ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(QualifiedTable())
          : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(QualifiedTable(), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
  db::StatementPtr st = Prepare(db, sql);
  int rc = SQLITE_OK;
  for (std::size_t k = 0; k < values.size() && rc == SQLITE_OK; ++k)
    rc = Bind(st.get(), static_cast<int>(k) + 1, *values[k]);
  if (rc != SQLITE_OK) Connection::Fail(db, rc);
  rc = sqlite3_step(st.get());
  if (rc != SQLITE_DONE) Connection::Fail(db, rc);
  const sqlite3_int64 rowid = sqlite3_last_insert_rowid(db);

  // Read the row back so that defaults of the table show.
  std::vector<DbValue> row = buffer_;
  QStringList origins;
  std::vector<std::size_t> which;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i].table.isEmpty()) continue;
    origins << Quoted(columns_[i].origin);
    which.push_back(i);
  }
  if (!origins.isEmpty()) {
    db::StatementPtr back = Prepare(db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?")
                                            .arg(origins.join(QLatin1Char(',')), QualifiedTable()));
    rc = sqlite3_bind_int64(back.get(), 1, rowid);
    if (rc != SQLITE_OK) Connection::Fail(db, rc);
    rc = sqlite3_step(back.get());
    if (rc == SQLITE_ROW) {
      for (std::size_t k = 0; k < which.size(); ++k)
        row[which[k]] = ReadColumn(back.get(), static_cast<int>(k));
    } else if (rc != SQLITE_DONE) {
      Connection::Fail(db, rc);
    }
  }
  rows_.push_back(std::move(row));
  current_ = static_cast<int>(rows_.size()) - 1;
}

void DataSet::PostEdit(sqlite3* db) {
  QStringList sets;
  std::vector<const DbValue*> setValues;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (!modified_[i]) continue;
    sets << Quoted(columns_[i].origin) + QStringLiteral("=?");
    setValues.push_back(&buffer_[i]);
  }
  if (sets.isEmpty()) return;
  // The row is found by all the values it had when it was read: a row that
  // another process changed meanwhile is not overwritten.
  const std::vector<DbValue>& original = rows_[static_cast<std::size_t>(current_)];
  QStringList criteria;
  std::vector<const DbValue*> criteriaValues;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i].table.isEmpty()) continue;
    criteria << Quoted(columns_[i].origin) + QStringLiteral(" IS ?");
    criteriaValues.push_back(&original[i]);
  }
  const QString sql = QStringLiteral(
                          "UPDATE %1 SET %2 WHERE rowid=(SELECT rowid FROM %1 WHERE %3 "
                          "LIMIT 1)")
                          .arg(QualifiedTable(), sets.join(QLatin1Char(',')),
                               criteria.join(QStringLiteral(" AND ")));
  db::StatementPtr st = Prepare(db, sql);
  int index = 1;
  int rc = SQLITE_OK;
  for (const DbValue* v : setValues)
    if (rc == SQLITE_OK) rc = Bind(st.get(), index++, *v);
  for (const DbValue* v : criteriaValues)
    if (rc == SQLITE_OK) rc = Bind(st.get(), index++, *v);
  if (rc != SQLITE_OK) Connection::Fail(db, rc);
  rc = sqlite3_step(st.get());
  if (rc != SQLITE_DONE) Connection::Fail(db, rc);
  if (sqlite3_changes(db) == 0)
    throw DbError(
        QStringLiteral("the row cannot be located for updating: it was changed or "
                       "deleted since it was read"));
  rows_[static_cast<std::size_t>(current_)] = buffer_;
}

void DataSet::AddObserver(DataSetObserver* o) {
  if (std::find(observers_.begin(), observers_.end(), o) == observers_.end())
    observers_.push_back(o);
}

void DataSet::RemoveObserver(DataSetObserver* o) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), o), observers_.end());
}

void DataSet::Notify() {
  const std::vector<DataSetObserver*> observers = observers_;
  for (DataSetObserver* o : observers) o->DataSetChanged(*this);
}

// ---- DataSource ----

DataSource::~DataSource() {
  if (dataSet_) dataSet_->RemoveObserver(this);
}

void DataSource::SetDataSet(DataSet* ds) {
  if (ds == dataSet_) return;
  if (dataSet_) dataSet_->RemoveObserver(this);
  dataSet_ = ds;
  if (dataSet_) dataSet_->AddObserver(this);
  if (OnDataChange) OnDataChange();
}

void DataSource::DataSetChanged(DataSet&) {
  if (OnDataChange) OnDataChange();
}

void DataSource::DataSetDestroyed(DataSet&) {
  dataSet_ = nullptr;
  if (OnDataChange) OnDataChange();
}

}  // namespace platform
