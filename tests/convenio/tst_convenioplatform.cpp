// Registering and updating agreements from the list window, against the
// platform simulator over HTTPS and a real database.
#include "curltransport.h"
#include "dbcheckbox.h"
#include "dbedit.h"
#include "dbgrid.h"
#include "scripteddialogs.h"
#include "simulator.h"
#include "testserver.h"
#include "untConvenio.h"
#include "untConvenioDados.h"
#include "untDM.h"

#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString cnpjA = u"11111111000111"_s;
const QString cnpjB = u"22222222000122"_s;
const QString agreementsPath = u"/api/v1/cedentes/contas/convenios/"_s;
const QString registered = u"Convênio cadastrado na API, só pode ser Alterado."_s;

QByteArray bodyOf(const QJsonObject& entry)
{
    return QByteArray::fromBase64(entry[u"body_base64"_s].toString().toLatin1());
}

QJsonObject replyData(const QJsonObject& entry)
{
    return QJsonDocument::fromJson(entry[u"reply"_s].toString().toUtf8())
        .object()[u"_dados"_s]
        .toObject();
}
} // namespace

class TestConvenioPlatform : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void checksStopBeforeAnythingIsSent_data();
    void checksStopBeforeAnythingIsSent();
    void registerThenUpdate();
    void flagsFromTheDataEntryWindow_data();
    void flagsFromTheDataEntryWindow();
    void updateIsSentWhateverTheState_data();
    void updateIsSentWhateverTheState();
    void requestNamesTheBeneficiaryOfTheAgreementsAccount_data();
    void requestNamesTheBeneficiaryOfTheAgreementsAccount();
    void transportFailureChangesNothing();

private:
    void openList();
    void insertConvenio(const QString& columns, const QString& values);
    QString column(const QString& name, int codigo = 1);
    QList<QJsonObject> agreementRequests() const;
    QString header(const QJsonObject& entry, const QString& name) const;
    // Registers an agreement of account "1" on the simulator behind the
    // program's back; its number.
    QString registerElsewhere();

    TestServer m_server;
    QString m_path;
    Connection m_admin;
    TestCertificates m_certificates;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<CurlTransport> m_transport;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<QWidget> m_main;
    TfrmConvenio* m_frm = nullptr;
};

void TestConvenioPlatform::initTestCase()
{
    QVERIFY2(m_certificates.make(), qPrintable(m_certificates.error()));
    m_transport = std::make_unique<CurlTransport>(m_certificates.file(u"ca.pem"_s));
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"convenioplatform"_s);
    // A (the lowest code) and B. The first account by code is B's, with
    // the platform's identifier "1"; A's has "2"; the third one's
    // beneficiary is not known anywhere.
    m_admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO, BCECNPJ, BCEIDCEDENTE) "
                    u"values (1, 'Alfa', '11111111000111', '1')"_s,
                    {});
    m_admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO, BCECNPJ, BCEIDCEDENTE) "
                    u"values (2, 'Beta', '22222222000122', '2')"_s,
                    {});
    m_admin.execute(u"insert into BoletoConta (BCOCODIGO, BCOCONTAID, BCECNPJ) "
                    u"values (1, '1', '22222222000122')"_s,
                    {});
    m_admin.execute(u"insert into BoletoConta (BCOCODIGO, BCOCONTAID, BCECNPJ) "
                    u"values (2, '2', '11111111000111')"_s,
                    {});
    m_admin.execute(u"insert into BoletoConta (BCOCODIGO, BCOCONTAID, BCECNPJ) "
                    u"values (3, '3', '33333333000133')"_s,
                    {});
}

