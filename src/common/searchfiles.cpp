#include "common/searchfiles.h"

#include "common/base/text.h"
#include "common/base/winpath.h"
#include "common/wildcard.h"

namespace tw {

void TSearchAttributes::setFlag(uint32_t bits, TAttrFlagKind kind)
{
    IncludeAttr &= ~bits;
    ExcludeAttr &= ~bits;
    if (kind == tsMustBeSet)
        IncludeAttr |= bits;
    else if (kind == tsMustBeUnSet)
        ExcludeAttr |= bits;
}

TAttrFlagKind TSearchAttributes::flag(uint32_t bit) const
{
    if (IncludeAttr & bit)
        return tsMustBeSet;
    if (ExcludeAttr & bit)
        return tsMustBeUnSet;
    return tsDontCare;
}

namespace {

constexpr uint32_t HiddenAndSystem = FileAttribute::Hidden | FileAttribute::System;

bool isHiddenAndSystem(uint32_t attributes)
{
    return (attributes & HiddenAndSystem) == HiddenAndSystem;
}

} // namespace

// One run of RunSearch: the filter as it stood when the search started, with the
// wildcards upper-cased once for the whole walk.
struct TSearchFiles::Walk {
    TSearchFiles& searcher;
    TSearchParams params;
    WildcardSet masks;

    Walk(TSearchFiles& owner)
        : searcher(owner), params(owner.FileParams), masks(upperCased(params.FileMasks))
    {
    }

    static std::vector<std::string> upperCased(const std::vector<std::string>& wildcards)
    {
        std::vector<std::string> upper;
        upper.reserve(wildcards.size());
        for (const std::string& wildcard : wildcards)
            upper.push_back(upperCase(wildcard));
        return upper;
    }

    // The tests that are on, in their order: attributes, lower bound, upper bound, wildcards.
    bool passes(const tw::FindData& entry) const
    {
        const TSearchTypes& types = params.SearchTypes;
        if (types.contains(stAttribute)) {
            if (entry.attributes & params.Attributes.ExcludeAttr)
                return false;
            if ((entry.attributes & params.Attributes.IncludeAttr) != params.Attributes.IncludeAttr)
                return false;
        }
        if (types.contains(stMinSize) && entry.size < params.MinSize)
            return false;
        if (types.contains(stMaxSize) && entry.size > params.MaxSize)
            return false;
        // An empty list lets every file through. An empty wildcard matches
        // nothing, so a list of only empty entries lets no file through.
        if (types.contains(stFileMask) && !masks.empty())
            return masks.matchesAny(upperCase(entry.name));
        return true;
    }

    // Walks one folder: its files first, then its sub-folders in the order met,
    // each completely. False when the search was aborted.
    bool folder(std::string_view path)
    {
        const std::string folderPath = IncludeTrailingBackslash(path);
        if (searcher.OnBeginScanDir)
            searcher.OnBeginScanDir(searcher, folderPath);

        std::vector<std::string> subFolders;
        {
            tw::FindData& entry = searcher.FindData;
            uint32_t error = 0;
            // A folder that cannot be read (missing, denied, failing midway) counts
            // as empty from that point: every error is ignored.
            std::unique_ptr<FindHandle> find = searcher.m_fileSystem.FindFirstFile(folderPath + "*", entry, error);
            if (find) {
                do {
                    if (searcher.OnProgress)
                        searcher.OnProgress(searcher);
                    if (searcher.m_aborted)
                        return false;
                    const uint32_t attributes = entry.attributes;
                    if (isHiddenAndSystem(attributes))
                        continue;
                    if (attributes & FileAttribute::Directory) {
                        if (entry.name == "." || entry.name == "..")
                            continue;
                        // No walk descends a link: a linked folder is a leaf.
                        if (attributes & FileAttribute::ReparsePoint)
                            continue;
                        if (searcher.DirOption == doIncludeSubDirs)
                            subFolders.push_back(entry.name);
                    } else if (passes(entry) && searcher.OnFindFile) {
                        searcher.OnFindFile(searcher, folderPath + entry.name);
                    }
                } while (find->next(entry));
            }
        }
        // The enumeration is closed before descending, so open folders never pile up.
        for (const std::string& name : subFolders)
            if (!folder(folderPath + name))
                return false;
        return true;
    }
};

TSearchFiles::TSearchFiles(const FileSystem& fileSystem)
    : m_fileSystem(fileSystem)
{
}

bool TSearchFiles::RunSearch()
{
    if (m_searching)
        return false;
    m_aborted = false;
    m_searching = true;
    // An event handler may throw (a platform error ends the operation); the
    // searcher must still be usable for the next search.
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{m_searching};
    Walk walk(*this);
    return walk.folder(RootDirectory);
}

void TSearchFiles::AbortSearch()
{
    if (!m_searching)
        return;
    m_aborted = true;
    if (OnAbort)
        OnAbort(*this);
}

} // namespace tw
