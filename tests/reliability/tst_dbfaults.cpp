// Database faults met from the windows: the connection lost and back, a post
// the database refuses, and a row locked by another workstation.
#include "dbedit.h"
#include "scripteddialogs.h"
#include "testserver.h"
#include "untCedente.h"
#include "untCedenteDados.h"
#include "untConta.h"
#include "untConvenio.h"
#include "untDM.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

class TestDbFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void lostConnectionIsShownThenRecovered();
    void refusedPostKeepsWhatWasTyped();
    void lockedRowEndsInAnErrorNotAFrozenWindow();
    void refusedIncludeKeepsTheAccountOrAgreement_data();
    void refusedIncludeKeepsTheAccountOrAgreement();

private:
    int count(const QString& select);
    TestServer m_server;
    QString m_path;
    Connection m_admin;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<QWidget> m_main;
    TfrmCedente* m_frm = nullptr;
};

void TestDbFaults::initTestCase()
{
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"dbfaults"_s);
}

void TestDbFaults::init()
{
    REQUIRE_TEST_SERVER();
    m_admin.execute(u"delete from BoletoCedente"_s, {});
    m_admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (1, 'um')"_s, {});
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_dm = std::make_unique<Tdm>(m_dialogs.get());
    m_server.useDatabase(*m_dm, m_path);
    m_dm->BcoDados.setLockTimeout(2);
    m_main = std::make_unique<QWidget>();
    m_frm = new TfrmCedente(m_main.get());
    m_main->show();
}

void TestDbFaults::cleanup()
{
    if (m_dialogs)
        VERIFY_DIALOGS(*m_dialogs);
    m_main.reset();
    m_dm.reset();
    m_dialogs.reset();
}

int TestDbFaults::count(const QString& select)
{
    return queryNumber(m_admin, select);
}

void TestDbFaults::lostConnectionIsShownThenRecovered()
{
    QCOMPARE(m_dm->qrBoletoCedente->RecordCount(), 1);
    bool saved = false;
    onModal([&](QWidget* modal) {
        auto* d = qobject_cast<TfrmCedenteDados*>(modal);
        QVERIFY(d);
        d->dbRazao->selectAll();
        QTest::keyClicks(d->dbRazao, u"depois da queda"_s);
        // What a server restart does to the program's attachment.
        m_admin.execute(
            u"delete from mon$attachments where mon$attachment_id <> current_connection "
            u"and mon$remote_pid = ?"_s,
            {SqlValue::fromInteger(QCoreApplication::applicationPid())});
        m_dialogs->expectError(u"shutdown"_s);
        d->btnGravar->click();
        QVERIFY(d->isVisible());
        QCOMPARE(d->dbRazao->text(), u"depois da queda"_s);
        QVERIFY(!m_dm->BcoDados.Connected());
        // The next try attaches again, without restarting anything.
        d->btnGravar->click();
        saved = !d->isVisible();
    });
    m_frm->btnAltera->click();
    QVERIFY(saved);
    QVERIFY(m_dm->BcoDados.Connected());
    QCOMPARE(count(u"select count(*) from BoletoCedente where BCERAZAO = 'depois da queda'"_s), 1);
}

void TestDbFaults::refusedPostKeepsWhatWasTyped()
{
    m_admin.execute(
        u"alter table BoletoCedente add constraint CK_CURTO check (char_length(BCERAZAO) <= 5)"_s,
        {});
    bool retried = false;
    onModal([&](QWidget* modal) {
        auto* d = qobject_cast<TfrmCedenteDados*>(modal);
        QVERIFY(d);
        d->dbRazao->selectAll();
        QTest::keyClicks(d->dbRazao, u"longo demais"_s);
        QTest::keyClicks(d->dbBairro, u"Centro"_s);
        m_dialogs->expectError(u"CK_CURTO"_s);
        d->btnGravar->click();
        // Refused: the window stays open with everything typed.
        QVERIFY(d->isVisible());
        QCOMPARE(d->dbRazao->text(), u"longo demais"_s);
        QCOMPARE(d->dbBairro->text(), u"Centro"_s);
        QCOMPARE(m_dm->qrBoletoCedente->State(), dsEdit);
        // The database is put right meanwhile; saving again works.
        m_admin.execute(u"alter table BoletoCedente drop constraint CK_CURTO"_s, {});
        d->btnGravar->click();
        retried = !d->isVisible();
    });
    m_frm->btnAltera->click();
    QVERIFY(retried);
    QCOMPARE(
        count(
            u"select count(*) from BoletoCedente where BCERAZAO = 'longo demais' and BCEBAIRRO = 'Centro'"_s),
        1);
}

