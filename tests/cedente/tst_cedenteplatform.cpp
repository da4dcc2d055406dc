// Registering and updating beneficiaries from the list window, against the
// platform simulator over HTTPS and a real database.
#include "curltransport.h"
#include "scripteddialogs.h"
#include "simulator.h"
#include "testserver.h"
#include "untCedente.h"
#include "untDM.h"

#include "dbgrid.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString cnpjInvalid = u"CNPJ Inválido, por favor verifique."_s;
const QString already = u"Empresa já cadastrada como Cedente na API."_s;
const QString noStreet = u"O campo Logradouro é Obrigatório, preencha corretamente."_s;
const QString noCep = u"O campo CEP é Obrigatório, preencha corretamente."_s;
const QString noIbge = u"O campo Código IBGE da Cidade é Obrigatório, preencha corretamente."_s;
} // namespace

class TestCedentePlatform : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void checksStopBeforeAnythingIsSent_data();
    void checksStopBeforeAnythingIsSent();
    void registerSendsTheRowAndStoresTheReply();
    void updateSendsToTheIdentifierAndKeepsIt();
    void failureReplyIsShownWholeAndChangesNothing();
    void transportFailureChangesNothing();
    void failedPostStillShowsThePlatformsId();

private:
    void insertCedente(const QString& values);
    QString column(const QString& name);
    void reopen();

    TestServer m_server;
    QString m_path;
    Connection m_admin;
    TestCertificates m_certificates;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<CurlTransport> m_transport;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<QWidget> m_main;
    TfrmCedente* m_frm = nullptr;
};

void TestCedentePlatform::initTestCase()
{
    QVERIFY2(m_certificates.make(), qPrintable(m_certificates.error()));
    m_transport = std::make_unique<CurlTransport>(m_certificates.file(u"ca.pem"_s));
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"cedenteplatform"_s);
}

void TestCedentePlatform::init()
{
    REQUIRE_TEST_SERVER();
    m_admin.execute(u"delete from BoletoCedente"_s, {});
    m_sim = std::make_unique<Simulator>();
    QVERIFY2(m_sim->start(&m_certificates, u"server"_s), qPrintable(m_sim->error()));
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_dm = std::make_unique<Tdm>(m_dialogs.get());
    m_server.useDatabase(*m_dm, m_path);
    m_dm->Plataforma.url = m_sim->baseUrl();
    m_dm->setTransport(m_transport.get());
    m_main = std::make_unique<QWidget>();
    m_frm = new TfrmCedente(m_main.get());
    m_main->show();
}

void TestCedentePlatform::cleanup()
{
    if (m_dialogs)
        VERIFY_DIALOGS(*m_dialogs);
    m_main.reset();
    m_dm.reset();
    m_dialogs.reset();
    m_sim.reset();
}

// Columns BCECODIGO, BCERAZAO, BCECNPJ, BCELOGRADOURO, BCECEP,
// BCECODIBGECIDADE, BCEIDCEDENTE.
void TestCedentePlatform::insertCedente(const QString& values)
{
    m_admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO, BCECNPJ, BCELOGRADOURO, "
                    u"BCECEP, BCECODIBGECIDADE, BCEIDCEDENTE) values ("_s +
                        values + u")"_s,
                    {});
    reopen();
}

void TestCedentePlatform::reopen()
{
    m_dm->qrBoletoCedente->Close();
    m_dm->qrBoletoCedente->Open();
}

QString TestCedentePlatform::column(const QString& name)
{
    return queryText(m_admin, u"select "_s + name + u" from BoletoCedente"_s);
}

void TestCedentePlatform::checksStopBeforeAnythingIsSent_data()
{
    QTest::addColumn<QString>("row"); // empty: no beneficiary at all
    QTest::addColumn<bool>("registering");
    QTest::addColumn<QString>("message");

    const QString ok = u"1, 'R', '12345678000195', 'Rua', '01010000', '3550308', "_s;
    for (bool reg : {true, false}) {
        const char* op = reg ? "register" : "update";
        QTest::addRow("%s: no beneficiary", op) << QString() << reg << cnpjInvalid;
        QTest::addRow("%s: 13-character CNPJ", op)
            << u"1, 'R', '1234567800019', 'Rua', '01010000', '3550308', null"_s << reg
            << cnpjInvalid;
        QTest::addRow("%s: CNPJ and street both bad: CNPJ only", op)
            << u"1, 'R', '123', '', '01010000', '3550308', null"_s << reg << cnpjInvalid;
        QTest::addRow("%s: no street", op)
            << u"1, 'R', '12345678000195', '', '01010000', '3550308', null"_s << reg << noStreet;
        QTest::addRow("%s: no CEP", op)
            << u"1, 'R', '12345678000195', 'Rua', '', '3550308', null"_s << reg << noCep;
        QTest::addRow("%s: no IBGE code", op)
            << u"1, 'R', '12345678000195', 'Rua', '01010000', null, null"_s << reg << noIbge;
    }
    QTest::newRow("register: identifier of one blank") << ok + u"' '"_s << true << already;
    QTest::newRow("register: registered and no CNPJ: registered first")
        << u"1, 'R', null, null, null, null, '77'"_s << true << already;
}

