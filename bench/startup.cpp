// bench-startup: the program's start until its login window is shown, and
// its resident memory there, against a bare Qt window program built the
// same way (bench-bare-window), in the same run, each started afresh.
// Both run under a private Xvfb without a window manager; a window counts
// as shown when the X server maps it (seen through the root window's
// substructure events). The memory is read 500 ms later, once the window
// has painted and the program waits for the user. Three more builds of the
// bare window, each doing more of what the program does before its window
// (the Firebird client linked, attaching to the database, text in the
// window), are measured alongside: they show where the difference goes.
//
//   bench-startup [--runs N] [--smoke] [--in-use] [--also PATH TITLE]...
//
// --in-use keeps another attachment to the database open throughout, as
// when other workstations are using it; without it every start is the
// database's only attachment. --also measures one more program in the same
// run, waiting for its window titled TITLE: for finding out what makes a
// difference.
#include "barefetch.h"
#include "support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace bench;

namespace {

class Display
{
public:
    explicit Display(const QString& name)
    {
        m_connection = xcb_connect(name.toLocal8Bit().constData(), nullptr);
        if (xcb_connection_has_error(m_connection))
            throw std::runtime_error("cannot connect to the X server");
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        m_netWmName = atom("_NET_WM_NAME");
        xcb_flush(m_connection);
    }
    ~Display() { xcb_disconnect(m_connection); }

    // Waits up to `timeoutMs` for a window titled `title` to be mapped;
    // false when the time ran out or `alive` said the program ended.
    template <typename Alive>
    bool waitForMap(const std::string& title, int timeoutMs, Alive&& alive)
    {
        const double deadline = nowMs() + timeoutMs;
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        while (nowMs() < deadline) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const xcb_window_t window =
                    mapped ? reinterpret_cast<xcb_map_notify_event_t*>(event)->window : 0;
                std::free(event);
                if (mapped && titleOf(window) == title)
                    return true;
            }
            if (xcb_connection_has_error(m_connection) || !alive())
                return false;
            poll(&fd, 1, 5);
        }
        return false;
    }

    void drain()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
            std::free(event);
    }

private:
    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return a;
    }

    std::string property(xcb_window_t window, xcb_atom_t name)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
            nullptr);
        std::string value;
        if (reply) {
            value.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                         size_t(xcb_get_property_value_length(reply)));
            std::free(reply);
        }
        return value;
    }

    std::string titleOf(xcb_window_t window)
    {
        std::string title = property(window, m_netWmName);
        return title.empty() ? property(window, XCB_ATOM_WM_NAME) : title;
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    xcb_atom_t m_netWmName;
};

struct Start
{
    double ms = 0;
    qint64 residentKiB = 0;
};

// Starts `program` afresh, waits for its window `title`, reads its memory,
// and kills it.
Start measure(Display& display, const QString& program, const std::string& title,
              const QString& logPath)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            env.emplace_back(*e);
    env.emplace_back("QT_QPA_PLATFORM=xcb");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = program.toStdString();
    char* argv[] = {path.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = logPath.toStdString();
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);

    display.drain();
    pid_t pid = 0;
    const double t0 = nowMs();
    const int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error("cannot start " + path + ": " + std::strerror(rc));

    int status = 0;
    bool ended = false;
    const auto alive = [&] {
        ended = ended || waitpid(pid, &status, WNOHANG) == pid;
        return !ended;
    };
    const bool shown = display.waitForMap(title, 30000, alive);
    Start start;
    start.ms = nowMs() - t0;
    if (shown) {
        // Let it paint and settle: the figure is the program waiting for the user.
        const double until = nowMs() + 500;
        while (nowMs() < until && alive()) {
            display.drain();
            usleep(10000);
        }
        start.residentKiB = residentKiB(pid);
    }
    if (!ended) {
        // Only its start is measured: no need to wait for an orderly exit.
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    if (!shown)
        throw std::runtime_error(path + " showed no window \"" + title + "\"; see " + log);
    return start;
}

