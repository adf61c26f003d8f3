#include "common/fs/volumeprobe.h"

#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "common/base/atomicfile.h"
#include "common/base/text.h"

namespace tw {
namespace {

bool isOneOf(std::string_view type, std::initializer_list<std::string_view> types)
{
    for (const auto t : types)
        if (type == t)
            return true;
    return false;
}

// Reads up to limit bytes of a small file.
std::optional<std::string> readSmallFile(const std::string& path, size_t limit)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string text(limit, '\0');
    const ssize_t n = ::read(fd, text.data(), limit);
    ::close(fd);
    if (n < 0)
        return std::nullopt;
    text.resize(static_cast<size_t>(n));
    return text;
}

// The name of the link in devRoot/disk/<folder> that points at the device.
std::optional<std::string> deviceLink(unsigned major, unsigned minor, const std::string& devRoot,
                                      const char* folder)
{
    if (major == 0)
        return std::nullopt;
    const std::string links = devRoot + "/disk/" + folder;
    DIR* dir = ::opendir(links.c_str());
    if (!dir)
        return std::nullopt;
    std::optional<std::string> found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::stat((links + "/" + name).c_str(), &st) == 0 && S_ISBLK(st.st_mode)
            && st.st_rdev == makedev(major, minor)) {
            found = name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

uint32_t driveTypeFor(std::string_view fsType, bool removableDevice)
{
    if (isOneOf(fsType, {"iso9660", "udf"}))
        return 5;
    if (isOneOf(fsType, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "9p", "afs", "coda", "ceph",
                         "glusterfs", "fuse.glusterfs", "fuse.sshfs", "fuse.rclone", "fuse.s3fs", "davfs",
                         "fuse.davfs2", "fuse.curlftpfs"}))
        return 4;
    return removableDevice ? 2 : 3;
}

bool isRemovableBlockDevice(unsigned major, unsigned minor, const std::string& sysRoot)
{
    if (major == 0)
        return false;
    const std::string link = sysRoot + "/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
    char resolved[PATH_MAX];
    if (!::realpath(link.c_str(), resolved))
        return false;
    std::string device = resolved;
    struct stat st {};
    // A partition's own folder has a "partition" file; "removable" is the disk's.
    if (::stat((device + "/partition").c_str(), &st) == 0)
        device = device.substr(0, device.rfind('/'));
    const auto text = readSmallFile(device + "/removable", 16);
    return text && trim(*text) == "1";
}

std::optional<std::string> readLabelFile(const std::string& root)
{
    auto text = readSmallFile(root + "/.windows-label", 255);
    if (!text)
        return std::nullopt;
    while (!text->empty() && (text->back() == ' ' || text->back() == '\r' || text->back() == '\n'))
        text->pop_back();
    return text;
}

std::optional<uint32_t> readSerialFile(const std::string& root)
{
    const auto text = readSmallFile(root + "/.windows-serial", 64);
    if (!text)
        return std::nullopt;
    // Read as strtoul with base 16 does: blanks, an optional 0x, the hex digits.
    std::string_view digits = trim(*text);
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits.remove_prefix(2);
    uint64_t value = 0;
    size_t count = 0;
    while (count < digits.size() && hexDigitValue(digits[count]) >= 0) {
        value = value << 4 | static_cast<uint64_t>(hexDigitValue(digits[count]));
        ++count;
    }
    if (count == 0)
        return std::nullopt;
    // The number lands in a 32-bit serial: its low half counts.
    return static_cast<uint32_t>(value);
}

std::optional<std::string> deviceLabel(unsigned major, unsigned minor, const std::string& devRoot)
{
    const auto name = deviceLink(major, minor, devRoot, "by-label");
    if (!name)
        return std::nullopt;
    return decodeUdevName(*name);
}

std::optional<uint32_t> deviceSerial(unsigned major, unsigned minor, const std::string& devRoot)
{
    const auto name = deviceLink(major, minor, devRoot, "by-uuid");
    if (!name)
        return std::nullopt;
    return serialFromUuid(*name);
}

std::optional<uint32_t> serialFromUuid(std::string_view uuid)
{
    const auto allHex = [](std::string_view text) {
        for (const char c : text)
            if (hexDigitValue(c) < 0)
                return false;
        return !text.empty();
    };
    std::string digits;
    if (uuid.size() == 9 && uuid[4] == '-' && allHex(uuid.substr(0, 4)) && allHex(uuid.substr(5)))
        digits = std::string(uuid.substr(0, 4)) + std::string(uuid.substr(5));
    else if (uuid.size() == 16 && allHex(uuid))
        digits = std::string(uuid.substr(8));
    else
        return std::nullopt;
    return static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
}

std::string decodeUdevName(std::string_view name)
{
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && hexDigitValue(name[i + 2]) >= 0
            && hexDigitValue(name[i + 3]) >= 0) {
            out += static_cast<char>(hexDigitValue(name[i + 2]) * 16 + hexDigitValue(name[i + 3]));
            i += 3;
            continue;
        }
        out += name[i];
    }
    return out;
}

std::optional<uint32_t> fileSystemIdSerial(const std::string& path)
{
    struct statfs st {};
    if (::statfs(path.c_str(), &st) != 0)
        return std::nullopt;
    int values[2];
    static_assert(sizeof values == sizeof st.f_fsid);
    std::memcpy(values, &st.f_fsid, sizeof values);
    return static_cast<uint32_t>(values[0]) ^ static_cast<uint32_t>(values[1]);
}

} // namespace tw
