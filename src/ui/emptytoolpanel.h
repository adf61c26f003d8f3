#pragma once

#include <QWidget>

namespace tw {

// The panel of a tool whose controls are not part of this build: its header of
// title and description, over an empty client area.
class EmptyToolPanel : public QWidget {
    Q_OBJECT
public:
    EmptyToolPanel(const char* objectName, const QString& title, const QString& description,
                   QWidget* parent = nullptr);
};

} // namespace tw
