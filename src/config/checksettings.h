#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/junkmaskline.h"

// The settings key and the files of the config folder: their defaults, created on
// first need, and the removal settings. Every function takes the program folder
// (a Windows path without trailing backslash) and builds its paths from it.
namespace tw {

class Environment;

// The settings key under HKEY_CURRENT_USER.
inline constexpr std::string_view SettingsKey = "Software\\Brindlewharf\\Tidewick 2.4";

// Creates each missing folder of the config tree and the removal folder, in order;
// failures are ignored.
void EnsureConfigFolders(Environment& env, std::string_view programFolder);

// Ensures the folders; creates the settings key with its five default values when
// the key is missing. An existing key is never touched.
void EnsureSettingsKey(Environment& env, std::string_view programFolder);

// Stores the removal method; a non-empty folder also stores the folder and
// "Remove scan" (0 when skip is true, else 1).
void SaveRemovalSettings(Environment& env, std::string_view programFolder, int32_t method,
                         std::string_view folder, bool skip);

// "Remove method"; a missing value throws the registry's PlatformError.
int32_t GetRemoveMethod(Environment& env, std::string_view programFolder);

// "Remove folder" as stored; "" when missing.
std::string GetRemoveFolder(Environment& env, std::string_view programFolder);

// The removal folder when "Remove scan" is 0, else ""; a missing "Remove scan"
// throws the registry's PlatformError.
std::string GetScanExcludedFolder(Environment& env, std::string_view programFolder);

// GetScanExcludedFolder without making sure of the folders and the key first, for
// callers that ask once per found file: nullopt when the settings key is missing
// (the caller then goes the full way, which creates it), else the same answer and
// the same errors.
std::optional<std::string> ReadScanExcludedFolder(Environment& env);

// Creates "\config\usrfldr.ini" empty when it is missing.
void EnsureUserFolderFile(Environment& env, std::string_view programFolder);

// Writes the 49 default lines of "\config\ext.ini" when the file is missing;
// throws PlatformError "Unable to write to <file>" when that fails.
void EnsureJunkMaskFile(Environment& env, std::string_view programFolder);

// Writes the default groups of "\config\dfext.ini" when the file is missing;
// throws PlatformError "Unable to write to <file>" when that fails.
void EnsureFileGroupFile(Environment& env, std::string_view programFolder);

// Creates each missing file of the disabled start-up store empty.
void EnsureStoreFiles(Environment& env, std::string_view programFolder);

// Replaces "\config\ext.ini" with one line per row, in order (an empty list gives
// an empty file); throws PlatformError "Unable to write to <file>" when that fails.
void SaveJunkMasks(Environment& env, std::string_view programFolder, const std::vector<JunkMaskRow>& rows);

} // namespace tw
