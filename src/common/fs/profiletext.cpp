#include "common/fs/profiletext.h"

#include "common/base/text.h"

namespace tw {
namespace {

constexpr size_t npos = static_cast<size_t>(-1);

bool containsIgnoringCase(const std::vector<std::string>& names, std::string_view name)
{
    for (const auto& n : names)
        if (equalsIgnoreCase(n, name))
            return true;
    return false;
}

} // namespace

ProfileText::ProfileText(std::vector<std::string> lines)
    : m_lines(std::move(lines))
{
    reparse();
}

ProfileText::Line ProfileText::parse(std::string_view text)
{
    Line line;
    const std::string_view t = trim(text);
    if (t.empty() || t.front() == ';')
        return line;
    if (t.front() == '[') {
        const size_t close = t.rfind(']');
        if (close != std::string_view::npos) {
            line.kind = Line::Kind::Section;
            line.name = std::string(trim(t.substr(1, close - 1)));
            return line;
        }
    }
    const size_t equals = t.find('=');
    if (equals == std::string_view::npos)
        return line;
    const std::string_view name = trim(t.substr(0, equals));
    if (name.empty())
        return line;
    line.kind = Line::Kind::Key;
    line.name = std::string(name);
    line.value = std::string(trim(t.substr(equals + 1)));
    return line;
}

void ProfileText::reparse()
{
    m_parsed.clear();
    m_parsed.reserve(m_lines.size());
    for (const auto& text : m_lines) {
        std::string_view line = text;
        // A file saved by a Windows editor may start with a UTF-8 byte order mark.
        if (m_parsed.empty() && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3);
        m_parsed.push_back(parse(line));
    }
}

size_t ProfileText::findSection(std::string_view section) const
{
    const std::string_view wanted = trim(section);
    for (size_t i = 0; i < m_parsed.size(); ++i)
        if (m_parsed[i].kind == Line::Kind::Section && equalsIgnoreCase(m_parsed[i].name, wanted))
            return i;
    return npos;
}

size_t ProfileText::sectionEnd(size_t header) const
{
    size_t i = header + 1;
    while (i < m_parsed.size() && m_parsed[i].kind != Line::Kind::Section)
        ++i;
    return i;
}

std::vector<std::string> ProfileText::sectionNames() const
{
    std::vector<std::string> names;
    for (const auto& line : m_parsed)
        if (line.kind == Line::Kind::Section && !containsIgnoringCase(names, line.name))
            names.push_back(line.name);
    return names;
}

std::vector<std::string> ProfileText::keyNames(std::string_view section) const
{
    std::vector<std::string> names;
    for (auto& [key, value] : entries(section))
        if (!containsIgnoringCase(names, key))
            names.push_back(key);
    return names;
}

std::vector<std::pair<std::string, std::string>> ProfileText::entries(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> result;
    const size_t header = findSection(section);
    if (header == npos)
        return result;
    const size_t end = sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i)
        if (m_parsed[i].kind == Line::Kind::Key)
            result.emplace_back(m_parsed[i].name, m_parsed[i].value);
    return result;
}

std::optional<std::string> ProfileText::value(std::string_view section, std::string_view key) const
{
    const size_t header = findSection(section);
    if (header == npos)
        return std::nullopt;
    const std::string_view wanted = trim(key);
    const size_t end = sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i)
        if (m_parsed[i].kind == Line::Kind::Key && equalsIgnoreCase(m_parsed[i].name, wanted))
            return m_parsed[i].value;
    return std::nullopt;
}

bool ProfileText::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view name = trim(key);
    const std::string_view text = value;
    const size_t header = findSection(section);
    if (header == npos) {
        m_lines.push_back("[" + std::string(trim(section)) + "]");
        m_lines.push_back(std::string(name) + "=" + std::string(text));
        reparse();
        return true;
    }
    const size_t end = sectionEnd(header);
    size_t lastKey = header;
    for (size_t i = header + 1; i < end; ++i) {
        if (m_parsed[i].kind != Line::Kind::Key)
            continue;
        lastKey = i;
        if (!equalsIgnoreCase(m_parsed[i].name, name))
            continue;
        if (m_parsed[i].value == trim(text))
            return false;
        // The key keeps the spelling it has in the file.
        m_lines[i] = m_parsed[i].name + "=" + std::string(text);
        reparse();
        return true;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(lastKey + 1),
                   std::string(name) + "=" + std::string(text));
    reparse();
    return true;
}

bool ProfileText::removeKey(std::string_view section, std::string_view key)
{
    const size_t header = findSection(section);
    if (header == npos)
        return false;
    const std::string_view name = trim(key);
    const size_t end = sectionEnd(header);
    bool removed = false;
    for (size_t i = end; i-- > header + 1;) {
        if (m_parsed[i].kind == Line::Kind::Key && equalsIgnoreCase(m_parsed[i].name, name)) {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
            removed = true;
        }
    }
    if (removed)
        reparse();
    return removed;
}

bool ProfileText::removeSection(std::string_view section)
{
    bool removed = false;
    for (size_t header = findSection(section); header != npos; header = findSection(section)) {
        const size_t end = sectionEnd(header);
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(header),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(end));
        reparse();
        removed = true;
    }
    return removed;
}

} // namespace tw
