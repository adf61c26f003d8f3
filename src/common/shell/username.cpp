#include "common/shell/username.h"

#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

#include "common/base/text.h"

namespace tw {

bool isWindowsFileName(std::string_view name)
{
    if (name.empty() || name == "." || name == ".." || !isValidUtf8(name))
        return false;
    for (unsigned char c : name) {
        if (c < 0x20 || std::strchr("\\/:*?\"<>|", c))
            return false;
    }
    return true;
}

std::string hostUserName()
{
    if (const char* user = std::getenv("USER"); user && isWindowsFileName(user))
        return user;
    if (const passwd* account = ::getpwuid(::geteuid()); account && account->pw_name && isWindowsFileName(account->pw_name))
        return account->pw_name;
    return "user";
}

} // namespace tw
