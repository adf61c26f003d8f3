#include "common/registry/regescape.h"

#include "common/base/text.h"

namespace tw {
namespace {

constexpr char HexDigits[] = "0123456789abcdef";

bool isHexDigit(char16_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void appendHex(std::string& out, unsigned value, int minDigits)
{
    char buffer[8];
    int n = 0;
    do {
        buffer[n++] = HexDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (n < minDigits)
        buffer[n++] = '0';
    while (n > 0)
        out += buffer[--n];
}

void appendOctal(std::string& out, unsigned value, int minDigits)
{
    char buffer[8];
    int n = 0;
    do {
        buffer[n++] = static_cast<char>('0' + (value & 7));
        value >>= 3;
    } while (value != 0);
    while (n < minDigits)
        buffer[n++] = '0';
    while (n > 0)
        out += buffer[--n];
}

// The C escape letter of a control character, or 0 when it has none.
char controlEscape(char16_t c)
{
    switch (c) {
    case 0x07: return 'a';
    case 0x08: return 'b';
    case 0x09: return 't';
    case 0x0A: return 'n';
    case 0x0B: return 'v';
    case 0x0C: return 'f';
    case 0x0D: return 'r';
    case 0x1B: return 'e';
    default: return 0;
    }
}

// Decodes one UTF-8 sequence at source[pos] (a byte of 0x80 or above) and appends it
// as UTF-16; an invalid sequence drops its first byte, as Wine's loader does.
void appendUtf8(std::string_view source, size_t& pos, std::u16string& out)
{
    const int32_t decoded = decodeUtf8(source, pos);
    if (decoded < 0)
        return;
    const char32_t cp = static_cast<char32_t>(decoded);
    if (cp >= 0x10000) {
        out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
        out += static_cast<char16_t>(cp);
    }
}

} // namespace

size_t appendEscaped(std::string& out, std::u16string_view text, char quoteA, char quoteB)
{
    const size_t start = out.size();
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool hasNext = i + 1 < text.size();
        const char16_t next = hasNext ? text[i + 1] : 0;
        if (c > 0x7F) {
            // Four digits when the next character would otherwise be read as a digit.
            out += "\\x";
            appendHex(out, c, hasNext && next < 0x80 && isHexDigit(next) ? 4 : 1);
        } else if (c < 0x20) {
            out += '\\';
            if (const char letter = controlEscape(c))
                out += letter;
            else
                appendOctal(out, c, hasNext && next >= '0' && next <= '7' ? 3 : 1);
        } else {
            if (c == '\\' || c == static_cast<unsigned char>(quoteA) || c == static_cast<unsigned char>(quoteB))
                out += '\\';
            out += static_cast<char>(c);
        }
    }
    return out.size() - start;
}

bool parseEscaped(std::string_view source, size_t& pos, char terminator, std::u16string& out)
{
    while (pos < source.size()) {
        const char c = source[pos];
        if (c == terminator) {
            ++pos;
            return true;
        }
        if (static_cast<unsigned char>(c) >= 0x80) {
            appendUtf8(source, pos, out);
            continue;
        }
        if (c != '\\') {
            out += static_cast<char16_t>(static_cast<unsigned char>(c));
            ++pos;
            continue;
        }
        ++pos;
        if (pos >= source.size())
            return false;
        const char e = source[pos++];
        switch (e) {
        case 'a': out += u'\a'; break;
        case 'b': out += u'\b'; break;
        case 'e': out += char16_t(0x1B); break;
        case 'f': out += u'\f'; break;
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case 'v': out += u'\v'; break;
        case 'x': {
            // Up to four hex digits; "\x" without one is a plain "x".
            if (pos >= source.size() || !isHexDigit(static_cast<unsigned char>(source[pos]))) {
                out += u'x';
                break;
            }
            unsigned value = 0;
            for (int k = 0; k < 4 && pos < source.size() && isHexDigit(static_cast<unsigned char>(source[pos])); ++k)
                value = value * 16 + static_cast<unsigned>(hexDigitValue(source[pos++]));
            out += static_cast<char16_t>(value);
            break;
        }
        case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': {
            unsigned value = static_cast<unsigned>(e - '0');
            for (int k = 0; k < 2 && pos < source.size() && source[pos] >= '0' && source[pos] <= '7'; ++k)
                value = value * 8 + static_cast<unsigned>(source[pos++] - '0');
            out += static_cast<char16_t>(value);
            break;
        }
        default:
            // Any other escaped character stands for itself; a raw UTF-8 one too.
            if (static_cast<unsigned char>(e) >= 0x80) {
                --pos;
                appendUtf8(source, pos, out);
            } else {
                out += static_cast<char16_t>(static_cast<unsigned char>(e));
            }
            break;
        }
    }
    return false;
}

} // namespace tw
