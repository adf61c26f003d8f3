#pragma once

#include <filesystem>
#include <string>

// Choosing and creating the prefix the program works on.
namespace tw {

// WINEPREFIX when set; else ~/.wine when it holds a system.reg; else the program's
// own prefix $XDG_DATA_HOME/brindlewharf-tidewick/prefix (default ~/.local/share).
std::filesystem::path ChoosePrefixFolder();

// Creates Wine's skeleton in an empty or missing folder: dosdevices/c: ->
// ../drive_c and z: -> /, drive_c/windows, drive_c/users/<user>/... and registry
// files with the shell folders, environment keys, ProgramFilesDir and empty Run
// and Uninstall keys. Does nothing to a folder that already has a system.reg.
bool EnsurePrefix(const std::filesystem::path& prefixFolder, std::string* error = nullptr);

// The user name of the profile folder (C:\users\<user>): $USER, else the account name.
std::string PrefixUserName();

} // namespace tw
