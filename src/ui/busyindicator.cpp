#include "ui/busyindicator.h"

#include <QPainter>

#include <cmath>

namespace tw {
namespace {

constexpr int DotCount = 8;
constexpr int StepMilliseconds = 90;

} // namespace

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent)
{
    setObjectName("Anim");
    setFixedSize(16, 16);
    m_timer.setInterval(StepMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % DotCount;
        update();
    });
}

void BusyIndicator::start()
{
    if (!m_timer.isActive())
        m_timer.start();
    update();
}

void BusyIndicator::stop()
{
    m_timer.stop();
    update();
}

void BusyIndicator::paintEvent(QPaintEvent*)
{
    if (!isActive())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPointF centre(width() / 2.0, height() / 2.0);
    const double radius = std::min(width(), height()) / 2.0 - 2.5;
    QColor colour = palette().color(QPalette::WindowText);
    for (int i = 0; i < DotCount; ++i) {
        // The dot at the current step is solid, the ones behind it fade out.
        const int age = (m_step - i + DotCount) % DotCount;
        colour.setAlphaF(1.0 - age / static_cast<double>(DotCount));
        painter.setBrush(colour);
        const double angle = 2 * M_PI * i / DotCount;
        painter.drawEllipse(centre + QPointF(radius * std::cos(angle), radius * std::sin(angle)), 1.8, 1.8);
    }
}

} // namespace tw
