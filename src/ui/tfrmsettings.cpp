#include "ui/tfrmsettings.h"

namespace tw {

TfrmSettings::TfrmSettings(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmSettings");
    setWindowTitle("Settings");
    resize(520, 420);
}

} // namespace tw
