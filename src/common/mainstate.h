#pragma once

#include <string>
#include <vector>

#include "common/drivelist.h"
#include "common/fs/filesystem.h"
#include "common/knownfolders.h"
#include "common/searchfiles.h"

namespace tw {

// What the main window shares with the tools for the whole run.
struct MainState {
    // The four searchers configured as the window creates them; the tools change
    // only wildcards, roots, recursion, attribute states and size bounds later.
    explicit MainState(const FileSystem& fileSystem)
        : dcSearcher(fileSystem), dfSearcher(fileSystem), sdSearcher(fileSystem), fwSearcher(fileSystem)
    {
        // The junk search: wildcards only. Its system bit stays without effect
        // because the attribute test is off.
        dcSearcher.FileParams.SearchTypes = {stFileMask};
        dcSearcher.FileParams.Attributes.setFlag(FileAttribute::System, tsMustBeUnSet);
        dcSearcher.FileParams.FileMasks = {""};

        // The duplicate finder: attributes and wildcards, system files left out.
        dfSearcher.FileParams.SearchTypes = {stAttribute, stFileMask};
        dfSearcher.FileParams.Attributes.setFlag(FileAttribute::System, tsMustBeUnSet);
        dfSearcher.FileParams.FileMasks = {""};

        // The shortcut doctor: shortcuts that are not system files.
        sdSearcher.FileParams.SearchTypes = {stAttribute, stFileMask};
        sdSearcher.FileParams.Attributes.setFlag(FileAttribute::System, tsMustBeUnSet);
        sdSearcher.FileParams.FileMasks = {"*.lnk"};

        // The file wiper: every name with a dot.
        fwSearcher.FileParams.SearchTypes = {stFileMask};
        fwSearcher.FileParams.FileMasks = {"*.*"};
    }
    MainState(const MainState&) = delete;
    MainState& operator=(const MainState&) = delete;

    // Folder of the executable as a Windows path, without trailing backslash.
    std::string ProgramFolder;
    KnownFolders knownFolders;
    // Built at the first display of the window, in drive-letter order.
    std::vector<TDriveInfo> drives;
    // The stop request of the junk search, the duplicate finder and the shortcut doctor.
    bool SearchStopped = false;
    TSearchFiles dcSearcher;
    TSearchFiles dfSearcher;
    TSearchFiles sdSearcher;
    TSearchFiles fwSearcher;
};

} // namespace tw
