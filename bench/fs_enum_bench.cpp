// fs_enum_bench FOLDER [ROUNDS]
//
// Walks a host folder through the file-system view alone: FindFirstFile /
// FindNextFile on "folder\*" for every folder, depth first, sub-folders (not
// links) entered, every file's size summed. Prints the files, folders and bytes
// seen and the time of each round, to be compared with
//   find FOLDER -type f -printf '%s\n'
// on the same tree (see bench/make_tree.sh). The folder is mapped as drive D: of
// a temporary prefix that is removed at the end.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "benchprefix.h"
#include "common/fs/filesystem.h"

namespace {

namespace fsys = std::filesystem;


struct Totals {
    uint64_t files = 0;
    uint64_t folders = 0;
    uint64_t bytes = 0;
    uint64_t failures = 0;
};

void walk(const tw::FileSystem& fs, std::string& path, Totals& totals)
{
    const size_t base = path.size();
    path += '*';
    tw::FindData data;
    uint32_t error = 0;
    auto handle = fs.FindFirstFile(path, data, error);
    path.resize(base);
    if (!handle) {
        ++totals.failures;
        return;
    }
    std::vector<std::string> folders;
    do {
        if (data.attributes & tw::FileAttribute::Directory) {
            if (data.name == "." || data.name == ".." || (data.attributes & tw::FileAttribute::ReparsePoint))
                continue;
            folders.push_back(data.name);
        } else {
            ++totals.files;
            totals.bytes += data.size;
        }
    } while (handle->next(data));
    handle.reset();
    for (const auto& name : folders) {
        ++totals.folders;
        path += name;
        path += '\\';
        walk(fs, path, totals);
        path.resize(base);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [ROUNDS]\n", argv[0]);
        return 2;
    }
    const fsys::path folder = fsys::absolute(argv[1]);
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 1;
    BenchPrefix prefix(folder, BenchPrefix::Skeleton::DrivesOnly);
    tw::FileSystem fs(prefix.prefix());
    for (int round = 0; round < rounds; ++round) {
        Totals totals;
        std::string path = "D:\\";
        const auto start = std::chrono::steady_clock::now();
        walk(fs, path, totals);
        const auto end = std::chrono::steady_clock::now();
        const double ms = std::chrono::duration<double, std::milli>(end - start).count();
        std::printf("round %d: %llu files, %llu folders, %llu bytes, %llu failed folders, %.1f ms\n", round + 1,
                    static_cast<unsigned long long>(totals.files), static_cast<unsigned long long>(totals.folders),
                    static_cast<unsigned long long>(totals.bytes), static_cast<unsigned long long>(totals.failures),
                    ms);
    }
    return 0;
}
