#include "common/machine/prefix.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <optional>
#include <vector>

#include "common/base/atomicfile.h"
#include "common/base/text.h"
#include "common/machine/hivetext.h"
#include "common/shell/username.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

std::string environmentText(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

fs::path homeFolder()
{
    std::string home = environmentText("HOME");
    if (home.empty()) {
        if (const passwd* account = ::getpwuid(::geteuid()); account && account->pw_dir)
            home = account->pw_dir;
    }
    return home.empty() ? fs::path("/") : fs::path(home);
}

// The user's desktop folder per $XDG_CONFIG_HOME/user-dirs.dirs, when that file
// names one that exists and is not the home folder itself (which means "none").
std::optional<fs::path> xdgDesktopFolder()
{
    const fs::path home = homeFolder();
    std::string configHome = environmentText("XDG_CONFIG_HOME");
    const fs::path config = !configHome.empty() && configHome[0] == '/' ? fs::path(configHome) : home / ".config";
    std::string bytes;
    if (!readWholeFile(config / "user-dirs.dirs", bytes))
        return std::nullopt;
    for (const std::string& rawLine : splitLines(bytes)) {
        const std::string_view line = trim(rawLine);
        constexpr std::string_view key = "XDG_DESKTOP_DIR=";
        if (line.substr(0, key.size()) != key)
            continue;
        std::string_view value = line.substr(key.size());
        if (value.size() < 2 || value.front() != '"' || value.back() != '"')
            return std::nullopt;
        value = value.substr(1, value.size() - 2);
        fs::path folder;
        if (value.substr(0, 5) == "$HOME")
            folder = home.string() + std::string(value.substr(5));
        else if (!value.empty() && value[0] == '/')
            folder = std::string(value);
        else
            return std::nullopt;
        std::error_code ec;
        if (!fs::is_directory(folder, ec) || fs::equivalent(folder, home, ec))
            return std::nullopt;
        return folder;
    }
    return std::nullopt;
}

bool fail(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

bool makeFolders(const fs::path& folder, std::string* error)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec))
        return fail(error, "cannot create " + folder.string() + ": " + ec.message());
    return true;
}

// Creates a link unless an entry of that name exists already (kept as it is).
bool makeLink(const fs::path& target, const fs::path& link, std::string* error)
{
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0)
        return true;
    if (::symlink(target.c_str(), link.c_str()) != 0)
        return fail(error, "cannot create the link " + link.string() + ": " + std::strerror(errno));
    return true;
}

struct ShellFolder {
    const char* name;
    const char* relative; // below the profile (HKCU) or ProgramData (HKLM)
};

