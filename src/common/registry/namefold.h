#pragma once

#include <string>
#include <string_view>

namespace tw {

// The folded form of a key or value name: every UTF-16 code unit lower-cased
// (surrogates stay as they are). Wine orders names by comparing these forms unit by
// unit, the shorter first on an equal prefix, and compares names by them without
// regard to case; std::u16string's own ordering is exactly that.
std::u16string foldName(std::u16string_view name);

} // namespace tw
