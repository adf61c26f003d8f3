#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "common/registry/hiveedit.h"
#include "common/registry/registry.h"
#include "common/registry/registryhive.h"

namespace tw {

// The state behind a Registry and its keys: the two hives of the prefix.
struct Registry::Impl {
    Impl(const std::filesystem::path& prefixFolder, const RegistryOptions& options);

    // A key found in one hive.
    struct Located {
        RegistryHive* hive = nullptr;
        HiveKey* key = nullptr;
    };

    // Reloads hives that changed on disk: always before a change, at most once a
    // second before reads.
    void refreshForRead();
    void refreshForWrite();

    // The hives behind a root: for HKEY_CLASSES_ROOT the user's first (its keys
    // win), then the machine's.
    std::vector<RegistryHive*> hivesOf(RegRoot root);
    // The same into hives[0..1]; returns how many.
    int hivesOf(RegRoot root, RegistryHive* hives[2]);
    // The key of a path in one hive (below "Software\Classes" for
    // HKEY_CLASSES_ROOT); nullptr when it is missing.
    static HiveKey* find(RegistryHive& hive, RegRoot root, const std::vector<std::u16string>& folds);
    // The existing keys behind a root and path, the winning one first.
    std::vector<Located> locate(RegRoot root, const std::vector<std::u16string>& folds);
    Located winner(RegRoot root, const std::vector<std::u16string>& folds);

    // The operations of Registry, with the lock held.
    bool deleteKey(RegRoot root, const std::vector<std::u16string>& folds);

    // Why the hive may not be changed now; "" when it may.
    std::string refusal(RegistryHive& hive) const;
    // Applies one change to a hive and saves it; a refused change or a failed save
    // (which is undone) returns false with the reason. The edit itself returns false
    // when there is nothing to change (reason stays empty).
    bool change(RegistryHive& hive, const std::function<bool(HiveUndo&)>& edit, std::string& reason);

    // The current time as a FILETIME.
    static uint64_t now();

    // Grows whenever a tree is loaded again or changed, which may free or move keys.
    uint64_t generation = 1;
    std::mutex mutex;
    std::filesystem::path prefix;
    std::filesystem::path serverTmpFolder;
    RegistryHive machine;
    RegistryHive user;
    std::chrono::steady_clock::time_point lastReadCheck;
};

} // namespace tw
