// bench-platform: one platform operation end to end on loopback, against
// the simulator over HTTPS: registering a beneficiary from the list
// (checks, body, request, reply, copy into the record, post). The floor,
// in the same run: the same request sent by the curl command to the
// simulator, plus the same update run by isql-fb. For reference, the two
// parts done in-process as plainly as possible (the program's transport,
// one prepared update) are measured too.
//
//   bench-platform [--runs N] [--smoke]
#include "barefetch.h"
#include "cedenteplatform.h"
#include "curltransport.h"
#include "platformjson.h"
#include "support.h"
#include "untDM.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <stdexcept>

using namespace bench;

namespace {

const char* const requestNames[] = {
    "CedenteRazaoSocial",        "CedenteCPFCNPJ",        "CedenteNomeFantasia",
    "CedenteEnderecoLogradouro", "CedenteEnderecoNumero", "CedenteEnderecoComplemento",
    "CedenteEnderecoBairro",     "CedenteEnderecoCEP",    "CedenteEnderecoCidadeIBGE",
    "CedenteTelefone",           "CedenteEmail"};
const char* const requestColumns[] = {
    "BCERAZAO",  "BCECNPJ", "BCEFANTASIA",      "BCELOGRADOURO", "BCENUMERO", "BCECOMPLEMENTO",
    "BCEBAIRRO", "BCECEP",  "BCECODIBGECIDADE", "BCETELEFONE",   "BCEEMAIL"};
// The reply members the program stores, and where.
const std::pair<const char*, const char*> replyColumns[] = {
    {"id", "BCEIDCEDENTE"},
    {"criado", "BCEDATACRIADO"},
    {"atualizado", "BCEDATAATUALIZADO"},
    {"token_cedente", "BCETOKEN"},
    {"token_esales", "BCETOKENESALES"},
    {"situacao", "BCESITUACAO"},
    {"id_software_house", "BCECODSOFTWAREHOUSE"},
    {"config_email", "BCECONFIGEMAIL"},
    {"config_notificacao", "BCECONFIGNOTIFICACAO"},
    {"motivo_inativacao", "BCEMOTIVOINATIVACAO"},
    {"data_ativacao", "BCEDATAATIVACAO"},
    {"data_inativacao", "BCEDATAINATIVACAO"},
    {"certificado", "BCECERTIFICADO"},
    {"dtvencimentocertificado", "BCEVENCIMENTOCERTIFICADO"},
};

QString run(const QString& program, const QStringList& args, int timeoutMs = 30000)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0)
        throw std::runtime_error(program.toStdString() +
                                 " failed: " + p.readAllStandardError().toStdString() +
                                 p.errorString().toStdString());
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString sqlLiteral(const Field& field)
{
    if (field.IsNull())
        return QStringLiteral("NULL");
    if (field.DataType() == ColumnKind::Integer)
        return field.AsString();
    QString text = field.AsString();
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("''")) +
           QLatin1Char('\'');
}

class Bench
{
public:
    Bench(const Server& server, const QString& path, Tdm& module, const QString& baseUrl,
          const QString& caFile, QTemporaryDir& dir)
        : m_server(server), m_path(path), m_module(module), m_baseUrl(baseUrl), m_caFile(caFile),
          m_dir(dir)
    {
    }

    // The program: registerCedente on row `codigo` of the open list.
    double program(int codigo, Notices& notices)
    {
        RecordSet& set = *m_module.qrBoletoCedente;
        set.SetRecNo(codigo - 1);
        if (m_module.qrBoletoCedenteBCECODIGO->AsInteger() != codigo)
            throw std::runtime_error("the list is not in key order");
        notices.texts.clear();
        const double elapsed = timeMs([&] { registerCedente(m_module, notices); });
        if (notices.texts.size() != 1 ||
            !notices.texts.first().startsWith(QStringLiteral("Empresa Cadastrada com Sucesso")) ||
            m_module.qrBoletoCedenteBCEIDCEDENTE->AsString().isEmpty())
            throw std::runtime_error("the registration did not succeed: " +
                                     notices.texts.join(QLatin1Char('|')).toStdString());
        return elapsed;
    }

    struct Parts
    {
        double request = 0;
        double update = 0;
    };

