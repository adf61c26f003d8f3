#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw {

// True when the whole name matches the wildcard: "*" any run of characters (also
// none), "?" exactly one character, everything else itself; "*" alone matches every
// name and an empty wildcard matches nothing. Both texts are already upper-cased
// (tw::upperCase); characters are whole UTF-8 code points.
bool WildcardMatch(std::string_view wildcard, std::string_view name);

// One upper-cased wildcard prepared for many names: the same answers as
// WildcardMatch, with the common shapes ("*.tmp", "chklist.*", "files.bbs")
// answered by one comparison instead of a scan.
class CompiledWildcard {
public:
    explicit CompiledWildcard(std::string upperWildcard);
    // WildcardMatch(wildcard, upperName).
    bool matches(std::string_view upperName) const;

private:
    enum class Kind { Never, All, Exact, Suffix, Prefix, General };
    std::string m_text;
    std::string m_literal;
    std::vector<std::string> m_runs;
    Kind m_kind = Kind::Never;
};

} // namespace tw
