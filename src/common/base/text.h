#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Text helpers for the program's UTF-8 strings (the "system code page" is UTF-8).
// Upper-casing and case-blind comparison are Unicode-aware, not byte-wise.
namespace tw {

// Upper-cases every code point by the Unicode simple mapping; invalid bytes stay.
std::string upperCase(std::string_view text);
// Lower-cases every code point by the Unicode simple mapping; invalid bytes stay.
std::string lowerCase(std::string_view text);
// True when the texts are equal after upper-casing both.
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// Orders texts by their upper-cased code points (negative, zero, positive).
int compareIgnoreCase(std::string_view a, std::string_view b);
// True when needle occurs in haystack, both compared upper-cased.
bool containsIgnoreCase(std::string_view haystack, std::string_view needle);

// Strips leading and trailing characters up to the blank (control characters too).
std::string_view trim(std::string_view text);

// True when the bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view text);
// UTF-8 to UTF-16; invalid bytes are dropped.
std::u16string toUtf16(std::string_view text);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string toUtf8(std::u16string_view text);

// Splits a text into lines at CR LF, CR or LF; a final line end adds no empty line.
std::vector<std::string> splitLines(std::string_view text);
// Joins lines with CR LF after every line, the last one included.
std::string joinLinesCrLf(const std::vector<std::string>& lines);

// The value of one hexadecimal digit (either case); -1 for any other character.
int hexDigitValue(char c);

// Decodes the UTF-8 sequence at text[pos] and moves pos past it; a malformed
// sequence (overlong, surrogate, truncated) gives -1 and moves pos by one byte.
int32_t decodeUtf8(std::string_view text, size_t& pos);

// The decimal text of a number.
std::string decimal(int64_t value);
// Parses a whole decimal number (optional sign, no blanks); false when it is not one.
bool parseInt64(std::string_view text, int64_t& value);

} // namespace tw
