// platform-sim as the platform the tests of the six operations rely on:
// what it refuses, what it answers for the chain beneficiary, account,
// agreement, and that it keeps (or does not keep) registrations.
#include "curltransport.h"
#include "simulator.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

using Tweak = std::function<void(HttpRequestData&)>;

namespace {

const QString cnpj = u"12345678000195"_s;

QByteArray accountBody()
{
    return RequestObject({{u"ContaCodigoBanco"_s, u"341"_s},
                          {u"ContaAgencia"_s, u"1234"_s},
                          {u"ContaAgenciaDV"_s, u"5"_s},
                          {u"ContaNumero"_s, u"98765"_s},
                          {u"ContaNumeroDV"_s, u"0"_s},
                          {u"ContaTipo"_s, u"CORRENTE"_s},
                          {u"ContaCodigoBeneficiario"_s, u"777"_s},
                          {u"ContaCodigoEmpresa"_s, QString()},
                          {u"ContaValidacaoAtiva"_s, false},
                          {u"ContaImpressaoAtualizada"_s, false}})
        .bodyText()
        .toUtf8();
}

QByteArray agreementBody(const QString& account)
{
    std::vector<RequestMember> members;
    for (const char* name : {"ConvenioNumero",
                             "ConvenioDescricao",
                             "ConvenioCarteira",
                             "carteira_codigo",
                             "ConvenioEspecie",
                             "ConvenioPadraoCNAB",
                             "ConvenioReiniciarDiariamente",
                             "ConvenioNumeroRemessa",
                             "Conta",
                             "ConvenioDensidaDeRemessa",
                             "ConvenioRegistroInstantaneo",
                             "ConvenioApiId",
                             "ConvenioApiKey",
                             "ConvenioApiSecret",
                             "ConvenioEstacao",
                             "ConvenioNossoNumeroBanco",
                             "ConvenioNossoNumeroConciliarBanco",
                             "Conveniotipowebservice",
                             "ConvenioConsultaws",
                             "ConvenioNumeroContrato",
                             "ConvenioVersaoLayoutArquivo"}) {
        const QString n = QLatin1String(name);
        if (n == u"Conta"_s)
            members.emplace_back(n, account);
        else if (n.startsWith(u"ConvenioReiniciar"_s) || n.startsWith(u"ConvenioRegistro"_s) ||
                 n.startsWith(u"ConvenioNossoNumero"_s) || n == u"ConvenioConsultaws"_s)
            members.emplace_back(n, true);
        else
            members.emplace_back(n, u"x"_s);
    }
    return RequestObject(members).bodyText().toUtf8();
}

HttpRequestData request(const Simulator& sim, const char* method, const QString& path,
                        const QByteArray& body)
{
    HttpRequestData r;
    r.method = method;
    r.url = sim.baseUrl() + path;
    r.headers = identificationHeaders(cnpj.toUtf8());
    r.body = body;
    return r;
}

} // namespace

class TestPlatformSim : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void refusals_data();
    void refusals();
    void registrationChainAndState();
    void misbehavioursStoreNothing_data();
    void misbehavioursStoreNothing();

private:
    PlatformReply send(const HttpRequestData& request);

    TestCertificates m_certificates;
    std::unique_ptr<CurlTransport> m_transport;
};

void TestPlatformSim::initTestCase()
{
    QVERIFY2(m_certificates.make(), qPrintable(m_certificates.error()));
    m_transport = std::make_unique<CurlTransport>(m_certificates.file(u"ca.pem"_s));
}

PlatformReply TestPlatformSim::send(const HttpRequestData& request)
{
    return PlatformReply(m_transport->send(request));
}

