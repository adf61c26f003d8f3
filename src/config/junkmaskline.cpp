#include "config/junkmaskline.h"

#include "common/base/text.h"

namespace tw {

JunkMaskLine JunkMaskLine::split(std::string_view line)
{
    JunkMaskLine parts;
    const size_t first = line.find('=');
    parts.wildcard = std::string(line.substr(0, first));
    if (first == std::string_view::npos)
        return parts;
    const size_t second = line.find('=', first + 1);
    parts.description = std::string(line.substr(first + 1, second == std::string_view::npos ? std::string_view::npos
                                                                                              : second - first - 1));
    if (second != std::string_view::npos)
        parts.flag = std::string(line.substr(second + 1));
    return parts;
}

bool isActiveForSearch(std::string_view flag)
{
    return lowerCase(trim(flag)) == "true";
}

bool isCheckedInSettings(std::string_view flag)
{
    return lowerCase(flag) == "true";
}

std::string JunkMaskText(const JunkMaskRow& row)
{
    return row.wildcard + "=" + row.description + (row.checked ? "=true" : "=false");
}

std::vector<std::string> ActiveJunkMasks(const std::vector<std::string>& lines)
{
    std::vector<std::string> masks;
    for (const std::string& line : lines) {
        JunkMaskLine parts = JunkMaskLine::split(line);
        if (isActiveForSearch(parts.flag))
            masks.push_back(std::move(parts.wildcard));
    }
    return masks;
}

} // namespace tw
