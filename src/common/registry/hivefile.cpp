#include "common/registry/hivefile.h"

#include <chrono>

#include "common/registry/hivevalueformat.h"

namespace tw {

HiveFile::HiveFile() : m_root(std::make_unique<HiveKey>()) {}

HiveFile HiveFile::createEmpty(std::string_view relativeTo)
{
    HiveFile file;
    file.m_header = "WINE REGISTRY Version 2\n;; All keys relative to ";
    file.m_header += relativeTo;
    file.m_header += "\n\n#arch=win64\n";
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    file.m_root->modified = filetimeFromUnixSeconds(
        static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count()));
    return file;
}

} // namespace tw
