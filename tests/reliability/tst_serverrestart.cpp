// The database server stopped while the program runs and started again:
// the save made meanwhile shows the error and keeps what was typed; once
// the server is back the same save works, without restarting the program.
// The test runs a server of its own (scripts/fbserver), so that stopping it
// disturbs no other test.
#include "dbedit.h"
#include "scripteddialogs.h"
#include "testserver.h"
#include "untCedente.h"
#include "untCedenteDados.h"
#include "untDM.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

class TestServerRestart : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void saveAfterTheServerCameBack();

private:
    // Runs scripts/fbserver with `args`; true when it succeeded.
    bool fbserver(const QStringList& args);

    QString m_dir;
    TestServer m_own;
    QString m_path;
};

bool TestServerRestart::fbserver(const QStringList& args)
{
    QProcess p;
    p.start(u"bash"_s, QStringList{sourcePath(u"scripts/fbserver"_s)} + args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning("fbserver %s: %s", qPrintable(args.join(u' ')), p.readAllStandardError().data());
        return false;
    }
    return true;
}

void TestServerRestart::initTestCase()
{
    REQUIRE_TEST_SERVER();
    // Beside the shared server's folders, which its user can reach.
    m_dir = QDir::cleanPath(TestServer::fromEnvironment().directory + u"/../restart-server"_s);
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const int port = probe.serverPort();
    probe.close();
    QVERIFY(fbserver({u"start"_s, m_dir, QString::number(port)}));

    m_own.host = u"127.0.0.1"_s;
    m_own.port = port;
    QFile env(m_dir + u"/env"_s);
    QVERIFY(env.open(QIODevice::ReadOnly));
    for (const QByteArray& line : env.readAll().split('\n')) {
        const QString l = QString::fromUtf8(line);
        if (l.startsWith(u"export TREVALO_TEST_FB_USER="_s))
            m_own.user = l.section(u'=', 1);
        else if (l.startsWith(u"export TREVALO_TEST_FB_PASSWORD="_s))
            m_own.password = l.section(u'=', 1);
        else if (l.startsWith(u"export TREVALO_TEST_FB_DIR="_s))
            m_own.directory = l.section(u'=', 1);
    }
    Connection admin;
    m_path = m_own.createDatabase(admin, u"restart"_s);
    admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (1, 'antes')"_s, {});
}

void TestServerRestart::cleanupTestCase()
{
    if (!m_dir.isEmpty())
        fbserver({u"stop"_s, m_dir});
}

void TestServerRestart::saveAfterTheServerCameBack()
{
    ScriptedDialogs dialogs;
    Tdm module(&dialogs);
    m_own.useDatabase(module, m_path);
    QWidget main;
    auto* frm = new TfrmCedente(&main);
    main.show();
    QCOMPARE(module.qrBoletoCedente->RecordCount(), 1);

    bool saved = false;
    onModal([&](QWidget* modal) {
        auto* d = qobject_cast<TfrmCedenteDados*>(modal);
        QVERIFY(d);
        d->dbRazao->selectAll();
        QTest::keyClicks(d->dbRazao, u"depois"_s);
        QVERIFY(fbserver({u"stop"_s, m_dir}));
        d->btnGravar->click();
        // One error, the window open with what was typed.
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].kind, ScriptedDialogs::Kind::Error);
        QVERIFY2(dialogs.shown[0].text.startsWith(u"A conexão com o banco de dados foi perdida."_s),
                 qPrintable(dialogs.shown[0].text));
        dialogs.clear();
        QVERIFY(d->isVisible());
        QCOMPARE(d->dbRazao->text(), u"depois"_s);
        QCOMPARE(module.qrBoletoCedente->State(), dsEdit);

        QVERIFY(fbserver({u"restart"_s, m_dir}));
        d->btnGravar->click();
        saved = !d->isVisible();
    });
    frm->btnAltera->click();
    QVERIFY(saved);
    VERIFY_DIALOGS(dialogs);
    // And the program goes on reading.
    module.qrBoletoCedente->Close();
    module.qrBoletoCedente->Open();
    QCOMPARE(module.qrBoletoCedenteBCERAZAO->AsString(), u"depois"_s);
    Connection admin;
    admin.location().parse(m_own.databaseValue(m_path));
    admin.SetUser(m_own.user);
    admin.SetPassword(m_own.password);
    int n = 0;
    admin.query(u"select count(*) from BoletoCedente where BCERAZAO = 'depois'"_s, {}, {},
                [&](const RowView& r) { n = int(r.integer(0)); });
    QCOMPARE(n, 1);
}

QTEST_MAIN(TestServerRestart)
#include "tst_serverrestart.moc"
