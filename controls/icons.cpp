#include "icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

// Draws at several sizes on a 32×32 design grid.
QIcon drawn(const std::function<void(QPainter&)>& paint)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        paint(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

namespace Icons {

QIcon enter()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x55, 0x57, 0x53), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0xee, 0xee, 0xec));
        p.drawRect(QRectF(17, 4, 11, 24));
        QPainterPath arrow;
        arrow.moveTo(3, 12.5);
        arrow.lineTo(12, 12.5);
        arrow.lineTo(12, 7);
        arrow.lineTo(21, 16);
        arrow.lineTo(12, 25);
        arrow.lineTo(12, 19.5);
        arrow.lineTo(3, 19.5);
        arrow.closeSubpath();
        p.setPen(QPen(QColor(0x2e, 0x6b, 0x0e), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0x4e, 0x9a, 0x06));
        p.drawPath(arrow);
    });
}

QIcon cancel()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0xa4, 0x00, 0x00), 1.6));
        p.setBrush(QColor(0xcc, 0x00, 0x00));
        p.drawEllipse(QRectF(3, 3, 26, 26));
        p.setPen(QPen(Qt::white, 3.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 11), QPointF(21, 21));
        p.drawLine(QPointF(21, 11), QPointF(11, 21));
    });
}

QIcon boleto()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x34, 0x65, 0xa4), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(2, 6, 28, 20), 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x20, 0x4a, 0x87));
        p.drawRect(QRectF(5, 9, 12, 2.4));
        p.setBrush(QColor(0x2e, 0x34, 0x36));
        const double bars[] = {1.2, 0.6, 2.0, 0.6, 1.2, 1.6, 0.6, 2.0, 0.8, 1.2, 0.6, 1.6};
        double x = 5;
        for (size_t i = 0; i < std::size(bars); ++i) {
            if (i % 2 == 0)
                p.drawRect(QRectF(x, 14, bars[i], 9));
            x += bars[i] + 0.7;
        }
    });
}

} // namespace Icons
