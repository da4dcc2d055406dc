#include "connection.h"

#include "busy.h"
#include "errors.h"

#include <firebird/Interface.h>

#include <QHash>
#include <QStringDecoder>

#include <cstring>

using namespace Firebird;

namespace {

IMaster* master()
{
    static IMaster* instance = fb_get_master_interface();
    return instance;
}

IUtil* util()
{
    return master()->getUtilInterface();
}

// A status vector for one call sequence; throws FbException on error.
class Status
{
public:
    Status() : m_status(master()->getStatus()), m_wrapper(m_status) {}
    ~Status() { m_status->dispose(); }
    Status(const Status&) = delete;
    ThrowStatusWrapper* operator&() { return &m_wrapper; }

private:
    IStatus* m_status;
    ThrowStatusWrapper m_wrapper;
};

QString decodeMessage(const char* text)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString s = utf8.decode(QByteArrayView(text, qsizetype(std::strlen(text))));
    if (utf8.hasError())
        s = QString::fromLatin1(text);
    return s.trimmed();
}

DatabaseError toDatabaseError(const IStatus* constStatus)
{
    IStatus* status = const_cast<IStatus*>(constStatus);
    char buffer[4096];
    util()->formatStatus(buffer, sizeof buffer, status);

    std::vector<long> codes;
    const intptr_t* v = status->getErrors();
    while (v && *v != isc_arg_end) {
        const intptr_t kind = *v++;
        const intptr_t value = *v++;
        if (kind == isc_arg_gds)
            codes.push_back(long(value));
        else if (kind == isc_arg_cstring)
            ++v; // length, then the text
    }
    static const long lostCodes[] = {isc_network_error,      isc_net_read_err, isc_net_write_err,
                                     isc_lost_db_connection, isc_conn_lost,    isc_shutdown,
                                     isc_att_shutdown,       isc_bad_db_handle};
    bool lost = false;
    for (long c : codes)
        for (long l : lostCodes)
            lost = lost || c == l;
    return DatabaseError(decodeMessage(buffer), std::move(codes), lost);
}

int bytesPerCharacter(unsigned charSet)
{
    switch (charSet) {
    case 3: // UNICODE_FSS
        return 3;
    case 4: // UTF8
        return 4;
    default:
        return 1;
    }
}

constexpr unsigned CharSetUtf8 = 4;
constexpr unsigned MaxVarcharBytes = 32765;
constexpr unsigned ConvertedTextBytes = 64 * 4;

// A message buffer laid out by its metadata.
struct Message
{
    IMessageMetadata* metadata = nullptr;
    std::vector<unsigned char> buffer;
    std::vector<unsigned> offsets;
    std::vector<unsigned> nullOffsets;
    std::vector<unsigned> types;
    std::vector<unsigned> lengths;

    Message() = default;
    Message(const Message&) = delete;
    ~Message()
    {
        if (metadata)
            metadata->release();
    }

    void layOut(ThrowStatusWrapper* st, IMessageMetadata* meta)
    {
        metadata = meta;
        const unsigned count = meta->getCount(st);
        buffer.assign(meta->getMessageLength(st), 0);
        offsets.resize(count);
        nullOffsets.resize(count);
        types.resize(count);
        lengths.resize(count);
        for (unsigned i = 0; i < count; ++i) {
            lengths[i] = meta->getLength(st, i);
            offsets[i] = meta->getOffset(st, i);
            nullOffsets[i] = meta->getNullOffset(st, i);
            types[i] = meta->getType(st, i) & ~1u;
        }
    }
    unsigned char* data() { return buffer.empty() ? nullptr : buffer.data(); }
};

