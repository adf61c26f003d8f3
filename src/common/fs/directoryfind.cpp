#include "common/fs/directoryfind.h"

#include <cerrno>
#include <cstddef>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "common/fs/entryreader.h"
#include "common/fs/windowsname.h"

namespace tw {
namespace {

// Big enough for a few hundred names per call; small enough to allocate per folder.
constexpr size_t BufferSize = 32 * 1024;

// A record of getdents64.
struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

// The last component of a host path, trailing slashes ignored.
std::string_view lastComponent(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

std::unique_ptr<DirectoryFind> DirectoryFind::open(const std::string& folder, size_t depth, std::string_view mask,
                                                   const VirtualDeviceTest& isVirtual, int& sysError)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        sysError = errno;
        return nullptr;
    }
    struct statx self {};
    if (!statOpenFolder(fd, self) || (isVirtual && isVirtual(makedev(self.stx_dev_major, self.stx_dev_minor)))) {
        sysError = EACCES;
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<DirectoryFind>(new DirectoryFind(fd, self, folder, depth, mask));
}

DirectoryFind::DirectoryFind(int fd, const struct statx& self, std::string folder, size_t depth,
                             std::string_view mask)
    : m_fd(fd)
    , m_self(self)
    , m_path(std::move(folder))
    , m_depth(depth)
    , m_pattern(mask)
    , m_mask(mask)
{
    if (m_path.empty() || m_path.back() != '/')
        m_path += '/';
    m_base = m_path.size();
}

DirectoryFind::~DirectoryFind()
{
    ::close(m_fd);
}

const char* DirectoryFind::entryPath(const char* name)
{
    m_path.resize(m_base);
    m_path.append(name);
    return m_path.c_str();
}

bool DirectoryFind::next(FindData& entry)
{
    if (m_error != WinError::Success)
        return false;
    if (nextDot(entry))
        return true;
    if (m_pattern.isLiteral() && m_mask != "." && m_mask != "..") {
        if (nextLiteral(entry))
            return true;
        if (m_error != WinError::Success)
            return false;
    }
    return nextScanned(entry);
}

bool DirectoryFind::nextDot(FindData& entry)
{
    while (m_dotsDone < 2) {
        const bool parent = m_dotsDone++ == 1;
        const char* name = parent ? ".." : ".";
        if (!m_pattern.matches(name))
            continue;
        // "." and ".." carry the attributes of the folders they stand for, so the
        // dot-file rule looks at those folders' names; a drive root has none.
        // ".." of a drive root is the root itself: nothing lies above it.
        const std::string_view folder(m_path.data(), m_base - 1);
        const std::string_view folderName = m_depth == 0 ? std::string_view() : lastComponent(folder);
        if (!parent || m_depth == 0) {
            if (readOpenFolder(m_fd, name, folderName, entry, &m_self) == EntryStatus::Listed)
                return true;
            continue;
        }
        const std::string_view parentName =
            m_depth == 1 ? std::string_view() : lastComponent(folder.substr(0, folder.size() - folderName.size()));
        if (readEntry(m_fd, "..", entryPath(".."), "..", parentName, entry) == EntryStatus::Listed)
            return true;
    }
    return false;
}

bool DirectoryFind::nextLiteral(FindData& entry)
{
    // A pattern without wildcards names one entry: exactly as written when it
    // exists, so a name that differs only in case is not listed beside it.
    if (m_literalTried)
        return false;
    m_literalTried = true;
    if (!isWindowsName(m_mask))
        return false;
    if (readEntry(m_fd, m_mask.c_str(), entryPath(m_mask.c_str()), m_mask, m_mask, entry) != EntryStatus::Listed)
        return false;
    m_error = WinError::NoMoreFiles;
    return true;
}

const char* DirectoryFind::readName(unsigned char& type)
{
    if (!m_buffer)
        m_buffer = std::make_unique<char[]>(BufferSize);
    if (m_position >= m_filled) {
        ssize_t n;
        do
            n = ::getdents64(m_fd, m_buffer.get(), BufferSize);
        while (n < 0 && errno == EINTR);
        if (n <= 0) {
            m_error = n == 0 ? WinError::NoMoreFiles : errno == EACCES ? WinError::AccessDenied : WinError::ReadFault;
            return nullptr;
        }
        m_filled = static_cast<size_t>(n);
        m_position = 0;
    }
    const auto* record = reinterpret_cast<const LinuxDirent64*>(m_buffer.get() + m_position);
    m_position += record->d_reclen;
    type = record->d_type;
    return record->d_name;
}

bool DirectoryFind::nextScanned(FindData& entry)
{
    for (;;) {
        unsigned char type = DT_UNKNOWN;
        const char* name = readName(type);
        if (!name)
            return false;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        switch (type) {
        case DT_CHR:
        case DT_BLK:
        case DT_FIFO:
        case DT_SOCK:
            continue; // never listed; the type from the folder saves the statx
        default:
            break;
        }
        const std::string_view view(name);
        if (!isWindowsName(view) || !m_pattern.matches(view))
            continue;
        if (readEntry(m_fd, name, entryPath(name), view, view, entry) == EntryStatus::Listed)
            return true;
    }
}

} // namespace tw
