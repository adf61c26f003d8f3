#include "common/fs/windowsname.h"

#include "common/base/text.h"

namespace tw {
namespace {

bool check(std::string_view name, bool wildcardsAllowed)
{
    if (name.empty())
        return false;
    bool ascii = true;
    for (const char ch : name) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            ascii = false;
            continue;
        }
        if (c < 0x20)
            return false;
        switch (c) {
        case '*':
        case '?':
            if (!wildcardsAllowed)
                return false;
            break;
        case '\\':
        case '/':
        case ':':
        case '"':
        case '<':
        case '>':
        case '|':
            return false;
        default:
            break;
        }
    }
    // The UTF-8 check is the slow part; most names are plain ASCII.
    return ascii || isValidUtf8(name);
}

} // namespace

bool isWindowsName(std::string_view name)
{
    return check(name, false);
}

bool isWindowsPattern(std::string_view pattern)
{
    return check(pattern, true);
}

} // namespace tw
