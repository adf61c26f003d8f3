#include "ui/navigationsection.h"

#include <QButtonGroup>
#include <QToolButton>
#include <QVBoxLayout>

namespace tw {

NavigationSection::NavigationSection(const char* objectName, DownState downState, QWidget* parent)
    : QWidget(parent), m_downState(downState), m_layout(new QVBoxLayout(this))
{
    setObjectName(objectName);
    m_layout->setContentsMargins(4, 4, 4, 4);
    m_layout->setSpacing(2);
    m_layout->addStretch(1);
    if (m_downState == DownState::Kept) {
        m_group = new QButtonGroup(this);
        m_group->setExclusive(true);
    }
}

QToolButton* NavigationSection::addButton(const char* objectName, const QString& caption, const QIcon& icon)
{
    auto* button = new QToolButton(this);
    button->setObjectName(objectName);
    button->setText(caption);
    button->setIcon(icon);
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    if (m_group) {
        button->setCheckable(true);
        m_group->addButton(button);
    }
    // Before the stretch that keeps the buttons at the top.
    m_layout->insertWidget(m_layout->count() - 1, button);
    return button;
}

void NavigationSection::setDown(QToolButton* button)
{
    if (m_group && button)
        button->setChecked(true);
}

} // namespace tw
