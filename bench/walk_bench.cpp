// walk_bench FOLDER [WILDCARD ...] [--list]
// walk_bench --wildcards
//
// Runs a junk-search style walk (wildcards only, sub-folders included) over a
// host folder that a temporary prefix maps as drive D:, and prints what it found
// and how long the walk took. Without wildcards it uses the active wildcards of
// the default "\config\ext.ini". --list also prints the host path of every found
// file, one a line, after the figures; --wildcards prints the default wildcards.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "benchprefix.h"
#include "common/fs/filesystem.h"
#include "common/searchfiles.h"
#include "config/defaultfiles.h"
#include "config/junkmaskline.h"

namespace {

namespace fsys = std::filesystem;

int usage()
{
    std::fprintf(stderr, "usage: walk_bench FOLDER [WILDCARD ...] [--list]\n       walk_bench --wildcards\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    bool list = false;
    std::string folder;
    std::vector<std::string> wildcards;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--list") {
            list = true;
        } else if (arg == "--wildcards") {
            for (const std::string& wildcard : tw::ActiveJunkMasks(tw::DefaultJunkMaskLines()))
                std::printf("%s\n", wildcard.c_str());
            return 0;
        } else if (folder.empty()) {
            folder = arg;
        } else {
            wildcards.push_back(arg);
        }
    }
    if (folder.empty())
        return usage();
    std::error_code error;
    const fsys::path root = fsys::canonical(folder, error);
    if (error || !fsys::is_directory(root)) {
        std::fprintf(stderr, "walk_bench: %s is not a folder\n", folder.c_str());
        return 2;
    }
    if (wildcards.empty())
        wildcards = tw::ActiveJunkMasks(tw::DefaultJunkMaskLines());

    BenchPrefix prefix(root, BenchPrefix::Skeleton::DrivesOnly);
    tw::FileSystem fileSystem(prefix.prefix());
    tw::TSearchFiles searcher(fileSystem);
    searcher.FileParams.SearchTypes = {tw::stFileMask};
    searcher.FileParams.FileMasks = wildcards;
    searcher.RootDirectory = "D:\\";

    uint64_t files = 0;
    uint64_t bytes = 0;
    uint64_t entries = 0;
    std::vector<std::string> found;
    searcher.OnProgress = [&](tw::TSearchFiles&) { ++entries; };
    searcher.OnFindFile = [&](tw::TSearchFiles& sender, const std::string& path) {
        ++files;
        bytes += sender.FindData.size;
        if (list)
            found.push_back(path);
    };

    const auto start = std::chrono::steady_clock::now();
    searcher.RunSearch();
    const auto end = std::chrono::steady_clock::now();

    std::printf("files: %llu\nbytes: %llu\nentries: %llu\nms: %.1f\n", static_cast<unsigned long long>(files),
                static_cast<unsigned long long>(bytes), static_cast<unsigned long long>(entries),
                std::chrono::duration<double, std::milli>(end - start).count());
    if (list) {
        // "D:\a\b" is root/a/b: names never hold a backslash (such names are invisible).
        const std::string base = root.string();
        for (std::string path : found) {
            path.replace(0, 2, base);
            for (size_t i = base.size(); i < path.size(); ++i)
                if (path[i] == '\\')
                    path[i] = '/';
            std::printf("%s\n", path.c_str());
        }
    }
    return 0;
}
