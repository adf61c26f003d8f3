// checklist_bench [ROWS]
//
// Fills a result list with ROWS rows (default 1,000,000), checks every other one,
// and removes the checked rows walking from the last row to the first, as the
// tools' "Delete" commands do. Prints the time of each stage.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/checklist.h"

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const size_t rows = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
    tw::CheckList list({{"File", 300, tw::CellAlign::Left, true},
                        {"Size", 80, tw::CellAlign::Right},
                        {"real size", 0, tw::CellAlign::Right}});

    auto start = std::chrono::steady_clock::now();
    for (size_t row = 0; row < rows; ++row)
        list.append({"D:\\bench\\folder" + std::to_string(row % 977) + "\\file" + std::to_string(row) + ".tmp",
                     "1.00 Kb", "1024"});
    std::printf("rows: %zu\n", list.rowCount());
    std::printf("append_ms: %.1f\n", millisecondsSince(start));

    start = std::chrono::steady_clock::now();
    for (size_t row = 0; row < list.rowCount(); row += 2)
        list.setChecked(row, true);
    std::printf("check_ms: %.1f\n", millisecondsSince(start));

    start = std::chrono::steady_clock::now();
    for (size_t row = list.rowCount(); row-- > 0;) {
        if (list.checked(row))
            list.remove(row);
    }
    std::printf("remaining: %zu\n", list.rowCount());
    std::printf("remove_ms: %.1f\n", millisecondsSince(start));
    return 0;
}
