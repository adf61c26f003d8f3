#pragma once

#include <QDialog>

namespace tw {

// The settings dialog (caption "Settings"), opened modally by the window's
// "Settings" button and created afresh on every opening.
class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSettings(QWidget* parent = nullptr);
};

} // namespace tw
