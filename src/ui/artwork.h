#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace tw {

// The program's icon: a drop over three waves, drawn at every size asked for.
QIcon programIcon();

// The banner of the About dialog, drawn at the given size.
QPixmap bannerPixmap(QSize size);

} // namespace tw
