// bench-open: Open of qrBoletoCedente with 1 000, 10 000 and 100 000 rows
// against the floor, a bare fetch of the same select through the Firebird
// client's C++ interface, measured side by side in the same run.
//
//   bench-open [--runs N] [--rows LARGEST] [--no-isql] [--smoke]
#include "barefetch.h"
#include "support.h"
#include "untDM.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <stdexcept>

using namespace bench;

namespace {

// isql-fb reading the same select into nothing: the command-line tool for
// comparison (not the floor), one process per run.
double isqlMs(const Server& server, const QString& path, const QString& select, QTemporaryDir& dir)
{
    QFile script(dir.filePath(QStringLiteral("select.sql")));
    if (!script.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the isql script");
    script.write("set heading off;\nset count off;\n" + select.toUtf8() + ";\n");
    script.close();
    QProcess isql;
    isql.setStandardOutputFile(QProcess::nullDevice());
    const QStringList args = {
        QStringLiteral("-q"),      QStringLiteral("-ch"), QStringLiteral("UTF8"),
        QStringLiteral("-user"),   server.user,           QStringLiteral("-password"),
        server.password,           QStringLiteral("-i"),  script.fileName(),
        server.databaseValue(path)};
    const double t0 = nowMs();
    isql.start(QStringLiteral("isql-fb"), args);
    if (!isql.waitForFinished(120000) || isql.exitCode() != 0)
        throw std::runtime_error("isql-fb failed: " + isql.readAllStandardError().toStdString());
    return nowMs() - t0;
}

struct Figure
{
    int rows = 0;
    double bare = 0;
    double open = 0;
    double bareCpu = 0; // this process's CPU time during it
    double openCpu = 0;
};

// Wall and CPU time of one call.
template <typename F> void measure(Samples& wall, Samples& cpu, F&& f)
{
    const double c0 = cpuMs();
    wall.add(timeMs(f));
    cpu.add(cpuMs() - c0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Options options = parseOptions(argc, argv);
    header(QStringLiteral("Open of qrBoletoCedente vs a bare fetch through the Firebird interface"),
           options);
    const std::optional<Server> server = Server::fromEnvironment();
    if (!server)
        return noServer();
    const bool withIsql = !options.smoke && !options.rest.contains(QStringLiteral("--no-isql"));
    const std::vector<int> sizes =
        options.smoke ? std::vector<int>{20, 200}
                      : std::vector<int>{options.rows / 100, options.rows / 10, options.rows};

    Notices notices;
    QString path;
    int rc = 0;
    std::vector<Figure> figures;
    try {
        Tdm module(&notices);
        RecordSet& set = *module.qrBoletoCedente;
        path = server->createDatabase(module.BcoDados, QStringLiteral("open"));
        line("server: Firebird %s on %s, client and server on this machine",
             qPrintable(serverVersion(module.BcoDados)), qPrintable(server->location()));
        BareFetch bare(*server, path);
        bare.prepare(set.SQL());

        line("%8s  %12s  %12s  %6s  %14s  %14s  %11s  %11s", "rows", "bare fetch", "Open", "ratio",
             "bare per row", "Open per row", "bare CPU", "Open CPU");
        int have = 0;
        for (const int size : sizes) {
            fillCedentes(module.BcoDados, have + 1, size - have);
            have = size;
            if (!options.smoke) {
                bare.fetchAll();
                set.Open();
                set.Close();
            }
            Samples bareMs, openMs, bareCpu, openCpu;
            for (int run = 0; run < options.runs; ++run) {
                // Taking turns, so that neither always runs on a warmer cache.
                const auto measureBare = [&] {
                    BareFetch::Result r;
                    measure(bareMs, bareCpu, [&] { r = bare.fetchAll(); });
                    if (r.rows != size)
                        throw std::runtime_error("the bare fetch read a wrong number of rows");
                };
                const auto measureOpen = [&] {
                    measure(openMs, openCpu, [&] { set.Open(); });
                    if (set.RecordCount() != size)
                        throw std::runtime_error("Open read a wrong number of rows");
                    set.Close();
                };
                if (run % 2) {
                    measureOpen();
                    measureBare();
                } else {
                    measureBare();
                    measureOpen();
                }
            }
            const Figure f{size, bareMs.median(), openMs.median(), bareCpu.median(),
                           openCpu.median()};
            figures.push_back(f);
            line("%8d  %9.1f ms  %9.1f ms  %6.2f  %11.2f µs  %11.2f µs  %8.1f ms  %8.1f ms", size,
                 f.bare, f.open, f.open / f.bare, 1000 * f.bare / size, 1000 * f.open / size,
                 f.bareCpu, f.openCpu);
        }

        if (withIsql) {
            QTemporaryDir dir;
            Samples isql;
            isqlMs(*server, path, set.SQL(), dir);
            for (int run = 0; run < std::min(options.runs, 3); ++run)
                isql.add(isqlMs(*server, path, set.SQL(), dir));
            line("isql-fb on the same select, %d rows, output thrown away: %.1f ms (for "
                 "comparison; not the floor)",
                 sizes.back(), isql.median());
        }

        const Figure& large = figures.back();
        const double ratio = large.open / large.bare;
        line("target: Open <= 1.5 x bare fetch at %d rows: %.2f -> %s", large.rows, ratio,
             options.smoke ? "not judged (smoke)" : verdict(ratio <= 1.5));
        if (figures.size() >= 3) {
            // The cost of each further row between two sizes: equal when
            // linear. The floor's own growth (the server's) is shown beside it.
            const auto growth = [&](double Figure::*time) {
                const auto marginal = [&](const Figure& a, const Figure& b) {
                    return 1000 * (b.*time - a.*time) / (b.rows - a.rows);
                };
                return std::pair{marginal(figures[0], figures[1]),
                                 marginal(figures[1], figures[2])};
            };
            const auto [openLow, openHigh] = growth(&Figure::open);
            const auto [bareLow, bareHigh] = growth(&Figure::bare);
            const double openGrowth = openHigh / openLow;
            const double bareGrowth = bareHigh / bareLow;
            line("linearity: each further row costs Open %.2f µs from %d to %d rows and %.2f µs "
                 "from %d to %d rows (x %.2f; the bare fetch x %.2f)",
                 openLow, figures[0].rows, figures[1].rows, openHigh, figures[1].rows,
                 figures[2].rows, openGrowth, bareGrowth);
            line("target: Open linear in the row count (a further row costs at most 1.25 x as "
                 "much at the large end, or grows no more than the floor's): %s",
                 options.smoke ? "not judged (smoke)"
                               : verdict(openGrowth <= 1.25 || openGrowth <= bareGrowth * 1.1));
        }
        module.BcoDados.Disconnect();
    } catch (const std::exception& e) {
        line("FAILED: %s", e.what());
        rc = 1;
    }
    return dropQuietly(*server, {path}, rc);
}