void TestConvenioPlatform::init()
{
    REQUIRE_TEST_SERVER();
    m_admin.execute(u"delete from BoletoConvenio"_s, {});
    m_sim = std::make_unique<Simulator>();
    QVERIFY2(m_sim->start(&m_certificates, u"server"_s), qPrintable(m_sim->error()));
    for (const QString& cnpj : {cnpjA, cnpjB}) {
        const QByteArray reply = m_transport->send(cedenteRegistration(m_sim->baseUrl(), cnpj));
        QVERIFY2(PlatformReply(reply).isSuccess(), reply.constData());
    }
    for (const QString& cnpj : {cnpjB, cnpjA}) { // accounts "1" and "2"
        const QByteArray reply = m_transport->send(contaRegistration(m_sim->baseUrl(), cnpj));
        QVERIFY2(PlatformReply(reply).isSuccess(), reply.constData());
    }
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_dm = std::make_unique<Tdm>(m_dialogs.get());
    m_server.useDatabase(*m_dm, m_path);
    m_dm->Plataforma.url = m_sim->baseUrl();
    m_dm->setTransport(m_transport.get());
    m_main = std::make_unique<QWidget>();
    m_main->resize(1200, 700);
}

void TestConvenioPlatform::cleanup()
{
    if (m_dialogs)
        VERIFY_DIALOGS(*m_dialogs);
    m_main.reset();
    m_dm.reset();
    m_dialogs.reset();
    m_sim.reset();
}

void TestConvenioPlatform::openList()
{
    m_frm = new TfrmConvenio(m_main.get());
    m_frm->resize(m_main->size());
    m_main->show();
    QCOMPARE(m_dm->qrBoletoConvenio->State(), dsBrowse);
}

void TestConvenioPlatform::insertConvenio(const QString& columns, const QString& values)
{
    m_admin.execute(u"insert into BoletoConvenio ("_s + columns + u") values ("_s + values + u")"_s,
                    {});
}

QString TestConvenioPlatform::column(const QString& name, int codigo)
{
    return queryText(m_admin, u"select "_s + name + u" from BoletoConvenio where BCVCODIGO = ?"_s,
                     {SqlValue::fromInteger(codigo)});
}

QList<QJsonObject> TestConvenioPlatform::agreementRequests() const
{
    QList<QJsonObject> requests;
    for (const QJsonObject& entry : m_sim->log())
        if (entry[u"path"_s].toString().startsWith(agreementsPath))
            requests << entry;
    return requests;
}

QString TestConvenioPlatform::header(const QJsonObject& entry, const QString& name) const
{
    for (const auto& [n, value] : loggedHeaders(entry))
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return u"<none>"_s;
}

QString TestConvenioPlatform::registerElsewhere()
{
    HttpRequestData request;
    request.method = "POST";
    request.url = m_sim->baseUrl() + agreementsPath;
    request.headers = identificationHeaders(cnpjB.toUtf8());
    std::vector<RequestMember> members;
    for (const char* name :
         {"ConvenioNumero", "ConvenioDescricao", "ConvenioCarteira", "carteira_codigo",
          "ConvenioEspecie", "ConvenioPadraoCNAB", "ConvenioNumeroRemessa", "Conta",
          "ConvenioDensidaDeRemessa", "ConvenioApiId", "ConvenioApiKey", "ConvenioApiSecret",
          "ConvenioEstacao", "Conveniotipowebservice", "ConvenioNumeroContrato",
          "ConvenioVersaoLayoutArquivo"})
        members.emplace_back(QLatin1String(name),
                             QLatin1String(name) == "Conta"_L1 ? u"1"_s : QString());
    for (const char* name :
         {"ConvenioReiniciarDiariamente", "ConvenioRegistroInstantaneo", "ConvenioNossoNumeroBanco",
          "ConvenioNossoNumeroConciliarBanco", "ConvenioConsultaws"})
        members.emplace_back(QLatin1String(name), false);
    request.body = RequestObject(members).bodyText().toUtf8();
    const QByteArray reply = m_transport->send(request);
    const PlatformReply judged(reply);
    if (!judged.isSuccess())
        qWarning("%s", reply.constData());
    return QJsonDocument::fromJson(reply)
        .object()[u"_dados"_s]
        .toObject()[u"numero_remessa"_s]
        .toString();
}

