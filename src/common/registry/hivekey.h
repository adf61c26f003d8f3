#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The in-memory tree of one hive file. Names are kept as the exact UTF-16 code
// units of the file, with their folded form for ordering and case-blind lookup;
// subkeys and values are each held sorted by that form, which is Wine's order and
// the enumeration order. Text views point into the hive's loaded file bytes, which
// outlive the tree.
namespace tw {

struct HiveValue {
    std::u16string name;
    std::u16string fold;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    // The value's lines as loaded (line ends included); empty for a value set since.
    std::string_view raw;
};

// A line of a key that was kept as it is because it is not understood (a comment,
// an unknown "#" option, a value of an unknown form).
struct HiveKeptLine {
    std::string_view text;
    // True when it stood before the key's first value (options and comments).
    bool beforeValues = false;
    // The folded value name of a value line, so that setting that value replaces it.
    std::optional<std::u16string> valueFold;
};

struct HiveKey {
    std::u16string name;
    std::u16string fold;
    HiveKey* parent = nullptr;
    std::vector<std::unique_ptr<HiveKey>> subkeys;
    std::vector<HiveValue> values;
    // Last write time as a FILETIME (100 ns ticks since 1601).
    uint64_t modified = 0;
    std::optional<std::u16string> className;
    bool isLink = false;
    std::vector<HiveKeptLine> keptLines;
    // The key's block as loaded, from the blank lines before its "[path]" line to
    // its last line; empty when the file held no block of its own for the key.
    std::string_view block;
    // True once the key changed since loading: its block is written anew.
    bool rewrite = false;

    // The subkey or value with this folded name; nullptr when there is none.
    HiveKey* findSubkey(std::u16string_view fold) const;
    HiveValue* findValue(std::u16string_view fold);
    const HiveValue* findValue(std::u16string_view fold) const;
    // Where a subkey or value with this folded name is or would be inserted.
    size_t subkeyIndex(std::u16string_view fold) const;
    size_t valueIndex(std::u16string_view fold) const;
};

// Wine writes a key's block only when it has values, no subkeys, a class or the
// link flag; a parent with nothing of its own is implied by its children's paths.
// A key holding lines we kept without understanding them is written too, so that
// they are not lost.
bool needsOwnBlock(const HiveKey& key);

} // namespace tw
