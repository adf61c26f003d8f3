#include "ui/panelheader.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tw {

PanelHeader::PanelHeader(const QString& title, const QString& description, QWidget* parent)
    : QWidget(parent), m_title(new QLabel(title, this)), m_description(new QLabel(description, this))
{
    setObjectName("panelHeader");
    m_title->setObjectName("lblPanelTitle");
    m_description->setObjectName("lblPanelDescription");
    // The texts are shown as they are, never as rich text or with mnemonics.
    m_title->setTextFormat(Qt::PlainText);
    m_description->setTextFormat(Qt::PlainText);
    QFont bold = m_title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    m_title->setFont(bold);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(2);
    layout->addWidget(m_title);
    layout->addWidget(m_description);
}

QString PanelHeader::title() const
{
    return m_title->text();
}

QString PanelHeader::description() const
{
    return m_description->text();
}

} // namespace tw
