#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

#include "common/fs/filesystem.h"

// DOS attributes of host files, compatible with Wine: hidden, system and archive
// live in the extended attribute "user.DOSATTRIB" as text "0x.." (Samba's name and
// old form); read-only is the absence of every write bit of the mode.
namespace tw {

inline constexpr const char* DosAttribName = "user.DOSATTRIB";
// Where the creation time we set is kept: a FILETIME as lower-case hex.
inline constexpr const char* BirthTimeName = "user.tidewick.btime";

// The bits the extended attribute carries.
inline constexpr uint32_t StoredAttributeMask = FileAttribute::Hidden | FileAttribute::System | FileAttribute::Archive;

// The value of a "user.DOSATTRIB" attribute: "0x" and hex digits up to a NUL or
// the end (Samba 4 appends binary data after a NUL). nullopt for any other text.
std::optional<uint32_t> parseDosAttrib(std::string_view value);
// The text we store: "0x" and lower-case hex, as Wine writes it.
std::string formatDosAttrib(uint32_t attributes);

// What the extended attributes of one entry say.
struct StoredAttributes {
    bool hasDosAttrib = false; // the attribute exists (valid or not)
    std::optional<uint32_t> dosAttrib; // its bits, when the value is valid
    std::optional<uint64_t> birthTime; // the stored creation time
};

// The hidden, system and archive bits an entry has when no attribute is stored:
// hidden for a name starting with "." (not "." and ".."), archive for a file.
uint32_t defaultStoredAttributes(std::string_view name, bool isFolder);

// The attributes of an entry from its mode, its name and its stored attributes.
// A valid stored value wins; an invalid one gives no hidden, system or archive
// bit except archive for files (what Wine shows for it); without one the
// defaults apply.
uint32_t attributesOf(mode_t mode, std::string_view name, const StoredAttributes& stored);

// The stored creation time: lower-case (or upper-case) hex digits, at most 16.
std::optional<uint64_t> parseBirthTime(std::string_view value);
std::string formatBirthTime(uint64_t fileTime);

} // namespace tw
