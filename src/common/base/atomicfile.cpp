#include "common/base/atomicfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {
namespace {

bool fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes, std::string* error)
{
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    // Keep the mode of the file being replaced; new files get 0666 less the umask.
    mode_t mode = 0666;
    struct stat st {};
    bool keepMode = ::stat(file.c_str(), &st) == 0;
    if (keepMode)
        mode = st.st_mode & 07777;

    std::random_device random;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        std::ostringstream name;
        name << "." << file.filename().string() << ".tmp-" << std::hex << random();
        temp = (folder / name.str()).string();
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            return fail(error, "cannot create " + temp);
    }
    if (fd < 0)
        return fail(error, "cannot create a temporary file in " + folder.string());

    const auto abandon = [&](const std::string& what) {
        const int saved = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        errno = saved;
        return fail(error, what);
    };
    if (!writeAll(fd, bytes))
        return abandon("cannot write " + temp);
    if (keepMode ? ::fchmod(fd, mode) != 0 : false)
        return abandon("cannot set the mode of " + temp);
    if (!keepMode) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd, mode & ~mask) != 0)
            return abandon("cannot set the mode of " + temp);
    }
    if (::fsync(fd) != 0)
        return abandon("cannot flush " + temp);
    if (::close(fd) != 0) {
        ::unlink(temp.c_str());
        return fail(error, "cannot close " + temp);
    }
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return fail(error, "cannot replace " + file.string());
    }
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool readWholeFile(const std::filesystem::path& file, std::string& bytes)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

} // namespace tw
