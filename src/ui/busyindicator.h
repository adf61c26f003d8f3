#pragma once

#include <QTimer>
#include <QWidget>

namespace tw {

// The 16 by 16 busy animation of the status bar (objectName "Anim"): a ring of
// dots turning while a search runs, blank while idle.
class BusyIndicator : public QWidget {
    Q_OBJECT
public:
    explicit BusyIndicator(QWidget* parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }

    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    int m_step = 0;
};

} // namespace tw
