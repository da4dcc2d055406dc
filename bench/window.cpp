// bench-window: the beneficiary list window (TfrmCedente) shown on 100 000
// beneficiaries until its grid has painted, against Open of the same
// record set alone, measured side by side in the same run; then the
// resident memory the open list adds, against the size of its texts.
// On Linux it runs under its own Xvfb (or $DISPLAY), with the program's
// xcb platform.
//
//   bench-window [--runs N] [--rows N] [--smoke]
#include "barefetch.h"
#include "busy.h"
#include "dbgrid.h"
#include "support.h"
#include "untCedente.h"
#include "untDM.h"

#include <QApplication>
#include <QProcess>
#include <QTimer>

#include <stdexcept>

using namespace bench;

namespace {

void installBusyCursor()
{
    // As the program does: the busy cursor while a statement runs.
    setBusyHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
}

// Processes events until `done` or 60 s have passed.
template <typename Done> void waitFor(Done&& done)
{
    const double deadline = nowMs() + 60000;
    while (!done()) {
        if (nowMs() > deadline)
            throw std::runtime_error("the window did not paint within 60 s");
        QTimer wake;
        wake.start(20); // WaitForMoreEvents must not wait forever
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// Sees the grid's first paint with rows in it.
class PaintWatch : public QObject
{
public:
    PaintWatch(QWidget* viewport, RecordSet* set) : m_set(set)
    {
        viewport->installEventFilter(this);
    }
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // The paint itself runs once this returns, before processEvents does.
        if (event->type() == QEvent::Paint && m_set->RecordCount() > 0)
            painted = true;
        return false;
    }

private:
    RecordSet* m_set;
};

// The list window from its creation until the grid has painted its rows;
// the window is closed and destroyed afterwards.
double showListWindow(int expectedRows)
{
    const double t0 = nowMs();
    auto* window = new TfrmCedente;
    PaintWatch watch(window->RxDBGrid1->viewport(), dm->qrBoletoCedente);
    window->show();
    waitFor([&] { return watch.painted; });
    const double elapsed = nowMs() - t0;
    if (dm->qrBoletoCedente->RecordCount() != expectedRows)
        throw std::runtime_error("the list window shows a wrong number of rows");
    window->close();
    delete window;
    QCoreApplication::processEvents();
    return elapsed;
}

double openAlone(int expectedRows)
{
    RecordSet& set = *dm->qrBoletoCedente;
    set.Close();
    const double elapsed = timeMs([&] { set.Open(); });
    if (set.RecordCount() != expectedRows)
        throw std::runtime_error("Open read a wrong number of rows");
    set.Close();
    return elapsed;
}

// The child process of the memory measurement: a fresh program attached to
// the database, with one small window shown (the start-up figure), then
// with the list window shown on every beneficiary. Prints both in KiB.
int memoryChild(const Server& server, const QString& path, int expectedRows)
{
    Notices notices;
    Tdm module(&notices);
    installBusyCursor();
    server.attach(module.BcoDados, path);
    module.qrEmpresa->Open();
    module.qrEmpresa->Close();
    {
        QWidget first;
        first.resize(400, 300);
        first.show();
        bool shown = false;
        QTimer::singleShot(300, [&] { shown = true; });
        waitFor([&] { return shown; });
    }
    const qint64 before = residentKiB();
    auto* window = new TfrmCedente;
    PaintWatch watch(window->RxDBGrid1->viewport(), module.qrBoletoCedente);
    window->show();
    waitFor([&] { return watch.painted; });
    bool settled = false;
    QTimer::singleShot(300, [&] { settled = true; });
    waitFor([&] { return settled; });
    const qint64 after = residentKiB();
    if (module.qrBoletoCedente->RecordCount() != expectedRows)
        return 1;
    line("rss %lld %lld", before, after);
    delete window;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv);
    const bool child = options.rest.contains(QStringLiteral("--memory-child"));
    if (!child)
        header(QStringLiteral("The beneficiary list window on a large table vs Open alone"),
               options);
    std::unique_ptr<Xvfb> xvfb;
#if defined(Q_OS_LINUX)
    // The program's own platform, on an X server of the benchmark's own.
    if (!child) {
        QString why;
        const QString display = displayForWindows(xvfb, why);
        if (display.isEmpty())
            return skipped(why);
        qputenv("DISPLAY", display.toLocal8Bit());
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
#endif
    QApplication app(argc, argv);
    const std::optional<Server> server = Server::fromEnvironment();
    if (!server)
        return noServer();
    const int rows = options.smoke ? 200 : options.rows;

    if (child) {
        const qsizetype at = options.rest.indexOf(QStringLiteral("--memory-child"));
        return memoryChild(*server, options.rest.value(at + 1), rows);
    }

    Notices notices;
    QString path;
    int rc = 0;
    try {
        Tdm module(&notices);
        installBusyCursor();
        path = server->createDatabase(module.BcoDados, QStringLiteral("window"));
        line("server: Firebird %s on %s; display %s (%s)",
             qPrintable(serverVersion(module.BcoDados)), qPrintable(server->location()),
             qgetenv("DISPLAY").constData(), xvfb ? "own Xvfb, no window manager" : "$DISPLAY");
        fillCedentes(module.BcoDados, 1, rows);
        addCompanies(module.BcoDados);
        const qint64 textBytes = cedenteTextBytes(module.BcoDados);

        if (!options.smoke) {
            showListWindow(rows);
            openAlone(rows);
        }
        Samples windowMs, openMs;
        for (int run = 0; run < options.runs; ++run) {
            if (run % 2) {
                windowMs.add(showListWindow(rows));
                openMs.add(openAlone(rows));
            } else {
                openMs.add(openAlone(rows));
                windowMs.add(showListWindow(rows));
            }
        }
        line("%d beneficiaries: Open alone %.1f ms (%.1f to %.1f), list window until painted "
             "%.1f ms (%.1f to %.1f)",
             rows, openMs.median(), openMs.min(), openMs.max(), windowMs.median(), windowMs.min(),
             windowMs.max());
        const double ratio = windowMs.median() / openMs.median();
        line("target: list window <= 1.2 x Open: %.2f -> %s", ratio,
             options.smoke ? "not judged (smoke)" : verdict(ratio <= 1.2));

        if (residentKiB() < 0) {
            line("resident memory: not measured, cannot be read on this system");
            module.BcoDados.Disconnect();
            return dropQuietly(*server, {path}, rc);
        }
        // Memory: fresh processes, so that nothing measured above counts.
        Samples added;
        qint64 startKiB = 0, openKiB = 0;
        for (int run = 0; run < (options.smoke ? 1 : 3); ++run) {
            QProcess process;
            QStringList args = {QStringLiteral("--memory-child"), path, QStringLiteral("--rows"),
                                QString::number(rows)};
            if (options.smoke)
                args << QStringLiteral("--smoke");
            process.start(QCoreApplication::applicationFilePath(), args);
            if (!process.waitForFinished(120000) || process.exitCode() != 0)
                throw std::runtime_error("the memory measurement failed: " +
                                         process.readAllStandardError().toStdString());
            const QList<QByteArray> words = process.readAllStandardOutput().trimmed().split(' ');
            startKiB = words.value(1).toLongLong();
            openKiB = words.value(2).toLongLong();
            added.add(double(openKiB - startKiB));
        }
        const double textKiB = double(textBytes) / 1024;
        line("resident memory: %.1f MiB with one small window shown, %.1f MiB with the list "
             "window on %d beneficiaries: %.1f MiB more; their texts: %.1f MiB (UTF-8)",
             startKiB / 1024.0, openKiB / 1024.0, rows, added.median() / 1024, textKiB / 1024);
        line("target: memory added <= 3 x the text size: %.2f -> %s", added.median() / textKiB,
             options.smoke ? "not judged (smoke)" : verdict(added.median() <= 3 * textKiB));
        module.BcoDados.Disconnect();
    } catch (const std::exception& e) {
        line("FAILED: %s", e.what());
        rc = 1;
    }
    return dropQuietly(*server, {path}, rc);
}