void TestCedentePlatform::checksStopBeforeAnythingIsSent()
{
    QFETCH(QString, row);
    QFETCH(bool, registering);
    QFETCH(QString, message);
    if (!row.isEmpty())
        insertCedente(row);
    m_dialogs->expectNotice(message);
    (registering ? m_frm->btnRegistrar : m_frm->btnAPIAlterar)->click();
    QCOMPARE(m_sim->log().size(), 0);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
}

void TestCedentePlatform::registerSendsTheRowAndStoresTheReply()
{
    m_admin.execute(
        u"insert into BoletoCedente (BCECODIGO, BCERAZAO, BCECNPJ, BCEFANTASIA, "
        u"BCELOGRADOURO, BCENUMERO, BCECOMPLEMENTO, BCEBAIRRO, BCECEP, BCECODIBGECIDADE, "
        u"BCETELEFONE, BCEEMAIL, BCECERTIFICADO) values (1, 'Padaria Pão de Açúcar', "
        u"'12345678000195', 'Pão \"Doce\"', 'Rua A/B', '120', '', 'Centro', '01010000', "
        u"'3550308', '1134567890', 'a@b.example', 'meu certificado')"_s,
        {});
    reopen();
    m_dialogs->expectNotice(u"Empresa Cadastrada com Sucesso.\rID: 1"_s);
    m_frm->btnRegistrar->click();

    const QList<QJsonObject> log = m_sim->log();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0][u"method"_s].toString(), u"POST"_s);
    QCOMPARE(log[0][u"path"_s].toString(), u"/api/v1/cedentes/"_s);
    // The program's own four, in order, among those the HTTP client adds.
    QList<std::pair<QString, QString>> headers;
    for (const auto& h : loggedHeaders(log[0]))
        if (QStringList{u"Content-Type"_s, u"cnpj-sh"_s, u"token-sh"_s, u"cnpj-cedente"_s}.contains(
                h.first, Qt::CaseInsensitive))
            headers << h;
    QCOMPARE(headers.size(), 4);
    QCOMPARE(headers[0], std::make_pair(u"Content-Type"_s, u"application/json"_s));
    QCOMPARE(headers[1], std::make_pair(u"cnpj-sh"_s, u"58204617000290"_s));
    QCOMPARE(headers[2], std::make_pair(u"token-sh"_s, u"b3f9e07a5d21c48f96a0e3d7152bc94e"_s));
    QCOMPARE(headers[3], std::make_pair(u"cnpj-cedente"_s, u"12345678000195"_s));
    const QByteArray body = QByteArray::fromBase64(log[0][u"body_base64"_s].toString().toLatin1());
    const QByteArray expected =
        "{\r\n"
        " \"CedenteRazaoSocial\": \"Padaria P\\u00e3o de A\\u00e7\\u00facar\",\r\n"
        " \"CedenteCPFCNPJ\": \"12345678000195\",\r\n"
        " \"CedenteNomeFantasia\": \"P\\u00e3o \\\"Doce\\\"\",\r\n"
        " \"CedenteEnderecoLogradouro\": \"Rua A\\/B\",\r\n"
        " \"CedenteEnderecoNumero\": \"120\",\r\n"
        " \"CedenteEnderecoComplemento\": \"\",\r\n"
        " \"CedenteEnderecoBairro\": \"Centro\",\r\n"
        " \"CedenteEnderecoCEP\": \"01010000\",\r\n"
        " \"CedenteEnderecoCidadeIBGE\": \"3550308\",\r\n"
        " \"CedenteTelefone\": \"1134567890\",\r\n"
        " \"CedenteEmail\": \"a@b.example\"\r\n"
        "}";
    QCOMPARE(body, expected);

    // Stored as the platform answered, "null" for a null member.
    const QJsonObject dados = QJsonDocument::fromJson(log[0][u"reply"_s].toString().toUtf8())
                                  .object()[u"_dados"_s]
                                  .toObject();
    QCOMPARE(column(u"BCEIDCEDENTE"_s), u"1"_s);
    QCOMPARE(column(u"BCETOKEN"_s), dados[u"token_cedente"_s].toString().left(32));
    QCOMPARE(column(u"BCEDATACRIADO"_s), dados[u"criado"_s].toString().left(20));
    QCOMPARE(column(u"BCESITUACAO"_s), u"ATIVO"_s);
    QCOMPARE(column(u"BCEMOTIVOINATIVACAO"_s), u"null"_s);
    QVERIFY(column(u"BCECERTIFICADO"_s) != u"meu certificado"_s); // overwritten by the platform
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoCedenteBCEIDCEDENTE->AsString(), u"1"_s);
    QCOMPARE(m_frm->RxDBGrid1->model()->index(0, 1).data().toString(), u"1"_s);

    // Registered: a second press sends nothing.
    m_dialogs->expectNotice(already);
    m_frm->btnRegistrar->click();
    QCOMPARE(m_sim->log().size(), 1);
}

