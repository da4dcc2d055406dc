// Reading Connect.ini and turning its "database" value into a connection.
#include "databaselocation.h"
#include "errors.h"
#include "inifile.h"
#include "namedsql.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestConfig : public QObject
{
    Q_OBJECT
private slots:
    void databaseValue_data();
    void databaseValue();
    void portThatIsNotANumber_data();
    void portThatIsNotANumber();
    void iniReader_data();
    void iniReader();
    void iniFileOnDisk();
    void namedParameters_data();
    void namedParameters();
};

void TestConfig::databaseValue_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("database");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("connectionString");

    QTest::newRow("drive letter: local") << "C:\\dados\\nova.fdb"
                                         << ""
                                         << "C:\\dados\\nova.fdb" << 0 << "C:\\dados\\nova.fdb";
    QTest::newRow("one-letter host looks like a drive") << "s:/db/x.fdb"
                                                        << ""
                                                        << "s:/db/x.fdb" << 0 << "s:/db/x.fdb";
    QTest::newRow("host and path: port 3050")
        << "servidor:/dados/nova.fdb"
        << "servidor"
        << "/dados/nova.fdb" << 3050 << "servidor/3050:/dados/nova.fdb";
    QTest::newRow("host, port and path")
        << "10.0.0.5/3051:/dados/nova.fdb"
        << "10.0.0.5"
        << "/dados/nova.fdb" << 3051 << "10.0.0.5/3051:/dados/nova.fdb";
    QTest::newRow("slash after the colon is part of the path")
        << "servidor:/var/lib/3051/x.fdb"
        << "servidor"
        << "/var/lib/3051/x.fdb" << 3050 << "servidor/3050:/var/lib/3051/x.fdb";
    QTest::newRow("server path with its own drive letter")
        << "servidor/3052:D:\\dados\\nova.fdb"
        << "servidor"
        << "D:\\dados\\nova.fdb" << 3052 << "servidor/3052:D:\\dados\\nova.fdb";
    QTest::newRow("host and Windows path")
        << "servidor:C:\\dados\\x.fdb"
        << "servidor"
        << "C:\\dados\\x.fdb" << 3050 << "servidor/3050:C:\\dados\\x.fdb";
    QTest::newRow("no colon at all") << "Erro ao ler o valor"
                                     << ""
                                     << "Erro ao ler o valor" << 3050 << "Erro ao ler o valor";
    QTest::newRow("alias on a server") << "servidor:trevalo"
                                       << "servidor"
                                       << "trevalo" << 3050 << "servidor/3050:trevalo";
    // Found by fuzzing: the connection string took the host's "%0" for a
    // place of the port.
    QTest::newRow("percent signs and digits are plain text")
        << "r0%0r/3051:C:\\100%2\\%1.fdb"
        << "r0%0r"
        << "C:\\100%2\\%1.fdb" << 3051 << "r0%0r/3051:C:\\100%2\\%1.fdb";
}

void TestConfig::databaseValue()
{
    QFETCH(QString, value);
    DatabaseLocation location;
    location.parse(value);
    QTEST(location.hostName, "host");
    QTEST(location.database, "database");
    QTEST(location.port, "port");
    QTEST(location.connectionString(), "connectionString");
}

void TestConfig::portThatIsNotANumber_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("empty port") << "servidor/:/x.fdb";
    QTest::newRow("letters") << "servidor/abc:/x.fdb";
    QTest::newRow("hexadecimal") << "servidor/$C0B:/x.fdb";
    QTest::newRow("sign") << "servidor/-3050:/x.fdb";
    QTest::newRow("blank inside") << "servidor/30 50:/x.fdb";
    QTest::newRow("too large") << "servidor/70000:/x.fdb";
}

void TestConfig::portThatIsNotANumber()
{
    QFETCH(QString, value);
    DatabaseLocation location;
    try {
        location.parse(value);
        QFAIL("the port was accepted");
    } catch (const Failure& e) {
        QVERIFY2(e.message().contains(QStringLiteral("porta")), qPrintable(e.message()));
    }
    // Host and database were set before the port was read.
    QCOMPARE(location.hostName, QStringLiteral("servidor"));
    QCOMPARE(location.database, QStringLiteral("/x.fdb"));
    QCOMPARE(location.port, 0);
}