void buildInput(ThrowStatusWrapper* st, IStatement* statement, const std::vector<SqlValue>& params,
                Message& message)
{
    IMessageMetadata* declared = statement->getInputMetadata(st);
    const unsigned count = declared->getCount(st);
    if (count != params.size()) {
        declared->release();
        throw Failure(QStringLiteral("O comando espera %1 parâmetros e recebeu %2.")
                          .arg(count)
                          .arg(params.size()));
    }
    if (count == 0) {
        message.layOut(st, declared);
        return;
    }

    std::vector<QByteArray> texts(count);
    IMetadataBuilder* builder = declared->getBuilder(st);
    declared->release();
    for (unsigned i = 0; i < count; ++i) {
        const SqlValue& p = params[i];
        if (p.kind == SqlValue::Kind::Integer) {
            builder->setType(st, i, SQL_INT64);
            builder->setLength(st, i, sizeof(ISC_INT64));
            builder->setScale(st, i, 0);
        } else {
            texts[i] = p.text.toUtf8();
            if (unsigned(texts[i].size()) > MaxVarcharBytes) {
                builder->release();
                throw Failure(QStringLiteral("Texto longo demais para um parâmetro."));
            }
            builder->setType(st, i, SQL_VARYING);
            builder->setCharSet(st, i, CharSetUtf8);
            builder->setLength(st, i, std::max<unsigned>(1, unsigned(texts[i].size())));
        }
    }
    IMessageMetadata* meta = builder->getMetadata(st);
    builder->release();
    message.layOut(st, meta);

    for (unsigned i = 0; i < count; ++i) {
        unsigned char* field = message.buffer.data() + message.offsets[i];
        ISC_SHORT isNull = params[i].kind == SqlValue::Kind::Null ? -1 : 0;
        std::memcpy(message.buffer.data() + message.nullOffsets[i], &isNull, sizeof isNull);
        if (params[i].kind == SqlValue::Kind::Integer) {
            const ISC_INT64 v = params[i].integer;
            std::memcpy(field, &v, sizeof v);
        } else {
            const ISC_USHORT length = ISC_USHORT(texts[i].size());
            std::memcpy(field, &length, sizeof length);
            std::memcpy(field + sizeof length, texts[i].constData(), length);
        }
    }
}

// Output columns come as 64-bit integers (whole numbers) or UTF-8 texts
// (everything else, converted by the server).
void buildOutput(ThrowStatusWrapper* st, IStatement* statement, Message& message,
                 std::vector<ColumnInfo>& columns)
{
    IMessageMetadata* declared = statement->getOutputMetadata(st);
    const unsigned count = declared->getCount(st);
    IMetadataBuilder* builder = declared->getBuilder(st);
    columns.resize(count);
    for (unsigned i = 0; i < count; ++i) {
        ColumnInfo& column = columns[i];
        const char* alias = declared->getAlias(st, i);
        column.name = QString::fromUtf8(alias && *alias ? alias : declared->getField(st, i));
        const unsigned type = declared->getType(st, i) & ~1u;
        const int scale = declared->getScale(st, i);
        if ((type == SQL_SHORT || type == SQL_LONG || type == SQL_INT64) && scale == 0) {
            column.kind = ColumnKind::Integer;
            builder->setType(st, i, SQL_INT64);
            builder->setLength(st, i, sizeof(ISC_INT64));
            builder->setScale(st, i, 0);
        } else if (type == SQL_TEXT || type == SQL_VARYING) {
            column.kind = ColumnKind::Text;
            column.size =
                int(declared->getLength(st, i) / bytesPerCharacter(declared->getCharSet(st, i)));
        } else if (type == SQL_BLOB) {
            builder->release();
            declared->release();
            throw Failure(
                QStringLiteral("A coluna %1 é de um tipo não suportado (BLOB).").arg(column.name));
        } else {
            column.kind = ColumnKind::Text;
            column.size = ConvertedTextBytes / 4;
            builder->setType(st, i, SQL_VARYING);
            builder->setCharSet(st, i, CharSetUtf8);
            builder->setLength(st, i, ConvertedTextBytes);
        }
    }
    IMessageMetadata* meta = builder->getMetadata(st);
    builder->release();
    declared->release();
    message.layOut(st, meta);
}

class MessageRow final : public RowView
{
public:
    explicit MessageRow(const Message& m) : m_message(m) {}

    bool isNull(int column) const override
    {
        ISC_SHORT flag;
        std::memcpy(&flag, m_message.buffer.data() + m_message.nullOffsets[column], sizeof flag);
        return flag != 0;
    }
    qint64 integer(int column) const override
    {
        ISC_INT64 v;
        std::memcpy(&v, m_message.buffer.data() + m_message.offsets[column], sizeof v);
        return v;
    }
    std::string_view utf8(int column) const override
    {
        const char* field =
            reinterpret_cast<const char*>(m_message.buffer.data() + m_message.offsets[column]);
        if (m_message.types[column] == SQL_VARYING) {
            ISC_USHORT length;
            std::memcpy(&length, field, sizeof length);
            return {field + sizeof length, length};
        }
        // CHAR columns come padded with blanks.
        std::string_view text(field, m_message.lengths[column]);
        while (!text.empty() && text.back() == ' ')
            text.remove_suffix(1);
        return text;
    }

private:
    const Message& m_message;
};

} // namespace

