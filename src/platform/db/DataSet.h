#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/db/Connection.h"

namespace platform {

enum class FieldType { Unknown, Text, Integer, Float, Boolean, DateTime, Blob };

// One value of a row as the engine holds it.
struct DbValue {
  enum class Kind : std::uint8_t { Null, Integer, Float, Text, Blob };
  Kind kind = Kind::Null;
  std::int64_t integer = 0;
  double real = 0.0;
  QByteArray bytes;  // UTF-8 text, or the blob

  static DbValue FromVariant(const QVariant& v);
};

// A whole number from a floating-point one, a half going to the even neighbour.
double RoundHalfEven(double x);

class DataSet;

// A field of a data set's current row. Reads follow the NULL rules: an empty
// field reads as "", false, 0 or 0.0.
class Field {
 public:
  const QString& FieldName() const { return name_; }
  FieldType DataType() const { return type_; }
  // The declared size of a text field (0 when not declared).
  int Size() const { return size_; }

  bool IsNull() const;
  QString AsString() const;
  bool AsBoolean() const;
  // A floating-point value is rounded to the nearest whole number, a half to
  // the even neighbour.
  std::int64_t AsInteger() const;
  double AsFloat() const;
  // A null QDateTime for an empty field.
  QDateTime AsDateTime() const;
  QVariant AsVariant() const;

  // Writes need the data set to be in edit or insert mode.
  void SetAsString(const QString& v);
  void SetAsBoolean(bool v);
  void SetAsInteger(std::int64_t v);
  void SetAsFloat(double v);
  void SetAsDateTime(const QDateTime& v);
  void Clear();

  // The text the field shows: OnGetText when set, otherwise the value's plain
  // text (a whole floating-point number without a decimal point).
  QString DisplayText() const;
  // The text the field would show for this value (for a grid that holds the
  // values of all rows).
  QString DisplayTextFor(const QVariant& value) const;

  // OnGetText(Sender, Text, DisplayText): gives in Text the text to show.
  std::function<void(Field& sender, QString& text, bool displayText)> OnGetText;

  DataSet& Owner() const { return *owner_; }

 private:
  friend class DataSet;
  Field(DataSet* owner, QString name, FieldType type, int size, bool declared)
      : owner_(owner), name_(std::move(name)), type_(type), size_(size), declared_(declared) {}
  const DbValue& Value() const;
  void Assign(DbValue v);

  DataSet* owner_;
  QString name_;
  FieldType type_;
  int size_;
  bool declared_;
  int column_ = -1;
  mutable const DbValue* probe_ = nullptr;
};

// Told when a data set opens, closes, moves or changes a row.
class DataSetObserver {
 public:
  virtual ~DataSetObserver() = default;
  virtual void DataSetChanged(DataSet& ds) = 0;
  virtual void DataSetDestroyed(DataSet& ds) = 0;
};

// A data set over a statement on a connection. Opening reads the whole result
// (a static cursor: later changes of the table do not show). A result whose
// columns come from one table can be edited and appended to; a post writes the
// row back and fails when the row was changed by someone else since it was read.
class DataSet {
 public:
  enum class State { Inactive, Browse, Edit, Insert };

  explicit DataSet(Connection* connection = nullptr);
  ~DataSet();
  DataSet(const DataSet&) = delete;
  DataSet& operator=(const DataSet&) = delete;

  Connection* GetConnection() const { return connection_; }
  void SetConnection(Connection* c) { connection_ = c; }
  QString CommandText() const { return commandText_; }
  void SetCommandText(const QString& sql) { commandText_ = sql; }

  // Fields declared in advance, by name and type: the result must bring each
  // (by name, without regard to case) and only these are the data set's fields.
  Field& AddField(const QString& name, FieldType type, int size = 0);

  // Runs the statement (opening the connection if it is closed) and stands on
  // the first row. Opening an open data set does nothing.
  void Open();
  // Closing a closed data set does nothing; a pending edit is dropped.
  void Close();
  bool Active() const { return state_ != State::Inactive; }
  void SetActive(bool on) { on ? Open() : Close(); }
  State GetState() const { return state_; }

  bool IsEmpty() const;
  int RecordCount() const;
  // 1-based number of the current row; 0 when there is none.
  int RecNo() const;
  void First();
  void Next();
  void Prior();
  void Last();
  // 0-based.
  void MoveTo(int row);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  Field& Fields(int index);
  Field* FindField(const QString& name);
  // Throws DbError when the data set has no field of that name.
  Field& FieldByName(const QString& name);

  // Starts a new row with every field empty.
  void Append();
  // Starts changing the current row.
  void Edit();
  // Writes the appended or edited row to its table.
  void Post();
  void Cancel();

  void AddObserver(DataSetObserver* o);
  void RemoveObserver(DataSetObserver* o);

 private:
  friend class Field;
  struct Column {
    QString name;
    QString table;   // origin table, empty for an expression
    QString origin;  // origin column
    QString schema;
    FieldType declared = FieldType::Unknown;
  };

  const DbValue& CurrentValue(int column) const;
  void SetValue(int column, DbValue v);
  void CheckActive() const;
  void CheckBrowse();
  void CheckUpdatable() const;
  void Notify();
  void PostInsert(sqlite3* db);
  void PostEdit(sqlite3* db);
  QString QualifiedTable() const;

  Connection* connection_;
  QString commandText_;
  State state_ = State::Inactive;
  std::vector<std::unique_ptr<Field>> fields_;
  std::vector<Column> columns_;
  std::vector<std::vector<DbValue>> rows_;
  std::vector<DbValue> buffer_;
  std::vector<bool> modified_;
  int current_ = 0;
  bool eof_ = true;
  bool bof_ = true;
  bool updatable_ = false;
  QString updateTable_;
  QString updateSchema_;
  std::vector<DataSetObserver*> observers_;
};

// Links a data set to what shows it: OnDataChange runs whenever the data set
// opens, closes, moves or changes a row.
class DataSource : private DataSetObserver {
 public:
  DataSource() = default;
  ~DataSource() override;
  DataSource(const DataSource&) = delete;
  DataSource& operator=(const DataSource&) = delete;

  DataSet* GetDataSet() const { return dataSet_; }
  void SetDataSet(DataSet* ds);

  std::function<void()> OnDataChange;

 private:
  void DataSetChanged(DataSet& ds) override;
  void DataSetDestroyed(DataSet& ds) override;
  DataSet* dataSet_ = nullptr;
};

}  // namespace platform
