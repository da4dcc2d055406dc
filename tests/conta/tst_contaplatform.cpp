// Registering and updating accounts from the list window, against the
// platform simulator over HTTPS and a real database.
#include "curltransport.h"
#include "dbgrid.h"
#include "scripteddialogs.h"
#include "simulator.h"
#include "testserver.h"
#include "untConta.h"
#include "untContaDados.h"
#include "untDM.h"

#include <QJsonDocument>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString cnpjA = u"11111111000111"_s;
const QString cnpjB = u"22222222000122"_s;
const QString noAccount = u"Selecione uma Conta para Registrar na API."_s;
const QString noCode = u"Código da Conta do Beneficiário é campo obrigatório."_s;
const QString accountsPath = u"/api/v1/cedentes/contas/"_s;

// Also notes in what state the beneficiaries were while each box was up.
class WatchingDialogs : public ScriptedDialogs
{
public:
    void notice(const QString& text) override
    {
        cedenteStates << dm->qrBoletoCedente->State();
        cedenteCnpjs << (dm->qrBoletoCedente->Active() ? dm->qrBoletoCedenteBCECNPJ->AsString()
                                                       : u"<closed>"_s);
        ScriptedDialogs::notice(text);
    }
    QList<TDataSetState> cedenteStates;
    QStringList cedenteCnpjs;
};
} // namespace

class TestContaPlatform : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void checksStopBeforeAnythingIsSent_data();
    void checksStopBeforeAnythingIsSent();
    void registerSendsTheAccountAndStoresTheReply();
    void registerOfARegisteredAccountPostsAgain();
    void updateKeepsTheStoredIdentifier();
    void updateWithoutIdentifierGoesToTheBarePath();
    void requestNamesTheAccountsBeneficiary_data();
    void requestNamesTheAccountsBeneficiary();
    void transportFailureLeavesTheBeneficiariesAsTheyWere();

private:
    void openList();
    // Columns BCOCODIGO, BCOCONTACODIGOBANCO, BCOCONTAAGENCIA,
    // BCOCONTANUMERO, BCOCONTACODBENEFICIARIO, BCECNPJ, BCOCONTAID.
    void insertConta(const QString& values);
    QString column(const QString& name, int codigo = 1);
    QList<QJsonObject> accountRequests() const;
    QString header(const QJsonObject& entry, const QString& name) const;

    TestServer m_server;
    QString m_path;
    Connection m_admin;
    TestCertificates m_certificates;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<CurlTransport> m_transport;
    std::unique_ptr<WatchingDialogs> m_dialogs;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<QWidget> m_main;
    TfrmConta* m_frm = nullptr;
};

void TestContaPlatform::initTestCase()
{
    QVERIFY2(m_certificates.make(), qPrintable(m_certificates.error()));
    m_transport = std::make_unique<CurlTransport>(m_certificates.file(u"ca.pem"_s));
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"contaplatform"_s);
    // A (the lowest code) and B, both registered with the platform.
    m_admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO, BCECNPJ, BCEIDCEDENTE) "
                    u"values (1, 'Alfa', '11111111000111', '1')"_s,
                    {});
    m_admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO, BCECNPJ, BCEIDCEDENTE) "
                    u"values (2, 'Beta', '22222222000122', '2')"_s,
                    {});
}

void TestContaPlatform::init()
{
    REQUIRE_TEST_SERVER();
    m_admin.execute(u"delete from BoletoConta"_s, {});
    m_sim = std::make_unique<Simulator>();
    QVERIFY2(m_sim->start(&m_certificates, u"server"_s), qPrintable(m_sim->error()));
    for (const QString& cnpj : {cnpjA, cnpjB}) {
        const QByteArray reply = m_transport->send(cedenteRegistration(m_sim->baseUrl(), cnpj));
        QVERIFY2(PlatformReply(reply).isSuccess(), reply.constData());
    }
    m_dialogs = std::make_unique<WatchingDialogs>();
    m_dm = std::make_unique<Tdm>(m_dialogs.get());
    m_server.useDatabase(*m_dm, m_path);
    m_dm->Plataforma.url = m_sim->baseUrl();
    m_dm->setTransport(m_transport.get());
    m_main = std::make_unique<QWidget>();
}

