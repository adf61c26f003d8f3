#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The escapes of Wine's registry text format. Written text is pure ASCII: "\" and
// the two quote characters of the context get a backslash, code units above 0x7F
// become "\x" hex, units below 0x20 a C escape or octal. Reading also accepts raw
// UTF-8 bytes.
namespace tw {

// Appends the escaped form of text; quotes are the two characters that need a
// backslash besides "\" ('"' twice for names and data, '[' and ']' for key paths).
// Returns the number of characters appended.
size_t appendEscaped(std::string& out, std::u16string_view text, char quoteA, char quoteB);

// Decodes escaped text from source[pos] up to the first unescaped terminator,
// appending code units to out; pos then points just past the terminator. False
// when the terminator is missing (pos is then unspecified).
bool parseEscaped(std::string_view source, size_t& pos, char terminator, std::u16string& out);

} // namespace tw
