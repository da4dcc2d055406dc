// The operation procedure on a real beneficiary record set and database,
// against platform-sim over HTTPS: a success stores and posts the reply's
// members, every other reply is shown and touches nothing.
#include "curltransport.h"
#include "errors.h"
#include "operation.h"
#include "simulator.h"
#include "testserver.h"
#include "untDM.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString razao = u"Açaí/Ltda\nFilial"_s;

QStringList rowTexts(const RecordSet& set)
{
    QStringList texts;
    for (int i = 0; i < set.FieldCount(); ++i)
        texts << set.Fields(i).AsString();
    return texts;
}

} // namespace

class TestPlatformOperation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void successStoresAndPosts();
    void otherRepliesAreShownAndTouchNothing_data();
    void otherRepliesAreShownAndTouchNothing();
    void nothingSentOrNoReplyTouchesNothing_data();
    void nothingSentOrNoReplyTouchesNothing();

private:
    std::unique_ptr<Tdm> newModule();
    bool startSimulator(const QStringList& extra = {});
    // Registering the current beneficiary, the way its window does it.
    PlatformOperation registerCedente(const QString& url);
    QStringList storedRow(); // as another workstation reads it

    TestServer m_server;
    QString m_path;
    Connection m_admin;
    TestCertificates m_certificates;
    RecordingNotices m_notices;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<CurlTransport> m_transport;
    std::unique_ptr<Tdm> m_dm;
};

std::unique_ptr<Tdm> TestPlatformOperation::newModule()
{
    auto module = std::make_unique<Tdm>(&m_notices);
    m_server.useDatabase(*module, m_path);
    module->BcoDados.Connect();
    module->setTransport(m_transport.get());
    return module;
}

bool TestPlatformOperation::startSimulator(const QStringList& extra)
{
    m_sim = std::make_unique<Simulator>();
    if (m_sim->start(&m_certificates, u"server"_s, extra))
        return true;
    qWarning("%s", qPrintable(m_sim->error()));
    return false;
}

PlatformOperation TestPlatformOperation::registerCedente(const QString& url)
{
    Tdm& dm = *m_dm;
    PlatformOperation op;
    op.requestMembers = cedenteMembers(
        {dm.qrBoletoCedenteBCERAZAO->AsString(), dm.qrBoletoCedenteBCECNPJ->AsString(),
         dm.qrBoletoCedenteBCEFANTASIA->AsString(), dm.qrBoletoCedenteBCELOGRADOURO->AsString(),
         dm.qrBoletoCedenteBCENUMERO->AsString(), dm.qrBoletoCedenteBCECOMPLEMENTO->AsString(),
         dm.qrBoletoCedenteBCEBAIRRO->AsString(), dm.qrBoletoCedenteBCECEP->AsString(),
         dm.qrBoletoCedenteBCECODIBGECIDADE->AsString(), dm.qrBoletoCedenteBCETELEFONE->AsString(),
         dm.qrBoletoCedenteBCEEMAIL->AsString()});
    op.method = u"POST"_s;
    op.url = url;
    op.record = dm.qrBoletoCedente;
    op.replyMembers = {{"id", dm.qrBoletoCedenteBCEIDCEDENTE},
                       {"criado", dm.qrBoletoCedenteBCEDATACRIADO},
                       {"atualizado", dm.qrBoletoCedenteBCEDATAATUALIZADO},
                       {"token_cedente", dm.qrBoletoCedenteBCETOKEN},
                       {"token_esales", dm.qrBoletoCedenteBCETOKENESALES},
                       {"situacao", dm.qrBoletoCedenteBCESITUACAO},
                       {"id_software_house", dm.qrBoletoCedenteBCECODSOFTWAREHOUSE},
                       {"config_email", dm.qrBoletoCedenteBCECONFIGEMAIL},
                       {"config_notificacao", dm.qrBoletoCedenteBCECONFIGNOTIFICACAO},
                       {"motivo_inativacao", dm.qrBoletoCedenteBCEMOTIVOINATIVACAO},
                       {"data_ativacao", dm.qrBoletoCedenteBCEDATAATIVACAO},
                       {"data_inativacao", dm.qrBoletoCedenteBCEDATAINATIVACAO},
                       {"certificado", dm.qrBoletoCedenteBCECERTIFICADO},
                       {"dtvencimentocertificado", dm.qrBoletoCedenteBCEVENCIMENTOCERTIFICADO}};
    op.successText = u"Empresa Cadastrada com Sucesso.\rID: "_s;
    return op;
}