void TestContaPlatform::cleanup()
{
    if (m_dialogs)
        VERIFY_DIALOGS(*m_dialogs);
    m_main.reset();
    m_dm.reset();
    m_dialogs.reset();
    m_sim.reset();
}

void TestContaPlatform::openList()
{
    m_frm = new TfrmConta(m_main.get());
    m_main->show();
    QCOMPARE(m_dm->qrBoletoConta->State(), dsBrowse);
}

void TestContaPlatform::insertConta(const QString& values)
{
    m_admin.execute(u"insert into BoletoConta (BCOCODIGO, BCOCONTACODIGOBANCO, BCOCONTAAGENCIA, "
                    u"BCOCONTANUMERO, BCOCONTACODBENEFICIARIO, BCECNPJ, BCOCONTAID) values ("_s +
                        values + u")"_s,
                    {});
}

QString TestContaPlatform::column(const QString& name, int codigo)
{
    return queryText(m_admin, u"select "_s + name + u" from BoletoConta where BCOCODIGO = ?"_s,
                     {SqlValue::fromInteger(codigo)});
}

QList<QJsonObject> TestContaPlatform::accountRequests() const
{
    QList<QJsonObject> requests;
    for (const QJsonObject& entry : m_sim->log())
        if (entry[u"path"_s].toString().startsWith(accountsPath))
            requests << entry;
    return requests;
}

QString TestContaPlatform::header(const QJsonObject& entry, const QString& name) const
{
    for (const auto& [n, value] : loggedHeaders(entry))
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return u"<none>"_s;
}

void TestContaPlatform::checksStopBeforeAnythingIsSent_data()
{
    QTest::addColumn<QString>("row"); // empty: no account at all
    QTest::addColumn<bool>("registering");
    QTest::addColumn<QString>("message");
    for (bool reg : {true, false}) {
        const char* op = reg ? "register" : "update";
        QTest::addRow("%s: empty list", op) << QString() << reg << noAccount;
        QTest::addRow("%s: no beneficiary code", op)
            << u"1, '237', '1234', '5678', null, '22222222000122', '1'"_s << reg << noCode;
        QTest::addRow("%s: empty beneficiary code", op)
            << u"1, '237', '1234', '5678', '', '22222222000122', '1'"_s << reg << noCode;
    }
}

void TestContaPlatform::checksStopBeforeAnythingIsSent()
{
    QFETCH(QString, row);
    QFETCH(bool, registering);
    QFETCH(QString, message);
    if (!row.isEmpty())
        insertConta(row);
    openList();
    m_dialogs->expectNotice(message);
    (registering ? m_frm->btnAPIRegistrar : m_frm->btnAPIAlterar)->click();
    QCOMPARE(accountRequests().size(), 0);
    QCOMPARE(m_dm->qrBoletoConta->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoCedente->RecNo(), 0);
}

