#include "common/fs/dosattributes.h"

#include <cstdio>
#include <sys/stat.h>

#include "common/base/text.h"

namespace tw {
namespace {

// Parses hex digits up to the end of text; nullopt when one is not a digit, there
// are none, or the number does not fit.
std::optional<uint64_t> parseHex(std::string_view text, size_t maxDigits)
{
    if (text.empty())
        return std::nullopt;
    // Leading zeros do not count against the width.
    while (text.size() > 1 && text.front() == '0')
        text.remove_prefix(1);
    if (text.size() > maxDigits)
        return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | static_cast<uint64_t>(digit);
    }
    return value;
}

} // namespace

std::optional<uint32_t> parseDosAttrib(std::string_view value)
{
    const size_t nul = value.find('\0');
    if (nul != std::string_view::npos)
        value = value.substr(0, nul);
    if (value.size() < 3 || value[0] != '0' || value[1] != 'x')
        return std::nullopt;
    const auto bits = parseHex(value.substr(2), 8);
    if (!bits)
        return std::nullopt;
    return static_cast<uint32_t>(*bits);
}

std::string formatDosAttrib(uint32_t attributes)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", attributes);
    return text;
}

uint32_t defaultStoredAttributes(std::string_view name, bool isFolder)
{
    uint32_t bits = isFolder ? 0 : FileAttribute::Archive;
    if (name.size() > 1 && name[0] == '.' && name != "..")
        bits |= FileAttribute::Hidden;
    return bits;
}

uint32_t attributesOf(mode_t mode, std::string_view name, const StoredAttributes& stored)
{
    const bool isFolder = S_ISDIR(mode);
    uint32_t attributes = isFolder ? FileAttribute::Directory : 0;
    if ((mode & 0222) == 0)
        attributes |= FileAttribute::ReadOnly;
    if (stored.dosAttrib)
        attributes |= *stored.dosAttrib & StoredAttributeMask;
    else if (stored.hasDosAttrib)
        attributes |= isFolder ? 0 : FileAttribute::Archive;
    else
        attributes |= defaultStoredAttributes(name, isFolder);
    return attributes;
}

std::optional<uint64_t> parseBirthTime(std::string_view value)
{
    return parseHex(value, 16);
}

std::string formatBirthTime(uint64_t fileTime)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(fileTime));
    return text;
}

} // namespace tw
