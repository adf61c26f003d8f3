#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/shell/trash.h"

// Shell services of one prefix: the shell file operation over the Recycle Bin
// (the freedesktop.org Trash), special folders from the "Shell Folders" keys,
// the Windows environment as Wine builds it, and the program's version text.
namespace tw {

class FileSystem;
class Registry;

// SHFileOperation function codes and flags.
namespace ShellOp {
constexpr uint32_t FO_MOVE = 0x1;
constexpr uint32_t FO_COPY = 0x2;
constexpr uint32_t FO_DELETE = 0x3;
constexpr uint16_t FOF_SILENT = 0x4;
constexpr uint16_t FOF_NOCONFIRMATION = 0x10;
constexpr uint16_t FOF_ALLOWUNDO = 0x40;
constexpr uint16_t FOF_FILESONLY = 0x80;
} // namespace ShellOp

// What SHFileOperation answers when it fails (Win32 and shell codes).
namespace ShellError {
constexpr int FileNotFound = 2;          // the source does not exist
constexpr int PathNotFound = 3;          // the destination is not an existing folder
constexpr int AccessDenied = 5;          // the system refused the change
constexpr int InvalidParameter = 87;     // function 0 or an unknown function
constexpr int DiskFull = 0x70;
constexpr int SameFile = 0x71;           // source and target are the same entry
constexpr int RootFolder = 0x74;         // a drive root is never deleted, moved or copied
constexpr int DestinationSubtree = 0x76; // a folder into itself or below itself
constexpr int InvalidFiles = 0x7C;       // no source, no destination, FOF_FILESONLY with a folder
constexpr int FolderOntoFile = 0x7E;     // a folder onto an existing file
constexpr int FileOntoFolder = 0x80;     // a file onto an existing folder
constexpr int AlreadyExists = 183;       // a folder onto an existing folder (never merged)
constexpr int Unknown = 0x402;
} // namespace ShellError

// SHFILEOPSTRUCT for one path. from is the source path list: the path followed by
// two NUL characters (a text without them is taken as one path).
struct FileOperation {
    uint32_t function = 0;
    std::string from;
    std::string to;
    uint16_t flags = 0;
    bool anyOperationsAborted = false;
};

// CSIDL values the tools ask for.
namespace Csidl {
constexpr int Desktop = 0x0000;
constexpr int StartUp = 0x0007;
constexpr int Recent = 0x0008;
constexpr int CommonStartUp = 0x0018;
} // namespace Csidl

class Shell {
public:
    Shell(FileSystem& fileSystem, Registry& registry, Trash trash);
    ~Shell();

    // SHFileOperation: FO_DELETE (to the Recycle Bin with FOF_ALLOWUNDO, else for
    // good), FO_MOVE or FO_COPY of one file or folder into the destination folder;
    // an existing target file is replaced without asking; FOF_FILESONLY with a
    // folder does nothing and fails; a destination that is empty or no existing
    // folder fails without touching anything. 0 on success, a ShellError code on
    // failure; function 0 is refused. Several NUL-separated sources are done in
    // order, stopping at the first failure.
    int SHFileOperation(FileOperation& operation);

    // SHQueryRecycleBin: total size and number of items of all Recycle Bins.
    struct RecycleBinInfo {
        uint64_t size = 0;
        uint64_t items = 0;
    };
    RecycleBinInfo SHQueryRecycleBin() const;
    // SHEmptyRecycleBin: asks through confirm (unless it is empty), then empties
    // every Recycle Bin; false when the user declined or something stayed.
    bool SHEmptyRecycleBin(const std::function<bool()>& confirm);

    // Path of a special folder (CSIDL) without trailing backslash; "" on failure.
    std::string SpecialFolderPath(int csidl) const;
    // GetWindowsDirectory: "C:\windows".
    std::string GetWindowsDirectory() const;
    // GetEnvironmentVariable: HKCU\Environment over the Session Manager
    // environment, plus USERPROFILE, APPDATA, LOCALAPPDATA and ProgramFiles as
    // Wine computes them, %VAR% expanded; names compare without regard to case.
    std::optional<std::string> GetEnvironmentVariable(std::string_view name) const;
    // "FileVersion" of the program's version resource: the project version.
    static std::string FileVersion();
    // ShellExecute "open" of a document: xdg-open on its host path, not waited for.
    bool ShellExecuteOpen(std::string_view windowsPath) const;

    Trash& trash() { return m_trash; }

private:
    int deleteOne(std::string_view path, uint16_t flags);
    int transferOne(std::string_view path, std::string_view destination, uint16_t flags, bool move);

    FileSystem& m_fileSystem;
    Registry& m_registry;
    Trash m_trash;
};

} // namespace tw