struct Connection::Impl
{
    IAttachment* attachment = nullptr;
    QHash<QString, IStatement*> statements;

    // Forgets the attachment and its statements; used after the connection
    // was lost, when the server can no longer be asked to free them.
    void drop(bool politely)
    {
        for (IStatement* statement : std::as_const(statements)) {
            try {
                Status status;
                if (politely)
                    statement->free(&status);
                else
                    statement->release();
            } catch (const FbException&) {
                statement->release();
            }
        }
        statements.clear();
        if (attachment) {
            try {
                Status status;
                if (politely)
                    attachment->detach(&status);
                else
                    attachment->release();
            } catch (const FbException&) {
                attachment->release();
            }
            attachment = nullptr;
        }
    }

    void forget(const QString& sql)
    {
        IStatement* statement = statements.take(sql);
        if (!statement)
            return;
        try {
            Status status;
            statement->free(&status);
        } catch (const FbException&) {
            statement->release();
        }
    }

    // Runs body(status, transaction, statement) in a transaction of its own
    // and commits it.
    template <typename Body>
    void run(const QString& sql, bool readOnly, int lockTimeout, Body&& body);
};

Connection::Connection() : d(std::make_unique<Impl>()) {}

Connection::~Connection()
{
    d->drop(true);
}

bool Connection::Connected() const
{
    return d->attachment != nullptr;
}

void Connection::Disconnect()
{
    d->drop(true);
}

