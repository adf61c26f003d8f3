#include "common/registry/registry.h"

#include "common/base/text.h"
#include "common/registry/hiveparser.h"
#include "common/registry/regkeypath.h"
#include "common/registry/registryimpl.h"
#include "common/registry/wineserver.h"

namespace tw {
namespace {

constexpr uint64_t TicksFrom1601To1970 = 116444736000000000ULL;
const std::u16string SoftwareFold = u"software";
const std::u16string ClassesFold = u"classes";

} // namespace

Registry::Impl::Impl(const std::filesystem::path& prefixFolder, const RegistryOptions& options)
    : prefix(prefixFolder)
    , serverTmpFolder(options.serverTmpFolder)
    , machine(prefixFolder / "system.reg", "REGISTRY\\\\Machine")
    , user(prefixFolder / "user.reg", "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000")
{
    machine.load();
    user.load();
    lastReadCheck = std::chrono::steady_clock::now();
}

void Registry::Impl::refreshForRead()
{
    if (std::chrono::steady_clock::now() - lastReadCheck >= std::chrono::seconds(1))
        refreshForWrite();
}

void Registry::Impl::refreshForWrite()
{
    lastReadCheck = std::chrono::steady_clock::now();
    const bool machineReloaded = machine.reloadIfChanged();
    const bool userReloaded = user.reloadIfChanged();
    if (machineReloaded || userReloaded)
        ++generation;
}

std::vector<RegistryHive*> Registry::Impl::hivesOf(RegRoot root)
{
    RegistryHive* hives[2];
    const int count = hivesOf(root, hives);
    return std::vector<RegistryHive*>(hives, hives + count);
}

int Registry::Impl::hivesOf(RegRoot root, RegistryHive* hives[2])
{
    switch (root) {
    case RegRoot::LocalMachine:
        hives[0] = &machine;
        return 1;
    case RegRoot::CurrentUser:
        hives[0] = &user;
        return 1;
    case RegRoot::ClassesRoot:
        hives[0] = &user;
        hives[1] = &machine;
        return 2;
    }
    return 0;
}

HiveKey* Registry::Impl::find(RegistryHive& hive, RegRoot root, const std::vector<std::u16string>& folds)
{
    HiveKey* key = &hive.tree().root();
    if (root == RegRoot::ClassesRoot) {
        key = key->findSubkey(SoftwareFold);
        key = key ? key->findSubkey(ClassesFold) : nullptr;
    }
    for (size_t i = 0; key && i < folds.size(); ++i)
        key = key->findSubkey(folds[i]);
    return key;
}

std::vector<Registry::Impl::Located> Registry::Impl::locate(RegRoot root, const std::vector<std::u16string>& folds)
{
    std::vector<Located> found;
    for (RegistryHive* hive : hivesOf(root))
        if (HiveKey* key = find(*hive, root, folds))
            found.push_back({hive, key});
    return found;
}

Registry::Impl::Located Registry::Impl::winner(RegRoot root, const std::vector<std::u16string>& folds)
{
    for (RegistryHive* hive : hivesOf(root))
        if (HiveKey* key = find(*hive, root, folds))
            return {hive, key};
    return {};
}

std::string Registry::Impl::refusal(RegistryHive& hive) const
{
    if (!hive.loadProblem().empty())
        return hive.loadProblem();
    if (const auto lock = findRunningWineServer(prefix, serverTmpFolder))
        return "A Wine server is running for the prefix " + prefix.string() + " (it holds " + lock->string()
            + "); it would overwrite changes to the registry with its own copy. Close the Windows programs of this "
              "prefix and try again.";
    return {};
}

bool Registry::Impl::change(RegistryHive& hive, const std::function<bool(HiveUndo&)>& edit, std::string& reason)
{
    reason = refusal(hive);
    if (!reason.empty())
        return false;
    HiveUndo undo;
    const bool changed = edit(undo) && hive.save(reason);
    if (!changed)
        undo.revert();
    ++generation;
    return changed;
}

uint64_t Registry::Impl::now()
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100;
    return static_cast<uint64_t>(ticks) + TicksFrom1601To1970;
}

