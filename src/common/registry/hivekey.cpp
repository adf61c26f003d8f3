#include "common/registry/hivekey.h"

#include <algorithm>

namespace tw {

size_t HiveKey::subkeyIndex(std::u16string_view fold) const
{
    // Keys arrive mostly in order, so the end is the usual answer.
    if (subkeys.empty() || std::u16string_view(subkeys.back()->fold) < fold)
        return subkeys.size();
    const auto it = std::lower_bound(subkeys.begin(), subkeys.end(), fold,
        [](const std::unique_ptr<HiveKey>& key, std::u16string_view f) { return std::u16string_view(key->fold) < f; });
    return static_cast<size_t>(it - subkeys.begin());
}

size_t HiveKey::valueIndex(std::u16string_view fold) const
{
    if (values.empty() || std::u16string_view(values.back().fold) < fold)
        return values.size();
    const auto it = std::lower_bound(values.begin(), values.end(), fold,
        [](const HiveValue& value, std::u16string_view f) { return std::u16string_view(value.fold) < f; });
    return static_cast<size_t>(it - values.begin());
}

HiveKey* HiveKey::findSubkey(std::u16string_view fold) const
{
    const size_t i = subkeyIndex(fold);
    return i < subkeys.size() && subkeys[i]->fold == fold ? subkeys[i].get() : nullptr;
}

HiveValue* HiveKey::findValue(std::u16string_view fold)
{
    const size_t i = valueIndex(fold);
    return i < values.size() && values[i].fold == fold ? &values[i] : nullptr;
}

const HiveValue* HiveKey::findValue(std::u16string_view fold) const
{
    return const_cast<HiveKey*>(this)->findValue(fold);
}

bool needsOwnBlock(const HiveKey& key)
{
    return !key.values.empty() || key.subkeys.empty() || key.className || key.isLink || !key.keptLines.empty();
}

} // namespace tw
