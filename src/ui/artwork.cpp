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

// A sheet of paper with a folded corner, in a 16-unit grid.
QPainterPath paperSheet(double x, double y, double w, double h)
{
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + w - 3, y);
    path.lineTo(x + w, y + 3);
    path.lineTo(x + w, y + h);
    path.lineTo(x, y + h);
    path.closeSubpath();
    return path;
}

void drawGlyph(QPainter& painter, ToolGlyph glyph)
{
    // Drawn in a 16 by 16 grid; the caller scales it.
    const QColor ink = DeepWater;
    const QColor fill = Foam;
    const QColor accent(0xe0, 0x8a, 0x2c);
    QPen pen(ink, 1.0);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(fill);
    switch (glyph) {
    case ToolGlyph::DiskClean:
        painter.drawRoundedRect(QRectF(1.5, 5, 13, 6.5), 1.5, 1.5);
        painter.setBrush(accent);
        painter.drawEllipse(QPointF(12, 8.25), 1, 1);
        painter.setPen(QPen(ink, 0.8));
        painter.drawLine(QPointF(3.5, 8.25), QPointF(9, 8.25));
        break;
    case ToolGlyph::SystemClean:
        painter.drawRoundedRect(QRectF(1.5, 2, 13, 9), 1, 1);
        painter.setBrush(ShallowWater);
        painter.drawRect(QRectF(3, 3.5, 10, 6));
        painter.setBrush(fill);
        painter.drawRect(QRectF(6, 11, 4, 2));
        painter.drawLine(QPointF(4, 14), QPointF(12, 14));
        break;
    case ToolGlyph::InternetClean:
        painter.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(8, 8), 2.8, 6.5);
        painter.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        painter.drawLine(QPointF(2.8, 4.5), QPointF(13.2, 4.5));
        painter.drawLine(QPointF(2.8, 11.5), QPointF(13.2, 11.5));
        break;
    case ToolGlyph::DuplicateClean:
        painter.drawPath(paperSheet(1.5, 1.5, 9, 11));
        painter.drawPath(paperSheet(5.5, 3.5, 9, 11));
        painter.setPen(QPen(accent, 1.0));
        painter.drawLine(QPointF(7.5, 8), QPointF(12.5, 8));
        painter.drawLine(QPointF(7.5, 10.5), QPointF(12.5, 10.5));
        break;
    case ToolGlyph::RegistryClean:
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) {
                painter.setBrush((row + col) % 2 ? fill : QColor(ShallowWater));
                painter.drawRect(QRectF(1.5 + col * 4.5, 1.5 + row * 4.5, 4, 4));
            }
        break;
    case ToolGlyph::StartupManager:
        painter.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        painter.setBrush(accent);
        painter.drawPolygon(QPolygonF({QPointF(6.3, 4.8), QPointF(11.3, 8), QPointF(6.3, 11.2)}));
        break;
    case ToolGlyph::Uninstaller:
        painter.drawRect(QRectF(3.5, 4.5, 9, 10));
        painter.drawLine(QPointF(2, 3.5), QPointF(14, 3.5));
        painter.drawRect(QRectF(6.5, 1.5, 3, 2));
        painter.drawLine(QPointF(6.5, 7), QPointF(6.5, 12.5));
        painter.drawLine(QPointF(9.5, 7), QPointF(9.5, 12.5));
        break;
    case ToolGlyph::ShortcutDoctor:
        painter.drawPath(paperSheet(2.5, 1.5, 11, 13));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(accent, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(QPointF(5.5, 11.5), QPointF(10.5, 6.5));
        painter.drawPolyline(QPolygonF({QPointF(7.5, 6.5), QPointF(10.5, 6.5), QPointF(10.5, 9.5)}));
        break;
    case ToolGlyph::FileAttribute:
        painter.drawPath(paperSheet(2.5, 1.5, 11, 13));
        painter.setPen(QPen(ink, 0.8));
        for (int line = 0; line < 3; ++line)
            painter.drawLine(QPointF(4.5, 5 + line * 2.5), QPointF(11.5, 5 + line * 2.5));
        painter.setPen(QPen(ink, 1.0));
        painter.setBrush(accent);
        painter.drawEllipse(QPointF(11.5, 12), 2.5, 2.5);
        break;
    case ToolGlyph::FileWiper:
        painter.drawPath(paperSheet(3.5, 1.5, 9, 7));
        painter.drawRect(QRectF(1.5, 8.5, 13, 3));
        painter.setPen(QPen(ink, 0.9));
        for (int strip = 0; strip < 4; ++strip)
            painter.drawLine(QPointF(4.5 + strip * 2.3, 12), QPointF(4.5 + strip * 2.3, 15));
        break;
    }
}

} // namespace

QIcon toolIcon(ToolGlyph glyph)
{
    QIcon icon;
    for (const int size : {32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        drawGlyph(painter, glyph);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

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
