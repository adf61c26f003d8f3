#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The Windows registry of one prefix: HKEY_LOCAL_MACHINE is system.reg,
// HKEY_CURRENT_USER is user.reg, HKEY_CLASSES_ROOT is the merged view of
// "Software\Classes" of both (the user's key wins where both hold one; changes go
// to the hive that holds the key, new keys to the machine hive).
//
// Key paths are names joined by "\", relative to the root; a leading backslash is
// the root itself, a trailing one is allowed; names compare without regard to case.
// Every change is saved to its hive file before the changing call returns.
namespace tw {

enum class RegRoot { CurrentUser, LocalMachine, ClassesRoot };

// Value types, numbered as on Windows; any other number is kept as it is.
namespace RegType {
constexpr uint32_t None = 0;
constexpr uint32_t Sz = 1;
constexpr uint32_t ExpandSz = 2;
constexpr uint32_t Binary = 3;
constexpr uint32_t Dword = 4;
constexpr uint32_t Link = 6;
constexpr uint32_t MultiSz = 7;
constexpr uint32_t Qword = 11;
} // namespace RegType

// A value's type and raw data. Text types hold UTF-16LE code units with their
// terminating NUL, exactly as Windows returns them.
struct RegValue {
    uint32_t type = RegType::None;
    std::vector<uint8_t> data;
};

class Registry;

enum class RegAccess { Read, Write };

// An open key (the result of RegOpenKeyEx / RegCreateKeyEx). It names its key by
// root and path and looks it up again whenever the trees changed since its last
// call, so a key deleted meanwhile makes reads come back empty and writes fail,
// never crash. A RegKey must not outlive its Registry.
class RegKey {
public:
    RegRoot root() const { return m_root; }
    // The key's path as it was opened, without leading or trailing backslash.
    const std::string& path() const { return m_path; }
    RegAccess access() const { return m_access; }

    // RegQueryInfoKey: numbers of subkeys and values (0 for a vanished key).
    uint32_t subkeyCount() const;
    uint32_t valueCount() const;
    // RegEnumKeyEx / RegEnumValue: all names in index order (sorted without regard
    // to case); the default value is listed with the empty name.
    std::vector<std::string> subkeyNames() const;
    std::vector<std::string> valueNames() const;

    bool hasValue(std::string_view name) const;
    // The value's type; nullopt when the value is missing.
    std::optional<uint32_t> valueType(std::string_view name) const;
    // The value's type and raw data; nullopt when the value is missing.
    std::optional<RegValue> readValue(std::string_view name) const;

    // Text of a REG_SZ or REG_EXPAND_SZ value as stored (never expanded), cut at
    // its first NUL; a missing or empty value reads as "". Any other type throws
    // PlatformError "Invalid data type for '<name>'".
    std::string readString(std::string_view name) const;
    // A REG_DWORD value. Missing: PlatformError "Failed to get data for '<name>'";
    // another type: "Invalid data type for '<name>'".
    uint32_t readInteger(std::string_view name) const;

    // Stores REG_SZ / REG_EXPAND_SZ / REG_DWORD / any raw value, replacing a value of
    // the same name. A refused write (read-only key or hive, vanished key, failed
    // save) throws PlatformError "Failed to set data for '<name>'" with the reason
    // as its detail.
    void writeString(std::string_view name, std::string_view text);
    void writeExpandString(std::string_view name, std::string_view text);
    void writeInteger(std::string_view name, uint32_t value);
    void writeValue(std::string_view name, const RegValue& value);

    // RegDeleteValue: false when the value is missing or the change is refused.
    bool deleteValue(std::string_view name);
    // RegDeleteKey of a subkey of this key, with its whole subtree (deepest first).
    // As on Windows, the rights this key was opened with do not matter.
    bool deleteSubkey(std::string_view name);

private:
    friend class Registry;
    RegKey(Registry* registry, RegRoot root, std::string path, RegAccess access, std::vector<std::u16string> folds)
        : m_registry(registry), m_root(root), m_path(std::move(path)), m_access(access), m_folds(std::move(folds)) {}

    // The key's root and path as in messages ("HKEY_CURRENT_USER\Software\X").
    std::string fullName() const;
    std::optional<RegValue> readValueLocked(std::string_view name) const;
    void write(std::string_view name, uint32_t type, std::vector<uint8_t> data);

    Registry* m_registry;
    RegRoot m_root;
    std::string m_path;
    RegAccess m_access;
    // The path's names folded for lookup, so that calls need not split it again.
    std::vector<std::u16string> m_folds;
    // Where the key was last found (one key per hive behind the root), valid while
    // the registry's trees keep the generation it was found in.
    struct Found;
    Found found() const;
    mutable void* m_foundKeys[2] = {nullptr, nullptr};
    mutable uint64_t m_foundGeneration = 0;
};

// Where the registry looks for a running Wine server; tests point it elsewhere.
struct RegistryOptions {
    // The folder holding Wine's server folders (".wine-<uid>", "wine-XXXXXX").
    std::filesystem::path serverTmpFolder = "/tmp";
};

// One registry may be used from several threads: every call holds its lock. A hive
// file changed on disk by someone else (Wine saving it) is loaded again before the
// next change and, within a second, before the next read.
class Registry {
public:
    // Loads system.reg and user.reg of the prefix folder. A missing file is an empty
    // hive (created on its first change); a file that does not parse is loaded as far
    // as it goes, read-only, and never saved over (readOnlyReason() says why).
    static std::unique_ptr<Registry> open(const std::filesystem::path& prefixFolder);
    static std::unique_ptr<Registry> open(const std::filesystem::path& prefixFolder, const RegistryOptions& options);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Open a key for reading, never creating it; nullopt for a missing key.
    std::optional<RegKey> openKey(RegRoot root, std::string_view path);
    // Test that a key exists; nothing is created.
    bool keyExists(RegRoot root, std::string_view path) const;
    // Open a key for writing, creating missing keys; nullopt only when the hive
    // refuses changes (see readOnlyReason).
    std::optional<RegKey> createKey(RegRoot root, std::string_view path);
    // Open an existing key for writing; nullopt for a missing key or a read-only hive.
    std::optional<RegKey> openKeyForWrite(RegRoot root, std::string_view path);
    // Delete a key with its subtree; false when it is missing or the change is refused.
    bool deleteKey(RegRoot root, std::string_view path);

    // Why changes to the hive behind this root are refused: a hive that failed to
    // parse (file and line), or a Wine server running for the prefix; "" when writable.
    std::string readOnlyReason(RegRoot root) const;

    // Writes the hive behind root (for HKEY_CLASSES_ROOT the machine hive) to another
    // file, exactly as it would be saved; false with the reason in error.
    bool exportHive(RegRoot root, const std::filesystem::path& file, std::string* error = nullptr) const;

    // Implementation detail shared with RegKey.
    struct Impl;

private:
    friend class RegKey;
    explicit Registry(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

} // namespace tw
