#pragma once

#include <stdexcept>
#include <string>

namespace tw {

// A failure of a platform service that ends the operation that met it. what()
// is the exact text the user sees in the error box; detail() optionally says why
// (the file and line of a hive that failed to load, a running Wine server).
class PlatformError : public std::runtime_error {
public:
    explicit PlatformError(const std::string& text, std::string detail = {})
        : std::runtime_error(text), m_detail(std::move(detail)) {}

    const std::string& detail() const noexcept { return m_detail; }

    // The text for a message box: the exact text, then the reason on its own line.
    std::string message() const { return m_detail.empty() ? what() : std::string(what()) + "\n" + m_detail; }

private:
    std::string m_detail;
};

} // namespace tw
