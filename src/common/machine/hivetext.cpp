#include "common/machine/hivetext.h"

#include <algorithm>
#include <cstdio>

#include "common/base/text.h"
#include "common/registry/regescape.h"

namespace tw {
namespace {

std::vector<std::string> splitPath(std::string_view path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('\\', start), path.size());
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string format(const char* pattern, unsigned value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

// The key path as written between the brackets: components escaped and joined by "\\".
std::string keyLine(const std::vector<std::string>& components)
{
    std::string line;
    for (size_t i = 0; i < components.size(); ++i) {
        if (i > 0)
            line += "\\\\";
        appendEscaped(line, toUtf16(components[i]), '[', ']');
    }
    return line;
}

} // namespace

HiveText::HiveText(std::string relativeTo) : m_relativeTo(std::move(relativeTo)) {}

HiveText::Key& HiveText::key(std::string_view path)
{
    std::vector<std::string> components = splitPath(path);
    std::string id;
    for (const std::string& part : components)
        id += lowerCase(part) + '\\';
    auto [it, added] = m_keys.try_emplace(id);
    if (added)
        it->second.components = std::move(components);
    return it->second;
}

void HiveText::addKey(std::string_view path) { key(path); }

void HiveText::setValue(std::string_view path, std::string_view name, std::string encoded)
{
    Key& k = key(path);
    for (Value& value : k.values) {
        if (equalsIgnoreCase(value.name, name)) {
            value.encoded = std::move(encoded);
            return;
        }
    }
    k.values.push_back({std::string(name), std::move(encoded)});
}

void HiveText::setString(std::string_view path, std::string_view name, std::string_view text)
{
    setValue(path, name, "\"" + escape(text) + "\"");
}

void HiveText::setExpandString(std::string_view path, std::string_view name, std::string_view text)
{
    setValue(path, name, "str(2):\"" + escape(text) + "\"");
}

void HiveText::setDword(std::string_view path, std::string_view name, uint32_t value)
{
    setValue(path, name, "dword:" + format("%08x", value));
}

std::string HiveText::escape(std::string_view utf8)
{
    std::string out;
    appendEscaped(out, toUtf16(utf8), '"', '"');
    return out;
}

bool HiveText::lessName(std::string_view a, std::string_view b)
{
    const std::u16string la = toUtf16(lowerCase(a));
    const std::u16string lb = toUtf16(lowerCase(b));
    return la < lb; // lexicographic on code units: an equal prefix puts the shorter first
}

std::string HiveText::text(int64_t unixSeconds, uint32_t nanoseconds) const
{
    std::vector<const Key*> keys;
    for (const auto& [id, k] : m_keys)
        keys.push_back(&k);
    // Depth first, parent before children, siblings in Wine's name order.
    std::sort(keys.begin(), keys.end(), [](const Key* a, const Key* b) {
        const size_t common = std::min(a->components.size(), b->components.size());
        for (size_t i = 0; i < common; ++i) {
            if (lessName(a->components[i], b->components[i]))
                return true;
            if (lessName(b->components[i], a->components[i]))
                return false;
        }
        return a->components.size() < b->components.size();
    });

    // FILETIME: 100 ns ticks since 1601-01-01.
    const uint64_t fileTime = static_cast<uint64_t>(unixSeconds) * 10000000u + nanoseconds / 100u + 116444736000000000ull;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%llx", static_cast<unsigned long long>(fileTime));

    std::string out = "WINE REGISTRY Version 2\n;; All keys relative to " + escape(m_relativeTo) + "\n\n#arch=win64\n";
    for (size_t i = 0; i < keys.size(); ++i) {
        const Key& k = *keys[i];
        // A key without values is implied by its children; only empty leaves are written.
        const bool hasChildren = i + 1 < keys.size() && keys[i + 1]->components.size() > k.components.size()
            && std::equal(k.components.begin(), k.components.end(), keys[i + 1]->components.begin(),
                          [](const std::string& x, const std::string& y) { return equalsIgnoreCase(x, y); });
        if (k.values.empty() && hasChildren)
            continue;
        out += "\n[" + keyLine(k.components) + "] " + decimal(unixSeconds) + "\n#time=" + stamp + "\n";
        std::vector<const Value*> values;
        for (const Value& value : k.values)
            values.push_back(&value);
        std::sort(values.begin(), values.end(), [](const Value* a, const Value* b) { return lessName(a->name, b->name); });
        for (const Value* value : values)
            out += (value->name.empty() ? std::string("@") : "\"" + escape(value->name) + "\"") + "=" + value->encoded + "\n";
    }
    return out;
}

} // namespace tw
