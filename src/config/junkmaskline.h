#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw {

// One line of "\config\ext.ini": wildcard "=" description "=" active flag.
struct JunkMaskLine {
    std::string wildcard;     // the text before the first "="
    std::string description;  // between the first and the second "="
    std::string flag;         // the rest of the line after the second "="

    // Splits a line; missing fields are empty.
    static JunkMaskLine split(std::string_view line);
};

// One row of the settings dialog's wildcard list.
struct JunkMaskRow {
    std::string wildcard;
    std::string description;
    bool checked = false;
};

// The junk search's reading of a flag: lower-cased and stripped, equal to "true".
bool isActiveForSearch(std::string_view flag);

// The settings dialog's reading of a flag: lower-cased (not stripped), equal to "true".
bool isCheckedInSettings(std::string_view flag);

// The line written for a row: wildcard "=" description "=true" or "=false".
std::string JunkMaskText(const JunkMaskRow& row);

// The wildcards of the lines that are active for the junk search, in file order.
// An active line with an empty wildcard is kept as an empty wildcard, which
// matches no file: dropped, it could leave the list empty, and an empty list lets
// every file through.
std::vector<std::string> ActiveJunkMasks(const std::vector<std::string>& lines);

} // namespace tw
