#include "ui/smallicons.h"

#include <QApplication>
#include <QStyle>

namespace tw {

QIcon smallIcon(int index)
{
    // The style's own icons, so that the lists follow the platform theme.
    switch (static_cast<SmallIcon>(index)) {
    case SmallIcon::FixedDrive:
        return QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon);
    case SmallIcon::Folder:
        return QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    case SmallIcon::File:
        return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    }
    return {};
}

} // namespace tw
