#include "common/registry/namefold.h"

#include <cwctype>
#include <locale.h>

namespace tw {
namespace {

// glibc's built-in C.UTF-8 locale has the full Unicode case tables and does not
// depend on the user's environment.
locale_t caseLocale()
{
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return locale;
}

} // namespace

std::u16string foldName(std::u16string_view name)
{
    std::u16string folded(name);
    for (char16_t& c : folded) {
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char16_t>(c + 0x20);
        } else if (c < 0xD800 || c > 0xDFFF) {
            const wint_t lower = towlower_l(static_cast<wint_t>(c), caseLocale());
            // A mapping out of the basic plane cannot be held in one unit; keep the unit.
            if (lower <= 0xFFFF)
                c = static_cast<char16_t>(lower);
        }
    }
    return folded;
}

} // namespace tw
