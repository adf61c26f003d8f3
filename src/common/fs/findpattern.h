#pragma once

#include <string>
#include <string_view>

namespace tw {

// The last component of a FindFirstFile pattern, matched the way the platform
// matches it: without regard to case, "*" any run of characters (an empty one
// too), "?" exactly one character, and "*.*" every name, names without a dot
// included (unlike the search facility's own wildcards).
class FindPattern {
public:
    explicit FindPattern(std::string_view pattern);

    // True when the name matches. Not thread-safe: it reuses one buffer.
    bool matches(std::string_view name) const;
    // True when every name matches ("*" or "*.*").
    bool matchesEverything() const { return m_kind == Kind::Everything; }
    // True when the pattern has no wildcard: it names one entry.
    bool isLiteral() const { return m_kind == Kind::Literal; }

private:
    enum class Kind { Everything, Literal, Suffix, General };

    std::string_view upperName(std::string_view name) const;

    Kind m_kind = Kind::General;
    std::string m_upper; // the pattern upper-cased; for Suffix, the text after "*"
    mutable std::string m_buffer;
};

// Matches an upper-cased name against an upper-cased pattern with "*" and "?",
// "?" taking one UTF-8 character.
bool matchWildcards(std::string_view pattern, std::string_view name);

} // namespace tw
