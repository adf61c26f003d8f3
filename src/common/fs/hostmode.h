#pragma once

#include <sys/types.h>

// The read-only attribute as the write bits of a host mode, the way Wine maps it.
namespace tw {

// True when the mode has no write bit at all.
bool isReadOnlyMode(mode_t mode);
// The mode after setting or clearing read-only: setting clears every write bit
// (not on folders); clearing a read-only mode adds owner read and write, and
// group and other write where they may read, less the umask. Otherwise unchanged.
mode_t modeForReadOnly(mode_t mode, bool isFolder, bool readOnly);
// The process's umask, read without changing it.
mode_t currentUmask();

} // namespace tw
