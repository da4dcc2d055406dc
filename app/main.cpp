#include "busy.h"
#include "curltransport.h"
#include "dialogs.h"
#include "guard.h"
#include "untDM.h"
#include "untPrincipal.h"

#include <QApplication>
#include <QFontDatabase>

#include <thread>

namespace {
// The last line of defence: an exception that escaped a handler is shown
// like any other error instead of ending the program.
class TrevaloApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        bool result = false;
        guarded([&] { result = QApplication::notify(receiver, event); });
        return result;
    }
};
} // namespace

int main(int argc, char* argv[])
{
    TrevaloApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trevalo"));
    setBusyHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });

    // The font database (the system's font configuration and list, which
    // the first window with text needs) is read on a thread of its own
    // while the database is attached: the attachment mostly waits for the
    // server. QFontDatabase is thread-safe.
    std::jthread fonts([] { QFontDatabase::families(); });
    Tdm module(&dialogs());
    module.DataModuleCreate();
    fonts.join();
    // Loads libcurl with the first request, not here.
    CurlTransport transport(module.Plataforma);
    module.setTransport(&transport);

    TfrmPrincipal frmPrincipal;
    frmPrincipal.showMaximized();
    return app.exec();
}