void TestContaPlatform::registerSendsTheAccountAndStoresTheReply()
{
    // An inactive account of B with its flags set, a one-character
    // beneficiary code and no company code.
    m_admin.execute(
        u"insert into BoletoConta (BCOCODIGO, BCOCONTACODIGOBANCO, BCOCONTAAGENCIA, "
        u"BCOCONTAAGENCIADV, BCOCONTANUMERO, BCOCONTANUMERODV, BCOCONTATIPO, "
        u"BCOCONTACODBENEFICIARIO, BCOCONTACODBANCOCORRESP, BCOCONTAVALIDACAOATIVA, "
        u"BCOCONTAIMPRATUALIZADA, BCOSTATUS, BCOCONTAATIVA, BCEIDCEDENTE, BCECNPJ) values "
        u"(1, '237', '0123', 'X', '98.765/4', '0', 'POUPANÇA', '7', '001', '1', '1', 'local', "
        u"'0', '2', '22222222000122')"_s,
        {});
    openList();
    QCOMPARE(m_dm->qrBoletoCedente->RecNo(), 0); // on A
    m_dialogs->expectNotice(u"Conta Cadastrada com Sucesso.\rID: 1"_s);
    m_frm->btnAPIRegistrar->click();

    const QList<QJsonObject> log = accountRequests();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0][u"method"_s].toString(), u"POST"_s);
    QCOMPARE(log[0][u"path"_s].toString(), accountsPath);
    QCOMPARE(header(log[0], u"cnpj-cedente"_s), cnpjB);
    QCOMPARE(header(log[0], u"Content-Type"_s), u"application/json"_s);
    const QByteArray body = QByteArray::fromBase64(log[0][u"body_base64"_s].toString().toLatin1());
    const QByteArray expected = "{\r\n"
                                " \"ContaCodigoBanco\": \"237\",\r\n"
                                " \"ContaAgencia\": \"0123\",\r\n"
                                " \"ContaAgenciaDV\": \"X\",\r\n"
                                " \"ContaNumero\": \"98.765\\/4\",\r\n"
                                " \"ContaNumeroDV\": \"0\",\r\n"
                                " \"ContaTipo\": \"POUPAN\\u00c7A\",\r\n"
                                " \"ContaCodigoBeneficiario\": \"7\",\r\n"
                                " \"ContaCodigoEmpresa\": \"\",\r\n"
                                " \"ContaValidacaoAtiva\": false,\r\n"
                                " \"ContaImpressaoAtualizada\": false\r\n"
                                "}";
    QCOMPARE(body, expected);

    // Filed under B, and stored as the platform answered.
    const QJsonObject dados = QJsonDocument::fromJson(log[0][u"reply"_s].toString().toUtf8())
                                  .object()[u"_dados"_s]
                                  .toObject();
    QCOMPARE(dados[u"cedente"_s].toInt(), 2);
    QCOMPARE(column(u"BCOCONTAID"_s), u"1"_s);
    QCOMPARE(column(u"BCODATACRIADO"_s), dados[u"criado"_s].toString().left(20));
    QCOMPARE(column(u"BCODATAATUALIZADO"_s), dados[u"atualizado"_s].toString().left(20));
    QVERIFY(!column(u"BCODATACRIADO"_s).isEmpty());
    // What the platform does not answer for stays as it was.
    QCOMPARE(column(u"BCOCONTAATIVA"_s), u"0"_s);
    QCOMPARE(column(u"BCOSTATUS"_s), u"local"_s);
    QCOMPARE(column(u"BCEIDCEDENTE"_s), u"2"_s);
    QCOMPARE(column(u"BCOCONTAVALIDACAOATIVA"_s), u"1"_s);
    QCOMPARE(m_dm->qrBoletoConta->State(), dsBrowse);
    QCOMPARE(m_frm->RxDBGrid1->model()->index(0, 16).data().toString(), u"1"_s);
    // The beneficiaries stay on B; nothing else happened to them.
    QCOMPARE(m_dm->qrBoletoCedente->RecNo(), 1);
    QCOMPARE(m_dialogs->cedenteStates, QList<TDataSetState>{dsBrowse});

    // Updated, the same body goes to the account's own resource.
    m_dialogs->expectNotice(u"Conta Alterada com Sucesso.\rID: 1"_s);
    m_frm->btnAPIAlterar->click();
    QCOMPARE(accountRequests().size(), 2);
    const QJsonObject put = accountRequests()[1];
    QCOMPARE(put[u"method"_s].toString(), u"PUT"_s);
    QCOMPARE(put[u"path"_s].toString(), accountsPath + u"1"_s);
    QCOMPARE(QByteArray::fromBase64(put[u"body_base64"_s].toString().toLatin1()), expected);
    QCOMPARE(header(put, u"cnpj-cedente"_s), cnpjB);
    QCOMPARE(column(u"BCOCONTAID"_s), u"1"_s);
    QCOMPARE(column(u"BCOCONTAATIVA"_s), u"0"_s);
}

