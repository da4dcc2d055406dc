#include "listwindow.h"

#include "guard.h"

#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QShowEvent>
#include <QTimer>

ListWindow::ListWindow(QWidget* parent) : QWidget(parent) {}

void ListWindow::closeWindow()
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void ListWindow::closeOnceShown()
{
    QTimer::singleShot(0, this, guard([this] { closeWindow(); }));
}

void ListWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        guarded([this] { FormShow(); });
    }
}

void ListWindow::closeEvent(QCloseEvent* event)
{
    guarded([this] { FormClose(); });
    event->accept();
}
