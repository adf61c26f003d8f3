#pragma once

#include <string>
#include <string_view>

namespace tw {

// The name of the user's Windows profile folder (C:\users\<name>): $USER when it
// is a name Windows can hold, else the account name, else "user".
std::string hostUserName();

// True for a text that Windows accepts as one file name.
bool isWindowsFileName(std::string_view name);

} // namespace tw
