#include "common/registry/hivevalueformat.h"

#include <cstdio>

#include "common/registry/regescape.h"
#include "common/registry/registry.h"

namespace tw {
namespace {

constexpr uint64_t TicksPerSecond = 10000000ULL;
constexpr uint64_t TicksFrom1601To1970 = 116444736000000000ULL;
constexpr char HexDigits[] = "0123456789abcdef";

// The data as UTF-16 units when Wine would write it in string form: an even length
// of at least one unit whose last unit is NUL.
bool isTerminatedText(const HiveValue& value)
{
    const size_t size = value.data.size();
    return size >= 2 && size % 2 == 0 && value.data[size - 2] == 0 && value.data[size - 1] == 0;
}

std::u16string unitsWithoutTerminator(const std::vector<uint8_t>& data)
{
    std::u16string units;
    units.reserve(data.size() / 2);
    for (size_t i = 0; i + 2 < data.size(); i += 2)
        units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    return units;
}

} // namespace

void appendValueLines(std::string& out, const HiveValue& value, std::string_view eol)
{
    size_t count;
    if (value.name.empty()) {
        out += "@=";
        count = 2;
    } else {
        out += '"';
        count = 1 + appendEscaped(out, value.name, '"', '"');
        out += "\"=";
        count += 2;
    }

    const bool textType = value.type == RegType::Sz || value.type == RegType::ExpandSz || value.type == RegType::MultiSz;
    if (textType && isTerminatedText(value)) {
        if (value.type != RegType::Sz) {
            char tag[24];
            std::snprintf(tag, sizeof tag, "str(%x):", value.type);
            out += tag;
        }
        out += '"';
        appendEscaped(out, unitsWithoutTerminator(value.data), '"', '"');
        out += '"';
        out += eol;
        return;
    }
    if (value.type == RegType::Dword && value.data.size() == 4) {
        const uint32_t dword = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16)
            | (static_cast<uint32_t>(value.data[3]) << 24);
        char text[24];
        std::snprintf(text, sizeof text, "dword:%08x", dword);
        out += text;
        out += eol;
        return;
    }

    char tag[24];
    const int tagLength = value.type == RegType::Binary ? std::snprintf(tag, sizeof tag, "hex:")
                                                      : std::snprintf(tag, sizeof tag, "hex(%x):", value.type);
    out += tag;
    count += static_cast<size_t>(tagLength);
    const size_t size = value.data.size();
    for (size_t i = 0; i < size; ++i) {
        out += HexDigits[value.data[i] >> 4];
        out += HexDigits[value.data[i] & 0xF];
        count += 2;
        if (i + 1 < size) {
            out += ',';
            if (++count > 76) {
                out += '\\';
                out += eol;
                out += "  ";
                count = 2;
            }
        }
    }
    out += eol;
}

void appendTimeOption(std::string& out, uint64_t filetime)
{
    char text[40];
    std::snprintf(text, sizeof text, "#time=%x%08x", static_cast<unsigned>(filetime >> 32),
        static_cast<unsigned>(filetime & 0xFFFFFFFFu));
    out += text;
}

uint32_t unixSecondsFromFiletime(uint64_t filetime)
{
    // Wine computes this in signed 64 bits and keeps the low 32 bits.
    const int64_t seconds = (static_cast<int64_t>(filetime) - static_cast<int64_t>(TicksFrom1601To1970))
        / static_cast<int64_t>(TicksPerSecond);
    return static_cast<uint32_t>(seconds);
}

uint64_t filetimeFromUnixSeconds(uint64_t seconds)
{
    return seconds * TicksPerSecond + TicksFrom1601To1970;
}

} // namespace tw
