#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/registry/hivefile.h"

// Changes to a hive tree that can be taken back: a hive is saved after each change,
// and a save that fails undoes the change, so the tree always matches the file.
// Every change marks the keys it alters for rewriting and stamps them with the
// given time, as Wine does (a new or deleted subkey also stamps its parent).
namespace tw {

class HiveUndo {
public:
    // Takes back every recorded step, the last one first.
    void revert();
    void record(std::function<void()> step) { m_steps.push_back(std::move(step)); }

private:
    std::vector<std::function<void()>> m_steps;
};

// The key at the end of a path of folded names; nullptr when one is missing.
HiveKey* findHiveKey(HiveKey& root, const std::vector<std::u16string>& folds);

// Finds or creates the keys of a path of exact names (folded names alongside).
HiveKey* createHiveKey(HiveKey& root, const std::vector<std::u16string>& names,
    const std::vector<std::u16string>& folds, uint64_t now, HiveUndo& undo);

// Sets a value, replacing one of the same name (whose spelling stays) and any kept
// line of that name.
void setHiveValue(HiveKey& key, std::u16string name, uint32_t type, std::vector<uint8_t> data, uint64_t now,
    HiveUndo& undo);

// Removes a value; false when there is none of that name.
bool deleteHiveValue(HiveKey& key, std::u16string_view fold, uint64_t now, HiveUndo& undo);

// Removes a subkey with everything below it; false when there is none of that name.
bool deleteHiveSubkey(HiveKey& parent, std::u16string_view fold, uint64_t now, HiveUndo& undo);

} // namespace tw