void TestConvenioPlatform::checksStopBeforeAnythingIsSent_data()
{
    QTest::addColumn<QString>("agreement"); // its BCVCONVENIODATACRIADO; null: no agreement
    QTest::addColumn<bool>("registering");
    QTest::addColumn<QString>("message");
    QTest::newRow("register: no agreement")
        << QString() << true << u"Selecione um Convênio para Registrar na API."_s;
    QTest::newRow("update: no agreement")
        << QString() << false << u"Selecione um Convênio para Alterar na API."_s;
    QTest::newRow("register: registered in an earlier run")
        << u"'2026-01-02 10:00:00'"_s << true << registered;
    QTest::newRow("register: a blank creation date counts as one")
        << u"' '"_s << true << registered;
}

void TestConvenioPlatform::checksStopBeforeAnythingIsSent()
{
    QFETCH(QString, agreement);
    QFETCH(bool, registering);
    QFETCH(QString, message);
    if (!agreement.isNull())
        insertConvenio(u"BCVCODIGO, BCOCONTAID, BCVCONVENIONUMERO, BCVCONVENIODATACRIADO"_s,
                       u"1, '1', 'N-1', "_s + agreement);
    openList();
    m_dialogs->expectNotice(message);
    (registering ? m_frm->btnAPIRegistrar : m_frm->btnAPIAlterar)->click();
    QCOMPARE(agreementRequests().size(), 0);
    QCOMPARE(m_dm->qrBoletoConvenio->State(), dsBrowse);
    if (!agreement.isNull())
        QCOMPARE(column(u"BCVCONVENIONUMERO"_s), u"N-1"_s);
}

