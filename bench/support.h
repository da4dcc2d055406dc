#pragma once

// What the benchmark programs share: options, timing, medians, the
// Firebird server they run against, the generated beneficiaries, resident
// memory and a private X server.

#include "connection.h"
#include "notices.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace bench {

// The command line every benchmark understands:
//   --smoke      one run on a tiny size, no warm-up: for CI, so that the
//                benchmarks keep building and working; nothing is judged
//   --runs N     measured runs per figure (each program has its default);
//                the median is shown
//   --rows N     the large table's size (default 100000)
// Programs read their own options from `rest`.
struct Options
{
    bool smoke = false;
    int runs = 7;
    int rows = 100000;
    QStringList rest; // arguments not understood here
};
Options parseOptions(int argc, char** argv, int defaultRuns = 7);

// Milliseconds on a steady clock.
inline double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Milliseconds of CPU time this process has used, all its threads (wall
// time on Windows, where clock() counts that).
double cpuMs();

// The figures of one measurement; the median is the one reported.
class Samples
{
public:
    void add(double value) { m_values.push_back(value); }
    double median() const;
    double min() const;
    double max() const;
    int count() const { return int(m_values.size()); }

private:
    std::vector<double> m_values;
};

// Times one call in milliseconds.
template <typename F> double timeMs(F&& f)
{
    const double t0 = nowMs();
    f();
    return nowMs() - t0;
}

// One line of printf output to standard output, flushed at once (give
// QString arguments through qPrintable).
void line(const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(1, 2);
// The benchmark's title and the machine it runs on.
void header(const QString& title, const Options& options);
// The server's Firebird version, through `connection`.
QString serverVersion(Connection& connection);
// "met" or "MISSED": a benchmark reports, it never fails on a figure.
const char* verdict(bool met);

// The Firebird server of TREVALO_TEST_FB_* (scripts/fbserver writes them).
struct Server
{
    QString host;
    int port = 0;
    QString user;
    QString password;
    QString directory; // where the server may create database files

    static std::optional<Server> fromEnvironment();
    // "host/port:path", the "database" value of Connect.ini.
    QString databaseValue(const QString& path) const;
    QString location() const { return QStringLiteral("%1/%2").arg(host).arg(port); }
    // A new database with the program's tables; `connection` stays
    // attached to it. Returns its path on the server.
    QString createDatabase(Connection& connection, const QString& name) const;
    // Attaches `connection` to an existing database of this server.
    void attach(Connection& connection, const QString& path) const;
};

// The exit code of a benchmark that cannot run here (CTest shows it as
// skipped).
constexpr int skipCode = 77;
// Without the server a benchmark skips unless the test command demands
// the server (TREVALO_TEST_REQUIRE_SERVER), then it fails.
int noServer();
// A benchmark that cannot run here: says why, returns skipCode.
int skipped(const QString& why);

QString sourcePath(const QString& relative);
QString readTextFile(const QString& path);

// Fills BoletoCedente with beneficiaries `first` .. `first + count - 1`
// (their BCECODIGO), every one of the 26 columns filled with texts of
// realistic length, some of them accented. Without `registered` the
// columns the platform fills (identifier, dates, tokens, situation...) are
// left null, as for beneficiaries not yet registered.
void fillCedentes(Connection& connection, int first, int count, bool registered = true);
// The 14-digit tax number fillCedentes gives beneficiary `codigo`.
QString cedenteCnpj(int codigo);
// The bytes (UTF-8) of every text in BoletoCedente.
qint64 cedenteTextBytes(Connection& connection);
// A few companies, for the list window's lower grid.
void addCompanies(Connection& connection);

// Keeps the notices the program would show.
class Notices : public UserNotices
{
public:
    void notice(const QString& text) override { texts << text; }
    QStringList texts;
};

// Resident memory (VmRSS) of a process in KiB; -1 when it cannot be read.
qint64 residentKiB(qint64 pid = 0);

// A private X server (Xvfb) on a free display, stopped when destroyed.
class Xvfb
{
public:
    ~Xvfb();
    // False when Xvfb is missing or does not come up (see error()).
    bool start();
    QString display() const { return m_display; } // ":N"
    QString error() const { return m_error; }

private:
    QProcess m_process;
    QString m_display;
    QString m_error;
};

// The display a window benchmark uses: its own Xvfb when there is one,
// else $DISPLAY; empty (with the reason in `why`) when neither is there.
QString displayForWindows(std::unique_ptr<Xvfb>& own, QString& why);

} // namespace bench
