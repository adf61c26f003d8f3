#pragma once

#include <array>
#include <string>
#include <string_view>

// Paths of the config tree, relative to the program folder (each begins with a backslash).
namespace tw::ConfigPath {

inline constexpr std::string_view ConfigFolder = "\\config\\";
inline constexpr std::string_view DisabledRegistryFolder = "\\config\\Disabled Registry\\";
inline constexpr std::string_view DisabledStartupAllFolder = "\\config\\Disabled Startup All\\";
inline constexpr std::string_view DisabledStartupCurrentFolder = "\\config\\Disabled Startup Current\\";
inline constexpr std::string_view DeletedFolder = "\\deleted\\";

inline constexpr std::string_view JunkMaskFile = "\\config\\ext.ini";
inline constexpr std::string_view FileGroupFile = "\\config\\dfext.ini";
inline constexpr std::string_view FileExceptionFile = "\\config\\fileexcl.ini";
inline constexpr std::string_view FolderExceptionFile = "\\config\\fldrexcl.ini";
inline constexpr std::string_view UserFolderFile = "\\config\\usrfldr.ini";

// The folders EnsureConfigFolders creates, in creation order.
inline constexpr std::array<std::string_view, 5> Folders = {
    ConfigFolder, DisabledRegistryFolder, DisabledStartupAllFolder, DisabledStartupCurrentFolder, DeletedFolder};

// The nine files of the disabled start-up store in "\config\Disabled Registry\"
// (there is no file for the user's RunServicesOnce key).
inline constexpr std::array<std::string_view, 9> StoreFiles = {
    "allRun.ini",  "allRunOnce.ini",  "allRunOnceEx.ini",  "allRunServices.ini", "allRunServicesOnce.ini",
    "currRun.ini", "currRunOnce.ini", "currRunOnceEx.ini", "currRunServices.ini"};

// The program folder followed by a relative path.
inline std::string configFile(std::string_view programFolder, std::string_view relative)
{
    std::string path(programFolder);
    path += relative;
    return path;
}

} // namespace tw::ConfigPath
