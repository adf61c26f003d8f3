#pragma once

#include <QIcon>

namespace tw {

// The small icons of the path and result lists, by the icon index of a CheckList
// row: 0 fixed drive, 1 folder, 2 file. Any other index has no icon.
enum class SmallIcon { FixedDrive = 0, Folder = 1, File = 2 };

// The icon for an icon index; a null icon for an index outside the set.
QIcon smallIcon(int index);

} // namespace tw
