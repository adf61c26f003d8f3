#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The lines of a profile (INI) file, understood the way GetPrivateProfileString
// reads them and changed the way WritePrivateProfileString writes them; every
// line that is not changed is kept as it was, comments and blank lines included.
//
// A line "[name]" (blanks around it allowed, text after the last "]" ignored)
// starts a section; a line "key=value" inside a section is a key, its name and
// value trimmed; lines starting with ";", lines without "=" and lines before the
// first section are neither. Names compare without regard to case; where a name
// occurs twice, the first one counts.
class ProfileText {
public:
    explicit ProfileText(std::vector<std::string> lines);

    // Section names in file order, each name once.
    std::vector<std::string> sectionNames() const;
    // Key names of the section in file order; empty when it is missing.
    std::vector<std::string> keyNames(std::string_view section) const;
    // key and value of every key line of the section, in file order.
    std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;
    // The value of the key, nullopt when section or key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Sets key=value: in place when the key exists, else after the section's last
    // key, else in a new section at the end. True when a line changed.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    // Removes the key's lines from the section. True when a line went.
    bool removeKey(std::string_view section, std::string_view key);
    // Removes every section of that name with all its lines. True when a line went.
    bool removeSection(std::string_view section);

    const std::vector<std::string>& lines() const { return m_lines; }

private:
    struct Line {
        enum class Kind { Other, Section, Key } kind = Kind::Other;
        std::string name;
        std::string value;
    };

    static Line parse(std::string_view text);
    void reparse();
    // Index of the first header line of the section, or npos.
    size_t findSection(std::string_view section) const;
    // One past the last line of the section that starts at header.
    size_t sectionEnd(size_t header) const;

    std::vector<std::string> m_lines;
    std::vector<Line> m_parsed;
};

} // namespace tw
