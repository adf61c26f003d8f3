#include "common/registry/hivevalueparser.h"

#include "common/base/text.h"
#include "common/registry/hivelines.h"
#include "common/registry/namefold.h"
#include "common/registry/regescape.h"
#include "common/registry/registry.h"

namespace tw {
namespace {

bool onlyBlanksFrom(std::string_view text, size_t pos)
{
    return skipHiveBlanks(text, pos) == text.size();
}

HiveValueLine failure(const HiveLines& lines, std::string what)
{
    HiveValueLine result;
    result.kind = HiveValueLine::Kind::Error;
    result.error = std::move(what);
    result.errorLine = lines.number();
    return result;
}

// The tag before a value's data and the type it stands for.
struct Tag {
    std::string_view text;
    uint32_t type;
    bool isText;
};

constexpr Tag TextTags[] = {
    {"\"", RegType::Sz, true},
    {"str:\"", RegType::Sz, true},
    {"str(2):\"", RegType::ExpandSz, true},
    {"str(7):\"", RegType::MultiSz, true},
};

// Reads "hex(N):" at pos: true with the type and pos past the colon.
bool readHexTypeTag(std::string_view line, size_t& pos, uint32_t& type)
{
    if (line.substr(pos, 4) != "hex(")
        return false;
    size_t p = pos + 4;
    uint32_t value = 0;
    size_t digits = 0;
    while (p < line.size() && hexDigitValue(line[p]) >= 0 && digits < 8) {
        value = value * 16 + static_cast<uint32_t>(hexDigitValue(line[p++]));
        ++digits;
    }
    if (digits == 0 || line.substr(p, 2) != "):")
        return false;
    type = value;
    pos = p + 2;
    return true;
}

// Reads comma-separated hex bytes from pos, following a trailing "\" to the next
// lines, the way Wine's loader does.
bool readHexBytes(HiveLines& lines, size_t pos, std::vector<uint8_t>& data, std::string& error)
{
    std::string_view line = lines.line();
    for (;;) {
        pos = skipHiveBlanks(line, pos);
        while (pos < line.size() && hexDigitValue(line[pos]) >= 0) {
            unsigned value = 0;
            while (pos < line.size() && hexDigitValue(line[pos]) >= 0) {
                value = value * 16 + static_cast<unsigned>(hexDigitValue(line[pos++]));
                if (value > 0xFF) {
                    error = "a hex byte is larger than ff";
                    return false;
                }
            }
            data.push_back(static_cast<uint8_t>(value));
            pos = skipHiveBlanks(line, pos);
            if (pos < line.size() && line[pos] == ',')
                pos = skipHiveBlanks(line, pos + 1);
        }
        if (pos >= line.size())
            return true;
        if (line[pos] != '\\' || !onlyBlanksFrom(line, pos + 1)) {
            error = "unexpected text in hex data";
            return false;
        }
        if (lines.nextStart() >= lines.text().size()) {
            error = "the hex data continues past the end of the file";
            return false;
        }
        lines.advance();
        line = lines.line();
        pos = 0;
    }
}

// A value of a form we do not know: its lines are kept, with any continuations.
void skipKeptContinuations(HiveLines& lines)
{
    for (;;) {
        const std::string_view line = lines.line();
        size_t end = line.size();
        while (end > 0 && isHiveBlank(line[end - 1]))
            --end;
        if (end == 0 || line[end - 1] != '\\')
            return;
        if (lines.nextStart() >= lines.text().size())
            return;
        lines.advance();
    }
}

} // namespace

void appendUnitsAsBytes(std::vector<uint8_t>& data, std::u16string_view units)
{
    data.reserve(units.size() * 2 + 2);
    for (const char16_t unit : units) {
        data.push_back(static_cast<uint8_t>(unit & 0xFF));
        data.push_back(static_cast<uint8_t>(unit >> 8));
    }
    data.push_back(0);
    data.push_back(0);
}

HiveValueLine parseValueLine(HiveLines& lines, size_t indent)
{
    const size_t rawStart = lines.lineStart();
    const std::string_view line = lines.line();
    HiveValueLine result;
    HiveValue& value = result.value;

    size_t pos = indent;
    if (line[pos] == '@') {
        ++pos;
    } else {
        ++pos;
        if (!parseEscaped(line, pos, '"', value.name))
            return failure(lines, "the value name has no closing quote");
    }
    value.fold = foldName(value.name);
    pos = skipHiveBlanks(line, pos);
    if (pos >= line.size() || line[pos] != '=')
        return failure(lines, "a value name without \"=\"");
    pos = skipHiveBlanks(line, pos + 1);

    for (const Tag& tag : TextTags) {
        if (line.substr(pos, tag.text.size()) != tag.text)
            continue;
        pos += tag.text.size();
        std::u16string units;
        if (!parseEscaped(line, pos, '"', units))
            return failure(lines, "the text has no closing quote");
        if (!onlyBlanksFrom(line, pos))
            return failure(lines, "unexpected text after the closing quote");
        value.type = tag.type;
        appendUnitsAsBytes(value.data, units);
        value.raw = lines.text().substr(rawStart, lines.nextStart() - rawStart);
        result.kind = HiveValueLine::Kind::Value;
        return result;
    }

    if (line.substr(pos, 6) == "dword:") {
        pos += 6;
        uint32_t dword = 0;
        size_t digits = 0;
        while (pos < line.size() && hexDigitValue(line[pos]) >= 0 && digits < 9) {
            dword = dword * 16 + static_cast<uint32_t>(hexDigitValue(line[pos++]));
            ++digits;
        }
        if (digits == 0 || digits > 8 || !onlyBlanksFrom(line, pos))
            return failure(lines, "a malformed dword value");
        value.type = RegType::Dword;
        value.data = {static_cast<uint8_t>(dword), static_cast<uint8_t>(dword >> 8), static_cast<uint8_t>(dword >> 16),
            static_cast<uint8_t>(dword >> 24)};
        value.raw = lines.text().substr(rawStart, lines.nextStart() - rawStart);
        result.kind = HiveValueLine::Kind::Value;
        return result;
    }

    uint32_t type = RegType::Binary;
    const bool isHex = line.substr(pos, 4) == "hex:" ? (pos += 4, true) : readHexTypeTag(line, pos, type);
    if (isHex) {
        value.type = type;
        std::string error;
        if (!readHexBytes(lines, pos, value.data, error))
            return failure(lines, error);
        value.raw = lines.text().substr(rawStart, lines.nextStart() - rawStart);
        result.kind = HiveValueLine::Kind::Value;
        return result;
    }

    skipKeptContinuations(lines);
    value.raw = lines.text().substr(rawStart, lines.nextStart() - rawStart);
    result.kind = HiveValueLine::Kind::Kept;
    return result;
}

} // namespace tw