bool Registry::Impl::deleteKey(RegRoot root, const std::vector<std::u16string>& folds)
{
    if (folds.empty())
        return false;
    const std::vector<Located> holders = locate(root, folds);
    if (holders.empty())
        return false;
    // In the merged view the key goes from every hive that holds it, or it would
    // still be there; nothing is deleted unless every one of them may change.
    for (const Located& holder : holders)
        if (!refusal(*holder.hive).empty())
            return false;
    const std::vector<std::u16string> parentFolds(folds.begin(), folds.end() - 1);
    bool deleted = true;
    for (const Located& holder : holders) {
        HiveKey* parent = find(*holder.hive, root, parentFolds);
        std::string reason;
        deleted = parent && change(*holder.hive, [&](HiveUndo& undo) {
            return deleteHiveSubkey(*parent, folds.back(), now(), undo);
        }, reason) && deleted;
    }
    return deleted;
}

Registry::Registry(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

Registry::~Registry() = default;

std::unique_ptr<Registry> Registry::open(const std::filesystem::path& prefixFolder)
{
    return open(prefixFolder, RegistryOptions{});
}

std::unique_ptr<Registry> Registry::open(const std::filesystem::path& prefixFolder, const RegistryOptions& options)
{
    return std::unique_ptr<Registry>(new Registry(std::make_unique<Impl>(prefixFolder, options)));
}

std::optional<RegKey> Registry::openKey(RegRoot root, std::string_view path)
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->refreshForRead();
    auto parsed = parseRegKeyPath(path);
    if (!parsed)
        return std::nullopt;
    if (!parsed->folds.empty() && !m_impl->winner(root, parsed->folds).key)
        return std::nullopt;
    return RegKey(this, root, std::move(parsed->text), RegAccess::Read, std::move(parsed->folds));
}

bool Registry::keyExists(RegRoot root, std::string_view path) const
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->refreshForRead();
    const auto parsed = parseRegKeyPath(path);
    return parsed && (parsed->folds.empty() || m_impl->winner(root, parsed->folds).key);
}

std::optional<RegKey> Registry::createKey(RegRoot root, std::string_view path)
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->refreshForWrite();
    auto parsed = parseRegKeyPath(path);
    if (!parsed)
        return std::nullopt;
    const Impl::Located holder = m_impl->winner(root, parsed->folds);
    if (holder.key) {
        if (!m_impl->refusal(*holder.hive).empty())
            return std::nullopt;
        return RegKey(this, root, std::move(parsed->text), RegAccess::Write, std::move(parsed->folds));
    }

    // A new key goes to the machine hive, also in the merged classes view.
    RegistryHive& target = *m_impl->hivesOf(root).back();
    std::vector<std::u16string> names = std::move(parsed->names);
    std::vector<std::u16string> folds = parsed->folds;
    if (root == RegRoot::ClassesRoot) {
        names.insert(names.begin(), {u"Software", u"Classes"});
        folds.insert(folds.begin(), {SoftwareFold, ClassesFold});
    }
    if (folds.size() > HiveParser::MaxKeyDepth)
        return std::nullopt;
    std::string reason;
    const bool created = m_impl->change(target, [&](HiveUndo& undo) {
        createHiveKey(target.tree().root(), names, folds, Impl::now(), undo);
        return true;
    }, reason);
    if (!created)
        return std::nullopt;
    return RegKey(this, root, std::move(parsed->text), RegAccess::Write, std::move(parsed->folds));
}

std::optional<RegKey> Registry::openKeyForWrite(RegRoot root, std::string_view path)
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->refreshForWrite();
    auto parsed = parseRegKeyPath(path);
    if (!parsed)
        return std::nullopt;
    const Impl::Located holder = m_impl->winner(root, parsed->folds);
    if (!holder.key || !m_impl->refusal(*holder.hive).empty())
        return std::nullopt;
    return RegKey(this, root, std::move(parsed->text), RegAccess::Write, std::move(parsed->folds));
}

bool Registry::deleteKey(RegRoot root, std::string_view path)
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->refreshForWrite();
    const auto parsed = parseRegKeyPath(path);
    return parsed && m_impl->deleteKey(root, parsed->folds);
}

std::string Registry::readOnlyReason(RegRoot root) const
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->refreshForWrite();
    for (RegistryHive* hive : m_impl->hivesOf(root)) {
        std::string reason = m_impl->refusal(*hive);
        if (!reason.empty())
            return reason;
    }
    return {};
}

bool Registry::exportHive(RegRoot root, const std::filesystem::path& file, std::string* error) const
{
    std::lock_guard lock(m_impl->mutex);
    const RegistryHive& hive = root == RegRoot::CurrentUser ? m_impl->user : m_impl->machine;
    std::string reason;
    const bool saved = hive.saveCopy(file, reason);
    if (!saved && error)
        *error = reason;
    return saved;
}

} // namespace tw