// The user's shell folders we create, as Wine names them.
constexpr ShellFolder userFolders[] = {
    {"AppData", "AppData\\Roaming"},
    {"Cache", "AppData\\Local\\Microsoft\\Windows\\INetCache"},
    {"Cookies", "AppData\\Local\\Microsoft\\Windows\\INetCookies"},
    {"Desktop", "Desktop"},
    {"History", "AppData\\Local\\Microsoft\\Windows\\History"},
    {"Local AppData", "AppData\\Local"},
    {"Personal", "Documents"},
    {"Programs", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
    {"Recent", "AppData\\Roaming\\Microsoft\\Windows\\Recent"},
    {"Start Menu", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
    {"StartUp", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
};

constexpr ShellFolder commonFolders[] = {
    {"Common AppData", ""},
    {"Common Programs", "\\Microsoft\\Windows\\Start Menu\\Programs"},
    {"Common Start Menu", "\\Microsoft\\Windows\\Start Menu"},
    {"Common StartUp", "\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
};

constexpr const char* explorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr const char* currentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";

std::string userHive(const std::string& user)
{
    const std::string profile = "C:\\users\\" + user;
    HiveText hive("REGISTRY\\User\\S-1-5-21-0-0-0-1000");
    hive.setString("Environment", "TEMP", profile + "\\Temp");
    hive.setString("Environment", "TMP", profile + "\\Temp");
    const std::string shell = std::string(explorerKey) + "\\Shell Folders";
    const std::string userShell = std::string(explorerKey) + "\\User Shell Folders";
    for (const ShellFolder& folder : userFolders) {
        hive.setString(shell, folder.name, profile + "\\" + folder.relative);
        hive.setExpandString(userShell, folder.name, std::string("%USERPROFILE%\\") + folder.relative);
    }
    hive.addKey(std::string(currentVersionKey) + "\\Run");
    const timespec now = [] { timespec t{}; ::clock_gettime(CLOCK_REALTIME, &t); return t; }();
    return hive.text(now.tv_sec, static_cast<uint32_t>(now.tv_nsec));
}

std::string machineHive(const std::string& user)
{
    HiveText hive("REGISTRY\\Machine");
    const std::string shell = std::string(explorerKey) + "\\Shell Folders";
    const std::string userShell = std::string(explorerKey) + "\\User Shell Folders";
    for (const ShellFolder& folder : commonFolders) {
        hive.setString(shell, folder.name, std::string("C:\\ProgramData") + folder.relative);
        hive.setExpandString(userShell, folder.name, std::string("%ProgramData%") + folder.relative);
    }
    hive.setString(currentVersionKey, "CommonFilesDir", "C:\\Program Files\\Common Files");
    hive.setString(currentVersionKey, "ProgramFilesDir", "C:\\Program Files");
    hive.addKey(std::string(currentVersionKey) + "\\Run");
    hive.addKey(std::string(currentVersionKey) + "\\Uninstall");

    const std::string nt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    hive.setString(nt, "SystemRoot", "C:\\windows");
    hive.setExpandString(nt + "\\ProfileList", "ProfilesDirectory", "C:\\users");
    hive.setExpandString(nt + "\\ProfileList", "ProgramData", "C:\\ProgramData");
    hive.setExpandString(nt + "\\ProfileList", "Public", "C:\\users\\Public");
    hive.setDword(nt + "\\ProfileList\\S-1-5-21-0-0-0-1000", "Flags", 0);
    hive.setString(nt + "\\ProfileList\\S-1-5-21-0-0-0-1000", "ProfileImagePath", "C:\\users\\" + user);

    // Where Wine 8 keeps the system environment: CurrentControlSet as a plain key.
    const std::string environment = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
    hive.setExpandString(environment, "ComSpec", "%SystemRoot%\\system32\\cmd.exe");
    hive.setString(environment, "OS", "Windows_NT");
    hive.setExpandString(environment, "PATH", "%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\system32\\wbem;%SystemRoot%\\system32\\WindowsPowershell\\v1.0");
    hive.setString(environment, "PATHEXT", ".com;.exe;.bat;.cmd;.vbs;.vbe;.js;.jse;.wsf;.wsh");
    hive.setExpandString(environment, "TEMP", "%SystemRoot%\\temp");
    hive.setExpandString(environment, "TMP", "%SystemRoot%\\temp");
    hive.setExpandString(environment, "windir", "%SystemRoot%");
    const timespec now = [] { timespec t{}; ::clock_gettime(CLOCK_REALTIME, &t); return t; }();
    return hive.text(now.tv_sec, static_cast<uint32_t>(now.tv_nsec));
}

// Host folder below drive_c of a Windows path below C:\ ("users\me\Temp").
fs::path below(const fs::path& driveC, std::string_view windowsRelative)
{
    fs::path path = driveC;
    size_t start = 0;
    while (start < windowsRelative.size()) {
        const size_t end = std::min(windowsRelative.find('\\', start), windowsRelative.size());
        if (end > start)
            path /= std::string(windowsRelative.substr(start, end - start));
        start = end + 1;
    }
    return path;
}

} // namespace

fs::path ChoosePrefixFolder()
{
    if (const std::string wine = environmentText("WINEPREFIX"); !wine.empty())
        return fs::path(wine);
    const fs::path home = homeFolder();
    std::error_code ec;
    if (fs::is_regular_file(home / ".wine" / "system.reg", ec))
        return home / ".wine";
    const std::string dataHome = environmentText("XDG_DATA_HOME");
    // XDG base folders must be absolute paths; a relative value counts as unset.
    const fs::path data = !dataHome.empty() && dataHome[0] == '/' ? fs::path(dataHome) : home / ".local" / "share";
    return data / "brindlewharf-tidewick" / "prefix";
}

std::string PrefixUserName() { return hostUserName(); }

bool EnsurePrefix(const fs::path& prefixFolder, std::string* error)
{
    std::error_code ec;
    if (fs::exists(prefixFolder / "system.reg", ec))
        return true;
    if (!makeFolders(prefixFolder, error) || !makeFolders(prefixFolder / "dosdevices", error))
        return false;
    if (!makeLink("../drive_c", prefixFolder / "dosdevices" / "c:", error)
        || !makeLink("/", prefixFolder / "dosdevices" / "z:", error))
        return false;

    const std::string user = PrefixUserName();
    const fs::path driveC = prefixFolder / "drive_c";
    const std::string profile = "users\\" + user;
    std::vector<std::string> folders = {
        "windows\\system32",
        "windows\\syswow64",
        "windows\\temp",
        "Program Files",
        "ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp",
        "users\\Public",
        profile + "\\Documents",
        profile + "\\Temp",
    };
    for (const ShellFolder& folder : userFolders) {
        if (std::string_view(folder.name) != "Desktop")
            folders.push_back(profile + "\\" + folder.relative);
    }
    for (const std::string& folder : folders) {
        if (!makeFolders(below(driveC, folder), error))
            return false;
    }
    const fs::path desktop = below(driveC, profile + "\\Desktop");
    if (const std::optional<fs::path> xdg = xdgDesktopFolder()) {
        if (!makeLink(*xdg, desktop, error))
            return false;
    } else if (!makeFolders(desktop, error)) {
        return false;
    }

    // system.reg goes last: a prefix is complete exactly when it has one, so an
    // interrupted creation is finished by the next call.
    std::string why;
    if (!fs::exists(prefixFolder / "user.reg", ec) && !writeFileAtomically(prefixFolder / "user.reg", userHive(user), &why))
        return fail(error, why);
    if (!writeFileAtomically(prefixFolder / "system.reg", machineHive(user), &why))
        return fail(error, why);
    return true;
}

} // namespace tw
