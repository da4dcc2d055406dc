// Start-up of the data module: Connect.ini beside the executable, the
// connection, and one notice for whatever goes wrong.
#include "testserver.h"
#include "untDM.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
void writeIni(const QString& directory, const QString& database, const QString& user,
              const QString& password)
{
    QFile file(QDir(directory).filePath(u"Connect.ini"_s));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QStringLiteral("[TORVELA]\r\ndatabase=%1\r\nUser_Name=%2\r\nPassword=%3\r\n")
                   .arg(database, user, password)
                   .toUtf8());
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void readsTheExecutablesFolderNotTheWorkingDirectory();
    void failuresGiveOneNoticeAndStartUpGoesOn_data();
    void failuresGiveOneNoticeAndStartUpGoesOn();
    void badPortLeavesUserAndPasswordUnset();
    void aLaterStatementConnectsOnDemand();
    void platformSection();
    void dateFormatKeepsTheLocaleSeparator();
    void cleanupTestCase();

private:
    TestServer m_server;
    QString m_database;
    QString m_exeIni;
};

void TestStartup::initTestCase()
{
    m_exeIni = QDir(QCoreApplication::applicationDirPath()).filePath(u"Connect.ini"_s);
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    Connection c;
    m_database = m_server.createDatabase(c, u"startup"_s);
}

void TestStartup::cleanupTestCase()
{
    QFile::remove(m_exeIni);
}

void TestStartup::readsTheExecutablesFolderNotTheWorkingDirectory()
{
    REQUIRE_TEST_SERVER();
    // The executable's folder names the real database; the working
    // directory holds a Connect.ini that would fail.
    writeIni(QCoreApplication::applicationDirPath(), m_server.databaseValue(m_database),
             m_server.user, m_server.password);
    QTemporaryDir elsewhere;
    writeIni(elsewhere.path(), u"nowhere:/no/such.fdb"_s, u"x"_s, u"y"_s);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());

    RecordingNotices notices;
    Tdm module(&notices);
    module.DataModuleCreate();
    QDir::setCurrent(previous);

    QCOMPARE(notices.texts, QStringList());
    QVERIFY(module.BcoDados.Connected());
    QCOMPARE(module.BcoDados.HostName(), m_server.host);
    QCOMPARE(module.BcoDados.Port(), m_server.port);
    QCOMPARE(module.BcoDados.Database(), m_database);
    module.qrEmpresa->Open();
    QCOMPARE(module.qrEmpresa->State(), dsBrowse);
    QFile::remove(m_exeIni);
}

void TestStartup::failuresGiveOneNoticeAndStartUpGoesOn_data()
{
    QTest::addColumn<QString>("ini"); // "" : no Connect.ini at all
    QTest::addColumn<QString>("expectedText");
    if (!TestServer::available())
        return;
    const TestServer s = TestServer::fromEnvironment();
    const QString db = s.directory + u"/startup-missing.fdb"_s;
    QTest::newRow("no Connect.ini") << QString() << QString();
    QTest::newRow("wrong password") << QStringLiteral("database=%1\nUser_Name=%2\nPassword=wrong")
                                           .arg(s.databaseValue(m_database), s.user)
                                    << u"password"_s;
    QTest::newRow("nobody listening on the port")
        << QStringLiteral("database=127.0.0.1/1:%1\nUser_Name=a\nPassword=b").arg(db) << QString();
    QTest::newRow("missing database file")
        << QStringLiteral("database=%1\nUser_Name=%2\nPassword=%3")
               .arg(s.databaseValue(db), s.user, s.password)
        << QString();
    QTest::newRow("port not a number")
        << u"database=servidor/porta:/x.fdb\nUser_Name=a\nPassword=b"_s << u"porta"_s;
}