void TestContaPlatform::registerOfARegisteredAccountPostsAgain()
{
    insertConta(u"1, '237', '1234', '5678', '9', '11111111000111', 'velho'"_s);
    m_admin.execute(u"update BoletoConta set BCODATACRIADO = 'ontem', "
                    u"BCODATAATUALIZADO = 'ontem'"_s,
                    {});
    openList();
    m_dialogs->expectNotice(u"Conta Cadastrada com Sucesso.\rID: 1"_s);
    m_frm->btnAPIRegistrar->click();
    m_dialogs->expectNotice(u"Conta Cadastrada com Sucesso.\rID: 2"_s);
    m_frm->btnAPIRegistrar->click();
    const QList<QJsonObject> log = accountRequests();
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[1][u"method"_s].toString(), u"POST"_s);
    QCOMPARE(log[1][u"path"_s].toString(), accountsPath);
    QCOMPARE(column(u"BCOCONTAID"_s), u"2"_s);
    const QJsonObject dados = QJsonDocument::fromJson(log[1][u"reply"_s].toString().toUtf8())
                                  .object()[u"_dados"_s]
                                  .toObject();
    QCOMPARE(column(u"BCODATACRIADO"_s), dados[u"criado"_s].toString().left(20));
    QCOMPARE(column(u"BCODATAATUALIZADO"_s), dados[u"atualizado"_s].toString().left(20));
}

void TestContaPlatform::updateKeepsTheStoredIdentifier()
{
    insertConta(u"1, '237', '1234', '5678', '9', '11111111000111', null"_s);
    openList();
    m_dialogs->expectNotice(u"Conta Cadastrada com Sucesso.\rID: 1"_s);
    m_frm->btnAPIRegistrar->click();
    // An identifier is put into the address as it is stored, not encoded:
    // here the platform reads "1" and a query, and answers for account 1.
    m_admin.execute(u"update BoletoConta set BCOCONTAID = '1?local'"_s, {});
    m_dm->qrBoletoConta->Close();
    m_dm->qrBoletoConta->Open();
    m_dialogs->expectNotice(u"Conta Alterada com Sucesso.\rID: 1"_s);
    m_frm->btnAPIAlterar->click();
    const QList<QJsonObject> log = accountRequests();
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[1][u"method"_s].toString(), u"PUT"_s);
    QCOMPARE(log[1][u"path"_s].toString(), accountsPath + u"1"_s);
    QCOMPARE(column(u"BCOCONTAID"_s), u"1?local"_s);
    const QJsonObject dados = QJsonDocument::fromJson(log[1][u"reply"_s].toString().toUtf8())
                                  .object()[u"_dados"_s]
                                  .toObject();
    QCOMPARE(column(u"BCODATAATUALIZADO"_s), dados[u"atualizado"_s].toString().left(20));
}

void TestContaPlatform::updateWithoutIdentifierGoesToTheBarePath()
{
    insertConta(u"1, '237', '1234', '5678', '9', '11111111000111', null"_s);
    openList();
    m_dialogs->expectNotice(u"{\"_status\":\"erro\""_s); // the whole reply, checked below
    m_frm->btnAPIAlterar->click();
    const QList<QJsonObject> log = accountRequests();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0][u"method"_s].toString(), u"PUT"_s);
    QCOMPARE(log[0][u"path"_s].toString(), accountsPath);
    QVERIFY(m_dialogs->shown.last().text.startsWith(u"{\"_status\":\"erro\",\"_mensagem\":"_s));
    m_dialogs->clear();
    QCOMPARE(column(u"BCOCONTAID"_s), u"<null>"_s);
    QCOMPARE(column(u"BCODATAATUALIZADO"_s), u"<null>"_s);
    QCOMPARE(m_dm->qrBoletoConta->State(), dsBrowse);
}

