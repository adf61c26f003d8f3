#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// A key path as callers write it, split into its names.
struct RegKeyPath {
    // The names as given (UTF-16) and folded for lookup.
    std::vector<std::u16string> names;
    std::vector<std::u16string> folds;
    // The path without leading or trailing backslash.
    std::string text;
};

// Splits "a\b\c" (one leading and one trailing backslash allowed, "" or "\" for the
// root itself); nullopt for an empty name inside the path or a path deeper than a
// hive may hold.
std::optional<RegKeyPath> parseRegKeyPath(std::string_view path);

} // namespace tw
