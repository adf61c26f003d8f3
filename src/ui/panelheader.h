#pragma once

#include <QWidget>

class QLabel;

namespace tw {

// The header every tool panel starts with: a bold title and a one-line description.
class PanelHeader : public QWidget {
    Q_OBJECT
public:
    PanelHeader(const QString& title, const QString& description, QWidget* parent = nullptr);

    QString title() const;
    QString description() const;

private:
    QLabel* m_title;
    QLabel* m_description;
};

} // namespace tw
