#include "common/knownfolders.h"

#include "common/base/platformerror.h"
#include "common/machine/environment.h"

namespace tw {
namespace {

constexpr std::string_view ShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A string value, "" when it is missing or not a string: nothing here is shown to the user.
std::string readFolder(const RegKey& key, std::string_view name)
{
    try {
        return key.readString(name);
    } catch (const PlatformError&) {
        return {};
    }
}

} // namespace

void LoadKnownFolders(Environment& env, KnownFolders& folders)
{
    Registry& registry = env.registry();
    if (!registry.keyExists(RegRoot::CurrentUser, ShellFoldersKey))
        return;
    if (const std::optional<RegKey> key = registry.openKey(RegRoot::CurrentUser, ShellFoldersKey)) {
        folders.LocalAppData = readFolder(*key, "Local AppData");
        folders.Cookies = readFolder(*key, "Cookies");
        folders.History = readFolder(*key, "History");
        folders.Cache = readFolder(*key, "Cache");
    }
    folders.APPDATA = ReadEnvironmentVariable(env, "APPDATA");
    folders.Programfiles = ReadEnvironmentVariable(env, "Programfiles");
}

std::string ReadEnvironmentVariable(Environment& env, std::string_view name)
{
    const std::optional<std::string> value = env.shell().GetEnvironmentVariable(name);
    if (!value)
        return {};
    // The text ends at its first NUL, as the platform's copy does.
    return value->substr(0, value->find('\0'));
}

} // namespace tw