void TestStartup::failuresGiveOneNoticeAndStartUpGoesOn()
{
    REQUIRE_TEST_SERVER();
    QFETCH(QString, ini);
    QFETCH(QString, expectedText);
    QFile::remove(m_exeIni);
    if (!ini.isEmpty()) {
        QFile file(m_exeIni);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write((u"[TORVELA]\n"_s + ini + u"\n"_s).toUtf8());
    }
    RecordingNotices notices;
    Tdm module(&notices);
    module.DataModuleCreate();
    QCOMPARE(notices.texts.size(), 1);
    QVERIFY(!notices.texts.first().isEmpty());
    if (!expectedText.isEmpty())
        QVERIFY2(notices.texts.first().contains(expectedText, Qt::CaseInsensitive),
                 qPrintable(notices.texts.first()));
    QVERIFY(!module.BcoDados.Connected());
    // Start-up went on to its end.
    QCOMPARE(module.FormatoDiaMesAno.shortDateFormat, u"dd/mm/yyyy"_s);
    QFile::remove(m_exeIni);
}

void TestStartup::badPortLeavesUserAndPasswordUnset()
{
    QTemporaryDir dir;
    writeIni(dir.path(), u"servidor/x:/dados/a.fdb"_s, u"SYSDBA"_s, u"segredo"_s);
    RecordingNotices notices;
    Tdm module(&notices);
    module.setConfigDirectory(dir.path());
    module.DataModuleCreate();
    QCOMPARE(notices.texts.size(), 1);
    QCOMPARE(module.BcoDados.HostName(), u"servidor"_s);
    QCOMPARE(module.BcoDados.Database(), u"/dados/a.fdb"_s);
    QCOMPARE(module.BcoDados.Port(), 0);
    QCOMPARE(module.BcoDados.User(), QString());
    QCOMPARE(module.BcoDados.Password(), QString());
}

void TestStartup::aLaterStatementConnectsOnDemand()
{
    REQUIRE_TEST_SERVER();
    // The server was not reachable at start-up (here: the file did not
    // exist yet); once it is, the next read works without a restart.
    QTemporaryDir dir;
    const QString path = m_server.directory + u"/startup-late.fdb"_s;
    QFile::remove(path);
    writeIni(dir.path(), m_server.databaseValue(path), m_server.user, m_server.password);
    RecordingNotices notices;
    Tdm module(&notices);
    module.setConfigDirectory(dir.path());
    module.DataModuleCreate();
    QCOMPARE(notices.texts.size(), 1);

    {
        Connection creator;
        creator.location().parse(m_server.databaseValue(path));
        creator.SetUser(m_server.user);
        creator.SetPassword(m_server.password);
        creator.CreateDatabase();
        creator.executeScript(readTextFile(sourcePath(u"data/schema.sql"_s)));
    }
    module.qrBoletoCedente->Open();
    QCOMPARE(module.qrBoletoCedente->RecordCount(), 0);
    QVERIFY(module.BcoDados.Connected());
}

void TestStartup::platformSection()
{
    QTemporaryDir dir;
    RecordingNotices notices;
    {
        Tdm module(&notices);
        module.setConfigDirectory(dir.path()); // no Connect.ini: the defaults
        module.DataModuleCreate();
        QCOMPARE(module.Plataforma.url, PlatformSettings::defaultUrl());
        QCOMPARE(module.Plataforma.caFile, QString());
    }
    QFile file(QDir(dir.path()).filePath(u"Connect.ini"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[plataforma]\r\nURL = https://sandbox.example.com:8443//\r\nca=certs\\ca.pem\r\n");
    file.close();
    Tdm module(&notices);
    module.setConfigDirectory(dir.path());
    module.DataModuleCreate();
    QCOMPARE(module.Plataforma.url, u"https://sandbox.example.com:8443"_s);
    QCOMPARE(module.Plataforma.caFile, QDir(dir.path()).absoluteFilePath(u"certs\\ca.pem"_s));
}

void TestStartup::dateFormatKeepsTheLocaleSeparator()
{
    FormatSettings s = FormatSettings::fromLocale(QLocale(QLocale::Dutch, QLocale::Netherlands));
    QCOMPARE(s.dateSeparator, QLatin1Char('-'));
    s.shortDateFormat = u"dd/mm/yyyy"_s;
    QCOMPARE(s.formatDate(QDate(2025, 12, 10)), u"10-12-2025"_s);
    FormatSettings german = FormatSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));
    german.shortDateFormat = u"dd/mm/yyyy"_s;
    QCOMPARE(german.formatDate(QDate(2026, 1, 5)), u"05.01.2026"_s);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
