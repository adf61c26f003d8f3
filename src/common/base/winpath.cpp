#include "common/base/winpath.h"

namespace tw {
namespace {

bool isDriveRoot(std::string_view path)
{
    return path.size() == 3 && path[1] == ':' && path[2] == '\\';
}

} // namespace

std::string_view ExtractFileName(std::string_view path)
{
    const size_t cut = path.find_last_of("\\:");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string_view ExtractFileDir(std::string_view path)
{
    const size_t cut = path.find_last_of("\\:");
    if (cut == std::string_view::npos)
        return {};
    // "C:\x" keeps the root's backslash; "C:x" keeps the colon.
    if (path[cut] == ':' || (cut == 2 && path[1] == ':'))
        return path.substr(0, cut + 1);
    return path.substr(0, cut);
}

std::string IncludeTrailingBackslash(std::string_view path)
{
    std::string out(path);
    if (out.empty() || out.back() != '\\')
        out += '\\';
    return out;
}

std::string ExcludeTrailingBackslash(std::string_view path)
{
    if (isDriveRoot(path))
        return std::string(path);
    std::string out(path);
    if (!out.empty() && out.back() == '\\')
        out.pop_back();
    return out;
}

char DriveLetter(std::string_view path)
{
    if (path.size() < 2 || path[1] != ':')
        return 0;
    const char c = path[0];
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z')
        return c;
    return 0;
}

} // namespace tw
