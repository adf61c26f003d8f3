#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "common/registry/hivekey.h"

namespace tw {

// One registry file of Wine's text format held in memory: the header lines before
// the first key, the key tree, and whatever follows the last key. Unchanged keys
// keep the exact bytes they were loaded from, so that saving gives back the file as
// it was except for the keys that changed.
class HiveFile {
public:
    // A hive with no keys and Wine's header for the registry path it holds, such as
    // "REGISTRY\\Machine" (written as it is, so with its backslashes doubled).
    static HiveFile createEmpty(std::string_view relativeTo);

    HiveFile(HiveFile&&) noexcept = default;
    HiveFile& operator=(HiveFile&&) noexcept = default;

    HiveKey& root() { return *m_root; }
    const HiveKey& root() const { return *m_root; }

    // The lines before the first key block, and the blank lines after the last one.
    const std::string& header() const { return m_header; }
    const std::string& trailer() const { return m_trailer; }
    // The line end of the loaded file ("\n" unless it used "\r\n"); new lines use it.
    const std::string& lineEnd() const { return m_lineEnd; }
    // Size of the loaded bytes (0 for a new hive).
    size_t sourceSize() const { return m_source ? m_source->size() : 0; }

private:
    friend class HiveParser;
    HiveFile();

    // The loaded bytes; the views of the tree point into them.
    std::shared_ptr<const std::string> m_source;
    std::string m_header;
    std::string m_trailer;
    std::string m_lineEnd = "\n";
    std::unique_ptr<HiveKey> m_root;
};

} // namespace tw
