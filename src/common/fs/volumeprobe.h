#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Facts about the volume behind a drive root, from the files Wine reads, the
// kernel's block-device folders and the udev links.
namespace tw {

// The drive type of a file system type: 5 for iso9660 and udf, 4 for network
// file systems, 2 for a file system on a removable device, else 3.
uint32_t driveTypeFor(std::string_view fsType, bool removableDevice);
// True when the block device major:minor, or the disk it is a partition of, is
// marked removable below sysRoot ("/sys": dev/block/M:m, .../removable).
bool isRemovableBlockDevice(unsigned major, unsigned minor, const std::string& sysRoot = "/sys");

// The first 255 bytes of a drive root's ".windows-label" file, without the
// trailing blanks and line ends (what Wine shows); nullopt without the file.
std::optional<std::string> readLabelFile(const std::string& root);
// The number in a drive root's ".windows-serial" file, read as hex.
std::optional<uint32_t> readSerialFile(const std::string& root);

// The udev label (/dev/disk/by-label below devRoot) of the block device major:minor.
std::optional<std::string> deviceLabel(unsigned major, unsigned minor, const std::string& devRoot = "/dev");
// A Windows serial number from the device's udev UUID, where the UUID is one:
// "ABCD-1234" (FAT, exFAT) as it is, 16 hex digits (NTFS) its low 32 bits.
std::optional<uint32_t> deviceSerial(unsigned major, unsigned minor, const std::string& devRoot = "/dev");
// The serial number of a Windows-style volume UUID text, as deviceSerial reads it.
std::optional<uint32_t> serialFromUuid(std::string_view uuid);
// udev's escaping of link names ("My\x20Disk") undone.
std::string decodeUdevName(std::string_view name);

// The file system id of the volume holding path, folded to 32 bits; the serial
// number of last resort.
std::optional<uint32_t> fileSystemIdSerial(const std::string& path);

} // namespace tw
