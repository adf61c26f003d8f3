#include "common/registry/hiveedit.h"

#include <memory>

#include "common/registry/namefold.h"

namespace tw {
namespace {

void touch(HiveKey& key, uint64_t now, HiveUndo& undo)
{
    undo.record([&key, modified = key.modified, rewrite = key.rewrite] {
        key.modified = modified;
        key.rewrite = rewrite;
    });
    key.modified = now;
    key.rewrite = true;
}

} // namespace

void HiveUndo::revert()
{
    for (size_t i = m_steps.size(); i-- > 0;)
        m_steps[i]();
    m_steps.clear();
}

HiveKey* findHiveKey(HiveKey& root, const std::vector<std::u16string>& folds)
{
    HiveKey* key = &root;
    for (const std::u16string& fold : folds) {
        key = key->findSubkey(fold);
        if (!key)
            return nullptr;
    }
    return key;
}

HiveKey* createHiveKey(HiveKey& root, const std::vector<std::u16string>& names,
    const std::vector<std::u16string>& folds, uint64_t now, HiveUndo& undo)
{
    HiveKey* key = &root;
    for (size_t i = 0; i < names.size(); ++i) {
        if (HiveKey* existing = key->findSubkey(folds[i])) {
            key = existing;
            continue;
        }
        touch(*key, now, undo);
        auto child = std::make_unique<HiveKey>();
        child->name = names[i];
        child->fold = folds[i];
        child->parent = key;
        child->modified = now;
        child->rewrite = true;
        HiveKey* created = child.get();
        const size_t index = key->subkeyIndex(folds[i]);
        key->subkeys.insert(key->subkeys.begin() + static_cast<std::ptrdiff_t>(index), std::move(child));
        undo.record([parent = key, created] {
            for (auto it = parent->subkeys.begin(); it != parent->subkeys.end(); ++it) {
                if (it->get() == created) {
                    parent->subkeys.erase(it);
                    return;
                }
            }
        });
        key = created;
    }
    return key;
}

void setHiveValue(HiveKey& key, std::u16string name, uint32_t type, std::vector<uint8_t> data, uint64_t now,
    HiveUndo& undo)
{
    touch(key, now, undo);
    std::u16string fold = foldName(name);

    // A kept line of an unknown form under the same name would be read back after
    // the new value and win over it.
    for (size_t i = key.keptLines.size(); i-- > 0;) {
        if (key.keptLines[i].valueFold && *key.keptLines[i].valueFold == fold) {
            undo.record([&key, i, line = key.keptLines[i]] {
                key.keptLines.insert(key.keptLines.begin() + static_cast<std::ptrdiff_t>(i), line);
            });
            key.keptLines.erase(key.keptLines.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }

    const size_t index = key.valueIndex(fold);
    HiveValue value{std::move(name), std::move(fold), type, std::move(data), {}};
    if (index < key.values.size() && key.values[index].fold == value.fold) {
        // Like Windows, a value set under another spelling keeps its first name.
        value.name = key.values[index].name;
        undo.record([&key, index, old = key.values[index]] { key.values[index] = old; });
        key.values[index] = std::move(value);
    } else {
        undo.record([&key, index] { key.values.erase(key.values.begin() + static_cast<std::ptrdiff_t>(index)); });
        key.values.insert(key.values.begin() + static_cast<std::ptrdiff_t>(index), std::move(value));
    }
}

bool deleteHiveValue(HiveKey& key, std::u16string_view fold, uint64_t now, HiveUndo& undo)
{
    const size_t index = key.valueIndex(fold);
    if (index >= key.values.size() || key.values[index].fold != fold)
        return false;
    touch(key, now, undo);
    undo.record([&key, index, old = key.values[index]] {
        key.values.insert(key.values.begin() + static_cast<std::ptrdiff_t>(index), old);
    });
    key.values.erase(key.values.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool deleteHiveSubkey(HiveKey& parent, std::u16string_view fold, uint64_t now, HiveUndo& undo)
{
    const size_t index = parent.subkeyIndex(fold);
    if (index >= parent.subkeys.size() || parent.subkeys[index]->fold != fold)
        return false;
    touch(parent, now, undo);
    // The detached subtree stays alive, at the same address, until the change is
    // saved or taken back.
    auto detached = std::make_shared<std::unique_ptr<HiveKey>>(std::move(parent.subkeys[index]));
    parent.subkeys.erase(parent.subkeys.begin() + static_cast<std::ptrdiff_t>(index));
    undo.record([&parent, index, detached] {
        parent.subkeys.insert(parent.subkeys.begin() + static_cast<std::ptrdiff_t>(index), std::move(*detached));
    });
    return true;
}

} // namespace tw
