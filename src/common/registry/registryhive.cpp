#include "common/registry/registryhive.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <system_error>

#include "common/base/atomicfile.h"
#include "common/registry/hiveparser.h"
#include "common/registry/hivewriter.h"

namespace tw {

RegistryHive::RegistryHive(std::filesystem::path file, std::string relativeTo)
    : m_path(std::move(file)), m_relativeTo(std::move(relativeTo)), m_tree(HiveFile::createEmpty(m_relativeTo))
{
}

RegistryHive::Stamp RegistryHive::currentStamp() const
{
    Stamp stamp;
    struct stat st {};
    if (::stat(m_path.c_str(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changedNs = static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

void RegistryHive::load()
{
    m_stamp = currentStamp();
    m_loadProblem.clear();
    std::string bytes;
    if (!readWholeFile(m_path, bytes)) {
        const int error = errno;
        m_tree = HiveFile::createEmpty(m_relativeTo);
        if (error != ENOENT)
            m_loadProblem = "Cannot read the registry file " + m_path.string() + ": " + std::strerror(error)
                + ". It is opened read-only and will not be saved.";
        return;
    }
    HiveParseResult parsed = HiveParser::parse(std::move(bytes));
    m_tree = std::move(parsed.file);
    if (parsed.errorLine != 0)
        m_loadProblem = "Cannot load the registry file " + m_path.string() + ", line "
            + std::to_string(parsed.errorLine) + ": " + parsed.error
            + ". It is opened read-only and will not be saved.";
}

bool RegistryHive::reloadIfChanged()
{
    if (currentStamp() == m_stamp)
        return false;
    load();
    return true;
}

std::filesystem::path RegistryHive::saveTarget() const
{
    // A hive that is a link to a file elsewhere is replaced there, so the link stays.
    std::error_code error;
    if (std::filesystem::is_symlink(m_path, error)) {
        const std::filesystem::path target = std::filesystem::canonical(m_path, error);
        if (!error)
            return target;
    }
    return m_path;
}

bool RegistryHive::save(std::string& reason)
{
    if (!m_loadProblem.empty()) {
        reason = m_loadProblem;
        return false;
    }
    std::string error;
    if (!writeFileAtomically(saveTarget(), writeHive(m_tree), &error)) {
        reason = "Cannot save the registry file " + m_path.string() + ": " + error;
        return false;
    }
    m_stamp = currentStamp();
    return true;
}

bool RegistryHive::saveCopy(const std::filesystem::path& file, std::string& reason) const
{
    std::string error;
    if (!writeFileAtomically(file, writeHive(m_tree), &error)) {
        reason = "Cannot save the registry file " + file.string() + ": " + error;
        return false;
    }
    return true;
}

} // namespace tw
