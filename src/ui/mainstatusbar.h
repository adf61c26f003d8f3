#pragma once

#include <QStatusBar>

class QLabel;

namespace tw {

class BusyIndicator;

// The status bar sBar: panel 0 (150 pixels) the state of the operation, panel 1
// (30 pixels) the busy animation Anim, panel 2 (the rest) details and counts.
class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit MainStatusBar(QWidget* parent = nullptr);

    // The text label of panel 0 or 2 (panel 1 holds no text).
    QLabel* panel(int index) const;
    BusyIndicator* animation() const { return m_animation; }

private:
    QLabel* m_state;
    BusyIndicator* m_animation;
    QLabel* m_details;
};

} // namespace tw
