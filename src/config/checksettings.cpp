#include "config/checksettings.h"

#include "common/base/platformerror.h"
#include "common/base/winpath.h"
#include "common/machine/environment.h"
#include "config/configpaths.h"
#include "config/defaultfiles.h"

namespace tw {
namespace {

using ConfigPath::configFile;

// The settings key, opened for reading; a key that cannot be had fails like the
// value the caller wanted.
RegKey settingsForRead(Environment& env, std::string_view valueName)
{
    std::optional<RegKey> key = env.registry().openKey(RegRoot::CurrentUser, SettingsKey);
    if (!key)
        throw PlatformError("Failed to get data for '" + std::string(valueName) + "'");
    return *key;
}

RegKey settingsForWrite(Environment& env)
{
    std::optional<RegKey> key = env.registry().createKey(RegRoot::CurrentUser, SettingsKey);
    if (!key)
        throw PlatformError("Failed to create key '" + std::string(SettingsKey) + "'",
                            env.registry().readOnlyReason(RegRoot::CurrentUser));
    return *key;
}

// Writes a text file of the config tree, or ends the operation with the platform's error.
void writeLines(Environment& env, const std::string& path, const std::vector<std::string>& lines)
{
    if (!env.fileSystem().WriteLines(path, lines))
        throw PlatformError("Unable to write to " + path);
}

// Creates an empty file unless one is there.
void ensureEmptyFile(Environment& env, const std::string& path)
{
    FileSystem& fs = env.fileSystem();
    if (!fs.FileExists(path) && !fs.CreateEmptyFile(path))
        throw PlatformError("Unable to write to " + path);
}

} // namespace

void EnsureConfigFolders(Environment& env, std::string_view programFolder)
{
    FileSystem& fs = env.fileSystem();
    for (std::string_view relative : ConfigPath::Folders) {
        const std::string folder = ExcludeTrailingBackslash(configFile(programFolder, relative));
        if (!fs.DirectoryExists(folder))
            fs.CreateDirectory(folder);
    }
}

void EnsureSettingsKey(Environment& env, std::string_view programFolder)
{
    EnsureConfigFolders(env, programFolder);
    if (env.registry().keyExists(RegRoot::CurrentUser, SettingsKey))
        return;
    RegKey key = settingsForWrite(env);
    key.writeString("Skin name", "Neutral");
    key.writeInteger("Remove method", 1);
    key.writeInteger("Remove scan", 0);
    key.writeString("Remove folder", "");
    key.writeString("DF mode", "mode 1");
}

void SaveRemovalSettings(Environment& env, std::string_view programFolder, int32_t method, std::string_view folder,
                         bool skip)
{
    EnsureSettingsKey(env, programFolder);
    RegKey key = settingsForWrite(env);
    key.writeInteger("Remove Method", static_cast<uint32_t>(method));
    if (folder.empty())
        return;
    key.writeString("Remove folder", folder);
    key.writeInteger("Remove scan", skip ? 0 : 1);
}

int32_t GetRemoveMethod(Environment& env, std::string_view programFolder)
{
    EnsureSettingsKey(env, programFolder);
    return static_cast<int32_t>(settingsForRead(env, "Remove method").readInteger("Remove method"));
}

std::string GetRemoveFolder(Environment& env, std::string_view programFolder)
{
    EnsureSettingsKey(env, programFolder);
    return settingsForRead(env, "Remove folder").readString("Remove folder");
}

std::string GetScanExcludedFolder(Environment& env, std::string_view programFolder)
{
    EnsureSettingsKey(env, programFolder);
    if (std::optional<std::string> folder = ReadScanExcludedFolder(env))
        return *folder;
    // The key vanished between the two calls: fail like the value we wanted.
    settingsForRead(env, "Remove scan");
    return {};
}

std::optional<std::string> ReadScanExcludedFolder(Environment& env)
{
    const std::optional<RegKey> key = env.registry().openKey(RegRoot::CurrentUser, SettingsKey);
    if (!key)
        return std::nullopt;
    if (key->readInteger("Remove scan") != 0)
        return std::string();
    return key->readString("Remove folder");
}

void EnsureUserFolderFile(Environment& env, std::string_view programFolder)
{
    EnsureConfigFolders(env, programFolder);
    ensureEmptyFile(env, configFile(programFolder, ConfigPath::UserFolderFile));
}

void EnsureJunkMaskFile(Environment& env, std::string_view programFolder)
{
    EnsureConfigFolders(env, programFolder);
    const std::string path = configFile(programFolder, ConfigPath::JunkMaskFile);
    if (!env.fileSystem().FileExists(path))
        writeLines(env, path, DefaultJunkMaskLines());
}

void EnsureFileGroupFile(Environment& env, std::string_view programFolder)
{
    EnsureConfigFolders(env, programFolder);
    const std::string path = configFile(programFolder, ConfigPath::FileGroupFile);
    if (!env.fileSystem().FileExists(path))
        writeLines(env, path, DefaultFileGroupLines());
}

void EnsureStoreFiles(Environment& env, std::string_view programFolder)
{
    EnsureConfigFolders(env, programFolder);
    for (std::string_view name : ConfigPath::StoreFiles)
        ensureEmptyFile(env, configFile(programFolder, ConfigPath::DisabledRegistryFolder) + std::string(name));
}

void SaveJunkMasks(Environment& env, std::string_view programFolder, const std::vector<JunkMaskRow>& rows)
{
    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (const JunkMaskRow& row : rows)
        lines.push_back(JunkMaskText(row));
    writeLines(env, configFile(programFolder, ConfigPath::JunkMaskFile), lines);
}

} // namespace tw
