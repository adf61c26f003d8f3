#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

// The Windows environment block of the prefix's user, built from the registry
// the way Windows and Wine build it: the system variables (SystemRoot, windir,
// ProgramData, ProgramFiles, ...), the Session Manager's Environment key,
// the profile variables (USERPROFILE, APPDATA, LOCALAPPDATA, ...) and finally
// HKCU\Environment, each layer over the one before. The host environment is
// never consulted: its TEMP would be a Linux path.
namespace tw {

class Registry;

class WindowsEnvironment {
public:
    // Reads the variables from the registry as it is now.
    static WindowsEnvironment load(Registry& registry);

    // A variable's text with %VAR% references of REG_EXPAND_SZ values expanded;
    // names compare without regard to case; nullopt when it is not set.
    std::optional<std::string> get(std::string_view name) const;
    // ExpandEnvironmentStrings: every %NAME% of a set variable replaced by its
    // text; unknown references stay as written.
    std::string expand(std::string_view text) const;

    // Sets a variable (a layer over what was read).
    void set(std::string_view name, std::string value, bool expandable = false);

private:
    struct Variable {
        std::string value;
        bool expandable = false;
    };
    // How many more references one expansion may replace.
    struct Budget {
        size_t references;
    };
    std::string expand(std::string_view text, int depth, Budget& budget) const;
    std::string valueOf(const Variable& variable, int depth, Budget& budget) const;

    std::map<std::string, Variable> m_variables; // by upper-cased name
};

} // namespace tw
