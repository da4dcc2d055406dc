#include "support.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUuid>

#include <algorithm>
#include <cstdarg>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>

namespace bench {

Options parseOptions(int argc, char** argv, int defaultRuns)
{
    Options options;
    options.runs = defaultRuns;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (arg == QLatin1String("--smoke")) {
            options.smoke = true;
        } else if (arg == QLatin1String("--runs") && hasValue) {
            options.runs = std::max(1, QString::fromLocal8Bit(argv[++i]).toInt());
        } else if (arg == QLatin1String("--rows") && hasValue) {
            options.rows = std::max(1, QString::fromLocal8Bit(argv[++i]).toInt());
        } else {
            options.rest << arg;
        }
    }
    if (options.smoke)
        options.runs = 1;
    return options;
}

double cpuMs()
{
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

double Samples::median() const
{
    if (m_values.empty())
        return 0;
    std::vector<double> v = m_values;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Samples::min() const
{
    return m_values.empty() ? 0 : *std::min_element(m_values.begin(), m_values.end());
}

double Samples::max() const
{
    return m_values.empty() ? 0 : *std::max_element(m_values.begin(), m_values.end());
}

void line(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    std::fflush(stdout);
}

namespace {

QString firstMatch(const QString& path, const QString& pattern)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    const QRegularExpressionMatch m =
        QRegularExpression(pattern, QRegularExpression::MultilineOption).match(text);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

} // namespace

void header(const QString& title, const Options& options)
{
    line("== %s", qPrintable(title));
    const QString cpu =
        firstMatch(QStringLiteral("/proc/cpuinfo"), QStringLiteral("^model name\\s*:(.*)$"));
    const QString memory =
        firstMatch(QStringLiteral("/proc/meminfo"), QStringLiteral("^MemTotal:\\s*(\\d+)"));
    line("machine: %s, %u cores, %.1f GiB, %s, kernel %s", qPrintable(cpu),
         std::thread::hardware_concurrency(), memory.toDouble() / 1024 / 1024,
         qPrintable(QSysInfo::prettyProductName()), qPrintable(QSysInfo::kernelVersion()));
#if defined(__clang__)
    const QString compiler = QStringLiteral("clang " __clang_version__);
#elif defined(__GNUC__)
    const QString compiler = QStringLiteral("gcc " __VERSION__);
#elif defined(_MSC_VER)
    const QString compiler = QStringLiteral("MSVC %1").arg(_MSC_FULL_VER);
#else
    const QString compiler = QStringLiteral("unknown compiler");
#endif
    line("build: Qt %s, %s, %s", qVersion(), qPrintable(compiler), TREVALO_BUILD_TYPE);
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        line("load average at start (1, 5, 15 min): %s",
             load.readAll().split(' ').mid(0, 3).join(", ").constData());
    if (options.smoke)
        line("smoke run: one run on a tiny size, figures mean nothing");
    else
        line("median of %d runs", options.runs);
}

QString serverVersion(Connection& connection)
{
    QString version;
    connection.query(QStringLiteral("select rdb$get_context('SYSTEM', 'ENGINE_VERSION') from "
                                    "rdb$database"),
                     {}, {}, [&](const RowView& row) {
                         const std::string_view t = row.utf8(0);
                         version = QString::fromUtf8(t.data(), qsizetype(t.size()));
                     });
    return version;
}

const char* verdict(bool met)
{
    return met ? "met" : "MISSED";
}

std::optional<Server> Server::fromEnvironment()
{
    if (!qEnvironmentVariableIsSet("TREVALO_TEST_FB_HOST") ||
        !qEnvironmentVariableIsSet("TREVALO_TEST_FB_DIR"))
        return std::nullopt;
    Server s;
    s.host = qEnvironmentVariable("TREVALO_TEST_FB_HOST");
    s.port = qEnvironmentVariableIntValue("TREVALO_TEST_FB_PORT");
    if (s.port == 0)
        s.port = 3050;
    s.user = qEnvironmentVariable("TREVALO_TEST_FB_USER", QStringLiteral("SYSDBA"));
    s.password = qEnvironmentVariable("TREVALO_TEST_FB_PASSWORD");
    s.directory = qEnvironmentVariable("TREVALO_TEST_FB_DIR");
    return s;
}

QString Server::databaseValue(const QString& path) const
{
    return QStringLiteral("%1/%2:%3").arg(host).arg(port).arg(path);
}

QString Server::createDatabase(Connection& connection, const QString& name) const
{
    const QString path = QDir(directory).filePath(
        QStringLiteral("bench-%1-%2.fdb")
            .arg(name, QUuid::createUuid().toString(QUuid::Id128).left(12)));
    connection.location().parse(databaseValue(path));
    connection.SetUser(user);
    connection.SetPassword(password);
    connection.CreateDatabase();
    connection.executeScript(readTextFile(sourcePath(QStringLiteral("data/schema.sql"))));
    return path;
}

void Server::attach(Connection& connection, const QString& path) const
{
    connection.location().parse(databaseValue(path));
    connection.SetUser(user);
    connection.SetPassword(password);
    connection.Connect();
}

int noServer()
{
    if (qEnvironmentVariableIsSet("TREVALO_TEST_REQUIRE_SERVER")) {
        line("FAILED: no Firebird server (TREVALO_TEST_FB_* are not set)");
        return 1;
    }
    return skipped(QStringLiteral("no Firebird server; start one with scripts/fbserver and "
                                  "source its env, or use bench/run-all"));
}

int skipped(const QString& why)
{
    line("skipped: %s", qPrintable(why));
    return skipCode;
}

QString sourcePath(const QString& relative)
{
    return QDir(QStringLiteral(TREVALO_SOURCE_DIR)).filePath(relative);
}

QString readTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return QString::fromUtf8(file.readAll());
}

void fillCedentes(Connection& connection, int first, int count, bool registered)
{
    // Generated by the server in one statement: a client round trip per
    // row would make the set-up longer than the benchmark.
    static const QString block = QStringLiteral(
        "EXECUTE BLOCK (FIRST_CODE INTEGER = ?, LAST_CODE INTEGER = ?, REGISTERED INTEGER = ?)\n"
        "AS\n"
        "DECLARE I INTEGER;\n"
        "DECLARE S VARCHAR(12);\n"
        "DECLARE R SMALLINT;\n"
        "BEGIN\n"
        "  I = FIRST_CODE;\n"
        "  WHILE (I <= LAST_CODE) DO\n"
        "  BEGIN\n"
        "    S = CAST(I AS VARCHAR(12));\n"
        "    R = REGISTERED;\n"
        "    INSERT INTO BoletoCedente (BCECODIGO, BCERAZAO, BCEFANTASIA, BCECNPJ, BCELOGRADOURO,\n"
        "      BCENUMERO, BCECOMPLEMENTO, BCEBAIRRO, BCECEP, BCECODIBGECIDADE, BCETELEFONE,\n"
        "      BCEEMAIL, BCEIDCEDENTE, BCEDATACRIADO, BCEDATAATUALIZADO, BCETOKEN,\n"
        "      BCETOKENESALES, BCESITUACAO, BCECODSOFTWAREHOUSE, BCECONFIGEMAIL,\n"
        "      BCECONFIGNOTIFICACAO, BCEMOTIVOINATIVACAO, BCEDATAATIVACAO, BCEDATAINATIVACAO,\n"
        "      BCECERTIFICADO, BCEVENCIMENTOCERTIFICADO)\n"
        "    VALUES (:I,\n"
        "      'Comércio de Materiais Elétricos Irmãos Araújo ' || :S || ' Ltda',\n"
        "      'Elétrica Araújo ' || :S,\n"
        "      LPAD(:S, 8, '0') || '000190',\n"
        "      'Avenida Governador Valadares',\n"
        "      CAST(MOD(:I, 9999) + 1 AS VARCHAR(10)),\n"
        "      'Sala ' || CAST(MOD(:I, 500) AS VARCHAR(5)) || ', Bloco B',\n"
        "      'Jardim São Bento',\n"
        "      '01310' || LPAD(CAST(MOD(:I, 1000) AS VARCHAR(3)), 3, '0'),\n"
        "      '3550308',\n"
        "      '119' || LPAD(CAST(MOD(:I * 7919, 100000000) AS VARCHAR(8)), 8, '0'),\n"
        "      'financeiro' || :S || '@eletrica-araujo.example',\n"
        "      IIF(:R = 1, CAST(500000 + :I AS VARCHAR(20)), NULL),\n"
        "      IIF(:R = 1, '2025-03-14 09:26:53', NULL),\n"
        "      IIF(:R = 1, '2025-06-02 16:41:07', NULL),\n"
        "      IIF(:R = 1, LPAD(:S, 8, '0') || 'a3f9c2e1b7d45068f1e2d3c4', NULL),\n"
        "      IIF(:R = 1, 'e5' || LPAD(:S, 8, '0') || '9b1c7d3e5f60718293a4b5', NULL),\n"
        "      IIF(:R = 1, 'ATIVO', NULL),\n"
        "      IIF(:R = 1, '58204617000290', NULL),\n"
        "      IIF(:R = 1, 'boletos@eletrica-araujo.example', NULL),\n"
        "      IIF(:R = 1, 'email;whatsapp', NULL),\n"
        "      IIF(:R = 1, 'Nenhum', NULL),\n"
        "      IIF(:R = 1, '2025-03-14', NULL),\n"
        "      IIF(:R = 1, '2099-12-31', NULL),\n"
        "      IIF(:R = 1, 'A1-' || :S, NULL),\n"
        "      IIF(:R = 1, '2026-03-14', NULL));\n"
        "    I = I + 1;\n"
        "  END\n"
        "END");
    connection.execute(block, {SqlValue::fromInteger(first),
                               SqlValue::fromInteger(qint64(first) + count - 1),
                               SqlValue::fromInteger(registered ? 1 : 0)});
}

QString cedenteCnpj(int codigo)
{
    return QStringLiteral("%1000190").arg(codigo, 8, 10, QLatin1Char('0'));
}

qint64 cedenteTextBytes(Connection& connection)
{
    static const char* const columns[] = {"BCERAZAO",
                                          "BCEFANTASIA",
                                          "BCECNPJ",
                                          "BCELOGRADOURO",
                                          "BCENUMERO",
                                          "BCECOMPLEMENTO",
                                          "BCEBAIRRO",
                                          "BCECEP",
                                          "BCECODIBGECIDADE",
                                          "BCETELEFONE",
                                          "BCEEMAIL",
                                          "BCEIDCEDENTE",
                                          "BCEDATACRIADO",
                                          "BCEDATAATUALIZADO",
                                          "BCETOKEN",
                                          "BCETOKENESALES",
                                          "BCESITUACAO",
                                          "BCECODSOFTWAREHOUSE",
                                          "BCECONFIGEMAIL",
                                          "BCECONFIGNOTIFICACAO",
                                          "BCEMOTIVOINATIVACAO",
                                          "BCEDATAATIVACAO",
                                          "BCEDATAINATIVACAO",
                                          "BCECERTIFICADO",
                                          "BCEVENCIMENTOCERTIFICADO"};
    QStringList terms;
    for (const char* c : columns)
        terms << QStringLiteral("coalesce(octet_length(%1), 0)").arg(QLatin1String(c));
    qint64 bytes = 0;
    connection.query(
        QStringLiteral("select cast(coalesce(sum(%1), 0) as bigint) from BoletoCedente")
            .arg(terms.join(QLatin1String(" + "))),
        {}, {}, [&](const RowView& row) { bytes = row.integer(0); });
    return bytes;
}

void addCompanies(Connection& connection)
{
    connection.executeScript(readTextFile(sourcePath(QStringLiteral("data/demo.sql"))));
}

qint64 residentKiB(qint64 pid)
{
    std::ifstream status(pid ? "/proc/" + std::to_string(pid) + "/status"
                             : std::string("/proc/self/status"));
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            qint64 kib = -1;
            status >> kib;
            return kib;
        }
    return -1;
}

Xvfb::~Xvfb()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
}

bool Xvfb::start()
{
    // -displayfd: Xvfb picks a free display and writes its number there.
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                     QStringLiteral("0"), QStringLiteral("1366x768x24"),
                     QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("Xvfb did not start: ") + m_process.errorString();
        return false;
    }
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(10000)) {
            m_error = QStringLiteral("Xvfb gave no display: ") +
                      QString::fromLocal8Bit(m_process.readAllStandardError());
            return false;
        }
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(m_process.readLine()).trimmed();
    return true;
}

QString displayForWindows(std::unique_ptr<Xvfb>& own, QString& why)
{
    auto xvfb = std::make_unique<Xvfb>();
    if (xvfb->start()) {
        own = std::move(xvfb);
        return own->display();
    }
    if (qEnvironmentVariableIsSet("DISPLAY"))
        return qEnvironmentVariable("DISPLAY");
    why = QStringLiteral("no DISPLAY and no Xvfb (%1)").arg(xvfb->error());
    return {};
}

} // namespace bench
