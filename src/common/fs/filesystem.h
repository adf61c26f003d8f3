#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The Windows file system of one prefix: drives are the links of "dosdevices/",
// Windows paths resolve to host paths with case-blind component matching, and the
// services keep the Windows semantics their callers rely on. Host names that
// Windows cannot hold are invisible; devices, FIFOs, sockets and dangling links
// are never listed or opened; a symbolic link is listed as what it points to,
// with the reparse-point attribute added.
namespace tw {

namespace FileAttribute {
constexpr uint32_t ReadOnly = 0x1;
constexpr uint32_t Hidden = 0x2;
constexpr uint32_t System = 0x4;
constexpr uint32_t Directory = 0x10;
constexpr uint32_t Archive = 0x20;
constexpr uint32_t Normal = 0x80;
constexpr uint32_t ReparsePoint = 0x400;
} // namespace FileAttribute

// Win32 error codes that callers tell apart.
namespace WinError {
constexpr uint32_t Success = 0;
constexpr uint32_t FileNotFound = 2;
constexpr uint32_t PathNotFound = 3;
constexpr uint32_t AccessDenied = 5;
constexpr uint32_t ReadFault = 30; // reading a folder failed part-way
constexpr uint32_t NoMoreFiles = 18;
constexpr uint32_t AlreadyExists = 183;
constexpr uint32_t InvalidName = 123;
} // namespace WinError

// 100-nanosecond ticks since 1601-01-01 UTC; 0 means "not set".
using FileTime = uint64_t;

// One entry of an enumeration (WIN32_FIND_DATA).
struct FindData {
    std::string name;
    uint32_t attributes = 0;
    uint64_t size = 0;
    FileTime creationTime = 0;
    FileTime lastAccessTime = 0;
    FileTime lastWriteTime = 0;
};

// An enumeration in progress (FindFirstFile .. FindNextFile); FindClose is the destructor.
class FindHandle {
public:
    virtual ~FindHandle() = default;
    // FindNextFile: the next matching entry; false at the end (error() is
    // NoMoreFiles) or when reading the folder failed (another error code).
    virtual bool next(FindData& entry) = 0;
    virtual uint32_t error() const = 0;
};

struct FileTimes {
    FileTime creation = 0;
    FileTime lastAccess = 0;
    FileTime lastWrite = 0;
};

struct VolumeInformation {
    std::string label;
    std::string fileSystem;
    uint32_t serialNumber = 0;
};

struct DiskSpace {
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;
};

// Drive types of GetDriveType.
namespace DriveType {
constexpr uint32_t Unknown = 0;
constexpr uint32_t NoRootDir = 1;
constexpr uint32_t Removable = 2;
constexpr uint32_t Fixed = 3;
constexpr uint32_t Remote = 4;
constexpr uint32_t CdRom = 5;
constexpr uint32_t RamDisk = 6;
} // namespace DriveType

class FileSystem {
public:
    // The file system seen through the drive links of prefixFolder/dosdevices.
    explicit FileSystem(std::filesystem::path prefixFolder);
    ~FileSystem();
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    // --- drives and paths ---
    // GetLogicalDriveStrings: "A:\" .. "Z:\" of every drive link, in letter order.
    // A drive whose link points nowhere is not listed.
    std::vector<std::string> GetLogicalDriveStrings() const;
    // DriveType of a root "X:" from the mount holding its target: CdRom for
    // iso9660/udf, Remote for network file systems, Removable on a removable
    // block device, else Fixed; NoRootDir for a missing drive or a non-root path.
    uint32_t GetDriveType(std::string_view root) const;
    // Label and serial from ".windows-label" / ".windows-serial" in the drive root
    // (as Wine reads them), else the device's label and UUID, else the file system
    // id; the file system type as the mount table names it (at most 15 characters).
    std::optional<VolumeInformation> GetVolumeInformation(std::string_view root) const;
    // Total and total free bytes (statvfs) of the volume holding a drive folder.
    std::optional<DiskSpace> GetDiskFreeSpaceEx(std::string_view root) const;

    // The host path of a Windows path: components matched exactly, else without
    // regard to case (first match in name order), else kept as written; "." and
    // ".." folded, never above the drive root. nullopt for unknown drives, UNC and
    // device paths, and names that Windows cannot hold.
    std::optional<std::filesystem::path> hostPath(std::string_view windowsPath) const;
    // The Windows path of a host path: the drive whose root is the longest prefix
    // (the path and the roots taken as written and with links resolved); nullopt
    // outside every drive or through a name Windows cannot hold.
    std::optional<std::string> windowsPath(const std::filesystem::path& hostPath) const;

    // --- enumeration ---
    // FindFirstFile over "folder\pattern" ("*", "*.*", "*.pf", "*.lnk", with the
    // platform's pattern rules; "." and ".." included for a real folder, first). On
    // failure returns nullptr and sets error: FileNotFound when nothing matches,
    // PathNotFound for a missing folder, AccessDenied for an unreadable one and for
    // every folder of a virtual file system (proc, sysfs, ...), which is never walked.
    std::unique_ptr<FindHandle> FindFirstFile(std::string_view pattern, FindData& first, uint32_t& error) const;

    // --- entries ---
    // GetFileAttributes; nullopt for a missing or unreachable entry, a device,
    // FIFO, socket or dangling link. A link has ReparsePoint added.
    std::optional<uint32_t> GetFileAttributes(std::string_view path) const;
    // SetFileAttributes of read-only, hidden, system and archive; 0 clears them.
    // False when the file system refuses the change (no user extended attributes).
    bool SetFileAttributes(std::string_view path, uint32_t attributes);
    std::optional<FileTimes> GetFileTimes(std::string_view path) const;
    // Sets the times that are not 0 (creation time is stored beside the file).
    bool SetFileTimes(std::string_view path, const FileTimes& times);
    // 64-bit size of a file; nullopt when it is not a regular file.
    std::optional<uint64_t> GetFileSize(std::string_view path) const;

    bool FileExists(std::string_view path) const;       // false for a folder
    bool DirectoryExists(std::string_view path) const;  // false for a file
    // Creates one folder; its parent must exist. False when it exists already.
    bool CreateDirectory(std::string_view path);
    // Creates an empty file, truncating an existing one (not a read-only one).
    bool CreateEmptyFile(std::string_view path);
    // Removes a file or a link, never a folder; like Windows, not a read-only file.
    bool DeleteFile(std::string_view path);
    // Removes an empty folder (a link to one: the link); never a drive root.
    bool RemoveDirectory(std::string_view path);

    // Reads a text file as lines (CR LF, CR or LF); nullopt when it cannot be read.
    std::optional<std::vector<std::string>> ReadLines(std::string_view path) const;
    // Replaces a text file atomically with the lines, CR LF after each (through a
    // link: the file it names); false on failure and for a read-only file.
    bool WriteLines(std::string_view path, const std::vector<std::string>& lines);

    // Opens a file for exclusive use (open with O_NOFOLLOW, flock LOCK_EX|LOCK_NB);
    // -1 when it is missing, a link, locked or not permitted. The caller closes it.
    int OpenExclusive(std::string_view path, bool forWriting) const;

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

} // namespace tw
