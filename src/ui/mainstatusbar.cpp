#include "ui/mainstatusbar.h"

#include <QHBoxLayout>
#include <QLabel>

#include "ui/busyindicator.h"

namespace tw {
namespace {

QLabel* makePanelLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    // A long folder path must not widen the window.
    label->setMinimumWidth(0);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

} // namespace

MainStatusBar::MainStatusBar(QWidget* parent)
    : QStatusBar(parent), m_state(makePanelLabel("sBarPanel0", this)), m_details(makePanelLabel("sBarPanel2", this))
{
    setObjectName("sBar");
    m_state->setFixedWidth(150);

    auto* animationPanel = new QWidget(this);
    animationPanel->setObjectName("sBarPanel1");
    animationPanel->setFixedWidth(30);
    auto* layout = new QHBoxLayout(animationPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_animation = new BusyIndicator(animationPanel);
    layout->addWidget(m_animation, 0, Qt::AlignCenter);

    addWidget(m_state);
    addWidget(animationPanel);
    addWidget(m_details, 1);
}

QLabel* MainStatusBar::panel(int index) const
{
    switch (index) {
    case 0:
        return m_state;
    case 2:
        return m_details;
    default:
        return nullptr;
    }
}

} // namespace tw
