#include "common/fs/hostmode.h"

#include <string>
#include <string_view>
#include <sys/stat.h>

#include "common/base/atomicfile.h"

namespace tw {

bool isReadOnlyMode(mode_t mode)
{
    return (mode & 0222) == 0;
}

mode_t modeForReadOnly(mode_t mode, bool isFolder, bool readOnly)
{
    if (readOnly)
        return isFolder ? mode : mode & ~static_cast<mode_t>(0222);
    if (!isReadOnlyMode(mode))
        return mode;
    const mode_t added = S_IRUSR | S_IWUSR | ((mode & (S_IRGRP | S_IROTH)) >> 1);
    return mode | (added & ~currentUmask());
}

mode_t currentUmask()
{
    // /proc tells the umask without the umask(0) dance, which would briefly
    // change it for every thread of the process.
    std::string status;
    if (readWholeFile("/proc/self/status", status)) {
        const size_t at = status.find("\nUmask:");
        if (at != std::string::npos) {
            mode_t mask = 0;
            size_t i = at + 7;
            while (i < status.size() && (status[i] == ' ' || status[i] == '\t'))
                ++i;
            bool any = false;
            while (i < status.size() && status[i] >= '0' && status[i] <= '7') {
                mask = mask * 8 + static_cast<mode_t>(status[i] - '0');
                ++i;
                any = true;
            }
            if (any)
                return mask;
        }
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace tw
