#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// A new registry hive file in Wine's text format, built in memory: the keys and
// values a fresh prefix starts with, written the way Wine writes them (header,
// relative-to line, #arch, keys depth first and sorted without regard to case,
// time stamps, escapes), so that Wine and our registry read it alike.
namespace tw {

class HiveText {
public:
    // relativeTo is the comment's root, e.g. "REGISTRY\\Machine" (single backslashes).
    explicit HiveText(std::string relativeTo);

    // Adds a key (and nothing else: an empty leaf key is written as such).
    void addKey(std::string_view path);
    // Adds a REG_SZ / REG_EXPAND_SZ / REG_DWORD value to a key, adding the key.
    void setString(std::string_view path, std::string_view name, std::string_view text);
    void setExpandString(std::string_view path, std::string_view name, std::string_view text);
    void setDword(std::string_view path, std::string_view name, uint32_t value);

    // The file's text, every key stamped with the given Unix time.
    std::string text(int64_t unixSeconds, uint32_t nanoseconds = 0) const;

    // A text escaped as Wine escapes names and string data.
    static std::string escape(std::string_view utf8);
    // Wine's order of names: UTF-16 lower-cased, an equal prefix puts the shorter first.
    static bool lessName(std::string_view a, std::string_view b);

private:
    struct Value {
        std::string name;
        std::string encoded; // the text after "=" as written in the file
    };
    struct Key {
        std::vector<std::string> components;
        std::vector<Value> values;
    };
    Key& key(std::string_view path);
    void setValue(std::string_view path, std::string_view name, std::string encoded);

    std::string m_relativeTo;
    std::map<std::string, Key> m_keys; // by lower-cased path, for lookup only
};

} // namespace tw
