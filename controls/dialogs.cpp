#include "dialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace {
Dialogs* current = nullptr;

QWidget* parentWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}
} // namespace

QString messageText(const QString& text)
{
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

void WidgetDialogs::notice(const QString& text)
{
    QMessageBox::warning(parentWindow(), QStringLiteral("Atenção"), messageText(text));
}

bool WidgetDialogs::question(const QString& title, const QString& text)
{
    return QMessageBox::question(parentWindow(), title, messageText(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void WidgetDialogs::error(const QString& text)
{
    QMessageBox::critical(parentWindow(), QStringLiteral("Trevalo"), messageText(text));
}

Dialogs& dialogs()
{
    static WidgetDialogs widgets;
    return current ? *current : widgets;
}

void setDialogs(Dialogs* service)
{
    current = service;
}
