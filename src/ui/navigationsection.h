#pragma once

#include <QWidget>

class QButtonGroup;
class QToolButton;
class QVBoxLayout;

namespace tw {

// One frame of the navigation bar: large buttons from top to bottom. In a
// section with a down state the buttons form one group: pressing one leaves it
// down and raises the others.
class NavigationSection : public QWidget {
    Q_OBJECT
public:
    enum class DownState { Kept, None };

    NavigationSection(const char* objectName, DownState downState, QWidget* parent = nullptr);

    // Appends a button with its caption and icon below the others.
    QToolButton* addButton(const char* objectName, const QString& caption, const QIcon& icon);

    // Shows the button down and raises the others (a section without a down state ignores it).
    void setDown(QToolButton* button);

private:
    DownState m_downState;
    QButtonGroup* m_group = nullptr;
    QVBoxLayout* m_layout;
};

} // namespace tw
