#pragma once

#include <QDialog>

namespace tw {

// The About dialog: a banner, the product name, the version line and OK.
// Fixed size, no minimise or maximise box, centred on its parent; Escape closes it.
class TfrmAbout1 : public QDialog {
    Q_OBJECT
public:
    TfrmAbout1(const QString& version, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tw
