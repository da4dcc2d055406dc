#pragma once

#include "connection.h"
#include "notices.h"

#include <QString>
#include <QStringList>

class Tdm;

// The Firebird server the test command starts, as its environment names
// it. Tests that need it skip when it is not there, unless the test
// command demands it.
struct TestServer
{
    QString host;
    int port = 0;
    QString user;
    QString password;
    QString directory; // where the server may create database files

    static bool available();
    static TestServer fromEnvironment();

    // A new, empty database on the server with the program's tables;
    // `connection` is left attached to it.
    QString createDatabase(Connection& connection, const QString& name,
                           bool withSchema = true) const;
    // The "database" value of Connect.ini for a database of this server.
    QString databaseValue(const QString& path) const;
    // Points the data module at database `path` of this server, with the
    // server's user, as Connect.ini would.
    void useDatabase(Tdm& dm, const QString& path) const;
};

// The first column of the first row `select` reads, as text: "<null>" for
// NULL, "<no row>" when there is none.
QString queryText(Connection& connection, const QString& select,
                  const std::vector<SqlValue>& params = {});
// The first column of the first row as a number (a count); -1 when there
// is no row.
int queryNumber(Connection& connection, const QString& select,
                const std::vector<SqlValue>& params = {});

QString sourcePath(const QString& relative);
QString readTextFile(const QString& path);

#define REQUIRE_TEST_SERVER()                                                                      \
    do {                                                                                           \
        if (!TestServer::available()) {                                                            \
            if (qEnvironmentVariableIsSet("TREVALO_TEST_REQUIRE_SERVER"))                          \
                QFAIL("the test Firebird server is not configured");                               \
            QSKIP("no test Firebird server (run scripts/test)");                                   \
        }                                                                                          \
    } while (false)

// Records every notice instead of showing it.
class RecordingNotices : public UserNotices
{
public:
    void notice(const QString& text) override { texts << text; }
    QStringList texts;
};
