#pragma once

#include <string>

#include "common/registry/hivefile.h"

namespace tw {

// Writes a hive in Wine's order: the header, then every key depth first, parent
// before children, subkeys and values sorted by folded name. A key that did not
// change since loading is written as the exact bytes it was loaded from; a changed
// key gets a new "[path] N" line and time stamp, keeps the loaded lines of its
// unchanged values and has its new values written as Wine writes them.
std::string writeHive(const HiveFile& file);

// Appends one key's block as Wine writes it (a blank line first).
void appendKeyBlock(std::string& out, const HiveKey& key, std::string_view lineEnd);

} // namespace tw
