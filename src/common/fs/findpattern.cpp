#include "common/fs/findpattern.h"

#include "common/base/text.h"

namespace tw {
namespace {

// Length of the UTF-8 character that starts at text[i].
size_t characterLength(std::string_view text, size_t i)
{
    size_t n = 1;
    while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

bool isAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

FindPattern::FindPattern(std::string_view pattern)
{
    m_upper = upperCase(pattern);
    if (pattern == "*" || pattern == "*.*") {
        m_kind = Kind::Everything;
        return;
    }
    const size_t wild = m_upper.find_first_of("*?");
    if (wild == std::string::npos) {
        m_kind = Kind::Literal;
    } else if (m_upper.size() > 1 && m_upper[0] == '*' && m_upper.find_first_of("*?", 1) == std::string::npos) {
        // "*.pf", "*.lnk": a plain suffix test, the pattern of most walks.
        m_kind = Kind::Suffix;
        m_upper.erase(0, 1);
    }
}

std::string_view FindPattern::upperName(std::string_view name) const
{
    if (!isAscii(name)) {
        m_buffer = upperCase(name);
        return m_buffer;
    }
    m_buffer.resize(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        m_buffer[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return m_buffer;
}

bool FindPattern::matches(std::string_view name) const
{
    switch (m_kind) {
    case Kind::Everything:
        return true;
    case Kind::Literal:
        return equalsIgnoreCase(name, m_upper);
    case Kind::Suffix: {
        const std::string_view upper = upperName(name);
        // Both texts are upper-cased UTF-8, so a byte suffix is a character suffix.
        return upper.size() >= m_upper.size()
            && upper.compare(upper.size() - m_upper.size(), m_upper.size(), m_upper) == 0;
    }
    case Kind::General:
        return matchWildcards(m_upper, upperName(name));
    }
    return false;
}

bool matchWildcards(std::string_view pattern, std::string_view name)
{
    size_t p = 0;
    size_t n = 0;
    // Where the last "*" was seen, and the name position it currently stands for.
    size_t starP = std::string_view::npos;
    size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
            continue;
        }
        if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += characterLength(name, n);
            continue;
        }
        if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
            continue;
        }
        if (starP == std::string_view::npos)
            return false;
        // Let the last "*" take one more character and try again after it.
        starN += characterLength(name, starN);
        n = starN;
        p = starP + 1;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace tw