void TestCedentePlatform::updateSendsToTheIdentifierAndKeepsIt()
{
    insertCedente(u"1, 'R', '12345678000195', 'Rua', '01010000', '3550308', null"_s);
    m_dialogs->expectNotice(u"Empresa Cadastrada com Sucesso.\rID: 1"_s);
    m_frm->btnRegistrar->click();
    const QString created = column(u"BCEDATACRIADO"_s);

    m_admin.execute(u"update BoletoCedente set BCERAZAO = 'Nova Razão'"_s, {});
    reopen();
    m_dialogs->expectNotice(u"Empresa Alterada com Sucesso.\rID: 1"_s);
    m_frm->btnAPIAlterar->click();
    const QList<QJsonObject> log = m_sim->log();
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[1][u"method"_s].toString(), u"PUT"_s);
    QCOMPARE(log[1][u"path"_s].toString(), u"/api/v1/cedentes/1"_s);
    QVERIFY(log[1][u"body"_s].toString().contains(u"Nova Raz\\u00e3o"_s));
    QCOMPARE(column(u"BCEIDCEDENTE"_s), u"1"_s);
    QVERIFY(!column(u"BCEDATAATUALIZADO"_s).isEmpty());
    QCOMPARE(column(u"BCEDATACRIADO"_s), created);
}

void TestCedentePlatform::failureReplyIsShownWholeAndChangesNothing()
{
    // Never registered: the update goes to the bare path, which the
    // platform refuses.
    insertCedente(u"1, 'R', '12345678000195', 'Rua', '01010000', '3550308', null"_s);
    m_dialogs->expectNotice(u"{\"_status\":\"erro\""_s); // prefix checked below
    m_frm->btnAPIAlterar->click();
    QCOMPARE(m_sim->log().size(), 1);
    QCOMPARE(m_sim->log()[0][u"path"_s].toString(), u"/api/v1/cedentes/"_s);
    const QString shown = m_dialogs->shown.last().text;
    QVERIFY2(shown.startsWith(u"{\"_status\":\"erro\",\"_mensagem\":"_s), qPrintable(shown));
    QVERIFY(!shown.contains(u'\n'));
    m_dialogs->clear();
    QCOMPARE(column(u"BCEIDCEDENTE"_s), u"<null>"_s);
    QCOMPARE(column(u"BCEDATAATUALIZADO"_s), u"<null>"_s);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);

    // "Sucesso" is no success either.
    m_sim = std::make_unique<Simulator>();
    QVERIFY(m_sim->start(&m_certificates, u"server"_s, {u"--fail"_s, u"status-capital"_s}));
    m_dm->Plataforma.url = m_sim->baseUrl();
    m_frm->btnRegistrar->click();
    QCOMPARE(m_dialogs->shown.size(), 1);
    QVERIFY(m_dialogs->shown[0].text.contains(u"\"_status\":\"Sucesso\""_s));
    m_dialogs->clear();
    QCOMPARE(column(u"BCEIDCEDENTE"_s), u"<null>"_s);
}

void TestCedentePlatform::transportFailureChangesNothing()
{
    insertCedente(u"1, 'R', '12345678000195', 'Rua', '01010000', '3550308', null"_s);
    m_sim->stop();
    m_dialogs->expectError(u"127.0.0.1"_s);
    m_frm->btnRegistrar->click();
    QCOMPARE(column(u"BCEIDCEDENTE"_s), u"<null>"_s);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
}

void TestCedentePlatform::failedPostStillShowsThePlatformsId()
{
    insertCedente(u"1, 'R', '12345678000195', 'Rua', '01010000', '3550308', null"_s);
    m_admin.execute(
        u"alter table BoletoCedente add constraint CK_SEM_TOKEN check (BCETOKEN is null)"_s, {});
    m_dialogs->expectError(u"ID: 1"_s);
    m_frm->btnRegistrar->click();
    m_admin.execute(u"alter table BoletoCedente drop constraint CK_SEM_TOKEN"_s, {});
    QVERIFY(m_dialogs->shown[0].text.contains(u"CK_SEM_TOKEN"_s));
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoCedenteBCEIDCEDENTE->AsString(), QString());
    QCOMPARE(column(u"BCEIDCEDENTE"_s), u"<null>"_s);
}

QTEST_MAIN(TestCedentePlatform)
#include "tst_cedenteplatform.moc"