namespace {
IXpbBuilder* connectionParameters(ThrowStatusWrapper* st, const QString& user,
                                  const QString& password)
{
    IXpbBuilder* dpb = util()->getXpbBuilder(st, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(st, isc_dpb_user_name, user.toUtf8().constData());
    dpb->insertString(st, isc_dpb_password, password.toUtf8().constData());
    dpb->insertString(st, isc_dpb_lc_ctype, "UTF8");
    // The user name and password are given in UTF-8 too.
    dpb->insertTag(st, isc_dpb_utf8_filename);
    return dpb;
}
} // namespace

void Connection::Connect()
{
    if (d->attachment)
        return;
    BusyScope busy;
    Status status;
    IXpbBuilder* dpb = nullptr;
    try {
        dpb = connectionParameters(&status, m_user, m_password);
        IProvider* provider = master()->getDispatcher();
        d->attachment =
            provider->attachDatabase(&status, connectionString().toUtf8().constData(),
                                     dpb->getBufferLength(&status), dpb->getBuffer(&status));
        provider->release();
        dpb->dispose();
    } catch (const FbException& e) {
        if (dpb)
            dpb->dispose();
        throw toDatabaseError(e.getStatus());
    }
}

void Connection::CreateDatabase()
{
    if (d->attachment)
        throw Failure(QStringLiteral("A conexão já está aberta."));
    BusyScope busy;
    Status status;
    IXpbBuilder* dpb = nullptr;
    try {
        dpb = connectionParameters(&status, m_user, m_password);
        dpb->insertString(&status, isc_dpb_set_db_charset, "UTF8");
        dpb->insertInt(&status, isc_dpb_page_size, 8192);
        IProvider* provider = master()->getDispatcher();
        d->attachment =
            provider->createDatabase(&status, connectionString().toUtf8().constData(),
                                     dpb->getBufferLength(&status), dpb->getBuffer(&status));
        provider->release();
        dpb->dispose();
    } catch (const FbException& e) {
        if (dpb)
            dpb->dispose();
        throw toDatabaseError(e.getStatus());
    }
}

namespace {

ITransaction* startTransaction(ThrowStatusWrapper* st, IAttachment* attachment, bool readOnly,
                               int lockTimeout)
{
    IXpbBuilder* tpb = util()->getXpbBuilder(st, IXpbBuilder::TPB, nullptr, 0);
    tpb->insertTag(st, readOnly ? isc_tpb_read : isc_tpb_write);
    tpb->insertTag(st, isc_tpb_read_committed);
    tpb->insertTag(st, isc_tpb_rec_version);
    tpb->insertTag(st, isc_tpb_wait);
    tpb->insertInt(st, isc_tpb_lock_timeout, lockTimeout);
    ITransaction* transaction =
        attachment->startTransaction(st, tpb->getBufferLength(st), tpb->getBuffer(st));
    tpb->dispose();
    return transaction;
}

// Ends a transaction that failed; its own errors add nothing.
void rollbackQuietly(ITransaction* transaction)
{
    if (!transaction)
        return;
    try {
        Status status;
        transaction->rollback(&status);
    } catch (const FbException&) {
        transaction->release();
    }
}

// What the user reads when the server went away (stopped, restarted, the
// network cut): that nothing is wrong with what was typed, and that trying
// again attaches anew.
QString lostConnectionMessage(const QString& detail)
{
    return QStringLiteral("A conexão com o banco de dados foi perdida. Tente novamente: o "
                          "programa se conecta outra vez.\r") +
           detail;
}

} // namespace

template <typename Body>
void Connection::Impl::run(const QString& sql, bool readOnly, int lockTimeout, Body&& body)
{
    Status status;
    ITransaction* transaction = nullptr;
    try {
        transaction = startTransaction(&status, attachment, readOnly, lockTimeout);
        IStatement* statement = statements.value(sql);
        if (!statement) {
            statement = attachment->prepare(&status, transaction, 0, sql.toUtf8().constData(),
                                            SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
            statements.insert(sql, statement);
        }
        body(&status, transaction, statement);
        transaction->commit(&status);
    } catch (const FbException& e) {
        DatabaseError error = toDatabaseError(e.getStatus());
        rollbackQuietly(transaction);
        if (error.connectionLost()) {
            drop(false);
            throw DatabaseError(lostConnectionMessage(error.message()), error.codes(), true);
        } else {
            // A prepared statement keeps the table's rules as they were when
            // it was prepared; after a failure it is prepared afresh, so a
            // change made meanwhile by the administrator is seen.
            forget(sql);
        }
        throw error;
    } catch (...) {
        rollbackQuietly(transaction);
        throw;
    }
}

void Connection::query(const QString& positionalSql, const std::vector<SqlValue>& params,
                       const std::function<void(const std::vector<ColumnInfo>&)>& onColumns,
                       const std::function<void(const RowView&)>& onRow)
{
    Connect();
    BusyScope busy;
    d->run(positionalSql, true, m_lockTimeout,
           [&](ThrowStatusWrapper* st, ITransaction* transaction, IStatement* statement) {
               Message input;
               buildInput(st, statement, params, input);
               Message output;
               std::vector<ColumnInfo> columns;
               buildOutput(st, statement, output, columns);
               if (onColumns)
                   onColumns(columns);
               IResultSet* cursor = statement->openCursor(st, transaction, input.metadata,
                                                          input.data(), output.metadata, 0);
               try {
                   MessageRow row(output);
                   while (cursor->fetchNext(st, output.data()) == IStatus::RESULT_OK)
                       onRow(row);
                   cursor->close(st);
               } catch (...) {
                   cursor->release();
                   throw;
               }
           });
}

int Connection::execute(const QString& positionalSql, const std::vector<SqlValue>& params)
{
    Connect();
    BusyScope busy;
    int affected = 0;
    d->run(positionalSql, false, m_lockTimeout,
           [&](ThrowStatusWrapper* st, ITransaction* transaction, IStatement* statement) {
               Message input;
               buildInput(st, statement, params, input);
               statement->execute(st, transaction, input.metadata, input.data(), nullptr, nullptr);
               affected = int(statement->getAffectedRecords(st));
           });
    return affected;
}
void Connection::executeScript(const QString& script)
{
    QString statement;
    bool inQuote = false;
    const auto run = [&] {
        const QString sql = statement.trimmed();
        statement.clear();
        if (sql.isEmpty())
            return;
        execute(sql, {});
        // Schema statements are not worth keeping prepared.
        d->forget(sql);
    };
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (!inQuote && trimmed.startsWith(QLatin1String("--")))
            continue;
        for (QChar c : line) {
            if (c == QLatin1Char('\''))
                inQuote = !inQuote;
            if (c == QLatin1Char(';') && !inQuote)
                run();
            else
                statement += c;
        }
        statement += QLatin1Char('\n');
    }
    run();
}
