#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tw {

// Replaces (or creates) a host file with the given bytes atomically: a temporary
// file in the same folder, fsync, rename over the target, fsync of the folder.
// A failure leaves the old file as it was; the error text says what failed.
bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes, std::string* error = nullptr);

// Reads a whole host file; false when it cannot be opened or read.
bool readWholeFile(const std::filesystem::path& file, std::string& bytes);

} // namespace tw