void TestConvenioPlatform::registerThenUpdate()
{
    // Every text column filled but two; the flags as "1", "0", empty and
    // another text.
    insertConvenio(
        u"BCVCODIGO, BCOCONTAID, BCVCONVENIONUMERO, BCVCONVENIODESCRICAO, BCVCONVENIOCARTEIRA, "
        u"BCVCONVENIOCARTEIRACODIGO, BCVCONVENIOESPECIE, BCVCONVENIOPADRAOCNAB, "
        u"BCVCONVENIOREINICIARDIARIA, BCVCONVENIONUMEROREMESSA, BCVCONVENIODENSIDAREMESSA, "
        u"BCVCONVENIOREGINSTA, BCVCONVENIOAPIID, BCVCONVENIOAPIKEY, BCVCONVENIOAPISECRET, "
        u"BCVCONVENIONOSSONUMEROBANCO, BCVCONVENIONOSSONUMCONCILIA, BCVCONVENIOTIPOWEBSERVICE, "
        u"BCVCONVENIOCONSULTAWS, BCVCONVENIONUMEROCONTRATO, BCVCONVENIOVERSAOLAYOUTARQ"_s,
        u"1, '1', 'digitado', 'Cobrança \"A\"/B', '17', '2', 'R$', '240', '1', '0001', '1600', "
        u"'0', 'id', 'key', 'secret', '', 'S', 'v2.2', '1', 'C-1', '084'"_s);
    openList();
    m_dialogs->expectNotice(u"Convênio Cadastrado com Sucesso.\rID: 1"_s);
    m_frm->btnAPIRegistrar->click();

    QList<QJsonObject> log = agreementRequests();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0][u"method"_s].toString(), u"POST"_s);
    QCOMPARE(log[0][u"path"_s].toString(), agreementsPath);
    QCOMPARE(header(log[0], u"cnpj-cedente"_s), cnpjB); // the account's beneficiary
    QCOMPARE(header(log[0], u"Content-Type"_s), u"application/json"_s);
    const QByteArray expected = "{\r\n"
                                " \"ConvenioNumero\": \"digitado\",\r\n"
                                " \"ConvenioDescricao\": \"Cobran\\u00e7a \\\"A\\\"\\/B\",\r\n"
                                " \"ConvenioCarteira\": \"17\",\r\n"
                                " \"carteira_codigo\": \"2\",\r\n"
                                " \"ConvenioEspecie\": \"R$\",\r\n"
                                " \"ConvenioPadraoCNAB\": \"240\",\r\n"
                                " \"ConvenioReiniciarDiariamente\": true,\r\n"
                                " \"ConvenioNumeroRemessa\": \"0001\",\r\n"
                                " \"Conta\": \"1\",\r\n"
                                " \"ConvenioDensidaDeRemessa\": \"1600\",\r\n"
                                " \"ConvenioRegistroInstantaneo\": false,\r\n"
                                " \"ConvenioApiId\": \"id\",\r\n"
                                " \"ConvenioApiKey\": \"key\",\r\n"
                                " \"ConvenioApiSecret\": \"secret\",\r\n"
                                " \"ConvenioEstacao\": \"\",\r\n"
                                " \"ConvenioNossoNumeroBanco\": false,\r\n"
                                " \"ConvenioNossoNumeroConciliarBanco\": false,\r\n"
                                " \"Conveniotipowebservice\": \"v2.2\",\r\n"
                                " \"ConvenioConsultaws\": true,\r\n"
                                " \"ConvenioNumeroContrato\": \"C-1\",\r\n"
                                " \"ConvenioVersaoLayoutArquivo\": \"084\"\r\n"
                                "}";
    QCOMPARE(bodyOf(log[0]), expected);

    // The platform's number replaces the typed one, and both dates are in.
    const QJsonObject dados = replyData(log[0]);
    const QString numero = dados[u"numero_remessa"_s].toString();
    QVERIFY(!numero.isEmpty());
    QCOMPARE(column(u"BCVCONVENIONUMERO"_s), numero);
    QCOMPARE(column(u"BCVCONVENIODATACRIADO"_s), dados[u"criado"_s].toString().left(20));
    QCOMPARE(column(u"BCVCONVENIODATAATUALIZADO"_s), dados[u"atualizado"_s].toString().left(20));
    QVERIFY(!column(u"BCVCONVENIODATACRIADO"_s).isEmpty());
    QCOMPARE(column(u"BCVCONVENIOREGINSTA"_s), u"0"_s); // the rest as it was
    QCOMPARE(column(u"BCVCONVENIONOSSONUMCONCILIA"_s), u"S"_s);
    QCOMPARE(m_dm->qrBoletoConvenio->State(), dsBrowse);
    QCOMPARE(m_frm->RxDBGrid1->model()->index(0, 2).data().toString(), numero);

    // Registered now: a second registration is refused.
    m_dialogs->expectNotice(registered);
    m_frm->btnAPIRegistrar->click();
    QCOMPARE(agreementRequests().size(), 1);

    // Updated under the platform's number; only the dates change.
    m_dialogs->expectNotice(u"Convênio Alterado com Sucesso.\rID: 1"_s);
    m_frm->btnAPIAlterar->click();
    log = agreementRequests();
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[1][u"method"_s].toString(), u"PUT"_s);
    QCOMPARE(log[1][u"path"_s].toString(), agreementsPath + numero);
    QCOMPARE(header(log[1], u"cnpj-cedente"_s), cnpjB);
    QByteArray again = expected;
    again.replace("\"digitado\"", '"' + numero.toUtf8() + '"');
    QCOMPARE(bodyOf(log[1]), again);
    const QJsonObject updated = replyData(log[1]);
    QCOMPARE(column(u"BCVCONVENIONUMERO"_s), numero);
    QCOMPARE(column(u"BCVCONVENIODATACRIADO"_s), updated[u"criado"_s].toString().left(20));
    QCOMPARE(column(u"BCVCONVENIODATAATUALIZADO"_s), updated[u"atualizado"_s].toString().left(20));
    QCOMPARE(m_dm->qrBoletoConvenio->State(), dsBrowse);
}

void TestConvenioPlatform::flagsFromTheDataEntryWindow_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::newRow("four boxes ticked") << true;
    QTest::newRow("four boxes unticked") << false;
}

