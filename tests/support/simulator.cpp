#include "simulator.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

bool TestCertificates::make()
{
    if (!m_dir.isValid()) {
        m_error = u"no temporary folder"_s;
        return false;
    }
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral(TEST_CA_SCRIPT), {m_dir.path()});
    if (!script.waitForFinished(30000) || script.exitStatus() != QProcess::NormalExit ||
        script.exitCode() != 0) {
        m_error = u"scripts/test-ca failed: "_s + QString::fromLocal8Bit(script.readAll()) +
                  script.errorString();
        return false;
    }
    return true;
}

Simulator::Simulator()
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
}

Simulator::~Simulator()
{
    stop();
}

bool Simulator::start(const TestCertificates* certificates, const QString& certificate,
                      const QStringList& extra)
{
    QStringList args = {u"--listen"_s, u"127.0.0.1:0"_s, u"--log"_s,
                        m_dir.filePath(u"requests.jsonl"_s)};
    if (certificates) {
        args << u"--cert"_s << certificates->file(certificate + u".pem"_s) << u"--key"_s
             << certificates->file(certificate + u".key"_s);
    }
    args << extra;
    m_process.start(QStringLiteral(PLATFORM_SIM_PATH), args);
    if (!m_process.waitForStarted(10000)) {
        m_error = u"platform-sim did not start: "_s + m_process.errorString();
        return false;
    }
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(10000)) {
            m_error = u"platform-sim printed no address: "_s +
                      QString::fromLocal8Bit(m_process.readAllStandardError());
            stop();
            return false;
        }
    }
    m_baseUrl = QString::fromUtf8(m_process.readLine()).trimmed();
    return true;
}

void Simulator::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(10000);
}

QList<QJsonObject> Simulator::log() const
{
    QList<QJsonObject> entries;
    QFile file(m_dir.filePath(u"requests.jsonl"_s));
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            entries << QJsonDocument::fromJson(line).object();
    return entries;
}

std::vector<std::pair<QByteArray, QByteArray>> identificationHeaders(const QByteArray& cnpjCedente)
{
    return {{"Content-Type", "application/json"},
            {"cnpj-sh", "58204617000290"},
            {"token-sh", "b3f9e07a5d21c48f96a0e3d7152bc94e"},
            {"cnpj-cedente", cnpjCedente}};
}

std::vector<RequestMember> cedenteMembers(const QStringList& values)
{
    static const char* const names[] = {
        "CedenteRazaoSocial",        "CedenteCPFCNPJ",        "CedenteNomeFantasia",
        "CedenteEnderecoLogradouro", "CedenteEnderecoNumero", "CedenteEnderecoComplemento",
        "CedenteEnderecoBairro",     "CedenteEnderecoCEP",    "CedenteEnderecoCidadeIBGE",
        "CedenteTelefone",           "CedenteEmail"};
    std::vector<RequestMember> members;
    for (int i = 0; i < int(std::size(names)); ++i)
        members.emplace_back(QLatin1String(names[i]), values.value(i));
    return members;
}

HttpRequestData cedenteRegistration(const QString& baseUrl, const QString& cnpj)
{
    HttpRequestData request;
    request.method = "POST";
    request.url = baseUrl + u"/api/v1/cedentes/"_s;
    request.headers = identificationHeaders(cnpj.toUtf8());
    request.body =
        RequestObject(cedenteMembers({u"Empresa de Teste"_s, cnpj, QString(), u"Rua A"_s, u"1"_s,
                                      QString(), u"Centro"_s, u"01001000"_s, u"3550308"_s}))
            .bodyText()
            .toUtf8();
    return request;
}

HttpRequestData contaRegistration(const QString& baseUrl, const QString& cnpj)
{
    HttpRequestData request;
    request.method = "POST";
    request.url = baseUrl + u"/api/v1/cedentes/contas/"_s;
    request.headers = identificationHeaders(cnpj.toUtf8());
    request.body = RequestObject({{u"ContaCodigoBanco"_s, u"237"_s},
                                  {u"ContaAgencia"_s, u"1234"_s},
                                  {u"ContaAgenciaDV"_s, u""_s},
                                  {u"ContaNumero"_s, u"5678"_s},
                                  {u"ContaNumeroDV"_s, u""_s},
                                  {u"ContaTipo"_s, u"CORRENTE"_s},
                                  {u"ContaCodigoBeneficiario"_s, u"9"_s},
                                  {u"ContaCodigoEmpresa"_s, u""_s},
                                  {u"ContaValidacaoAtiva"_s, false},
                                  {u"ContaImpressaoAtualizada"_s, false}})
                       .bodyText()
                       .toUtf8();
    return request;
}

QList<std::pair<QString, QString>> loggedHeaders(const QJsonObject& entry)
{
    QList<std::pair<QString, QString>> headers;
    for (const QJsonValue& pair : entry.value(u"headers"_s).toArray())
        headers.append({pair.toArray().at(0).toString(), pair.toArray().at(1).toString()});
    return headers;
}
