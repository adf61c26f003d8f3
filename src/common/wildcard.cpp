#include "common/wildcard.h"

#include "common/fs/findpattern.h"

namespace tw {

bool WildcardMatch(std::string_view wildcard, std::string_view name)
{
    // The "*" and "?" matcher that the file system's patterns use too; only an
    // empty wildcard differs: it matches nothing, not even an empty name.
    if (wildcard.empty())
        return false;
    return matchWildcards(wildcard, name);
}

CompiledWildcard::CompiledWildcard(std::string upperWildcard)
    : m_text(std::move(upperWildcard))
{
    const std::string_view text = m_text;
    const size_t firstWild = text.find_first_of("*?");
    const size_t lastWild = text.find_last_of("*?");
    if (text.empty()) {
        m_kind = Kind::Never;
    } else if (text == "*") {
        m_kind = Kind::All;
    } else if (firstWild == std::string_view::npos) {
        m_kind = Kind::Exact;
        m_literal = m_text;
    } else if (firstWild == 0 && lastWild == 0 && text[0] == '*') {
        m_kind = Kind::Suffix;
        m_literal = m_text.substr(1);
    } else if (firstWild == text.size() - 1 && text.back() == '*') {
        m_kind = Kind::Prefix;
        m_literal = m_text.substr(0, text.size() - 1);
    } else {
        // Whatever follows the last wildcard character must end the name, and
        // every literal run must occur in the name in order: cheap tests that
        // turn most names away before the full match.
        m_kind = Kind::General;
        m_literal = m_text.substr(lastWild + 1);
        size_t start = 0;
        while (start < lastWild) {
            const size_t end = text.find_first_of("*?", start);
            if (end > start)
                m_runs.emplace_back(text.substr(start, end - start));
            start = end + 1;
        }
    }
}

bool CompiledWildcard::matches(std::string_view upperName) const
{
    switch (m_kind) {
    case Kind::Never:
        return false;
    case Kind::All:
        return true;
    case Kind::Exact:
        return upperName == m_literal;
    case Kind::Suffix:
        return upperName.ends_with(m_literal);
    case Kind::Prefix:
        return upperName.starts_with(m_literal);
    case Kind::General: {
        if (!upperName.ends_with(m_literal))
            return false;
        size_t from = 0;
        for (const std::string& run : m_runs) {
            const size_t at = upperName.find(run, from);
            if (at == std::string_view::npos)
                return false;
            from = at + run.size();
        }
        return WildcardMatch(m_text, upperName);
    }
    }
    return false;
}

WildcardSet::WildcardSet(const std::vector<std::string>& upperWildcards)
    : m_empty(upperWildcards.empty())
{
    for (const std::string& text : upperWildcards) {
        CompiledWildcard wildcard(text);
        const std::string& literal = wildcard.literal();
        switch (wildcard.kind()) {
        case CompiledWildcard::Kind::Never:
            break;
        case CompiledWildcard::Kind::All:
            m_all = true;
            break;
        case CompiledWildcard::Kind::Exact:
        case CompiledWildcard::Kind::Suffix:
            if (literal.empty())
                m_general.push_back(std::move(wildcard));
            else
                m_byLast[static_cast<unsigned char>(literal.back())].push_back(std::move(wildcard));
            break;
        case CompiledWildcard::Kind::Prefix:
            if (literal.empty())
                m_general.push_back(std::move(wildcard));
            else
                m_byFirst[static_cast<unsigned char>(literal.front())].push_back(std::move(wildcard));
            break;
        case CompiledWildcard::Kind::General:
            m_general.push_back(std::move(wildcard));
            break;
        }
    }
}

bool WildcardSet::matchesAny(std::string_view upperName) const
{
    if (m_all)
        return true;
    if (!upperName.empty()) {
        for (const CompiledWildcard& wildcard : m_byLast[static_cast<unsigned char>(upperName.back())])
            if (wildcard.matches(upperName))
                return true;
        for (const CompiledWildcard& wildcard : m_byFirst[static_cast<unsigned char>(upperName.front())])
            if (wildcard.matches(upperName))
                return true;
    }
    for (const CompiledWildcard& wildcard : m_general)
        if (wildcard.matches(upperName))
            return true;
    return false;
}

} // namespace tw