void TestConvenioPlatform::flagsFromTheDataEntryWindow()
{
    QFETCH(bool, ticked);
    openList();
    onModal([&](QWidget* modal) {
        auto* d = qobject_cast<TfrmConvenioDados*>(modal);
        QVERIFY(d);
        d->dbConvenioNum->setText(u"novo"_s);
        for (DBCheckBox* box : {d->dbReiniciaRemessaDiario, d->dbRegistroInstantaneo,
                                d->dbNossoNumeroPelaAgencia, d->dbConsultaWS}) {
            box->click(); // ticked...
            if (!ticked)
                box->click(); // ...and unticked again
        }
        d->btnGravar->click();
    });
    m_frm->btnIncluir->click();
    QTRY_VERIFY(!frmConvenioDados);
    m_dialogs->expectNotice(u"Convênio Cadastrado com Sucesso.\rID: 1"_s);
    m_frm->btnAPIRegistrar->click();
    const QList<QJsonObject> log = agreementRequests();
    QCOMPARE(log.size(), 1);
    const QJsonObject body = QJsonDocument::fromJson(bodyOf(log[0])).object();
    QCOMPARE(body.size(), 21);
    for (const char* name : {"ConvenioReiniciarDiariamente", "ConvenioRegistroInstantaneo",
                             "ConvenioNossoNumeroBanco", "ConvenioConsultaws"})
        QCOMPARE(body[QLatin1String(name)], QJsonValue(ticked));
    QCOMPARE(body[u"ConvenioNossoNumeroConciliarBanco"_s], QJsonValue(false));
    // Columns the window left empty travel as empty texts.
    for (const char* name : {"ConvenioDescricao", "ConvenioCarteira", "ConvenioApiSecret",
                             "ConvenioNumeroContrato", "ConvenioVersaoLayoutArquivo"})
        QCOMPARE(body[QLatin1String(name)], QJsonValue(u""_s));
    QCOMPARE(body[u"carteira_codigo"_s], QJsonValue(u"1"_s));
    QCOMPARE(body[u"Conta"_s], QJsonValue(u"1"_s));
}

void TestConvenioPlatform::updateIsSentWhateverTheState_data()
{
    QTest::addColumn<QString>("number"); // SQL; "known": one the platform has
    QTest::addColumn<QString>("path");   // after the resource's
    QTest::addColumn<bool>("accepted");
    QTest::newRow("never registered, unknown number") << u"'X-1'"_s << u"X-1"_s << false;
    QTest::newRow("empty number: the bare path") << u"''"_s << QString() << false;
    QTest::newRow("no number: the bare path") << u"null"_s << QString() << false;
    QTest::newRow("never registered here, known there") << u"known"_s << u"known"_s << true;
}

void TestConvenioPlatform::updateIsSentWhateverTheState()
{
    QFETCH(QString, number);
    QFETCH(QString, path);
    QFETCH(bool, accepted);
    if (number == u"known") {
        number = u"'"_s + registerElsewhere() + u"'"_s;
        path = number.mid(1, number.size() - 2);
    }
    insertConvenio(u"BCVCODIGO, BCOCONTAID, BCVCONVENIONUMERO"_s, u"1, '1', "_s + number);
    const QString before = column(u"BCVCONVENIONUMERO"_s);
    const qsizetype earlier = agreementRequests().size();
    openList();
    if (accepted)
        m_dialogs->expectNotice(u"Convênio Alterado com Sucesso.\rID: 1"_s);
    else
        m_dialogs->expectNotice(u"\"_status\":\"erro\""_s); // the whole reply, checked below
    m_frm->btnAPIAlterar->click();
    const QList<QJsonObject> log = agreementRequests().mid(earlier);
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0][u"method"_s].toString(), u"PUT"_s);
    QCOMPARE(log[0][u"path"_s].toString(), agreementsPath + path);
    QCOMPARE(column(u"BCVCONVENIONUMERO"_s), before);
    QCOMPARE(m_dm->qrBoletoConvenio->State(), dsBrowse);
    if (!accepted) {
        QVERIFY(m_dialogs->shown.last().text.startsWith(u"{\"_status\":\"erro\""_s));
        m_dialogs->clear();
        QCOMPARE(column(u"BCVCONVENIODATACRIADO"_s), u"<null>"_s);
        QCOMPARE(column(u"BCVCONVENIODATAATUALIZADO"_s), u"<null>"_s);
        return;
    }
    // Dated now, so it counts as registered.
    QCOMPARE(column(u"BCVCONVENIODATACRIADO"_s), replyData(log[0])[u"criado"_s].toString());
    m_dialogs->expectNotice(registered);
    m_frm->btnAPIRegistrar->click();
    QCOMPARE(agreementRequests().size(), earlier + 1);
}