void TestConfig::iniReader_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    const QString none = QStringLiteral("<default>");

    QTest::newRow("plain") << "[TORVELA]\ndatabase=srv:/x.fdb\n"
                           << "database"
                           << "srv:/x.fdb";
    QTest::newRow("case of section and key") << "[torvela]\nDATABASE=a\n"
                                             << "database"
                                             << "a";
    QTest::newRow("blanks around") << "  [ TORVELA ]  \n  User_Name  =  SYSDBA  \n"
                                   << "user_name"
                                   << "SYSDBA";
    QTest::newRow("backslashes and commas kept") << "[TORVELA]\ndatabase=C:\\dados\\nova,1.fdb\n"
                                                 << "database"
                                                 << "C:\\dados\\nova,1.fdb";
    QTest::newRow("equals sign inside the value") << "[TORVELA]\nPassword=a=b==c\n"
                                                  << "Password"
                                                  << "a=b==c";
    QTest::newRow("enclosing quotes dropped") << "[TORVELA]\nPassword=\" x \"\n"
                                              << "Password"
                                              << " x ";
    QTest::newRow("first occurrence wins") << "[TORVELA]\nPassword=one\nPassword=two\n"
                                           << "Password"
                                           << "one";
    QTest::newRow("other section ignored") << "[OUTRA]\nPassword=no\n[TORVELA]\nPassword=yes\n"
                                           << "Password"
                                           << "yes";
    QTest::newRow("missing key") << "[TORVELA]\ndatabase=a\n"
                                 << "Password" << none;
    QTest::newRow("key before any section") << "Password=x\n[TORVELA]\n"
                                            << "Password" << none;
    QTest::newRow("comment line") << "[TORVELA]\n;Password=x\n"
                                  << "Password" << none;
    QTest::newRow("CRLF line ends") << "[TORVELA]\r\nPassword=abc\r\n"
                                    << "Password"
                                    << "abc";
    QTest::newRow("empty value") << "[TORVELA]\nPassword=\n"
                                 << "Password"
                                 << "";
    QTest::newRow("accents") << "[TORVELA]\nPassword=ação\n"
                             << "Password"
                             << "ação";
}

void TestConfig::iniReader()
{
    QFETCH(QString, text);
    QFETCH(QString, key);
    const IniFile ini = IniFile::fromText(text);
    QTEST(ini.readString(QStringLiteral("TORVELA"), key, QStringLiteral("<default>")), "expected");
}

void TestConfig::iniFileOnDisk()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Connect.ini"));
    const QString fallback = QStringLiteral("Erro ao ler o valor");
    QCOMPARE(IniFile::load(path).readString(QStringLiteral("TORVELA"), QStringLiteral("database"),
                                            fallback),
             fallback);

    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    // A Windows editor's UTF-8 file with a byte-order mark, and an ANSI one.
    file.write("\xEF\xBB\xBF[TORVELA]\r\ndatabase=C:\\Dados\\Jo\xC3\xA3o.fdb\r\n");
    file.close();
    QCOMPARE(IniFile::load(path).readString(QStringLiteral("TORVELA"), QStringLiteral("database"),
                                            fallback),
             QStringLiteral("C:\\Dados\\João.fdb"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[TORVELA]\r\ndatabase=C:\\Dados\\Jo\xE3o.fdb\r\n");
    file.close();
    QCOMPARE(IniFile::load(path).readString(QStringLiteral("TORVELA"), QStringLiteral("database"),
                                            fallback),
             QStringLiteral("C:\\Dados\\João.fdb"));
}

void TestConfig::namedParameters_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("positional");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("one") << "select * from usuarios where senha = :xSenha"
                         << "select * from usuarios where senha = ?" << QStringList{u"xSenha"_s};
    QTest::newRow("repeated") << "where (a IS NULL AND :OLD_A IS NULL) OR (a = :OLD_A)"
                              << "where (a IS NULL AND ? IS NULL) OR (a = ?)"
                              << QStringList{u"OLD_A"_s, u"OLD_A"_s};
    QTest::newRow("colon in a literal")
        << "select ':x', 'it''s :y' from t where a = :z"
        << "select ':x', 'it''s :y' from t where a = ?" << QStringList{u"z"_s};
    QTest::newRow("colon in a quoted name")
        << "select \"a:b\" from t where c=:p"
        << "select \"a:b\" from t where c=?" << QStringList{u"p"_s};
    QTest::newRow("comments") << "select 1 -- :a\nfrom t /* :b */ where c = :c"
                              << "select 1 -- :a\nfrom t /* :b */ where c = ?"
                              << QStringList{u"c"_s};
    QTest::newRow("lone colon") << "select a : b"
                                << "select a : b" << QStringList{};
}

void TestConfig::namedParameters()
{
    QFETCH(QString, sql);
    const NamedSql parsed = NamedSql::parse(sql);
    QTEST(parsed.positional, "positional");
    QTEST(parsed.names, "names");
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
