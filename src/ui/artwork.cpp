#include "ui/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tw {
namespace {

const QColor DeepWater(0x2f, 0x5d, 0x7c);
const QColor ShallowWater(0x4f, 0x8f, 0xb3);
const QColor Foam(0xe8, 0xf3, 0xf9);

QPainterPath wave(const QRectF& area, double phase)
{
    QPainterPath path;
    const int steps = 4;
    const double step = area.width() / steps;
    path.moveTo(area.left(), area.center().y());
    for (int i = 0; i < steps; ++i) {
        const double x = area.left() + i * step;
        const double lift = (i % 2 == 0 ? -1 : 1) * area.height() / 2 * phase;
        path.quadTo(x + step / 2, area.center().y() + lift, x + step, area.center().y());
    }
    return path;
}

void drawMark(QPainter& painter, const QRectF& box)
{
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient water(box.topLeft(), box.bottomLeft());
    water.setColorAt(0, ShallowWater);
    water.setColorAt(1, DeepWater);
    painter.setPen(Qt::NoPen);
    painter.setBrush(water);
    painter.drawRoundedRect(box, box.width() * 0.18, box.height() * 0.18);

    // A drop in the upper half, three waves below it.
    const double unit = box.width() / 16.0;
    QPainterPath drop;
    const QPointF tip(box.center().x(), box.top() + 2.5 * unit);
    drop.moveTo(tip);
    drop.cubicTo(tip + QPointF(3.5 * unit, 3.5 * unit), tip + QPointF(2.5 * unit, 6.5 * unit), tip + QPointF(0, 6.5 * unit));
    drop.cubicTo(tip + QPointF(-2.5 * unit, 6.5 * unit), tip + QPointF(-3.5 * unit, 3.5 * unit), tip);
    painter.setBrush(Foam);
    painter.drawPath(drop);

    QPen pen(Foam, std::max(1.0, unit));
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const QRectF band(box.left() + 2 * unit, box.top() + (10 + 2 * i) * unit, 12 * unit, 1.5 * unit);
        painter.drawPath(wave(band, 1.0));
    }
}

} // namespace

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        drawMark(painter, QRectF(0.5, 0.5, size - 1.0, size - 1.0));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPixmap bannerPixmap(QSize size)
{
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, size.width(), 0);
    sky.setColorAt(0, DeepWater);
    sky.setColorAt(1, ShallowWater);
    painter.fillRect(pixmap.rect(), sky);

    // Rolling waves across the lower part of the banner.
    for (int i = 0; i < 3; ++i) {
        QColor foam = Foam;
        foam.setAlphaF(0.25 + 0.2 * i);
        QPen pen(foam, 2.0);
        painter.setPen(pen);
        const double y = size.height() * (0.55 + 0.13 * i);
        painter.drawPath(wave(QRectF(-10 - 12 * i, y - 6, size.width() + 40, 12), 1.0));
    }
    const double side = size.height() * 0.6;
    drawMark(painter, QRectF(12, (size.height() - side) / 2, side, side));
    painter.end();
    return pixmap;
}

} // namespace tw
