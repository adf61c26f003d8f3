#pragma once

#include <string_view>

namespace tw {

// True when the whole name matches the wildcard: "*" any run of characters (also
// none), "?" exactly one character, everything else itself; "*" alone matches every
// name and an empty wildcard matches nothing. Both texts are already upper-cased
// (tw::upperCase); characters are whole UTF-8 code points.
bool WildcardMatch(std::string_view wildcard, std::string_view name);

} // namespace tw
