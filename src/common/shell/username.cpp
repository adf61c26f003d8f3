#include "common/shell/username.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "common/fs/windowsname.h"

namespace tw {

bool isWindowsFileName(std::string_view name)
{
    return name != "." && name != ".." && isWindowsName(name);
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
