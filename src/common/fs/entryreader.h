#pragma once

#include <string_view>
#include <sys/stat.h>

#include "common/fs/dosattributes.h"
#include "common/fs/filesystem.h"

namespace tw {

// What reading one entry gave.
enum class EntryStatus {
    Listed,   // a folder or a regular file (or a link to one): data filled in
    Missing,  // no such entry
    Unlisted, // a device, FIFO, socket or dangling link: never shown
    Failed,   // the entry could not be examined (errno says why)
};

// Reads the find data of the entry `name` of the folder open as dirFd (or
// AT_FDCWD with an absolute name); path is the entry's full host path, used for
// its extended attributes. A link is described by its target, with the
// reparse-point attribute. displayName is the name the data carries; ruleName
// the one the dot-file rule looks at (the host name of the entry, "" for a drive
// root). The entry's name is not checked for Windows.
EntryStatus readEntry(int dirFd, const char* name, const char* path, std::string_view displayName,
                      std::string_view ruleName, FindData& data);

// The statx of the folder open as fd, with every field readEntry uses.
bool statOpenFolder(int fd, struct statx& sx);
// Reads the find data of the folder open as fd ("." of an enumeration); known is
// its statx when the caller has it already.
EntryStatus readOpenFolder(int fd, std::string_view displayName, std::string_view ruleName, FindData& data,
                           const struct statx* known = nullptr);

// Reads the stored attributes of an entry by path (following a link or not).
void readStoredAttributes(const char* path, bool followLink, StoredAttributes& stored);
// The same for the entry `name` of the folder open as dirFd (path is its full path).
void readStoredAttributesAt(int dirFd, const char* name, const char* path, bool followLink,
                            StoredAttributes& stored);

} // namespace tw
