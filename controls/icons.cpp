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

// A door and an arrow starting at `arrowX` (into it, or out of it).
void doorAndArrow(QPainter& p, const QRectF& door, double arrowX, const QColor& line,
                  const QColor& fill)
{
    p.setPen(QPen(QColor(0x55, 0x57, 0x53), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xee, 0xee, 0xec));
    p.drawRect(door);
    const double x = arrowX;
    QPainterPath arrow;
    arrow.moveTo(x, 12.5);
    arrow.lineTo(x + 9, 12.5);
    arrow.lineTo(x + 9, 7);
    arrow.lineTo(x + 18, 16);
    arrow.lineTo(x + 9, 25);
    arrow.lineTo(x + 9, 19.5);
    arrow.lineTo(x, 19.5);
    arrow.closeSubpath();
    p.setPen(QPen(line, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(arrow);
}

} // namespace

namespace Icons {

QIcon enter()
{
    return drawn([](QPainter& p) {
        doorAndArrow(p, QRectF(17, 4, 11, 24), 3, QColor(0x2e, 0x6b, 0x0e),
                     QColor(0x4e, 0x9a, 0x06));
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

QIcon exit()
{
    return drawn([](QPainter& p) {
        doorAndArrow(p, QRectF(4, 4, 12, 24), 11, QColor(0xa4, 0x00, 0x00),
                     QColor(0xcc, 0x00, 0x00));
    });
}

QIcon edit()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x88, 0x8a, 0x85), 1.4));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 3, 18, 25));
        p.setPen(QPen(QColor(0xba, 0xbd, 0xb6), 1.2));
        for (double y = 8; y < 26; y += 4)
            p.drawLine(QPointF(7, y), QPointF(19, y));
        p.translate(20, 18);
        p.rotate(45);
        p.setPen(QPen(QColor(0x8f, 0x59, 0x02), 1.2));
        p.setBrush(QColor(0xfc, 0xaf, 0x3e));
        p.drawRect(QRectF(-2.5, -13, 5, 18));
        QPainterPath tip;
        tip.moveTo(-2.5, 5);
        tip.lineTo(2.5, 5);
        tip.lineTo(0, 10);
        tip.closeSubpath();
        p.setBrush(QColor(0xe9, 0xb9, 0x6e));
        p.drawPath(tip);
    });
}

QIcon send()
{
    return drawn([](QPainter& p) {
        QPainterPath cloud;
        cloud.addEllipse(QRectF(3, 13, 12, 12));
        cloud.addEllipse(QRectF(9, 7, 14, 14));
        cloud.addEllipse(QRectF(17, 12, 12, 12));
        cloud.addRect(QRectF(9, 18, 14, 7));
        p.setPen(QPen(QColor(0x20, 0x4a, 0x87), 1.4));
        p.setBrush(QColor(0x72, 0x9f, 0xcf));
        p.drawPath(cloud.simplified());
        QPainterPath arrow;
        arrow.moveTo(16, 9);
        arrow.lineTo(22, 16);
        arrow.lineTo(18.5, 16);
        arrow.lineTo(18.5, 23);
        arrow.lineTo(13.5, 23);
        arrow.lineTo(13.5, 16);
        arrow.lineTo(10, 16);
        arrow.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(arrow);
    });
}

QIcon refresh()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x4e, 0x9a, 0x06), 3.2, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        const QRectF circle(6, 6, 20, 20);
        p.drawArc(circle, 30 * 16, 150 * 16);
        p.drawArc(circle, 210 * 16, 150 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x4e, 0x9a, 0x06));
        QPainterPath head1;
        head1.moveTo(21, 3);
        head1.lineTo(28, 10);
        head1.lineTo(19, 12);
        head1.closeSubpath();
        p.drawPath(head1);
        QPainterPath head2;
        head2.moveTo(11, 29);
        head2.lineTo(4, 22);
        head2.lineTo(13, 20);
        head2.closeSubpath();
        p.drawPath(head2);
    });
}

QIcon copy()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x88, 0x8a, 0x85), 1.4));
        p.setBrush(QColor(0xee, 0xee, 0xec));
        p.drawRect(QRectF(4, 3, 16, 20));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(12, 9, 16, 20));
        p.setPen(QPen(QColor(0x34, 0x65, 0xa4), 1.2));
        for (double y = 14; y < 27; y += 4)
            p.drawLine(QPointF(15, y), QPointF(25, y));
    });
}

QIcon save()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x4e, 0x9a, 0x06), 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(6, 17);
        tick.lineTo(13, 24);
        tick.lineTo(26, 8);
        p.drawPath(tick);
    });
}

QIcon add()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x4e, 0x9a, 0x06), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 6), QPointF(16, 26));
        p.drawLine(QPointF(6, 16), QPointF(26, 16));
    });
}

QIcon toggle()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x55, 0x57, 0x53), 1.6));
        p.setBrush(QColor(0x8a, 0xe2, 0x34));
        p.drawRoundedRect(QRectF(3, 10, 26, 12), 6, 6);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(17, 9, 14, 14));
    });
}

} // namespace Icons
