#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

// Plain host-file reading and writing for test set-up and checks; the code under
// test never uses these.
namespace tw::test {

// The whole content of a host file; "" when it cannot be read.
inline std::string readHostFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes a host file, creating its folders.
inline void writeHostFile(const std::filesystem::path& file, std::string_view bytes)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

// True when something (a link too, dangling or not) stands at the path.
inline bool present(const std::filesystem::path& path)
{
    return std::filesystem::exists(std::filesystem::symlink_status(path));
}

} // namespace tw::test
