#include "common/base/platformerror.h"
#include "common/base/text.h"
#include "common/registry/hivevalueparser.h"
#include "common/registry/namefold.h"
#include "common/registry/registry.h"
#include "common/registry/regkeypath.h"
#include "common/registry/registryimpl.h"

namespace tw {
namespace {

std::string quoted(std::string_view format, std::string_view name)
{
    return std::string(format) + "'" + std::string(name) + "'";
}

std::vector<std::string> namesOf(const std::vector<std::unique_ptr<HiveKey>>& keys)
{
    std::vector<std::string> names;
    names.reserve(keys.size());
    for (const auto& key : keys)
        names.push_back(toUtf8(key->name));
    return names;
}

// The subkeys of two keys merged in order; on a name both hold, the first's wins.
std::vector<std::string> mergedNames(const HiveKey& first, const HiveKey& second)
{
    std::vector<std::string> names;
    names.reserve(first.subkeys.size() + second.subkeys.size());
    size_t i = 0;
    size_t j = 0;
    while (i < first.subkeys.size() || j < second.subkeys.size()) {
        if (j >= second.subkeys.size()
            || (i < first.subkeys.size() && first.subkeys[i]->fold <= second.subkeys[j]->fold)) {
            if (j < second.subkeys.size() && first.subkeys[i]->fold == second.subkeys[j]->fold)
                ++j;
            names.push_back(toUtf8(first.subkeys[i++]->name));
        } else {
            names.push_back(toUtf8(second.subkeys[j++]->name));
        }
    }
    return names;
}

std::vector<uint8_t> textData(std::string_view text)
{
    std::vector<uint8_t> data;
    appendUnitsAsBytes(data, toUtf16(text));
    return data;
}

} // namespace

// The keys behind a RegKey, the winning one first.
struct RegKey::Found {
    Registry::Impl::Located at[2];
    int count = 0;
    const Registry::Impl::Located& winner() const { return at[0]; }
};

RegKey::Found RegKey::found() const
{
    auto& impl = *m_registry->m_impl;
    RegistryHive* hives[2];
    const int count = impl.hivesOf(m_root, hives);
    if (m_foundGeneration != impl.generation) {
        for (int i = 0; i < 2; ++i)
            m_foundKeys[i] = i < count ? Registry::Impl::find(*hives[i], m_root, m_folds) : nullptr;
        m_foundGeneration = impl.generation;
    }
    Found result;
    for (int i = 0; i < count; ++i)
        if (m_foundKeys[i])
            result.at[result.count++] = {hives[i], static_cast<HiveKey*>(m_foundKeys[i])};
    return result;
}

std::string RegKey::fullName() const
{
    std::string name;
    switch (m_root) {
    case RegRoot::CurrentUser: name = "HKEY_CURRENT_USER"; break;
    case RegRoot::LocalMachine: name = "HKEY_LOCAL_MACHINE"; break;
    case RegRoot::ClassesRoot: name = "HKEY_CLASSES_ROOT"; break;
    }
    if (!m_path.empty())
        name += "\\" + m_path;
    return name;
}

uint32_t RegKey::subkeyCount() const
{
    return static_cast<uint32_t>(subkeyNames().size());
}

uint32_t RegKey::valueCount() const
{
    auto& impl = *m_registry->m_impl;
    std::lock_guard lock(impl.mutex);
    impl.refreshForRead();
    const auto located = found().winner();
    return located.key ? static_cast<uint32_t>(located.key->values.size()) : 0;
}

std::vector<std::string> RegKey::subkeyNames() const
{
    auto& impl = *m_registry->m_impl;
    std::lock_guard lock(impl.mutex);
    impl.refreshForRead();
    const Found keys = found();
    if (keys.count == 0)
        return {};
    if (keys.count == 1)
        return namesOf(keys.at[0].key->subkeys);
    return mergedNames(*keys.at[0].key, *keys.at[1].key);
}

std::vector<std::string> RegKey::valueNames() const
{
    auto& impl = *m_registry->m_impl;
    std::lock_guard lock(impl.mutex);
    impl.refreshForRead();
    const auto located = found().winner();
    std::vector<std::string> names;
    if (!located.key)
        return names;
    names.reserve(located.key->values.size());
    for (const HiveValue& value : located.key->values)
        names.push_back(toUtf8(value.name));
    return names;
}

std::optional<RegValue> RegKey::readValueLocked(std::string_view name) const
{
    auto& impl = *m_registry->m_impl;
    impl.refreshForRead();
    const auto located = found().winner();
    if (!located.key)
        return std::nullopt;
    const HiveValue* value = located.key->findValue(foldName(toUtf16(name)));
    if (!value)
        return std::nullopt;
    return RegValue{value->type, value->data};
}

bool RegKey::hasValue(std::string_view name) const
{
    return valueType(name).has_value();
}

std::optional<uint32_t> RegKey::valueType(std::string_view name) const
{
    auto& impl = *m_registry->m_impl;
    std::lock_guard lock(impl.mutex);
    impl.refreshForRead();
    const auto located = found().winner();
    if (!located.key)
        return std::nullopt;
    const HiveValue* value = located.key->findValue(foldName(toUtf16(name)));
    return value ? std::optional<uint32_t>(value->type) : std::nullopt;
}

std::optional<RegValue> RegKey::readValue(std::string_view name) const
{
    std::lock_guard lock(m_registry->m_impl->mutex);
    return readValueLocked(name);
}

std::string RegKey::readString(std::string_view name) const
{
    std::optional<RegValue> value;
    {
        std::lock_guard lock(m_registry->m_impl->mutex);
        value = readValueLocked(name);
    }
    if (!value || value->data.empty())
        return {};
    if (value->type != RegType::Sz && value->type != RegType::ExpandSz)
        throw PlatformError(quoted("Invalid data type for ", name),
            "The value is of type " + std::to_string(value->type) + ", not text.");
    std::u16string units;
    units.reserve(value->data.size() / 2);
    for (size_t i = 0; i + 1 < value->data.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(value->data[i] | (value->data[i + 1] << 8));
        if (unit == 0)
            break;
        units += unit;
    }
    return toUtf8(units);
}

uint32_t RegKey::readInteger(std::string_view name) const
{
    std::optional<RegValue> value;
    {
        std::lock_guard lock(m_registry->m_impl->mutex);
        value = readValueLocked(name);
    }
    if (!value)
        throw PlatformError(quoted("Failed to get data for ", name), "The value does not exist in " + fullName() + ".");
    if (value->type != RegType::Dword)
        throw PlatformError(quoted("Invalid data type for ", name),
            "The value is of type " + std::to_string(value->type) + ", not a 32-bit integer.");
    if (value->data.size() != 4)
        throw PlatformError(quoted("Failed to get data for ", name),
            "The value holds " + std::to_string(value->data.size()) + " bytes instead of 4.");
    return value->data[0] | (value->data[1] << 8) | (value->data[2] << 16)
        | (static_cast<uint32_t>(value->data[3]) << 24);
}

void RegKey::write(std::string_view name, uint32_t type, std::vector<uint8_t> data)
{
    auto& impl = *m_registry->m_impl;
    std::lock_guard lock(impl.mutex);
    if (m_access != RegAccess::Write)
        throw PlatformError(quoted("Failed to set data for ", name), "The key " + fullName() + " was opened for reading.");
    impl.refreshForWrite();
    const auto target = found().winner();
    if (!target.key)
        throw PlatformError(quoted("Failed to set data for ", name), "The key " + fullName() + " does not exist.");
    std::string reason;
    const bool stored = impl.change(*target.hive, [&](HiveUndo& undo) {
        setHiveValue(*target.key, toUtf16(name), type, std::move(data), Registry::Impl::now(), undo);
        return true;
    }, reason);
    if (!stored)
        throw PlatformError(quoted("Failed to set data for ", name), reason);
}

void RegKey::writeString(std::string_view name, std::string_view text)
{
    write(name, RegType::Sz, textData(text));
}

void RegKey::writeExpandString(std::string_view name, std::string_view text)
{
    write(name, RegType::ExpandSz, textData(text));
}

void RegKey::writeInteger(std::string_view name, uint32_t value)
{
    write(name, RegType::Dword, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)});
}

void RegKey::writeValue(std::string_view name, const RegValue& value)
{
    write(name, value.type, value.data);
}

bool RegKey::deleteValue(std::string_view name)
{
    auto& impl = *m_registry->m_impl;
    std::lock_guard lock(impl.mutex);
    if (m_access != RegAccess::Write)
        return false;
    impl.refreshForWrite();
    const auto target = found().winner();
    if (!target.key)
        return false;
    const std::u16string fold = foldName(toUtf16(name));
    if (!target.key->findValue(fold))
        return false;
    std::string reason;
    return impl.change(*target.hive, [&](HiveUndo& undo) {
        return deleteHiveValue(*target.key, fold, Registry::Impl::now(), undo);
    }, reason);
}

bool RegKey::deleteSubkey(std::string_view name)
{
    auto& impl = *m_registry->m_impl;
    std::lock_guard lock(impl.mutex);
    impl.refreshForWrite();
    const auto sub = parseRegKeyPath(name);
    if (!sub || sub->folds.empty())
        return false;
    std::vector<std::u16string> folds = m_folds;
    folds.insert(folds.end(), sub->folds.begin(), sub->folds.end());
    return impl.deleteKey(m_root, folds);
}

} // namespace tw
