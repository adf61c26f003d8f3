#pragma once

#include <string>
#include <string_view>

#include "common/registry/hivekey.h"

namespace tw {

// Appends a value's lines in the form Wine writes them: "@=" or "\"name\"=", then a
// string form for a properly NUL-terminated text type, "dword:" for a 4-byte
// REG_DWORD, else "hex:" / "hex(N):" bytes wrapped after a comma once the line
// passes 76 characters. Every line ends with eol.
void appendValueLines(std::string& out, const HiveValue& value, std::string_view eol);

// Appends a FILETIME as Wine's "#time=" option writes it (high part unpadded hex,
// low part eight digits).
void appendTimeOption(std::string& out, uint64_t filetime);

// Converts between FILETIME and Unix seconds (the number after a key's "]").
uint32_t unixSecondsFromFiletime(uint64_t filetime);
uint64_t filetimeFromUnixSeconds(uint64_t seconds);

} // namespace tw
