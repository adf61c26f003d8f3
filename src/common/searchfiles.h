#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "common/fs/filesystem.h"

// The file search facility: a depth-first walk of one folder tree that reports
// the files passing a filter through events. One object per tool, configured
// once and reused for every search.
namespace tw {

// The tests of a filter.
enum TSearchType : uint32_t { stAttribute, stFileMask, stMinSize, stMaxSize };

// A set of TSearchType values.
class TSearchTypes {
public:
    TSearchTypes() = default;
    TSearchTypes(std::initializer_list<TSearchType> types)
    {
        for (TSearchType type : types)
            include(type);
    }
    bool contains(TSearchType type) const { return (m_bits & bit(type)) != 0; }
    void include(TSearchType type) { m_bits |= bit(type); }
    void exclude(TSearchType type) { m_bits &= ~bit(type); }
    // Switches a test on or off.
    void set(TSearchType type, bool on) { on ? include(type) : exclude(type); }
    void clear() { m_bits = 0; }
    bool operator==(const TSearchTypes&) const = default;

private:
    static uint32_t bit(TSearchType type) { return 1u << static_cast<uint32_t>(type); }
    uint32_t m_bits = 0;
};

// How one attribute bit takes part in the attribute test.
enum TAttrFlagKind { tsMustBeSet, tsDontCare, tsMustBeUnSet };

// Attribute bits that must be set (IncludeAttr) and bits that must be clear (ExcludeAttr).
struct TSearchAttributes {
    uint32_t IncludeAttr = 0;
    uint32_t ExcludeAttr = 0;

    // Puts the bits into one mask and takes them out of the other (or out of both).
    void setFlag(uint32_t bits, TAttrFlagKind kind);
    // The state of one bit: tsMustBeSet, tsMustBeUnSet or tsDontCare.
    TAttrFlagKind flag(uint32_t bit) const;
};

// The filter every reported file must pass; only the tests in SearchTypes apply.
struct TSearchParams {
    TSearchTypes SearchTypes;
    TSearchAttributes Attributes;
    // Wildcards with "*" and "?", matched against the file name without regard to case.
    std::vector<std::string> FileMasks;
    // Inclusive size bounds in bytes.
    uint64_t MinSize = 0;
    uint64_t MaxSize = 0;
};

enum TDirOption { doExcludeSubDirs, doIncludeSubDirs };

// What a folder that cannot be read does to the search: with erIgnore it counts as empty.
enum TErrorResponse { erIgnore };

class TSearchFiles {
public:
    // A searcher over the Windows file system of one prefix.
    explicit TSearchFiles(const FileSystem& fileSystem);
    TSearchFiles(const TSearchFiles&) = delete;
    TSearchFiles& operator=(const TSearchFiles&) = delete;

    // Folder where the next search starts; a trailing backslash is optional.
    std::string RootDirectory;
    TDirOption DirOption = doIncludeSubDirs;
    // The filter of reported files.
    TSearchParams FileParams;
    // A filter for folders, kept for its owners; it never limits the walk.
    TSearchParams DirParams;
    TErrorResponse ErrorResponse = erIgnore;
    // The entry being looked at; describes the reported file while OnFindFile runs.
    tw::FindData FindData;

    // Fired when the walk starts on a folder, with its path ending in a backslash.
    std::function<void(TSearchFiles&, const std::string& folder)> OnBeginScanDir;
    // Fired for every entry of every folder before it is looked at (let pending messages run here).
    std::function<void(TSearchFiles&)> OnProgress;
    // Fired for every file that passes FileParams, with its full path.
    std::function<void(TSearchFiles&, const std::string& path)> OnFindFile;
    // Fired by AbortSearch while a search runs.
    std::function<void(TSearchFiles&)> OnAbort;

    // Walks RootDirectory; true when the walk finished, false when it was aborted
    // or when a search of this searcher is already running.
    bool RunSearch();
    // Asks the running search to stop at its next entry and fires OnAbort at once;
    // does nothing when no search runs.
    void AbortSearch();
    // True while RunSearch runs.
    bool searching() const { return m_searching; }

private:
    struct Walk;
    const FileSystem& m_fileSystem;
    bool m_searching = false;
    bool m_aborted = false;
};

} // namespace tw