void TestPlatformSim::refusals_data()
{
    QTest::addColumn<Tweak>("tweak"); // spoils a valid beneficiary registration
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    const auto header = [](int i, const QByteArray& value) {
        return Tweak([=](HttpRequestData& r) { r.headers[size_t(i)].second = value; });
    };
    const auto body = [](const QString& from, const QString& to) {
        return Tweak([=](HttpRequestData& r) {
            r.body = QString::fromUtf8(r.body).replace(from, to).toUtf8();
        });
    };
    QTest::newRow("Content-Type") << header(0, "text/plain") << 415 << u"Content-Type"_s;
    QTest::newRow("cnpj-sh") << header(1, "58204617000291") << 401 << u"cnpj-sh inválido"_s;
    QTest::newRow("token-sh") << header(2, "B3F9E07A5D21C48F96A0E3D7152BC94E") << 401
                              << u"token-sh inválido"_s;
    QTest::newRow("cnpj-cedente of 13") << header(3, "1234567800019") << 400 << u"14 caracteres"_s;
    QTest::newRow("cnpj-cedente missing") << Tweak([](HttpRequestData& r) { r.headers.pop_back(); })
                                          << 400 << u"cnpj-cedente ausente"_s;
    QTest::newRow("body not JSON") << body(u"}"_s, QString()) << 400 << u"não é um JSON"_s;
    QTest::newRow("body not an object")
        << Tweak([](HttpRequestData& r) { r.body = "[]"; }) << 400 << u"objeto JSON"_s;
    QTest::newRow("member missing")
        << body(u"CedenteEmail"_s, u"Email"_s) << 400 << u"ausente: CedenteEmail"_s;
    QTest::newRow("boolean for a text")
        << body(u"\"CedenteTelefone\": \"\""_s, u"\"CedenteTelefone\": false"_s) << 400
        << u"CedenteTelefone deve ser um texto"_s;
    QTest::newRow("required text empty")
        << body(u"\"CedenteEnderecoCEP\": \"01001000\""_s, u"\"CedenteEnderecoCEP\": \"\""_s) << 400
        << u"CedenteEnderecoCEP é obrigatório"_s;
    QTest::newRow("CNPJ of the body is not the header's")
        << header(3, "99999999000199") << 400 << u"difere do cabeçalho"_s;
    QTest::newRow("update of an unknown identifier") << Tweak([](HttpRequestData& r) {
        r.method = "PUT";
        r.url += u"41"_s;
    }) << 404 << u"Cedente não encontrado: \"41\""_s;
    QTest::newRow("update without identifier")
        << Tweak([](HttpRequestData& r) { r.method = "PUT"; }) << 404
        << u"Cedente não encontrado: \"\""_s;
    QTest::newRow("account of an unregistered beneficiary") << Tweak([](HttpRequestData& r) {
        r.url.replace(u"cedentes/"_s, u"cedentes/contas/"_s);
        r.body = accountBody();
    }) << 404 << u"Nenhum cedente cadastrado"_s;
    QTest::newRow("unknown resource")
        << Tweak([](HttpRequestData& r) { r.url.replace(u"cedentes/"_s, u"boletos/"_s); }) << 404
        << u"Recurso não encontrado"_s;
}

void TestPlatformSim::refusals()
{
    QFETCH(Tweak, tweak);
    QFETCH(int, status);
    QFETCH(QString, message);

    Simulator sim;
    QVERIFY2(sim.start(&m_certificates, u"server"_s), qPrintable(sim.error()));
    HttpRequestData r = cedenteRegistration(sim.baseUrl(), cnpj);
    tweak(r);
    const PlatformReply reply = send(r);
    QCOMPARE(reply.status(), u"erro"_s);
    QVERIFY2(memberText(reply.json(), "_mensagem").contains(message),
             qPrintable(reply.failureText()));
    QCOMPARE(sim.log().constLast().value(u"status"_s).toInt(), status);
    // Nothing was registered: the valid request is still the first.
    QCOMPARE(send(cedenteRegistration(sim.baseUrl(), cnpj)).dataText("id"), u"1"_s);
}

