#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/registry/registry.h"

// Reading text values without the exceptions of RegKey::readString: the shell's
// lookups treat a value of the wrong type like a missing one.
namespace tw {

struct RegistryText {
    std::string text;
    bool expandable = false; // REG_EXPAND_SZ
};

// The text of a REG_SZ or REG_EXPAND_SZ value, cut at its first NUL; nullopt for a
// missing value or another type.
std::optional<RegistryText> readRegistryText(const RegKey& key, std::string_view name);
std::optional<RegistryText> readRegistryText(Registry& registry, RegRoot root, std::string_view path,
                                             std::string_view name);

} // namespace tw