QStringList TestPlatformOperation::storedRow()
{
    const auto other = newModule();
    other->qrBoletoCedente->Open();
    return rowTexts(*other->qrBoletoCedente);
}

void TestPlatformOperation::initTestCase()
{
    QVERIFY2(m_certificates.make(), qPrintable(m_certificates.error()));
    m_transport = std::make_unique<CurlTransport>(m_certificates.file(u"ca.pem"_s));
    m_transport->setTotalTimeoutMs(5000);
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"operation"_s);
}

void TestPlatformOperation::init()
{
    REQUIRE_TEST_SERVER();
    m_admin.execute(u"delete from BoletoCedente"_s, {});
    m_notices.texts.clear();
    m_dm = newModule();
    RecordSet& set = *m_dm->qrBoletoCedente;
    set.Open();
    set.Append();
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(razao);
    m_dm->qrBoletoCedenteBCECNPJ->SetAsString(u"12345678000195"_s);
    m_dm->qrBoletoCedenteBCELOGRADOURO->SetAsString(u"Rua A"_s);
    m_dm->qrBoletoCedenteBCECOMPLEMENTO->SetAsString(u"Sala 1"_s);
    m_dm->qrBoletoCedenteBCECEP->SetAsString(u"01001000"_s);
    m_dm->qrBoletoCedenteBCECODIBGECIDADE->SetAsString(u"3550308"_s);
    set.Post();
}

void TestPlatformOperation::cleanup()
{
    m_dm.reset();
    m_sim.reset();
}

void TestPlatformOperation::successStoresAndPosts()
{
    QVERIFY(startSimulator());
    Tdm& dm = *m_dm;
    PlatformOperation op = registerCedente(m_sim->baseUrl() + PlatformPath::cedentes());
    // Beyond the real table: a member the reply lacks, and a text longer
    // than its column (token_esales has 32 characters, BCETELEFONE 11).
    op.replyMembers.push_back({"nao_existe", dm.qrBoletoCedenteBCECOMPLEMENTO});
    op.replyMembers.push_back({"token_esales", dm.qrBoletoCedenteBCETELEFONE});

    QVERIFY(runPlatformOperation(dm, m_notices, op));

    const QList<QJsonObject> log = m_sim->log();
    QCOMPARE(log.size(), 1);
    QCOMPARE(QByteArray::fromBase64(log.at(0).value(u"body_base64"_s).toString().toLatin1()),
             RequestObject(op.requestMembers).bodyText().toUtf8());
    const PlatformReply reply(log.at(0).value(u"reply"_s).toString().toUtf8());
    QVERIFY(reply.isSuccess());

    QCOMPARE(m_notices.texts, QStringList{u"Empresa Cadastrada com Sucesso.\rID: 1"_s});
    QCOMPARE(dm.qrBoletoCedente->State(), dsBrowse);
    QCOMPARE(dm.qrBoletoCedenteBCEIDCEDENTE->AsString(), u"1"_s);
    QCOMPARE(dm.qrBoletoCedenteBCEDATACRIADO->AsString(), reply.dataText("criado"));
    QCOMPARE(dm.qrBoletoCedenteBCETOKEN->AsString(), reply.dataText("token_cedente"));
    QCOMPARE(dm.qrBoletoCedenteBCETOKENESALES->AsString().size(), 32);
    QCOMPARE(dm.qrBoletoCedenteBCESITUACAO->AsString(), u"ATIVO"_s);
    QCOMPARE(dm.qrBoletoCedenteBCECODSOFTWAREHOUSE->AsString(), u"17"_s);
    QCOMPARE(dm.qrBoletoCedenteBCECONFIGEMAIL->AsString(), u"null"_s);
    QCOMPARE(dm.qrBoletoCedenteBCECONFIGNOTIFICACAO->AsString(),
             uR"({"email":false,"sms":false})"_s);
    QCOMPARE(dm.qrBoletoCedenteBCEMOTIVOINATIVACAO->AsString(), u"null"_s);
    QCOMPARE(dm.qrBoletoCedenteBCECOMPLEMENTO->AsString(), QString());
    QCOMPARE(dm.qrBoletoCedenteBCETELEFONE->AsString(), reply.dataText("token_esales").left(11));
    QCOMPARE(dm.qrBoletoCedenteBCERAZAO->AsString(), razao); // not a reply member
    QCOMPARE(storedRow(), rowTexts(*dm.qrBoletoCedente));
}

