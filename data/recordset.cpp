#include "recordset.h"

#include "errors.h"

#include <cstring>

namespace {

// Cuts a text to at most size characters, counted as the database counts
// them (code points), never splitting a surrogate pair.
QString cutToSize(const QString& text, int size)
{
    if (size <= 0 || text.size() <= size)
        return text;
    qsizetype i = 0;
    for (int chars = 0; i < text.size() && chars < size; ++chars)
        i += (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    return text.left(i);
}

qint64 parseInteger(const QString& text, bool* ok)
{
    return text.trimmed().toLongLong(ok, 10);
}

[[noreturn]] void notAnInteger(const QString& text)
{
    throw Failure(QStringLiteral("'%1' não é um valor inteiro válido.").arg(text));
}

constexpr quint32 NullBit = 0x80000000u;

} // namespace

// ---------------------------------------------------------------- Field

QString Field::AsString() const
{
    const RecordSet::Value v = m_owner->readValue(m_owner->m_current, m_index);
    if (v.null)
        return {};
    return m_def.kind == ColumnKind::Integer ? QString::number(v.integer) : v.text;
}

int Field::AsInteger() const
{
    const RecordSet::Value v = m_owner->readValue(m_owner->m_current, m_index);
    if (v.null)
        return 0;
    if (m_def.kind == ColumnKind::Integer)
        return int(v.integer);
    if (v.text.trimmed().isEmpty())
        return 0;
    bool ok = false;
    const qint64 n = parseInteger(v.text, &ok);
    if (!ok)
        notAnInteger(v.text);
    return int(n);
}

bool Field::IsNull() const
{
    return m_owner->readValue(m_owner->m_current, m_index).null;
}

void Field::SetAsString(const QString& value)
{
    m_owner->requireEditing();
    RecordSet::Value v;
    if (m_def.kind == ColumnKind::Integer) {
        if (!value.trimmed().isEmpty()) {
            bool ok = false;
            v.integer = parseInteger(value, &ok);
            if (!ok)
                notAnInteger(value);
            v.null = false;
        }
    } else {
        v.text = cutToSize(value, m_def.size);
        v.null = false;
    }
    m_owner->editValue(m_index) = std::move(v);
    emit m_owner->rowChanged(m_owner->m_current);
    emit m_owner->fieldChanged(m_index);
}

void Field::SetAsInteger(int value)
{
    if (m_def.kind == ColumnKind::Text) {
        SetAsString(QString::number(value));
        return;
    }
    m_owner->requireEditing();
    RecordSet::Value v;
    v.null = false;
    v.integer = value;
    m_owner->editValue(m_index) = v;
    emit m_owner->rowChanged(m_owner->m_current);
    emit m_owner->fieldChanged(m_index);
}

void Field::Clear()
{
    m_owner->requireEditing();
    m_owner->editValue(m_index) = {};
    emit m_owner->rowChanged(m_owner->m_current);
    emit m_owner->fieldChanged(m_index);
}

// ------------------------------------------------------------ UpdateSql

UpdateSql UpdateSql::forTable(const QString& table, const QStringList& columns)
{
    const QString key = columns.first();
    QStringList params, assignments;
    for (const QString& c : columns) {
        params << QLatin1Char(':') + c;
        assignments << QStringLiteral("  %1 = :%1").arg(c);
    }
    UpdateSql u;
    u.InsertSQL =
        QStringLiteral("INSERT INTO %1\n(%2)\nVALUES\n(%3)")
            .arg(table, columns.join(QLatin1String(", ")), params.join(QLatin1String(", ")));
    u.ModifySQL = QStringLiteral("UPDATE %1 SET\n%2\nWHERE\n  %1.%3 = :OLD_%3")
                      .arg(table, assignments.join(QLatin1String(",\n")), key);
    u.DeleteSQL = QStringLiteral("DELETE FROM %1\nWHERE\n  %1.%2 = :OLD_%2").arg(table, key);
    return u;
}

// ------------------------------------------------------------ RecordSet

RecordSet::RecordSet(Connection* connection, const QString& name, QObject* parent)
    : QObject(parent), m_connection(connection)
{
    setObjectName(name);
}

RecordSet::~RecordSet() = default;

void RecordSet::raise(const QString& message) const
{
    throw Failure(QStringLiteral("%1: %2").arg(objectName(), message));
}

void RecordSet::SetSQL(const QString& sql)
{
    Close();
    m_sql = sql;
    std::vector<std::unique_ptr<Param>> params;
    for (const QString& name : parsed(sql).names) {
        bool seen = false;
        for (const auto& p : params)
            seen = seen || p->Name().compare(name, Qt::CaseInsensitive) == 0;
        if (seen)
            continue;
        auto param = std::make_unique<Param>(name);
        // A parameter of the same name keeps its value.
        for (const auto& old : m_params)
            if (old->Name().compare(name, Qt::CaseInsensitive) == 0)
                *param = *old;
        params.push_back(std::move(param));
    }
    m_params = std::move(params);
}

void RecordSet::SetFieldDefs(const std::vector<FieldDef>& defs)
{
    m_fields.clear();
    for (const FieldDef& def : defs)
        m_fields.push_back(std::make_unique<Field>(this, int(m_fields.size()), def));
    m_fixedFields = true;
}

Param& RecordSet::ParamByName(const QString& name)
{
    for (const auto& p : m_params)
        if (p->Name().compare(name, Qt::CaseInsensitive) == 0)
            return *p;
    raise(QStringLiteral("parâmetro '%1' não encontrado.").arg(name));
}

Field* RecordSet::FindField(const QString& name) const
{
    for (const auto& f : m_fields)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

Field& RecordSet::FieldByName(const QString& name) const
{
    if (Field* f = FindField(name))
        return *f;
    raise(QStringLiteral("campo '%1' não encontrado.").arg(name));
}

const NamedSql& RecordSet::parsed(const QString& sql) const
{
    auto it = m_parsed.find(sql);
    if (it == m_parsed.end())
        it = m_parsed.insert(sql, NamedSql::parse(sql));
    return *it;
}

void RecordSet::setState(TDataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void RecordSet::setCurrent(int row)
{
    m_atEnd = false;
    if (row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(row);
}

void RecordSet::requireEditing() const
{
    if (m_state != dsEdit && m_state != dsInsert)
        raise(QStringLiteral("o conjunto de dados não está em modo de edição ou inserção."));
}

void RecordSet::checkBrowseMode()
{
    if (m_state == dsEdit || m_state == dsInsert)
        Post();
}

RecordSet::Value& RecordSet::editValue(int field)
{
    return m_editBuffer.at(size_t(field));
}

RecordSet::Value RecordSet::readValue(int row, int field) const
{
    if (row < 0 || row >= int(m_rows.size()) || field < 0 || field >= int(m_fields.size()))
        return {};
    if (row == m_current && (m_state == dsEdit || m_state == dsInsert))
        return m_editBuffer[size_t(field)];
    const char* packed = m_rows[size_t(row)].get();
    if (!packed)
        return {};
    quint32 end, begin = 0;
    std::memcpy(&end, packed + 4 * field, 4);
    if (field > 0) {
        std::memcpy(&begin, packed + 4 * (field - 1), 4);
        begin &= ~NullBit;
    }
    Value v;
    if (end & NullBit)
        return v;
    v.null = false;
    const char* data = packed + 4 * m_fields.size() + begin;
    if (m_fields[size_t(field)]->DataType() == ColumnKind::Integer)
        std::memcpy(&v.integer, data, sizeof v.integer);
    else
        v.text = QString::fromUtf8(data, qsizetype(end - begin));
    return v;
}

std::vector<RecordSet::Value> RecordSet::rowValues(int row) const
{
    std::vector<Value> values(m_fields.size());
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = readValue(row, int(i));
    return values;
}

// A row is stored as one block: the end offset of every cell (the top bit
// marks null), then the cells' bytes (UTF-8 texts, 8-byte integers). So a
// large list costs little more than its texts.
RecordSet::PackedRow RecordSet::pack(const std::vector<Value>& values) const
{
    std::vector<QByteArray> texts(values.size());
    size_t total = 4 * values.size();
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i].null)
            continue;
        if (m_fields[i]->DataType() == ColumnKind::Integer)
            total += 8;
        else
            total += size_t((texts[i] = values[i].text.toUtf8()).size());
    }
    PackedRow row(new char[total]);
    quint32 offset = 0;
    char* data = row.get() + 4 * values.size();
    for (size_t i = 0; i < values.size(); ++i) {
        quint32 end = offset;
        if (values[i].null) {
            end |= NullBit;
        } else if (m_fields[i]->DataType() == ColumnKind::Integer) {
            std::memcpy(data + offset, &values[i].integer, 8);
            end = offset += 8;
        } else {
            std::memcpy(data + offset, texts[i].constData(), size_t(texts[i].size()));
            end = offset += quint32(texts[i].size());
        }
        std::memcpy(row.get() + 4 * i, &end, 4);
    }
    return row;
}

QString RecordSet::cellText(int row, int field) const
{
    const Value v = readValue(row, field);
    if (v.null)
        return {};
    return m_fields[size_t(field)]->DataType() == ColumnKind::Integer ? QString::number(v.integer)
                                                                      : v.text;
}

void RecordSet::Open()
{
    if (Active())
        return;
    const NamedSql& sql = parsed(m_sql);
    std::vector<SqlValue> params;
    for (const QString& name : sql.names)
        params.push_back(ParamByName(name).value());

    // How each selected column is turned into its field's kind.
    enum class Convert
    {
        None,
        TextToInteger,
        IntegerToText
    };
    std::vector<Convert> converts;
    const auto onColumns = [&](const std::vector<ColumnInfo>& columns) {
        if (!m_fixedFields) {
            m_fields.clear();
            for (const ColumnInfo& c : columns)
                m_fields.push_back(std::make_unique<Field>(
                    this, int(m_fields.size()), FieldDef{c.name, c.kind, c.size, false, {}}));
        }
        if (columns.size() != m_fields.size())
            raise(QStringLiteral("a consulta devolveu %1 colunas em vez de %2.")
                      .arg(columns.size())
                      .arg(m_fields.size()));
        for (size_t i = 0; i < columns.size(); ++i) {
            const Field& f = *m_fields[i];
            if (columns[i].name.compare(f.FieldName(), Qt::CaseInsensitive) != 0)
                raise(QStringLiteral("a consulta devolveu a coluna %1 no lugar de %2.")
                          .arg(columns[i].name, f.FieldName()));
            converts.push_back(columns[i].kind == f.DataType()       ? Convert::None
                               : f.DataType() == ColumnKind::Integer ? Convert::TextToInteger
                                                                     : Convert::IntegerToText);
        }
    };

    std::vector<PackedRow> rows;
    const auto onRow = [&](const RowView& view) {
        const size_t n = m_fields.size();
        size_t total = 4 * n;
        bool plain = true;
        for (size_t i = 0; i < n; ++i) {
            plain = plain && converts[i] == Convert::None;
            if (!view.isNull(int(i)))
                total +=
                    m_fields[i]->DataType() == ColumnKind::Integer ? 8 : view.utf8(int(i)).size();
        }
        if (!plain) {
            // A database whose column types differ from ours: go the slow way.
            std::vector<Value> values(n);
            for (size_t i = 0; i < n; ++i) {
                if (view.isNull(int(i)))
                    continue;
                values[i].null = false;
                if (converts[i] == Convert::TextToInteger) {
                    const std::string_view t = view.utf8(int(i));
                    values[i].integer =
                        QByteArray(t.data(), qsizetype(t.size())).trimmed().toLongLong();
                } else if (converts[i] == Convert::IntegerToText) {
                    values[i].text = QString::number(view.integer(int(i)));
                } else if (m_fields[i]->DataType() == ColumnKind::Integer) {
                    values[i].integer = view.integer(int(i));
                } else {
                    const std::string_view t = view.utf8(int(i));
                    values[i].text = QString::fromUtf8(t.data(), qsizetype(t.size()));
                }
            }
            rows.push_back(pack(values));
            return;
        }
        PackedRow row(new char[total]);
        char* data = row.get() + 4 * n;
        quint32 offset = 0;
        for (size_t i = 0; i < n; ++i) {
            quint32 end;
            if (view.isNull(int(i))) {
                end = offset | NullBit;
            } else if (m_fields[i]->DataType() == ColumnKind::Integer) {
                const qint64 v = view.integer(int(i));
                std::memcpy(data + offset, &v, 8);
                end = offset += 8;
            } else {
                const std::string_view t = view.utf8(int(i));
                std::memcpy(data + offset, t.data(), t.size());
                end = offset += quint32(t.size());
            }
            std::memcpy(row.get() + 4 * i, &end, 4);
        }
        rows.push_back(std::move(row));
    };

    m_connection->query(sql.positional, params, onColumns, onRow);

    m_rows = std::move(rows);
    m_current = m_rows.empty() ? -1 : 0;
    m_atEnd = false;
    m_state = dsBrowse;
    emit rowsReset();
    emit currentRowChanged(m_current);
    emit stateChanged(m_state);
}

void RecordSet::Close()
{
    if (!Active())
        return;
    m_rows.clear();
    m_editBuffer.clear();
    m_oldValues.clear();
    m_current = -1;
    m_atEnd = false;
    m_state = dsInactive;
    emit rowsReset();
    emit currentRowChanged(-1);
    emit stateChanged(m_state);
}

void RecordSet::First()
{
    SetRecNo(0);
}

void RecordSet::Last()
{
    SetRecNo(RecordCount() - 1);
}

void RecordSet::Next()
{
    if (!Active())
        raise(QStringLiteral("o conjunto de dados está fechado."));
    checkBrowseMode();
    if (m_current + 1 < RecordCount())
        setCurrent(m_current + 1);
    else
        m_atEnd = true;
}

void RecordSet::SetRecNo(int row)
{
    if (!Active())
        raise(QStringLiteral("o conjunto de dados está fechado."));
    if (m_rows.empty())
        return;
    row = std::clamp(row, 0, RecordCount() - 1);
    if (row == m_current) {
        m_atEnd = false;
        return;
    }
    checkBrowseMode();
    setCurrent(row);
}

bool RecordSet::Locate(const QString& fieldName, const QString& value)
{
    if (!Active())
        raise(QStringLiteral("o conjunto de dados está fechado."));
    const int field = FieldByName(fieldName).Index();
    for (int row = 0; row < RecordCount(); ++row) {
        if (cellText(row, field) == value) {
            SetRecNo(row);
            return RecNo() == row;
        }
    }
    return false;
}

void RecordSet::Edit()
{
    if (m_state == dsEdit || m_state == dsInsert)
        return;
    if (!Active())
        raise(QStringLiteral("o conjunto de dados está fechado."));
    if (m_rows.empty() || m_current < 0) {
        Append();
        return;
    }
    m_oldValues = rowValues(m_current);
    m_editBuffer = m_oldValues;
    setState(dsEdit);
}

void RecordSet::Append()
{
    if (!Active())
        raise(QStringLiteral("o conjunto de dados está fechado."));
    checkBrowseMode();
    m_rows.emplace_back();
    m_editBuffer.assign(m_fields.size(), Value{});
    m_oldValues.assign(m_fields.size(), Value{});
    // The state goes first, so views asking for the new row see its
    // (empty) pending values.
    m_state = dsInsert;
    emit rowInserted(RecordCount() - 1);
    setCurrent(RecordCount() - 1);
    emit stateChanged(m_state);
}

std::vector<SqlValue> RecordSet::bind(const NamedSql& sql, const std::vector<Value>& current,
                                      const std::vector<Value>& old) const
{
    std::vector<SqlValue> values;
    values.reserve(size_t(sql.names.size()));
    for (const QString& name : sql.names) {
        const bool isOld = name.startsWith(QLatin1String("OLD_"), Qt::CaseInsensitive);
        const Field* field = FindField(isOld ? name.mid(4) : name);
        if (!field)
            field = FindField(name);
        if (!field)
            raise(QStringLiteral("o comando de gravação usa o parâmetro desconhecido '%1'.")
                      .arg(name));
        const size_t i = size_t(field->Index());
        values.push_back(sqlValue(
            isOld && field->FieldName().compare(name, Qt::CaseInsensitive) != 0 ? old[i]
                                                                                : current[i],
            int(i)));
    }
    return values;
}

SqlValue RecordSet::sqlValue(const Value& value, int field) const
{
    if (value.null)
        return SqlValue::null();
    if (m_fields[size_t(field)]->DataType() == ColumnKind::Integer)
        return SqlValue::fromInteger(value.integer);
    return SqlValue::fromText(value.text);
}

void RecordSet::Post()
{
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    if (BeforePost)
        BeforePost(*this);
    for (const auto& f : m_fields)
        if (f->Required() && m_editBuffer[size_t(f->Index())].null)
            raise(QStringLiteral("o campo '%1' precisa ter um valor.").arg(f->FieldName()));

    const bool inserting = m_state == dsInsert;
    const QString& statement = inserting ? m_update.InsertSQL : m_update.ModifySQL;
    if (statement.isEmpty())
        raise(QStringLiteral("este conjunto de dados não pode ser gravado."));
    const NamedSql& sql = parsed(statement);
    const int affected =
        m_connection->execute(sql.positional, bind(sql, m_editBuffer, m_oldValues));
    if (!inserting && affected == 0)
        raise(QStringLiteral("o registro não existe mais no banco de dados (excluído ou alterado "
                             "em outra estação). Nada foi gravado."));

    m_rows[size_t(m_current)] = pack(m_editBuffer);
    m_editBuffer.clear();
    m_oldValues.clear();
    setState(dsBrowse);
    emit rowChanged(m_current);
}

void RecordSet::Cancel()
{
    if (m_state == dsEdit) {
        m_editBuffer.clear();
        m_oldValues.clear();
        setState(dsBrowse);
        emit rowChanged(m_current);
    } else if (m_state == dsInsert) {
        m_editBuffer.clear();
        m_oldValues.clear();
        const int row = m_current;
        m_rows.erase(m_rows.begin() + row);
        m_state = dsBrowse;
        emit rowRemoved(row);
        m_current = -2; // forces the signal below
        setCurrent(std::min(row, RecordCount() - 1));
        emit stateChanged(m_state);
    }
}

void RecordSet::Delete()
{
    if (m_state != dsBrowse || m_current < 0)
        return;
    if (m_update.DeleteSQL.isEmpty())
        raise(QStringLiteral("este conjunto de dados não pode ser excluído."));
    const std::vector<Value> values = rowValues(m_current);
    const NamedSql& sql = parsed(m_update.DeleteSQL);
    m_connection->execute(sql.positional, bind(sql, values, values));

    const int row = m_current;
    m_rows.erase(m_rows.begin() + row);
    emit rowRemoved(row);
    m_current = -2;
    setCurrent(std::min(row, RecordCount() - 1));
}
