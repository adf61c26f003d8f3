#include "ui/emptytoolpanel.h"

#include <QVBoxLayout>

#include "ui/panelheader.h"

namespace tw {

EmptyToolPanel::EmptyToolPanel(const char* objectName, const QString& title, const QString& description,
                               QWidget* parent)
    : QWidget(parent)
{
    setObjectName(objectName);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new PanelHeader(title, description, this));
    layout->addStretch(1);
}

} // namespace tw