    // The floor: curl, then isql-fb with the update the program would run.
    Parts tools(int codigo)
    {
        RecordSet& set = *m_module.qrBoletoCedente;
        set.SetRecNo(codigo - 1);
        QFile body(m_dir.filePath(QStringLiteral("body.json")));
        if (!body.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the body");
        body.write(requestBody().toUtf8());
        body.close();
        const QString replyPath = m_dir.filePath(QStringLiteral("reply.json"));
        const QString cnpj = m_module.qrBoletoCedenteBCECNPJ->AsString();
        const QStringList curlArgs = {QStringLiteral("-sS"),
                                      QStringLiteral("--cacert"),
                                      m_caFile,
                                      QStringLiteral("-X"),
                                      QStringLiteral("POST"),
                                      QStringLiteral("-H"),
                                      QStringLiteral("Content-Type: application/json"),
                                      QStringLiteral("-H"),
                                      QStringLiteral("cnpj-sh: 58204617000290"),
                                      QStringLiteral("-H"),
                                      QStringLiteral("token-sh: b3f9e07a5d21c48f96a0e3d7152bc94e"),
                                      QStringLiteral("-H"),
                                      QStringLiteral("cnpj-cedente: ") + cnpj,
                                      QStringLiteral("-H"),
                                      QStringLiteral("Expect:"),
                                      QStringLiteral("--data-binary"),
                                      QLatin1Char('@') + body.fileName(),
                                      QStringLiteral("-o"),
                                      replyPath,
                                      m_baseUrl + QStringLiteral("/api/v1/cedentes/")};
        Parts parts;
        parts.request = timeMs([&] { run(QStringLiteral("curl"), curlArgs); });

        QFile replyFile(replyPath);
        if (!replyFile.open(QIODevice::ReadOnly))
            throw std::runtime_error("curl wrote no reply");
        const QJsonObject reply = QJsonDocument::fromJson(replyFile.readAll()).object();
        const QJsonObject data = reply.value(QStringLiteral("_dados")).toObject();
        if (reply.value(QStringLiteral("_status")).toString() != QStringLiteral("sucesso"))
            throw std::runtime_error("the simulator refused the curl request");

        // The program's update statement with the reply's values written in.
        QStringList assignments;
        for (int i = 0; i < set.FieldCount(); ++i) {
            const Field& field = set.Fields(i);
            QString value = sqlLiteral(field);
            for (const auto& [member, column] : replyColumns)
                if (field.FieldName() == QLatin1String(column)) {
                    QString text = data.value(QLatin1String(member)).toVariant().toString();
                    value = QLatin1Char('\'') +
                            text.replace(QLatin1Char('\''), QLatin1String("''")) +
                            QLatin1Char('\'');
                }
            assignments << QStringLiteral("  %1 = %2").arg(field.FieldName(), value);
        }
        QFile script(m_dir.filePath(QStringLiteral("update.sql")));
        if (!script.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the update");
        script.write(
            QStringLiteral("UPDATE BoletoCedente SET\n%1\nWHERE\n  BoletoCedente.BCECODIGO = "
                           "%2;\nCOMMIT;\n")
                .arg(assignments.join(QLatin1String(",\n")))
                .arg(codigo)
                .toUtf8());
        script.close();
        parts.update = timeMs([&] {
            run(QStringLiteral("isql-fb"),
                {QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("-ch"),
                 QStringLiteral("UTF8"), QStringLiteral("-user"), m_server.user,
                 QStringLiteral("-password"), m_server.password, QStringLiteral("-i"),
                 script.fileName(), m_server.databaseValue(m_path)});
        });
        checkRegistered(codigo);
        return parts;
    }

    // For reference: the program's transport alone, then one prepared
    // update with parameters on the open connection.
    Parts inProcess(int codigo, CurlTransport& transport)
    {
        RecordSet& set = *m_module.qrBoletoCedente;
        set.SetRecNo(codigo - 1);
        HttpRequestData request;
        request.method = "POST";
        request.url = m_baseUrl + QStringLiteral("/api/v1/cedentes/");
        request.body = requestBody().toUtf8();
        request.headers = {{"Content-Type", "application/json"},
                           {"cnpj-sh", "58204617000290"},
                           {"token-sh", "b3f9e07a5d21c48f96a0e3d7152bc94e"},
                           {"cnpj-cedente", m_module.qrBoletoCedenteBCECNPJ->AsString().toUtf8()}};
        Parts parts;
        QByteArray replyBody;
        parts.request = timeMs([&] { replyBody = transport.send(request); });
        const PlatformReply reply(replyBody);
        if (!reply.isSuccess())
            throw std::runtime_error("the simulator refused the in-process request");

        std::vector<SqlValue> values;
        QStringList assignments;
        for (int i = 0; i < set.FieldCount(); ++i) {
            const Field& field = set.Fields(i);
            assignments << QStringLiteral("  %1 = ?").arg(field.FieldName());
            SqlValue v = field.IsNull() ? SqlValue::null()
                         : field.DataType() == ColumnKind::Integer
                             ? SqlValue::fromInteger(field.AsInteger())
                             : SqlValue::fromText(field.AsString());
            for (const auto& [member, column] : replyColumns)
                if (field.FieldName() == QLatin1String(column))
                    v = SqlValue::fromText(reply.dataText(member));
            values.push_back(v);
        }
        values.push_back(SqlValue::fromInteger(codigo));
        const QString update =
            QStringLiteral("UPDATE BoletoCedente SET\n%1\nWHERE\n  BoletoCedente.BCECODIGO = ?")
                .arg(assignments.join(QLatin1String(",\n")));
        parts.update = timeMs([&] { m_module.BcoDados.execute(update, values); });
        checkRegistered(codigo);
        return parts;
    }

private:
    QString requestBody() const
    {
        std::vector<RequestMember> members;
        for (size_t i = 0; i < std::size(requestNames); ++i)
            members.emplace_back(
                QLatin1String(requestNames[i]),
                m_module.qrBoletoCedente->FieldByName(QLatin1String(requestColumns[i])).AsString());
        return RequestObject(members).bodyText();
    }

    void checkRegistered(int codigo)
    {
        QString id;
        m_module.BcoDados.query(
            QStringLiteral("select BCEIDCEDENTE from BoletoCedente where BCECODIGO = ?"),
            {SqlValue::fromInteger(codigo)}, {}, [&](const RowView& row) {
                if (!row.isNull(0))
                    id = QString::fromUtf8(row.utf8(0).data(), qsizetype(row.utf8(0).size()));
            });
        if (id.isEmpty())
            throw std::runtime_error("the floor's update was not stored");
    }

    const Server& m_server;
    QString m_path;
    Tdm& m_module;
    QString m_baseUrl;
    QString m_caFile;
    QTemporaryDir& m_dir;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Options options = parseOptions(argc, argv, 15);
    header(QStringLiteral("One platform operation (register a beneficiary) vs curl + isql-fb"),
           options);
    const std::optional<Server> server = Server::fromEnvironment();
    if (!server)
        return noServer();

    QTemporaryDir dir;
    QProcess simulator;
    QString path;
    int rc = 0;
    try {
        run(QStringLiteral(TEST_CA_SCRIPT), {dir.path()});
        const QString caFile = dir.filePath(QStringLiteral("ca.pem"));
        simulator.start(QStringLiteral(PLATFORM_SIM_PATH),
                        {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                         QStringLiteral("--cert"), dir.filePath(QStringLiteral("server.pem")),
                         QStringLiteral("--key"), dir.filePath(QStringLiteral("server.key"))});
        if (!simulator.waitForStarted(10000))
            throw std::runtime_error("platform-sim did not start");
        while (!simulator.canReadLine())
            if (!simulator.waitForReadyRead(10000))
                throw std::runtime_error("platform-sim printed no address");
        const QString baseUrl = QString::fromUtf8(simulator.readLine()).trimmed();

        const int perKind = options.runs + (options.smoke ? 0 : 1);
        Notices notices;
        Tdm module(&notices);
        path = server->createDatabase(module.BcoDados, QStringLiteral("platform"));
        line("server: Firebird %s on %s; simulator %s", qPrintable(serverVersion(module.BcoDados)),
             qPrintable(server->location()), qPrintable(baseUrl));
        // Beneficiaries not registered yet: one per registration.
        fillCedentes(module.BcoDados, 1, 3 * perKind, false);
        module.Plataforma.url = baseUrl;
        module.Plataforma.caFile = caFile;
        CurlTransport transport(module.Plataforma);
        module.setTransport(&transport);
        module.qrBoletoCedente->Open();

        Bench bench(*server, path, module, baseUrl, caFile, dir);
        Samples programMs, curlMs, isqlMs, toolsMs, sendMs, updateMs, partsMs;
        int next = 1;
        for (int run = 0; run < perKind; ++run) {
            const bool warmUp = !options.smoke && run == 0;
            const double p = bench.program(next++, notices);
            const Bench::Parts t = bench.tools(next++);
            const Bench::Parts i = bench.inProcess(next++, transport);
            if (warmUp)
                continue;
            programMs.add(p);
            curlMs.add(t.request);
            isqlMs.add(t.update);
            toolsMs.add(t.request + t.update);
            sendMs.add(i.request);
            updateMs.add(i.update);
            partsMs.add(i.request + i.update);
        }
        line("program, registerCedente end to end:    %7.2f ms", programMs.median());
        line("floor, curl + isql-fb:                  %7.2f ms (curl %.2f ms, isql-fb %.2f ms)",
             toolsMs.median(), curlMs.median(), isqlMs.median());
        line("reference, transport + prepared update: %7.2f ms (CurlTransport::send %.2f ms, "
             "update %.2f ms)",
             partsMs.median(), sendMs.median(), updateMs.median());
        const double overhead = programMs.median() - toolsMs.median();
        line("target: overhead over the floor <= 5 ms: %+.2f ms -> %s", overhead,
             options.smoke ? "not judged (smoke)" : verdict(overhead <= 5));
        line("the program's own work over the in-process reference: %+.2f ms",
             programMs.median() - partsMs.median());
        module.qrBoletoCedente->Close();
        module.BcoDados.Disconnect();
    } catch (const std::exception& e) {
        line("FAILED: %s", e.what());
        rc = 1;
    }
    simulator.kill();
    simulator.waitForFinished(5000);
    return dropQuietly(*server, {path}, rc);
}