void TestDbFaults::lockedRowEndsInAnErrorNotAFrozenWindow()
{
    // Another workstation changes the row and keeps its transaction open.
    QProcess other;
    other.start(u"isql-fb"_s, {u"-q"_s, u"-user"_s, m_server.user, u"-password"_s,
                               m_server.password, m_server.databaseValue(m_path)});
    QVERIFY(other.waitForStarted());
    other.write(
        "set autoddl off;\nupdate BoletoCedente set BCERAZAO = 'outra' where BCECODIGO = 1;\n"
        "select 'locked' from rdb$database;\n");
    QVERIFY(
        QTest::qWaitFor([&] { return other.readAllStandardOutput().contains("locked"); }, 10000));

    QElapsedTimer clock;
    onModal([&](QWidget* modal) {
        auto* d = qobject_cast<TfrmCedenteDados*>(modal);
        QVERIFY(d);
        d->dbRazao->selectAll();
        QTest::keyClicks(d->dbRazao, u"esta"_s);
        m_dialogs->expectError(u"lock"_s);
        clock.start();
        d->btnGravar->click();
        QVERIFY(d->isVisible()); // nothing typed is lost
        QCOMPARE(d->dbRazao->text(), u"esta"_s);
        d->btnCancelar->click();
    });
    m_frm->btnAltera->click();
    QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
    other.write("rollback;\nquit;\n");
    other.closeWriteChannel();
    QVERIFY(other.waitForFinished(10000));
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
    QCOMPARE(count(u"select count(*) from BoletoCedente where BCERAZAO = 'um'"_s), 1);
}

void TestDbFaults::refusedIncludeKeepsTheAccountOrAgreement_data()
{
    QTest::addColumn<bool>("agreement");
    QTest::addColumn<bool>("connectionLost"); // else a table rule refuses it
    QTest::newRow("account, refused by a rule") << false << false;
    QTest::newRow("account, connection lost") << false << true;
    QTest::newRow("agreement, refused by a rule") << true << false;
    QTest::newRow("agreement, connection lost") << true << true;
}

void TestDbFaults::refusedIncludeKeepsTheAccountOrAgreement()
{
    QFETCH(bool, agreement);
    QFETCH(bool, connectionLost);
    for (const char* table : {"BoletoConvenio", "BoletoConta"})
        m_admin.execute(u"delete from "_s + QLatin1String(table), {});
    m_admin.execute(u"insert into BoletoConta (BCOCODIGO, BCOCONTAID) values (1, '7')"_s, {});
    const QString table = agreement ? u"BoletoConvenio"_s : u"BoletoConta"_s;
    const QString column = agreement ? u"BCVCONVENIODESCRICAO"_s : u"BCOCONTANUMERO"_s;
    if (!connectionLost)
        m_admin.execute(u"alter table "_s + table +
                            u" add constraint CK_CURTO check (char_length("_s + column +
                            u") <= 5)"_s,
                        {});
    QWidget main;
    main.resize(1200, 700);
    QToolButton* include =
        agreement ? (new TfrmConvenio(&main))->btnIncluir : (new TfrmConta(&main))->btnIncluir;
    main.show();
    const QString typed = u"longo demais"_s;
    bool saved = false;
    onModal([&](QWidget* modal) {
        QLineEdit* edit =
            modal->findChild<QLineEdit*>(agreement ? u"dbConvenioDescr"_s : u"dbNumConta"_s);
        QVERIFY(edit);
        if (!agreement) // the account's own checks first
            for (const auto& [name, value] : {std::pair{"dbCodBanco", "237"},
                                              {"dbAgencia", "1234"},
                                              {"dbCodBeneficiario", "9"}})
                QTest::keyClicks(modal->findChild<QLineEdit*>(QLatin1String(name)),
                                 QLatin1String(value));
        edit->setFocus();
        QTest::keyClicks(edit, typed);
        if (connectionLost) {
            m_admin.execute(
                u"delete from mon$attachments where mon$attachment_id <> current_connection "
                u"and mon$remote_pid = ?"_s,
                {SqlValue::fromInteger(QCoreApplication::applicationPid())});
            m_dialogs->expectError(u"shutdown"_s);
        } else {
            m_dialogs->expectError(u"CK_CURTO"_s);
        }
        auto* save = modal->findChild<QPushButton*>(u"btnGravar"_s);
        save->click();
        // Refused: the window stays open with what was typed, still a new record.
        QVERIFY(modal->isVisible());
        QCOMPARE(edit->text(), typed);
        QCOMPARE((agreement ? m_dm->qrBoletoConvenio : m_dm->qrBoletoConta)->State(), dsInsert);
        if (!connectionLost)
            m_admin.execute(u"alter table "_s + table + u" drop constraint CK_CURTO"_s, {});
        save->click();
        saved = !modal->isVisible();
    });
    include->click();
    QVERIFY(saved);
    VERIFY_DIALOGS(*m_dialogs);
    QCOMPARE(count(u"select count(*) from "_s + table + u" where "_s + column + u" = '"_s + typed +
                   u"'"_s),
             1);
}

QTEST_MAIN(TestDbFaults)
#include "tst_dbfaults.moc"
