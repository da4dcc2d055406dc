// Two workstations including and altering beneficiaries, accounts and
// agreements in the same tables at the same time, each a program of its
// own with its own connection: every row saved exactly once, no key given
// twice, every refused save retried successfully, every alteration kept.
#include "testserver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestWorkstations : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void includeAndAlterTogether();

private:
    int count(const QString& select);

    TestServer m_server;
    QString m_path;
    Connection m_admin;
};

void TestWorkstations::initTestCase()
{
    REQUIRE_TEST_SERVER();
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"workstations"_s);
}

int TestWorkstations::count(const QString& select)
{
    return queryNumber(m_admin, select);
}

void TestWorkstations::includeAndAlterTogether()
{
    constexpr int perStation = 60;
    const QStringList names = {u"A"_s, u"B"_s};
    QTemporaryDir dir;
    const QString start = dir.filePath(u"start"_s);
    std::vector<std::unique_ptr<QProcess>> stations;
    for (const QString& name : names) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::SeparateChannels);
        p->start(QStringLiteral(WORKSTATION_PATH),
                 {m_path, name, QString::number(perStation), start});
        QVERIFY(p->waitForStarted());
        stations.push_back(std::move(p));
    }
    QFile(start).open(QIODevice::WriteOnly); // both begin now
    int retries = 0;
    for (auto& p : stations) {
        QVERIFY(p->waitForFinished(240000));
        const QByteArray out = p->readAllStandardOutput();
        QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0,
                 p->readAllStandardError().constData());
        retries += out.trimmed().split(' ').value(1).toInt();
    }
    qInfo("refused saves retried: %d", retries);

    const int total = perStation * int(names.size());
    const struct
    {
        const char* table;
        const char* key;
        const char* mark;
        const char* altered;
    } tables[] = {
        {"BoletoCedente", "BCECODIGO", "BCERAZAO", "BCEFANTASIA = 'alterado ' || BCERAZAO"},
        {"BoletoConta", "BCOCODIGO", "BCOCONTANUMERO", "BCOSTATUS = 'alterado'"},
        {"BoletoConvenio", "BCVCODIGO", "BCVCONVENIODESCRICAO", "BCVCONVENIOESTACAO = 'alterado'"},
    };
    for (const auto& t : tables) {
        const QString table = QLatin1String(t.table);
        QCOMPARE(count(u"select count(*) from "_s + table), total);
        // Keys one to the total: none given twice, none skipped by a retry
        // that took a key for nothing.
        QCOMPARE(count(u"select count(distinct "_s + QLatin1String(t.key) + u") from "_s + table),
                 total);
        QCOMPARE(count(u"select max("_s + QLatin1String(t.key) + u") from "_s + table), total);
        // Each workstation's rows exactly once, each altered.
        QCOMPARE(count(u"select count(distinct "_s + QLatin1String(t.mark) + u") from "_s + table),
                 total);
        for (const QString& name : names)
            QCOMPARE(count(u"select count(*) from "_s + table + u" where "_s +
                           QLatin1String(t.mark) + u" starting with '"_s + name + u"-'"_s),
                     perStation);
        QCOMPARE(
            count(u"select count(*) from "_s + table + u" where "_s + QLatin1String(t.altered)),
            total);
    }
    // The agreements of each station under its own account identifier.
    for (const QString& name : names)
        QCOMPARE(count(u"select count(*) from BoletoConvenio where BCOCONTAID = '"_s + name +
                       u"' and BCVCONVENIODESCRICAO starting with '"_s + name + u"-'"_s),
                 perStation);
}

QTEST_MAIN(TestWorkstations)
#include "tst_workstations.moc"
