#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tw {

// The drive links of a prefix: "<prefix>/dosdevices/<letter>:", each pointing at
// the host folder that is the drive's root. The links are read on every call, so
// a drive added or removed while the program runs is seen at once.
class DosDevices {
public:
    explicit DosDevices(std::string dosdevicesFolder);

    // The host root of drive letter (either case): the link's target, made absolute
    // against the dosdevices folder and lexically normal; nullopt without a link.
    std::optional<std::string> root(char letter) const;
    // The root with every link resolved (realpath); nullopt when it does not exist.
    std::optional<std::string> canonicalRoot(char letter) const;
    // The upper-case letters of the drives whose root is an existing folder.
    std::vector<char> letters() const;

    const std::string& folder() const { return m_folder; }

private:
    std::string m_folder;
};

// The upper-case drive letter of "x:", "x:\", "x:/" (a drive root as GetDriveType
// and its kin take it); 0 for anything else.
char rootDriveLetter(std::string_view root);

} // namespace tw
