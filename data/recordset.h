#pragma once

#include "connection.h"
#include "namedsql.h"

#include <QHash>

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class RecordSet;

enum TDataSetState
{
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert
};

// What a column is: its kind, size in characters (text), whether a post
// needs a value in it, and the title grids show for it.
struct FieldDef
{
    QString name;
    ColumnKind kind = ColumnKind::Text;
    int size = 0;
    bool required = false;
    QString label; // empty: grids show the name
};

// One column of a record set's current row.
class Field
{
public:
    Field(RecordSet* owner, int index, FieldDef def)
        : m_owner(owner), m_index(index), m_def(std::move(def))
    {
    }

    const QString& FieldName() const { return m_def.name; }
    ColumnKind DataType() const { return m_def.kind; }
    int Size() const { return m_def.size; }
    bool Required() const { return m_def.required; }
    QString DisplayLabel() const { return m_def.label.isEmpty() ? m_def.name : m_def.label; }
    int Index() const { return m_index; }
    RecordSet* DataSet() const { return m_owner; }

    // A column without value reads as "" or 0.
    QString AsString() const;
    QString AsWideString() const { return AsString(); }
    int AsInteger() const;
    bool IsNull() const;

    // Refused unless the record set is in dsEdit or dsInsert. A text longer
    // than the column is cut to its size; "" is stored as "", not null.
    void SetAsString(const QString& value);
    void SetAsWideString(const QString& value) { SetAsString(value); }
    void SetAsInteger(int value);
    void Clear();

private:
    RecordSet* m_owner;
    int m_index;
    FieldDef m_def;
};

class Param
{
public:
    explicit Param(QString name) : m_name(std::move(name)) {}
    const QString& Name() const { return m_name; }
    QString AsString() const { return m_value.text; }
    void SetAsString(const QString& value) { m_value = SqlValue::fromText(value); }
    void SetAsInteger(qint64 value) { m_value = SqlValue::fromInteger(value); }
    void Clear() { m_value = SqlValue::null(); }
    const SqlValue& value() const { return m_value; }

private:
    QString m_name;
    SqlValue m_value;
};

// The statements that write a record set's rows back. In them a parameter
// named like a column takes the row's current value, and one named OLD_
// and the column takes the value as it was read.
struct UpdateSql
{
    QString InsertSQL;
    QString ModifySQL;
    QString DeleteSQL;

    // The insert, update and delete of a table whose rows are identified by
    // one key column; the column list starts with the key.
    static UpdateSql forTable(const QString& table, const QStringList& columns);
};

// A named query over one table: reads all its rows at Open, keeps one
// current row, edits or appends a row and writes it back through its
// update statements. Bound views follow it through its signals.
class RecordSet : public QObject
{
    Q_OBJECT
public:
    RecordSet(Connection* connection, const QString& name, QObject* parent = nullptr);
    ~RecordSet() override;

    QString Name() const { return objectName(); }

    QString SQL() const { return m_sql; }
    // Replaces the select and its parameters; the set must be closed.
    void SetSQL(const QString& sql);

    // Fixed field objects; without them the fields are made from the
    // select's columns at every Open.
    void SetFieldDefs(const std::vector<FieldDef>& defs);
    void SetUpdateSql(const UpdateSql& statements) { m_update = statements; }

    // Runs at the start of every post; may throw to refuse it.
    std::function<void(RecordSet&)> BeforePost;

    Param& ParamByName(const QString& name);

    void Open();
    void Close();
    void First();
    void Next();
    void Last();
    // True when there are no rows or Next went past the last one.
    bool Eof() const { return m_rows.empty() || m_atEnd; }
    // The current row's position from 0, -1 when there is none. Moving
    // it posts a pending change first.
    int RecNo() const { return m_current; }
    void SetRecNo(int row);
    int RecordCount() const { return int(m_rows.size()); }
    // Makes the first row whose field `fieldName` reads as `value` (compared
    // as text, exactly) the current row, posting a pending change first like
    // any move. False, with the current row unchanged, when no row has it.
    bool Locate(const QString& fieldName, const QString& value);
    TDataSetState State() const { return m_state; }
    bool Active() const { return m_state != dsInactive; }

    void Edit();
    void Append();
    void Post();
    void Cancel();
    void Delete();

    int FieldCount() const { return int(m_fields.size()); }
    Field& Fields(int index) const { return *m_fields.at(size_t(index)); }
    Field* FindField(const QString& name) const;
    Field& FieldByName(const QString& name) const;

    // A cell of any row, as text, for grids; the row being edited shows
    // its pending values.
    QString cellText(int row, int field) const;

signals:
    void stateChanged(TDataSetState state);
    // Open, Close: every row may have changed.
    void rowsReset();
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentRowChanged(int row);
    void fieldChanged(int field);

private:
    friend class Field;
    struct Value
    {
        bool null = true;
        QString text;
        qint64 integer = 0;
    };
    using PackedRow = std::unique_ptr<char[]>;

    void requireEditing() const;
    Value readValue(int row, int field) const;
    Value& editValue(int field);
    void setState(TDataSetState state);
    void setCurrent(int row);
    void checkBrowseMode();
    void loadEditBuffer(int row);
    PackedRow pack(const std::vector<Value>& values) const;
    std::vector<SqlValue> bind(const NamedSql& sql, const std::vector<Value>& current,
                               const std::vector<Value>& old) const;
    const NamedSql& parsed(const QString& sql) const;
    std::vector<Value> rowValues(int row) const;
    [[noreturn]] void raise(const QString& message) const;
    SqlValue sqlValue(const Value& value, int field) const;

    Connection* m_connection;
    QString m_sql;
    std::vector<std::unique_ptr<Param>> m_params;
    std::vector<std::unique_ptr<Field>> m_fields;
    bool m_fixedFields = false;
    UpdateSql m_update;

    std::vector<PackedRow> m_rows; // null: the appended row not yet posted
    int m_current = -1;
    bool m_atEnd = false;
    TDataSetState m_state = dsInactive;
    std::vector<Value> m_editBuffer;
    std::vector<Value> m_oldValues;
    mutable QHash<QString, NamedSql> m_parsed;
};

// What grids and data-bound editors bind to: one record set.
class DataSource : public QObject
{
    Q_OBJECT
public:
    DataSource(RecordSet* dataSet, const QString& name, QObject* parent = nullptr)
        : QObject(parent), m_dataSet(dataSet)
    {
        setObjectName(name);
    }
    RecordSet* DataSet() const { return m_dataSet; }

private:
    RecordSet* m_dataSet;
};
