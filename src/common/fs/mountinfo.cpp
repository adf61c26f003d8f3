#include "common/fs/mountinfo.h"

#include <array>
#include <charconv>

#include "common/base/atomicfile.h"

namespace tw {
namespace {

// Mount points and sources escape blanks, tabs, newlines and backslashes as
// three octal digits ("\040").
std::string unescape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto octal = [&](size_t k) { return text[k] >= '0' && text[k] <= '7'; };
        if (text[i] == '\\' && i + 3 < text.size() && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ')
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

bool parseDevice(std::string_view text, unsigned& major, unsigned& minor)
{
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return false;
    const auto a = std::from_chars(text.data(), text.data() + colon, major);
    const auto b = std::from_chars(text.data() + colon + 1, text.data() + text.size(), minor);
    return a.ec == std::errc() && a.ptr == text.data() + colon && b.ec == std::errc()
        && b.ptr == text.data() + text.size();
}

bool isPrefixFolder(std::string_view folder, std::string_view path)
{
    if (folder == "/")
        return !path.empty() && path.front() == '/';
    return path.substr(0, folder.size()) == folder && (path.size() == folder.size() || path[folder.size()] == '/');
}

} // namespace

std::vector<MountEntry> parseMountInfo(std::string_view text)
{
    std::vector<MountEntry> mounts;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const auto fields = splitFields(text.substr(start, end - start));
        start = end + 1;
        // id parent major:minor root mount-point options [optional...] - type source super-options
        size_t dash = 6;
        while (dash < fields.size() && fields[dash] != "-")
            ++dash;
        if (dash + 1 >= fields.size())
            continue;
        MountEntry entry;
        if (!parseDevice(fields[2], entry.major, entry.minor))
            continue;
        entry.mountPoint = unescape(fields[4]);
        entry.fsType = unescape(fields[dash + 1]);
        if (dash + 2 < fields.size())
            entry.source = unescape(fields[dash + 2]);
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

std::vector<MountEntry> readMountInfo()
{
    std::string text;
    if (!readWholeFile("/proc/self/mountinfo", text))
        return {};
    return parseMountInfo(text);
}

const MountEntry* mountOf(const std::vector<MountEntry>& mounts, std::string_view canonicalPath)
{
    const MountEntry* best = nullptr;
    for (const auto& mount : mounts) {
        if (!isPrefixFolder(mount.mountPoint, canonicalPath))
            continue;
        if (!best || mount.mountPoint.size() >= best->mountPoint.size())
            best = &mount;
    }
    return best;
}

bool isVirtualFileSystemType(std::string_view fsType)
{
    static constexpr std::array<std::string_view, 22> types = {
        "proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs", "debugfs",
        "tracefs", "pstore", "bpf", "configfs", "efivarfs", "selinuxfs", "binfmt_misc", "mqueue",
        "nsfs", "fusectl", "hugetlbfs", "autofs", "rpc_pipefs", "nfsd",
    };
    for (const auto type : types)
        if (fsType == type)
            return true;
    return false;
}

} // namespace tw
