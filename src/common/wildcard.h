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
    enum class Kind { Never, All, Exact, Suffix, Prefix, General };

    explicit CompiledWildcard(std::string upperWildcard);
    // WildcardMatch(wildcard, upperName).
    bool matches(std::string_view upperName) const;
    Kind kind() const { return m_kind; }
    // The text a name must equal, end with or begin with (Exact, Suffix, Prefix).
    const std::string& literal() const { return m_literal; }

private:
    std::string m_text;
    std::string m_literal;
    std::vector<std::string> m_runs;
    Kind m_kind = Kind::Never;
};

// A list of upper-cased wildcards asked whether any of them matches a name.
// Wildcards that need a fixed first or last character are kept by that character,
// so a name is compared only with the few that can match it.
class WildcardSet {
public:
    explicit WildcardSet(const std::vector<std::string>& upperWildcards);
    // True when the list was empty.
    bool empty() const { return m_empty; }
    // True when one of the wildcards matches the upper-cased name.
    bool matchesAny(std::string_view upperName) const;

private:
    bool m_empty = true;
    bool m_all = false;
    std::vector<CompiledWildcard> m_byLast[256];   // Exact and Suffix with a literal
    std::vector<CompiledWildcard> m_byFirst[256];  // Prefix with a literal
    std::vector<CompiledWildcard> m_general;
};

} // namespace tw