// Connection::Connect to the database, as the program's start does it.
double attachMs(const Server& server, const QString& path, int runs, bool keptOpen)
{
    Connection keeper;
    if (keptOpen)
        server.attach(keeper, path);
    Samples samples;
    for (int run = 0; run < runs; ++run) {
        Connection connection;
        samples.add(timeMs([&] { server.attach(connection, path); }));
        connection.Disconnect();
    }
    return samples.median();
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv, 15);
    header(QStringLiteral("Program start until the login window vs a bare Qt window program"),
           options);
    const std::optional<Server> server = Server::fromEnvironment();
    if (!server)
        return noServer();
    // Only a private X server without a window manager shows the mapping
    // of top-level windows this way.
    Xvfb xvfb;
    if (!xvfb.start())
        return skipped(QStringLiteral("needs Xvfb: ") + xvfb.error());
    qputenv("DISPLAY", xvfb.display().toLocal8Bit());

    QTemporaryDir dir;
    QString path;
    int rc = 0;
    try {
        {
            Connection admin;
            path = server->createDatabase(admin, QStringLiteral("startup"));
            addCompanies(admin);
            line("server: Firebird %s on %s; display %s (own Xvfb, no window manager)",
                 qPrintable(serverVersion(admin)), qPrintable(server->location()),
                 qPrintable(xvfb.display()));
        }
        // Connect.ini must stand beside the executable: start a copy.
        const QString program = dir.filePath(QStringLiteral("trevalo"));
        if (!QFile::copy(QStringLiteral(TREVALO_APP_PATH), program))
            throw std::runtime_error("cannot copy the program");
        QFile ini(dir.filePath(QStringLiteral("Connect.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write Connect.ini");
        ini.write(QStringLiteral("[TORVELA]\r\ndatabase=%1\r\nUser_Name=%2\r\nPassword=%3\r\n")
                      .arg(server->databaseValue(path), server->user, server->password)
                      .toUtf8());
        ini.close();
        const QString log = dir.filePath(QStringLiteral("output.log"));
        qputenv("BENCH_DATABASE", server->databaseValue(path).toUtf8());
        qputenv("BENCH_USER", server->user.toUtf8());
        qputenv("BENCH_PASSWORD", server->password.toUtf8());

        // The floor, the program, then any program of --also PATH TITLE
        // (for finding out what makes the difference).
        struct Contender
        {
            QString label;
            QString path;
            std::string title;
            Samples ms, kib;
        };
        const auto contender = [](const char* label, const QString& path, const char* title) {
            return Contender{QString::fromUtf8(label), path, title, {}, {}};
        };
        const char* bareTitle = "Janela vazia";
        std::vector<Contender> contenders = {
            contender("bare Qt window (bench-bare-window)", QStringLiteral(BARE_WINDOW_PATH),
                      bareTitle),
            contender("program, login window (trevalo)", program, "Acesso ao Sistema"),
            contender("  bare + the Firebird client linked",
                      QStringLiteral(BARE_WINDOW_FBCLIENT_PATH), bareTitle),
            contender("  bare + that + attach to the database",
                      QStringLiteral(BARE_WINDOW_ATTACH_PATH), bareTitle),
            contender("  bare + those + a line of text", QStringLiteral(BARE_WINDOW_TEXT_PATH),
                      bareTitle)};
        for (qsizetype i = options.rest.indexOf(QStringLiteral("--also"));
             i >= 0 && i + 2 < options.rest.size();
             i = options.rest.indexOf(QStringLiteral("--also"), i + 3))
            contenders.push_back({options.rest.at(i + 1),
                                  options.rest.at(i + 1),
                                  options.rest.at(i + 2).toStdString(),
                                  {},
                                  {}});

        Connection otherWorkstation;
        const bool inUse = options.rest.contains(QStringLiteral("--in-use"));
        if (inUse)
            server->attach(otherWorkstation, path);
        line("the database is %s", inUse ? "in use: another attachment keeps it open (--in-use)"
                                         : "not in use: each start is its only attachment");

        Display display(xvfb.display());
        if (!options.smoke)
            for (Contender& c : contenders)
                measure(display, c.path, c.title, log);
        for (int run = 0; run < options.runs; ++run) {
            // Taking turns, so that none always starts right after the same other.
            for (size_t k = 0; k < contenders.size(); ++k) {
                Contender& c = contenders[(k + size_t(run)) % contenders.size()];
                const Start start = measure(display, c.path, c.title, log);
                c.ms.add(start.ms);
                c.kib.add(double(start.residentKiB));
            }
        }
        line("%-40s  %10s  %12s", "", "shown", "resident");
        for (const Contender& c : contenders)
            line("%-40s  %7.1f ms  %8.1f MiB", qPrintable(c.label), c.ms.median(),
                 c.kib.median() / 1024);
        const Samples& bareMs = contenders[0].ms;
        const Samples& bareKiB = contenders[0].kib;
        const Samples& appMs = contenders[1].ms;
        const Samples& appKiB = contenders[1].kib;
        const double time = appMs.median() / bareMs.median();
        const double memory = appKiB.median() / bareKiB.median();
        if (inUse)
            otherWorkstation.Disconnect();
        line("part of the program's start, attaching to the database (Connection::Connect): "
             "%.1f ms while no one else is attached, %.1f ms while another attachment keeps it "
             "open",
             attachMs(*server, path, options.runs, false),
             attachMs(*server, path, options.runs, true));
        line("target: start <= 1.5 x the bare window: %.2f -> %s", time,
             options.smoke ? "not judged (smoke)" : verdict(time <= 1.5));
        line("target: memory <= 1.5 x the bare window: %.2f -> %s", memory,
             options.smoke ? "not judged (smoke)" : verdict(memory <= 1.5));
    } catch (const std::exception& e) {
        line("FAILED: %s", e.what());
        rc = 1;
    }
    return dropQuietly(*server, {path}, rc);
}