void TestContaPlatform::requestNamesTheAccountsBeneficiary_data()
{
    QTest::addColumn<QString>("account");    // the account's BCECNPJ, SQL
    QTest::addColumn<QString>("beforehand"); // where the beneficiaries stand
    QTest::addColumn<QString>("sent");       // "cnpj-cedente"
    QTest::addColumn<bool>("registered");
    QTest::addColumn<int>("cedenteRow"); // afterwards; -1: closed
    QTest::newRow("B's account, list just opened")
        << u"'22222222000122'"_s << u"first"_s << cnpjB << true << 1;
    QTest::newRow("A's account, beneficiaries moved to B")
        << u"'11111111000111'"_s << u"B"_s << cnpjA << true << 0;
    QTest::newRow("B's account, beneficiaries closed by another window")
        << u"'22222222000122'"_s << u"closed"_s << cnpjB << true << -1;
    QTest::newRow("a CNPJ no beneficiary has")
        << u"'33333333000133'"_s << u"B"_s << u"33333333000133"_s << false << 1;
    QTest::newRow("a CNPJ no beneficiary has, beneficiaries closed")
        << u"'33333333000133'"_s << u"closed"_s << u"33333333000133"_s << false << -1;
    QTest::newRow("no CNPJ") << u"null"_s << u"B"_s << QString() << false << 1;
}

void TestContaPlatform::requestNamesTheAccountsBeneficiary()
{
    QFETCH(QString, account);
    QFETCH(QString, beforehand);
    QFETCH(QString, sent);
    QFETCH(bool, registered);
    QFETCH(int, cedenteRow);
    insertConta(u"1, '237', '1234', '5678', '9', "_s + account + u", null"_s);
    openList();
    RecordSet* cedente = m_dm->qrBoletoCedente;
    if (beforehand == u"B")
        cedente->SetRecNo(1); // as a click in the beneficiary list would
    else if (beforehand == u"closed")
        cedente->Close();
    if (registered)
        m_dialogs->expectNotice(u"Conta Cadastrada com Sucesso.\rID: 1"_s);
    m_frm->btnAPIRegistrar->click();

    const QList<QJsonObject> log = accountRequests();
    QCOMPARE(log.size(), 1);
    QCOMPARE(header(log[0], u"cnpj-cedente"_s), sent);
    QCOMPARE(column(u"BCOCONTAID"_s), registered ? u"1"_s : u"<null>"_s);
    if (!registered) {
        // Refused by the platform, whose reply is shown whole.
        QCOMPARE(m_dialogs->shown.size(), 1);
        QVERIFY(m_dialogs->shown[0].text.contains(u"\"_status\":\"erro\""_s));
        m_dialogs->clear();
    }
    // Nothing of the account's CNPJ is left behind in the beneficiaries,
    // not even while the message was up.
    QCOMPARE(m_dialogs->cedenteStates.size(), 1);
    if (cedenteRow < 0) {
        QCOMPARE(cedente->State(), dsInactive);
        QCOMPARE(m_dialogs->cedenteStates[0], dsInactive);
        return;
    }
    QCOMPARE(m_dialogs->cedenteStates[0], dsBrowse);
    QCOMPARE(cedente->State(), dsBrowse);
    QCOMPARE(cedente->RecordCount(), 2);
    QCOMPARE(cedente->RecNo(), cedenteRow);
    QCOMPARE(m_dm->qrBoletoCedenteBCECNPJ->AsString(), cedenteRow == 0 ? cnpjA : cnpjB);
    QCOMPARE(m_dialogs->cedenteCnpjs[0], cedenteRow == 0 ? cnpjA : cnpjB);
}

void TestContaPlatform::transportFailureLeavesTheBeneficiariesAsTheyWere()
{
    insertConta(u"1, '237', '1234', '5678', '9', '33333333000133', null"_s);
    openList();
    m_sim->stop();
    m_dialogs->expectError(u"127.0.0.1"_s);
    m_frm->btnAPIAlterar->click();
    RecordSet* cedente = m_dm->qrBoletoCedente;
    QCOMPARE(cedente->State(), dsBrowse);
    QCOMPARE(cedente->RecordCount(), 2);
    QCOMPARE(cedente->RecNo(), 0);
    QCOMPARE(m_dm->qrBoletoCedenteBCECNPJ->AsString(), cnpjA);
    QCOMPARE(column(u"BCOCONTAID"_s), u"<null>"_s);
}

QTEST_MAIN(TestContaPlatform)
#include "tst_contaplatform.moc"