void TestConvenioPlatform::requestNamesTheBeneficiaryOfTheAgreementsAccount_data()
{
    QTest::addColumn<int>("account"); // row in the accounts grid
    QTest::addColumn<QString>("beforehand");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("B's account, list just opened (beneficiaries on A)")
        << 0 << u"first"_s << cnpjB << true;
    QTest::newRow("A's account, beneficiaries moved to B") << 1 << u"B"_s << cnpjA << true;
    QTest::newRow("B's account, beneficiaries closed by another window")
        << 0 << u"closed"_s << cnpjB << true;
    QTest::newRow("an account whose beneficiary is unknown")
        << 2 << u"first"_s << u"33333333000133"_s << false;
}

void TestConvenioPlatform::requestNamesTheBeneficiaryOfTheAgreementsAccount()
{
    QFETCH(int, account);
    QFETCH(QString, beforehand);
    QFETCH(QString, sent);
    QFETCH(bool, accepted);
    const QString contaId = QString::number(account + 1);
    insertConvenio(u"BCVCODIGO, BCOCONTAID"_s, u"1, '"_s + contaId + u"'"_s);
    openList();
    m_dm->qrBoletoConta->SetRecNo(account);
    QCOMPARE(m_dm->qrBoletoConvenio->RecordCount(), 1);
    RecordSet* cedente = m_dm->qrBoletoCedente;
    if (beforehand == u"B")
        cedente->SetRecNo(1);
    else if (beforehand == u"closed")
        cedente->Close();
    const int rowBefore = cedente->RecNo();
    if (accepted)
        m_dialogs->expectNotice(u"Convênio Cadastrado com Sucesso.\rID: 1"_s);
    else
        m_dialogs->expectNotice(u"\"_status\":\"erro\""_s);
    m_frm->btnAPIRegistrar->click();
    const QList<QJsonObject> log = agreementRequests();
    QCOMPARE(log.size(), 1);
    QCOMPARE(header(log[0], u"cnpj-cedente"_s), sent);
    QCOMPARE(column(u"BCVCONVENIODATACRIADO"_s).startsWith(u"<"_s), !accepted);
    m_dialogs->clear();
    // The beneficiaries are left as the windows know them: closed stays
    // closed, and nothing of a stand-in CNPJ stays behind.
    if (beforehand == u"closed") {
        QCOMPARE(cedente->State(), dsInactive);
        return;
    }
    QCOMPARE(cedente->State(), dsBrowse);
    QCOMPARE(cedente->RecordCount(), 2);
    if (!accepted)
        QCOMPARE(cedente->RecNo(), rowBefore);
    for (int row = 0; row < 2; ++row) {
        cedente->SetRecNo(row);
        QCOMPARE(m_dm->qrBoletoCedenteBCECNPJ->AsString(), row == 0 ? cnpjA : cnpjB);
    }
}

void TestConvenioPlatform::transportFailureChangesNothing()
{
    insertConvenio(u"BCVCODIGO, BCOCONTAID, BCVCONVENIONUMERO"_s, u"1, '1', 'N-1'"_s);
    openList();
    m_sim->stop();
    for (QToolButton* button : {m_frm->btnAPIRegistrar, m_frm->btnAPIAlterar}) {
        m_dialogs->expectError(u"127.0.0.1"_s);
        button->click();
        QCOMPARE(m_dm->qrBoletoConvenio->State(), dsBrowse);
        QCOMPARE(m_dm->qrBoletoConvenioBCVCONVENIONUMERO->AsString(), u"N-1"_s);
        QCOMPARE(column(u"BCVCONVENIONUMERO"_s), u"N-1"_s);
        QCOMPARE(column(u"BCVCONVENIODATACRIADO"_s), u"<null>"_s);
    }
    // The beneficiaries as they were, on the account's own (B).
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoCedenteBCECNPJ->AsString(), cnpjB);
}

QTEST_MAIN(TestConvenioPlatform)
#include "tst_convenioplatform.moc"
