#pragma once

#include <cstdint>
#include <string>

namespace tw {

// A byte count as " b", " Kb", " Mb" or " Gb" text: up to 1024 the whole number,
// above it two decimals (halves away from zero) after a point in every locale;
// each bound belongs to the lower range.
std::string SizeText(int64_t bytes);

} // namespace tw
