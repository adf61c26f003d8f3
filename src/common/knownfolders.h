#pragma once

#include <string>
#include <string_view>

namespace tw {

class Environment;

// Folders of the user that the Internet clean works on, read once at start.
struct KnownFolders {
    std::string Cache;
    std::string History;
    std::string Cookies;
    std::string LocalAppData;
    std::string APPDATA;
    std::string Programfiles;
};

// Fills the table from the user's "Shell Folders" key and the environment; with
// that key missing every entry stays empty, the environment entries included.
void LoadKnownFolders(Environment& env, KnownFolders& folders);

// The Windows environment variable's text, "" when it is not set.
std::string ReadEnvironmentVariable(Environment& env, std::string_view name);

} // namespace tw
