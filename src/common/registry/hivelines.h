#pragma once

#include <cstddef>
#include <string_view>

namespace tw {

// The blanks Wine's loader skips between the parts of a line.
inline bool isHiveBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The first position at or after pos that is not a blank.
inline size_t skipHiveBlanks(std::string_view text, size_t pos)
{
    while (pos < text.size() && isHiveBlank(text[pos]))
        ++pos;
    return pos;
}

// Walks a hive file's text line by line, keeping where each line starts so that
// blocks and values can be kept as the exact bytes they were loaded from.
class HiveLines {
public:
    explicit HiveLines(std::string_view text) : m_text(text) { find(); }

    bool atEnd() const { return m_start >= m_text.size(); }
    // The current line without its line end ("\n" or "\r\n").
    std::string_view line() const { return m_text.substr(m_start, m_end - m_start); }
    // Offset of the current line and of the line after it.
    size_t lineStart() const { return m_start; }
    size_t nextStart() const { return m_next; }
    // 1-based number of the current line.
    int number() const { return m_number; }
    void advance()
    {
        m_start = m_next;
        ++m_number;
        find();
    }
    std::string_view text() const { return m_text; }

private:
    void find()
    {
        const size_t newline = m_text.find('\n', m_start);
        m_next = newline == std::string_view::npos ? m_text.size() : newline + 1;
        m_end = newline == std::string_view::npos ? m_text.size() : newline;
        if (m_end > m_start && m_text[m_end - 1] == '\r')
            --m_end;
    }

    std::string_view m_text;
    size_t m_start = 0;
    size_t m_end = 0;
    size_t m_next = 0;
    int m_number = 1;
};

} // namespace tw
