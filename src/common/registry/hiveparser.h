#pragma once

#include <string>

#include "common/registry/hivefile.h"

namespace tw {

// The outcome of loading a hive file's text.
struct HiveParseResult {
    HiveFile file;
    // 0 when the whole text was understood; else the 1-based line of the first
    // problem, which ended the load (the keys before it are kept).
    int errorLine = 0;
    std::string error;
};

// Wine's registry text format, as its server reads it. The load fails (and ends) at
// a first line other than "WINE REGISTRY Version 2", a value outside a key, a key
// line without its closing "]", a value whose name or data is malformed (an open
// quote, a bad hex byte or dword, a continuation at the end of the file), a bad
// "#time" or "#class" option, or a line of any other shape. Comments, unknown "#"
// options and values of an unknown form ("str(3):", "foo:") are kept as they are.
// Keys nested more than MaxKeyDepth levels deep are refused, as Windows does.
class HiveParser {
public:
    static constexpr size_t MaxKeyDepth = 512;
    static HiveParseResult parse(std::string bytes);
};

} // namespace tw