void TestPlatformOperation::otherRepliesAreShownAndTouchNothing_data()
{
    QTest::addColumn<QString>("fail");
    QTest::addColumn<QString>("id"); // appended to the address
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("refused: unknown identifier")
        << QString() << u"41"_s
        << QStringList{uR"({"_status":"erro","_mensagem":"Cedente não encontrado: \"41\"."})"_s};
    // The compact text: solidus escaped, ç and the line break as themselves.
    QTest::newRow("Sucesso") << u"status-capital"_s << QString()
                             << QStringList{uR"({"_status":"Sucesso","_mensagem":)"_s,
                                            u"\"CedenteRazaoSocial\":\"Açaí\\/Ltda\nFilial\","_s};
    QTest::newRow("sucesso without _dados")
        << u"no-dados"_s << QString()
        << QStringList{u"A plataforma informou sucesso, mas a resposta não traz os dados do "
                       "registro (\"_dados\"):\r{\"_status\":\"sucesso\","_s};
    QTest::newRow("500 with HTML") << u"http500-html"_s << QString()
                                   << QStringList{u"A resposta da plataforma não está no formato "
                                                  "JSON:\r<!DOCTYPE html>\n<html>"_s};
    QTest::newRow("plain text")
        << u"not-json"_s << QString()
        << QStringList{u"A resposta da plataforma não está no formato JSON:\rServiço em "
                       "manutenção."_s};
    QTest::newRow("empty") << u"empty-body"_s << QString()
                           << QStringList{u"A plataforma enviou uma resposta vazia."_s};
}

void TestPlatformOperation::otherRepliesAreShownAndTouchNothing()
{
    QFETCH(QString, fail);
    QFETCH(QString, id);
    QFETCH(QStringList, shown);

    QVERIFY(startSimulator(fail.isEmpty() ? QStringList() : QStringList{u"--fail"_s, fail}));
    Tdm& dm = *m_dm;
    const QStringList before = rowTexts(*dm.qrBoletoCedente);
    PlatformOperation op = registerCedente(m_sim->baseUrl() + PlatformPath::cedentes() + id);
    if (!id.isEmpty())
        op.method = u"PUT"_s;

    QVERIFY(!runPlatformOperation(dm, m_notices, op));

    QCOMPARE(m_sim->log().size(), 1);
    QCOMPARE(m_notices.texts.size(), 1);
    for (const QString& part : shown)
        QVERIFY2(m_notices.texts.at(0).contains(part), qPrintable(m_notices.texts.at(0)));
    QVERIFY(!m_notices.texts.at(0).contains(u"\r\n "_s)); // no indentation
    QCOMPARE(dm.qrBoletoCedente->State(), dsBrowse);
    QCOMPARE(rowTexts(*dm.qrBoletoCedente), before);
    QCOMPARE(storedRow(), before);
}

void TestPlatformOperation::nothingSentOrNoReplyTouchesNothing_data()
{
    QTest::addColumn<bool>("checkFails");
    QTest::newRow("a check fails: nothing sent") << true;
    QTest::newRow("no reply: the transport's error goes on") << false;
}

void TestPlatformOperation::nothingSentOrNoReplyTouchesNothing()
{
    QFETCH(bool, checkFails);

    QVERIFY(startSimulator());
    Tdm& dm = *m_dm;
    const QStringList before = rowTexts(*dm.qrBoletoCedente);
    PlatformOperation op = registerCedente(m_sim->baseUrl() + PlatformPath::cedentes());
    if (checkFails) {
        op.checks = [this] {
            m_notices.notice(u"CNPJ Inválido, por favor verifique."_s);
            throw SilentAbort();
        };
        QVERIFY_THROWS_EXCEPTION(SilentAbort, runPlatformOperation(dm, m_notices, op));
        QCOMPARE(m_notices.texts, QStringList{u"CNPJ Inválido, por favor verifique."_s});
    } else {
        m_sim->stop();
        QVERIFY_THROWS_EXCEPTION(Failure, runPlatformOperation(dm, m_notices, op));
        QCOMPARE(m_notices.texts, QStringList());
    }
    QCOMPARE(m_sim->log().size(), 0);
    QCOMPARE(dm.qrBoletoCedente->State(), dsBrowse);
    QCOMPARE(rowTexts(*dm.qrBoletoCedente), before);
    QCOMPARE(storedRow(), before);
}

QTEST_GUILESS_MAIN(TestPlatformOperation)
#include "tst_platformoperation.moc"
