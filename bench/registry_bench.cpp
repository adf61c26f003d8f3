// Loads the two hives of a prefix, walks every key and value through the registry's
// public interface and optionally saves both hives elsewhere, timing each stage.
//
//   registry_bench PREFIX [--save OUTDIR]

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <time.h>

#include "common/base/atomicfile.h"
#include "common/registry/registry.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of the process, which unlike the wall clock does not grow when other
// programs share the processor.
double cpuMilliseconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct WalkCount {
    uint64_t keys = 0;
    uint64_t values = 0;
    uint64_t dataBytes = 0;
};

void walk(tw::Registry& registry, tw::RegRoot root, const std::string& path, WalkCount& count)
{
    const auto key = registry.openKey(root, path);
    if (!key)
        return;
    ++count.keys;
    for (const std::string& name : key->valueNames()) {
        const auto value = key->readValue(name);
        if (!value)
            continue;
        ++count.values;
        count.dataBytes += value->data.size();
    }
    for (const std::string& name : key->subkeyNames())
        walk(registry, root, path.empty() ? name : path + "\\" + name, count);
}

bool sameBytes(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::string first;
    std::string second;
    return tw::readWholeFile(a, first) && tw::readWholeFile(b, second) && first == second;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--save") == 0)) {
        std::fprintf(stderr, "usage: %s PREFIX [--save OUTDIR]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path prefix = argv[1];
    const std::filesystem::path outFolder = argc == 4 ? argv[3] : "";

    const double cpuStart = cpuMilliseconds();
    const auto loadStart = Clock::now();
    const auto registry = tw::Registry::open(prefix);
    const double loadMs = millisecondsSince(loadStart);
    for (const auto root : {tw::RegRoot::LocalMachine, tw::RegRoot::CurrentUser}) {
        const std::string reason = registry->readOnlyReason(root);
        if (!reason.empty())
            std::fprintf(stderr, "note: %s\n", reason.c_str());
    }

    const auto walkStart = Clock::now();
    WalkCount count;
    walk(*registry, tw::RegRoot::LocalMachine, "", count);
    walk(*registry, tw::RegRoot::CurrentUser, "", count);
    const double walkMs = millisecondsSince(walkStart);

    double saveMs = 0;
    if (!outFolder.empty()) {
        std::filesystem::create_directories(outFolder);
        const auto saveStart = Clock::now();
        std::string error;
        if (!registry->exportHive(tw::RegRoot::LocalMachine, outFolder / "system.reg", &error)
            || !registry->exportHive(tw::RegRoot::CurrentUser, outFolder / "user.reg", &error)) {
            std::fprintf(stderr, "save failed: %s\n", error.c_str());
            return 1;
        }
        saveMs = millisecondsSince(saveStart);
    }

    const double cpuMs = cpuMilliseconds() - cpuStart;
    std::printf("keys: %llu\n", static_cast<unsigned long long>(count.keys));
    std::printf("values: %llu\n", static_cast<unsigned long long>(count.values));
    std::printf("data_bytes: %llu\n", static_cast<unsigned long long>(count.dataBytes));
    std::printf("load_ms: %.2f\n", loadMs);
    std::printf("walk_ms: %.2f\n", walkMs);
    std::printf("save_ms: %.2f\n", saveMs);
    std::printf("total_ms: %.2f\n", loadMs + walkMs + saveMs);
    std::printf("cpu_ms: %.2f\n", cpuMs);
    if (!outFolder.empty())
        for (const char* name : {"system.reg", "user.reg"})
            std::printf("%s identical: %s\n", name, sameBytes(prefix / name, outFolder / name) ? "yes" : "no");
    return 0;
}
