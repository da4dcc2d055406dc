#pragma once

#include "databaselocation.h"

#include <QString>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

enum class ColumnKind
{
    Integer,
    Text
};

// A value passed to a statement parameter.
struct SqlValue
{
    enum class Kind
    {
        Null,
        Text,
        Integer
    };
    Kind kind = Kind::Null;
    QString text;
    qint64 integer = 0;

    static SqlValue null() { return {}; }
    static SqlValue fromText(QString t) { return {Kind::Text, std::move(t), 0}; }
    static SqlValue fromInteger(qint64 i) { return {Kind::Integer, {}, i}; }
};

struct ColumnInfo
{
    QString name;
    ColumnKind kind = ColumnKind::Text;
    int size = 0; // characters, for text columns
};

// One fetched row; valid only during the row callback. Texts are UTF-8.
class RowView
{
public:
    virtual bool isNull(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    virtual std::string_view utf8(int column) const = 0;

protected:
    ~RowView() = default;
};

// The database connection: one attachment through the Firebird client's own
// interface. Every statement runs in a short read-committed transaction of
// its own that ends as soon as the statement has run, so nothing holds the
// shared database back between the user's actions. A lost connection is
// dropped and attached again by the next statement.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString HostName() const { return m_location.hostName; }
    void SetHostName(const QString& host) { m_location.hostName = host; }
    QString Database() const { return m_location.database; }
    void SetDatabase(const QString& database) { m_location.database = database; }
    int Port() const { return m_location.port; }
    void SetPort(int port) { m_location.port = port; }
    QString User() const { return m_user; }
    void SetUser(const QString& user) { m_user = user; }
    QString Password() const { return m_password; }
    void SetPassword(const QString& password) { m_password = password; }
    QString connectionString() const { return m_location.connectionString(); }
    // Host, database and port together, for the "database" value's parser.
    DatabaseLocation& location() { return m_location; }

    // Seconds a statement waits for a row locked by another transaction
    // before it fails with a lock conflict.
    int lockTimeout() const { return m_lockTimeout; }
    void setLockTimeout(int seconds) { m_lockTimeout = seconds; }

    void Connect();
    void Disconnect();
    bool Connected() const;

    // Creates a new database at the configured location (UTF8 character set)
    // and leaves the connection attached to it.
    void CreateDatabase();

    // Runs a select, delivers its column list and every row, and ends its
    // transaction before returning.
    void query(const QString& positionalSql, const std::vector<SqlValue>& params,
               const std::function<void(const std::vector<ColumnInfo>&)>& onColumns,
               const std::function<void(const RowView&)>& onRow);

    // Runs a statement that returns no rows and commits it at once. Returns
    // the number of rows it inserted, updated or deleted.
    int execute(const QString& positionalSql, const std::vector<SqlValue>& params);

    // Runs statements separated by ";" one after another (no procedure
    // bodies): for schema scripts.
    void executeScript(const QString& script);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    DatabaseLocation m_location;
    QString m_user;
    QString m_password;
    int m_lockTimeout = 5;
};
