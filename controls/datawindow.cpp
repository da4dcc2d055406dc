#include "datawindow.h"

#include "guard.h"

#include <QShowEvent>

DataWindow::DataWindow(QWidget* parent, const QString& name, const QString& caption)
    : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    connect(this, &QDialog::finished, this, guard([this] { FormClose(); }));
}

void DataWindow::fixSize(int width)
{
    resize(width, sizeHint().height());
    setFixedSize(size());
}

void DataWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guarded([this] { FormShow(); });
}
