#include "common/registry/regkeypath.h"

#include "common/base/text.h"
#include "common/registry/hiveparser.h"
#include "common/registry/namefold.h"

namespace tw {

std::optional<RegKeyPath> parseRegKeyPath(std::string_view path)
{
    if (!path.empty() && path.front() == '\\')
        path.remove_prefix(1);
    if (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    RegKeyPath result;
    result.text = std::string(path);
    if (path.empty())
        return result;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        std::u16string name = toUtf16(path.substr(start, end - start));
        if (name.empty() || result.names.size() >= HiveParser::MaxKeyDepth)
            return std::nullopt;
        result.folds.push_back(foldName(name));
        result.names.push_back(std::move(name));
        start = end + 1;
    }
    return result;
}

} // namespace tw
