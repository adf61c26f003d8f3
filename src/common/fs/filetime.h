#pragma once

#include <cstdint>
#include <ctime>

#include "common/fs/filesystem.h"

namespace tw {

// Seconds from 1601-01-01 (the FILETIME epoch) to 1970-01-01 (the Unix epoch).
inline constexpr int64_t FileTimeEpochOffset = 11644473600LL;

// The FILETIME of a host time; times before 1601 become 1, the earliest set time.
FileTime fileTimeFromUnix(int64_t seconds, uint32_t nanoseconds);
// The host time of a FILETIME (100-ns ticks kept as nanoseconds).
timespec unixFromFileTime(FileTime time);

} // namespace tw
