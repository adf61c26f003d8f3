#pragma once

#include <string_view>

namespace tw {

// True when a host file name can be held by Windows: not empty, valid UTF-8, and
// free of the characters \ : * ? " < > | and control characters. Names that fail
// are invisible: enumeration skips them and no Windows path can address them.
bool isWindowsName(std::string_view name);

// True when the text is a Windows find pattern: a Windows name in which "*" and
// "?" are allowed as wildcards.
bool isWindowsPattern(std::string_view pattern);

} // namespace tw
