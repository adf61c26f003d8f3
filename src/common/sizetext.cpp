#include "common/sizetext.h"

#include <cstdio>

namespace tw {
namespace {

// bytes / unit with two decimals, halves rounded away from zero. Done in integers
// (whole units plus the rounded hundredths of the remainder) so that no count,
// however large, loses a digit or overflows.
std::string inUnit(int64_t bytes, int64_t unit, const char* suffix)
{
    const int64_t whole = bytes / unit;
    const int64_t rest = bytes % unit;
    const int64_t hundredths = whole * 100 + (rest * 100 + unit / 2) / unit;
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%02lld%s", static_cast<long long>(hundredths / 100),
                  static_cast<long long>(hundredths % 100), suffix);
    return text;
}

} // namespace

std::string SizeText(int64_t bytes)
{
    constexpr int64_t Kb = 1024;
    constexpr int64_t Mb = Kb * 1024;
    constexpr int64_t Gb = Mb * 1024;
    if (bytes <= Kb)
        return std::to_string(bytes) + " b";
    if (bytes <= Mb)
        return inUnit(bytes, Kb, " Kb");
    if (bytes <= Gb)
        return inUnit(bytes, Mb, " Mb");
    return inUnit(bytes, Gb, " Gb");
}

} // namespace tw
