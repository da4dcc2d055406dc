#include "busy.h"
#include "dialogs.h"
#include "untDM.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trevalo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Trevalo"));
    setBusyHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });

    Tdm module(&dialogs());
    module.DataModuleCreate();

    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("Trevalo - "));
    frame.showMaximized();
    return app.exec();
}
