#include "common/fs/filetime.h"

namespace tw {

FileTime fileTimeFromUnix(int64_t seconds, uint32_t nanoseconds)
{
    const int64_t sinceEpoch = seconds + FileTimeEpochOffset;
    if (sinceEpoch < 0)
        return 1;
    const FileTime ticks = static_cast<FileTime>(sinceEpoch) * 10000000ULL + nanoseconds / 100;
    return ticks == 0 ? 1 : ticks;
}

timespec unixFromFileTime(FileTime time)
{
    timespec ts {};
    ts.tv_sec = static_cast<time_t>(static_cast<int64_t>(time / 10000000ULL) - FileTimeEpochOffset);
    ts.tv_nsec = static_cast<long>(time % 10000000ULL) * 100;
    return ts;
}

} // namespace tw
