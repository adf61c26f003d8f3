#include "common/base/text.h"

#include <charconv>
#include <clocale>
#include <cwctype>
#include <locale.h>

namespace tw {
namespace {

constexpr char32_t Invalid = 0xFFFFFFFF;

// Decodes one code point at text[i] and advances i; Invalid for a bad sequence
// (i then moves by one byte).
char32_t decode(std::string_view text, size_t& i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    size_t length = 0;
    char32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        ++i;
        return Invalid;
    }
    if (i + length > text.size()) {
        ++i;
        return Invalid;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return Invalid;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    static constexpr char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return Invalid;
    }
    i += length;
    return cp;
}

void encode(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// glibc's built-in C.UTF-8 locale carries the full Unicode case tables and does
// not depend on the user's environment.
locale_t unicodeLocale()
{
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return locale;
}

template <typename Map>
std::string mapCase(std::string_view text, Map map, char asciiFrom, char asciiTo)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += (c >= static_cast<unsigned char>(asciiFrom) && c <= static_cast<unsigned char>(asciiTo))
                       ? static_cast<char>(c ^ 0x20) : static_cast<char>(c);
            ++i;
            continue;
        }
        const size_t start = i;
        const char32_t cp = decode(text, i);
        if (cp == Invalid) {
            out += text[start];
            continue;
        }
        encode(static_cast<char32_t>(map(static_cast<wint_t>(cp), unicodeLocale())), out);
    }
    return out;
}

} // namespace

std::string upperCase(std::string_view text)
{
    return mapCase(text, [](wint_t c, locale_t l) { return towupper_l(c, l); }, 'a', 'z');
}

std::string lowerCase(std::string_view text)
{
    return mapCase(text, [](wint_t c, locale_t l) { return towlower_l(c, l); }, 'A', 'Z');
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    return compareIgnoreCase(a, b) == 0;
}

int compareIgnoreCase(std::string_view a, std::string_view b)
{
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[j]);
        char32_t ua;
        char32_t ub;
        if (ca < 0x80 && cb < 0x80) {
            ua = (ca >= 'a' && ca <= 'z') ? ca ^ 0x20 : ca;
            ub = (cb >= 'a' && cb <= 'z') ? cb ^ 0x20 : cb;
            ++i;
            ++j;
        } else {
            const size_t si = i;
            const size_t sj = j;
            ua = decode(a, i);
            ub = decode(b, j);
            ua = ua == Invalid ? 0x110000 + static_cast<unsigned char>(a[si])
                               : static_cast<char32_t>(towupper_l(static_cast<wint_t>(ua), unicodeLocale()));
            ub = ub == Invalid ? 0x110000 + static_cast<unsigned char>(b[sj])
                               : static_cast<char32_t>(towupper_l(static_cast<wint_t>(ub), unicodeLocale()));
        }
        if (ua != ub)
            return ua < ub ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

bool containsIgnoreCase(std::string_view haystack, std::string_view needle)
{
    if (needle.empty())
        return true;
    return upperCase(haystack).find(upperCase(needle)) != std::string::npos;
}

std::string_view trim(std::string_view text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

bool isValidUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size())
        if (decode(text, i) == Invalid)
            return false;
    return true;
}

std::u16string toUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const char32_t cp = decode(text, i);
        if (cp == Invalid)
            continue;
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string toUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        encode(cp, out);
    }
    return out;
}

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string joinLinesCrLf(const std::vector<std::string>& lines)
{
    size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int32_t decodeUtf8(std::string_view text, size_t& pos)
{
    const char32_t cp = decode(text, pos);
    return cp == Invalid ? -1 : static_cast<int32_t>(cp);
}

std::string decimal(int64_t value)
{
    return std::to_string(value);
}

bool parseInt64(std::string_view text, int64_t& value)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace tw
