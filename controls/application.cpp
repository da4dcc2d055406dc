#include "application.h"

#include <QApplication>
#include <QDialog>
#include <QMetaObject>

namespace {
bool terminated = false;
std::function<void()>& quitHook()
{
    static std::function<void()> hook;
    return hook;
}
} // namespace

namespace Application {

void Terminate()
{
    const bool first = !terminated;
    terminated = true;
    // Modal windows end as if cancelled, innermost first.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || !dialog->isVisible())
            break;
        dialog->done(QDialog::Rejected);
    }
    if (!first)
        return;
    if (quitHook())
        quitHook()();
    else
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

bool Terminated()
{
    return terminated;
}

void setQuitHook(std::function<void()> hook)
{
    quitHook() = std::move(hook);
}

void reset()
{
    terminated = false;
}

} // namespace Application
