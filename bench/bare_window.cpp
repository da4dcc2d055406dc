// bench-bare-window: the floor of bench-startup, a Qt Widgets program that
// shows one empty window, built the same way as the program.
//
// Built again with more of what the program does at start, so that
// bench-startup can show where the difference comes from:
//   BARE_WITH_FBCLIENT  also linked to the Firebird client
//   BARE_WITH_ATTACH    and attaches to the database of BENCH_DATABASE
//                       (user BENCH_USER, password BENCH_PASSWORD)
//   BARE_WITH_TEXT      and shows a line of text in its window (which makes
//                       Qt read the system's font configuration)
#include <QApplication>
#include <QLabel>
#include <QWidget>

#if defined(BARE_WITH_FBCLIENT)
#include <firebird/Interface.h>

#include <cstdio>
#include <cstdlib>
#endif

int main(int argc, char* argv[])
{
#if defined(BARE_WITH_FBCLIENT) && !defined(BARE_WITH_ATTACH)
    // Referenced, so that the library is loaded, but not called.
    if (argc > 1000)
        Firebird::fb_get_master_interface();
#endif
    QApplication app(argc, argv);
#if defined(BARE_WITH_ATTACH)
    using namespace Firebird;
    const char* database = std::getenv("BENCH_DATABASE");
    const char* user = std::getenv("BENCH_USER");
    const char* password = std::getenv("BENCH_PASSWORD");
    if (!database || !user || !password) {
        std::fputs("bench-bare-window: BENCH_DATABASE, BENCH_USER and BENCH_PASSWORD are not "
                   "set\n",
                   stderr);
        return 1;
    }
    IMaster* master = fb_get_master_interface();
    ThrowStatusWrapper status(master->getStatus());
    try {
        IXpbBuilder* dpb =
            master->getUtilInterface()->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&status, isc_dpb_user_name, user);
        dpb->insertString(&status, isc_dpb_password, password);
        dpb->insertString(&status, isc_dpb_lc_ctype, "UTF8");
        IProvider* provider = master->getDispatcher();
        provider->attachDatabase(&status, database, dpb->getBufferLength(&status),
                                 dpb->getBuffer(&status));
        provider->release();
        dpb->dispose();
    } catch (const FbException&) {
        std::fputs("bench-bare-window: cannot attach to BENCH_DATABASE\n", stderr);
        return 1;
    }
#endif
    QWidget window;
#if defined(BARE_WITH_TEXT)
    auto* text = new QLabel(QStringLiteral("Senha:"), &window);
    text->move(20, 20);
#endif
    window.setWindowTitle(QStringLiteral("Janela vazia"));
    window.resize(400, 200);
    window.show();
    return app.exec();
}