void TestPlatformSim::registrationChainAndState()
{
    const QString cedentes = u"/api/v1/cedentes/"_s;
    const QString contas = u"/api/v1/cedentes/contas/"_s;
    const QString convenios = u"/api/v1/cedentes/contas/convenios/"_s;
    const QRegularExpression date(u"^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"_s);
    const QRegularExpression token(u"^[0-9a-f]{32}$"_s);

    QTemporaryDir stateDir;
    const QStringList keep = {u"--state"_s, stateDir.filePath(u"state.json"_s)};
    QString cedenteId, contaId, numero;
    {
        Simulator sim;
        QVERIFY2(sim.start(&m_certificates, u"server"_s, keep), qPrintable(sim.error()));
        const PlatformReply cedente = send(cedenteRegistration(sim.baseUrl(), cnpj));
        QVERIFY2(cedente.isSuccess(), qPrintable(cedente.failureText()));
        cedenteId = cedente.dataText("id");
        QVERIFY(cedente.data()->at("id").is_number_integer());
        QVERIFY(date.match(cedente.dataText("criado")).hasMatch());
        QCOMPARE(cedente.dataText("atualizado"), cedente.dataText("criado"));
        QVERIFY(token.match(cedente.dataText("token_cedente")).hasMatch());
        QVERIFY(token.match(cedente.dataText("token_esales")).hasMatch());
        QCOMPARE(cedente.dataText("situacao"), u"ATIVO"_s);
        QCOMPARE(cedente.dataText("motivo_inativacao"), u"null"_s);
        for (const char* member :
             {"id_software_house", "config_email", "config_notificacao", "data_ativacao",
              "data_inativacao", "certificado", "dtvencimentocertificado"})
            QVERIFY2(cedente.data()->contains(member), member);
        QCOMPARE(send(cedenteRegistration(sim.baseUrl(), cnpj)).status(), u"erro"_s); // twice

        const PlatformReply conta = send(request(sim, "POST", contas, accountBody()));
        QVERIFY2(conta.isSuccess(), qPrintable(conta.failureText()));
        contaId = conta.dataText("id");
        QVERIFY(date.match(conta.dataText("criado")).hasMatch());

        const PlatformReply convenio =
            send(request(sim, "POST", convenios, agreementBody(contaId)));
        QVERIFY2(convenio.isSuccess(), qPrintable(convenio.failureText()));
        numero = convenio.dataText("numero_remessa");
        QVERIFY(!numero.isEmpty());
        QVERIFY(numero != convenio.dataText("id"));
        QCOMPARE(send(request(sim, "POST", convenios, agreementBody(u"999"_s))).status(),
                 u"erro"_s); // not an account of this beneficiary
    }
    {
        Simulator sim; // a new run: only the state file remembers
        QVERIFY2(sim.start(&m_certificates, u"server"_s, keep), qPrintable(sim.error()));
        const PlatformReply convenio =
            send(request(sim, "PUT", convenios + numero, agreementBody(contaId)));
        QVERIFY2(convenio.isSuccess(), qPrintable(convenio.failureText()));
        QCOMPARE(convenio.dataText("numero_remessa"), numero);
        QVERIFY(send(request(sim, "PUT", contas + contaId, accountBody())).isSuccess());
        HttpRequestData update = cedenteRegistration(sim.baseUrl(), cnpj);
        update.method = "PUT";
        update.url += cedenteId;
        QCOMPARE(send(update).dataText("id"), cedenteId);
        // Another beneficiary does not reach this one's account.
        HttpRequestData other = request(sim, "PUT", contas + contaId, accountBody());
        other.headers[3].second = "11111111000111";
        send(cedenteRegistration(sim.baseUrl(), u"11111111000111"_s));
        QCOMPARE(send(other).status(), u"erro"_s);
    }
}

void TestPlatformSim::misbehavioursStoreNothing_data()
{
    QTest::addColumn<QString>("fail");
    QTest::addColumn<QString>("status"); // of the misbehaving reply
    QTest::newRow("status-capital") << u"status-capital"_s << u"Sucesso"_s;
    QTest::newRow("no-dados") << u"no-dados"_s << u"sucesso"_s;
}

void TestPlatformSim::misbehavioursStoreNothing()
{
    QFETCH(QString, fail);
    QFETCH(QString, status);

    QTemporaryDir stateDir;
    const QString state = stateDir.filePath(u"state.json"_s);
    {
        Simulator sim;
        QVERIFY2(sim.start(&m_certificates, u"server"_s, {u"--fail"_s, fail, u"--state"_s, state}),
                 qPrintable(sim.error()));
        const PlatformReply reply = send(cedenteRegistration(sim.baseUrl(), cnpj));
        QCOMPARE(reply.status(), status);
        QVERIFY(!reply.isSuccess());
    }
    Simulator sim;
    QVERIFY2(sim.start(&m_certificates, u"server"_s, {u"--state"_s, state}),
             qPrintable(sim.error()));
    QCOMPARE(send(cedenteRegistration(sim.baseUrl(), cnpj)).dataText("id"), u"1"_s);
}

QTEST_GUILESS_MAIN(TestPlatformSim)
#include "tst_platformsim.moc"
