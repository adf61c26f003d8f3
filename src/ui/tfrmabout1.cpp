#include "ui/tfrmabout1.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/artwork.h"

namespace tw {
namespace {

constexpr int ClientWidth = 290;
constexpr int ClientHeight = 261;

} // namespace

TfrmAbout1::TfrmAbout1(const QString& version, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName("frmAbout1");
    setWindowTitle("About");
    setFixedSize(ClientWidth, ClientHeight);

    auto* banner = new QLabel(this);
    banner->setObjectName("imgBanner");
    banner->setPixmap(bannerPixmap(QSize(ClientWidth, 96)));
    banner->setFixedSize(ClientWidth, 96);

    auto* product = new QLabel("Brindlewharf Tidewick", this);
    product->setObjectName("lblProduct");
    QFont large = product->font();
    large.setPointSizeF(large.pointSizeF() * 1.8);
    large.setBold(true);
    product->setFont(large);
    product->setAlignment(Qt::AlignCenter);

    auto* versionLine = new QLabel("Version: " + version, this);
    versionLine->setObjectName("lblVersion");
    versionLine->setTextFormat(Qt::PlainText);
    versionLine->setAlignment(Qt::AlignCenter);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("btnOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->addWidget(banner);
    layout->addSpacing(10);
    layout->addWidget(product);
    layout->addWidget(versionLine);
    layout->addStretch(1);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

void TfrmAbout1::showEvent(QShowEvent* event)
{
    if (QWidget* owner = parentWidget()) {
        const QRect area = owner->window()->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}

} // namespace tw
