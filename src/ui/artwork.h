#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace tw {

// The program's icon: a drop over three waves, drawn at every size asked for.
QIcon programIcon();

// The pictures of the navigation buttons, one per tool.
enum class ToolGlyph {
    DiskClean,
    SystemClean,
    InternetClean,
    DuplicateClean,
    RegistryClean,
    StartupManager,
    Uninstaller,
    ShortcutDoctor,
    FileAttribute,
    FileWiper,
};

// A navigation button's picture, drawn at 32 and 48 pixels.
QIcon toolIcon(ToolGlyph glyph);

// The banner of the About dialog, drawn at the given size.
QPixmap bannerPixmap(QSize size);

} // namespace tw
