#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/registry/hivekey.h"
#include "common/registry/hivelines.h"

namespace tw {

// One value line of a key block, read with its continuation lines.
struct HiveValueLine {
    enum class Kind { Value, Kept, Error };
    Kind kind = Kind::Error;
    // Value: the whole value with its raw lines. Kept: name, fold and raw lines of a
    // value of an unknown form.
    HiveValue value;
    // Error: what is wrong, and on which line.
    std::string error;
    int errorLine = 0;
};

// Reads the value whose line is lines' current line, its name starting at column
// indent ("@" or a quote). Afterwards lines stands on the value's last line.
HiveValueLine parseValueLine(HiveLines& lines, size_t indent);

// Appends UTF-16 code units as little-endian bytes and a terminating NUL, the
// data of a text value as Windows returns it.
void appendUnitsAsBytes(std::vector<uint8_t>& data, std::u16string_view units);

} // namespace tw
