// cleaner_bench FOLDER [--every-file]
//
// Runs the drive cleaner's whole search (path list, wildcards, exceptions, result
// rows, counters, status texts) over a host folder mapped as drive D: of a
// temporary prefix, with a window that does nothing, and prints what it found
// and how long the search took. --every-file makes every wildcard line inactive,
// so that every file of the tree becomes a result row.
//
// HOME, XDG_DATA_HOME and XDG_CONFIG_HOME point into the temporary folder, so the
// run touches neither the real home nor a real prefix; the folder is only read.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

#include "benchprefix.h"
#include "cleaner/drivecleaner.h"
#include "common/base/atomicfile.h"
#include "common/drivelist.h"
#include "common/host.h"
#include "common/machine/environment.h"
#include "common/mainstate.h"
#include "config/checksettings.h"
#include "config/configpaths.h"

namespace fs = std::filesystem;

namespace {

// A window without a screen: it counts what it is asked to show.
class HeadlessHost : public tw::Host {
public:
    long statusTexts = 0;
    long pumps = 0;
    void setStatusText(tw::StatusPanel, std::string_view) override { ++statusTexts; }
    void repaintStatusBar() override {}
    void setAnimationActive(bool) override {}
    void setNavigationEnabled(bool) override {}
    void pumpEvents() override { ++pumps; }
    tw::MessageAnswer messageBox(tw::MessageKind, std::string_view text, tw::MessageButtons) override
    {
        lastMessage = std::string(text);
        return tw::MessageAnswer::Ok;
    }
    std::string inputBox(std::string_view, std::string_view, std::string_view defaultText) override
    {
        return std::string(defaultText);
    }
    std::optional<std::string> pickFolder(std::string_view) override { return std::nullopt; }
    std::optional<std::string> pickFileOrFolder(std::string_view) override { return std::nullopt; }
    void post(std::function<void()> work) override { work(); }

    std::string lastMessage;
};


} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "--every-file") != 0)) {
        std::fprintf(stderr, "usage: %s FOLDER [--every-file]\n", argv[0]);
        return 2;
    }
    std::error_code error;
    const fs::path folder = fs::canonical(argv[1], error);
    if (error || !fs::is_directory(folder)) {
        std::fprintf(stderr, "%s: not a folder\n", argv[1]);
        return 2;
    }
    const bool everyFile = argc == 3;

    BenchPrefix scratch(folder, BenchPrefix::Skeleton::Full);
    const fs::path prefix = scratch.prefix();
    tw::Environment env(prefix);
    const std::string programFolder = "C:\\Program Files\\Tidewick";
    fs::create_directories(prefix / "drive_c" / "Program Files" / "Tidewick");

    HeadlessHost host;
    tw::MainState state(env.fileSystem());
    state.ProgramFolder = programFolder;
    tw::EnsureSettingsKey(env, programFolder);
    tw::BuildDriveList(env.fileSystem(), state.drives);
    if (everyFile) {
        const auto file = env.fileSystem().hostPath(tw::ConfigPath::configFile(programFolder, tw::ConfigPath::JunkMaskFile));
        tw::writeFileAtomically(*file, "*=every file=false\r\n");
    }

    tw::DriveCleaner tool(env, host, state);
    tool.sSpeedButton1Click();
    bool checked = false;
    for (size_t row = 0; row < tool.lvDCDrive().rowCount(); ++row) {
        if (tool.lvDCDrive().cell(row, tw::DriveCleaner::PathColumn) == "D:\\") {
            tool.lvDCDrive().setChecked(row, true);
            checked = true;
        }
    }
    if (!checked) {
        std::fprintf(stderr, "drive D: is not a fixed drive of the path list\n");
        return 1;
    }

    const auto start = std::chrono::steady_clock::now();
    tool.btnDCSearchClick();
    const auto end = std::chrono::steady_clock::now();
    const double ms = std::chrono::duration<double, std::milli>(end - start).count();

    std::printf("files: %lld\n", static_cast<long long>(tool.fileCount()));
    std::printf("bytes: %lld\n", static_cast<long long>(tool.fileSizeSum()));
    std::printf("rows: %zu\n", tool.lvDCResult().rowCount());
    std::printf("status texts: %ld\n", host.statusTexts);
    std::printf("entries: %ld\n", host.pumps);
    std::printf("message: %s\n", host.lastMessage.c_str());
    std::printf("ms: %.1f\n", ms);
    return 0;
}
