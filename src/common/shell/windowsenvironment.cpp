#include "common/shell/windowsenvironment.h"

#include "common/base/text.h"
#include "common/base/winpath.h"
#include "common/registry/registry.h"
#include "common/shell/registrytext.h"
#include "common/shell/username.h"

namespace tw {
namespace {

// References nested deeper than this are left as written (a loop A -> B -> A).
constexpr int maxDepth = 8;
// Windows holds no variable longer than this. Together with the reference budget
// it bounds the work of values that refer to themselves many times over
// ("%A%%A%%A%..."), which would otherwise grow without limit.
constexpr size_t maxLength = 32767;
constexpr size_t maxReferences = 4096;

constexpr std::string_view sessionEnvironment[] = {
    "System\\CurrentControlSet\\Control\\Session Manager\\Environment",
    "System\\ControlSet001\\Control\\Session Manager\\Environment",
};

constexpr std::string_view profileList = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
// The one user of a Wine prefix.
constexpr std::string_view userSid = "S-1-5-21-0-0-0-1000";

// Every value of a key that holds text, REG_EXPAND_SZ marked as expandable.
void addKeyValues(WindowsEnvironment& environment, Registry& registry, RegRoot root, std::string_view path)
{
    const std::optional<RegKey> key = registry.openKey(root, path);
    if (!key)
        return;
    for (const std::string& name : key->valueNames()) {
        if (name.empty())
            continue;
        if (const std::optional<RegistryText> text = readRegistryText(*key, name))
            environment.set(name, text->text, text->expandable);
    }
}

} // namespace

WindowsEnvironment WindowsEnvironment::load(Registry& registry)
{
    WindowsEnvironment environment;
    const auto expanded = [&](RegRoot root, std::string_view path, std::string_view name, std::string fallback) {
        const std::optional<RegistryText> text = readRegistryText(registry, root, path, name);
        if (!text || text->text.empty())
            return fallback;
        return text->expandable ? environment.expand(text->text) : text->text;
    };

    // The system part, as the session starts it.
    environment.set("SystemDrive", "C:");
    environment.set("SystemRoot", "C:\\windows");
    environment.set("windir", "C:\\windows");
    const std::string programData = expanded(RegRoot::LocalMachine, profileList, "ProgramData", "C:\\ProgramData");
    environment.set("ProgramData", programData);
    environment.set("ALLUSERSPROFILE", programData);
    environment.set("PUBLIC", expanded(RegRoot::LocalMachine, profileList, "Public", "C:\\users\\Public"));
    const std::string_view currentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
    environment.set("ProgramFiles", expanded(RegRoot::LocalMachine, currentVersion, "ProgramFilesDir", "C:\\Program Files"));
    environment.set("CommonProgramFiles",
                    expanded(RegRoot::LocalMachine, currentVersion, "CommonFilesDir", "C:\\Program Files\\Common Files"));

    for (std::string_view path : sessionEnvironment) {
        if (registry.keyExists(RegRoot::LocalMachine, path)) {
            addKeyValues(environment, registry, RegRoot::LocalMachine, path);
            break;
        }
    }

    // The profile part: Wine keeps it in the volatile environment, which is not
    // saved, so it is computed from the profile folder as Wine computes it.
    const std::string profile = ExcludeTrailingBackslash(expanded(
        RegRoot::LocalMachine, std::string(profileList) + "\\" + std::string(userSid), "ProfileImagePath",
        "C:\\users\\" + hostUserName()));
    environment.set("USERPROFILE", profile);
    environment.set("USERNAME", std::string(ExtractFileName(profile)));
    environment.set("HOMEDRIVE", profile.substr(0, 2));
    environment.set("HOMEPATH", profile.size() > 2 ? profile.substr(2) : "\\");
    environment.set("APPDATA", profile + "\\AppData\\Roaming");
    environment.set("LOCALAPPDATA", profile + "\\AppData\\Local");

    addKeyValues(environment, registry, RegRoot::CurrentUser, "Environment");
    return environment;
}

void WindowsEnvironment::set(std::string_view name, std::string value, bool expandable)
{
    m_variables[upperCase(name)] = {std::move(value), expandable};
}

std::optional<std::string> WindowsEnvironment::get(std::string_view name) const
{
    const auto it = m_variables.find(upperCase(name));
    if (it == m_variables.end())
        return std::nullopt;
    Budget budget{maxReferences};
    return valueOf(it->second, 0, budget);
}

std::string WindowsEnvironment::expand(std::string_view text) const
{
    Budget budget{maxReferences};
    return expand(text, 0, budget);
}

std::string WindowsEnvironment::valueOf(const Variable& variable, int depth, Budget& budget) const
{
    return variable.expandable && depth < maxDepth ? expand(variable.value, depth + 1, budget) : variable.value;
}

std::string WindowsEnvironment::expand(std::string_view text, int depth, Budget& budget) const
{
    std::string out;
    size_t i = 0;
    while (i < text.size() && out.size() < maxLength) {
        if (text[i] != '%') {
            out += text[i++];
            continue;
        }
        const size_t close = text.find('%', i + 1);
        if (close == std::string_view::npos) {
            out += text.substr(i);
            break;
        }
        const std::string_view name = text.substr(i + 1, close - i - 1);
        const auto it = name.empty() ? m_variables.end() : m_variables.find(upperCase(name));
        if (it != m_variables.end() && budget.references > 0) {
            --budget.references;
            out += valueOf(it->second, depth, budget);
            i = close + 1;
        } else if (it != m_variables.end()) {
            out += text.substr(i, close + 1 - i);
            i = close + 1;
        } else {
            // Not a variable: keep "%name" and let the second "%" open the next one.
            out += text.substr(i, close - i);
            i = close;
        }
    }
    if (out.size() > maxLength)
        out.resize(maxLength);
    return out;
}

} // namespace tw
