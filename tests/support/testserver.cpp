#include "testserver.h"

#include "untDM.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUuid>

bool TestServer::available()
{
    return qEnvironmentVariableIsSet("TREVALO_TEST_FB_HOST") &&
           qEnvironmentVariableIsSet("TREVALO_TEST_FB_DIR");
}

TestServer TestServer::fromEnvironment()
{
    TestServer s;
    s.host = qEnvironmentVariable("TREVALO_TEST_FB_HOST");
    s.port = qEnvironmentVariableIntValue("TREVALO_TEST_FB_PORT");
    s.user = qEnvironmentVariable("TREVALO_TEST_FB_USER", QStringLiteral("SYSDBA"));
    s.password = qEnvironmentVariable("TREVALO_TEST_FB_PASSWORD");
    s.directory = qEnvironmentVariable("TREVALO_TEST_FB_DIR");
    return s;
}

QString TestServer::databaseValue(const QString& path) const
{
    return QStringLiteral("%1/%2:%3").arg(host).arg(port).arg(path);
}

QString TestServer::createDatabase(Connection& connection, const QString& name,
                                   bool withSchema) const
{
    const QString path = QDir(directory).filePath(
        QStringLiteral("%1-%2.fdb").arg(name, QUuid::createUuid().toString(QUuid::Id128).left(12)));
    connection.location().parse(databaseValue(path));
    connection.SetUser(user);
    connection.SetPassword(password);
    connection.CreateDatabase();
    if (withSchema)
        connection.executeScript(readTextFile(sourcePath(QStringLiteral("data/schema.sql"))));
    return path;
}

QString sourcePath(const QString& relative)
{
    return QDir(QStringLiteral(TREVALO_SOURCE_DIR)).filePath(relative);
}

QString readTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return QString::fromUtf8(file.readAll());
}

void TestServer::useDatabase(Tdm& dm, const QString& path) const
{
    dm.BcoDados.location().parse(databaseValue(path));
    dm.BcoDados.SetUser(user);
    dm.BcoDados.SetPassword(password);
}

QString queryText(Connection& connection, const QString& select,
                  const std::vector<SqlValue>& params)
{
    QString text = QStringLiteral("<no row>");
    connection.query(select, params, {}, [&](const RowView& r) {
        text = r.isNull(0) ? QStringLiteral("<null>")
                           : QString::fromUtf8(r.utf8(0).data(), qsizetype(r.utf8(0).size()));
    });
    return text;
}

int queryNumber(Connection& connection, const QString& select, const std::vector<SqlValue>& params)
{
    int n = -1;
    connection.query(select, params, {}, [&](const RowView& r) { n = int(r.integer(0)); });
    return n;
}
