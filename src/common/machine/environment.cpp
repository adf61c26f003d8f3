#include "common/machine/environment.h"

namespace tw {

Environment::Environment(const std::filesystem::path& prefixFolder)
    : Environment(prefixFolder, Trash(Trash::homeTrashFolder()))
{
}

Environment::Environment(const std::filesystem::path& prefixFolder, Trash trash)
    : m_prefixFolder(prefixFolder),
      m_registry(Registry::open(prefixFolder)),
      m_fileSystem(std::make_unique<FileSystem>(prefixFolder)),
      m_shell(std::make_unique<Shell>(*m_fileSystem, *m_registry, std::move(trash)))
{
}

Environment::~Environment() = default;

} // namespace tw
