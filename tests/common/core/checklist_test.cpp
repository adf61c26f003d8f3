#include "common/checklist.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

// Records every notification, so that a view following the list can be checked.
class RecordingObserver : public CheckListObserver {
public:
    void rowsAppended(size_t first, size_t count) override { events.push_back("append " + range(first, count)); }
    void rowsRemoved(size_t first, size_t count) override { events.push_back("remove " + range(first, count)); }
    void rowsChanged(size_t first, size_t last) override
    {
        events.push_back("change " + std::to_string(first) + "-" + std::to_string(last));
    }
    void listReset() override { events.push_back("reset"); }
    std::vector<std::string> events;

private:
    static std::string range(size_t first, size_t count) { return std::to_string(first) + "+" + std::to_string(count); }
};

CheckList resultList()
{
    return CheckList({{"File", 300, CellAlign::Left, true}, {"Size", 80, CellAlign::Right}, {"real size", 0, CellAlign::Right}});
}

TEST(CheckList, RowsAreAddedUncheckedWithTheirCells)
{
    CheckList list = resultList();
    list.append({"C:\\a.tmp", "1.00 Kb", "1025"}, 2);
    list.append({"C:\\b.tmp"});
    ASSERT_EQ(list.rowCount(), 2u);
    EXPECT_FALSE(list.checked(0));
    EXPECT_EQ(list.cell(0, 0), "C:\\a.tmp");
    EXPECT_EQ(list.cell(0, 2), "1025");
    EXPECT_EQ(list.icon(0), 2);
    EXPECT_EQ(list.cell(1, 1), "") << "missing cells read as empty";
    EXPECT_EQ(list.cell(1, 2), "");
}

TEST(CheckList, CellsMayBeEmptyOrChangedInTheMiddle)
{
    CheckList list({{"Path"}, {"Label"}, {"FS"}, {"Serial"}, {"Total"}, {"Free"}, {"type"}});
    list.append({"C:\\work", "", "", "", "", "", "-1"});
    EXPECT_EQ(list.cell(0, 6), "-1");
    EXPECT_EQ(list.cell(0, 3), "");
    list.setCell(0, 3, "1234-ABCD");
    EXPECT_EQ(list.cell(0, 3), "1234-ABCD");
    EXPECT_EQ(list.cell(0, 6), "-1");
    EXPECT_EQ(list.cell(0, 0), "C:\\work");
}

TEST(CheckList, CheckMarkCommandsCoverEveryRow)
{
    CheckList list = resultList();
    for (const char* name : {"a", "b", "c"})
        list.append({name});
    list.setChecked(0, true);

    list.invertAll();
    EXPECT_FALSE(list.checked(0));
    EXPECT_TRUE(list.checked(1));
    EXPECT_TRUE(list.checked(2));

    list.unselectAll();
    EXPECT_EQ(list.checkedCount(), 0u);
    list.selectAll();
    EXPECT_EQ(list.checkedCount(), 3u);
}

TEST(CheckList, RemovingRowsKeepsTheSelectionOnTheSameRow)
{
    CheckList list = resultList();
    for (const char* name : {"a", "b", "c"})
        list.append({name});
    list.setSelectedRow(2);
    list.remove(0);
    ASSERT_TRUE(list.selectedRow());
    EXPECT_EQ(*list.selectedRow(), 1u);
    EXPECT_EQ(list.cell(*list.selectedRow(), 0), "c");
    list.remove(1);
    EXPECT_FALSE(list.selectedRow()) << "the selected row itself was removed";
    list.setSelectedRow(5);
    EXPECT_FALSE(list.selectedRow()) << "a row beyond the end cannot be selected";
}

TEST(CheckList, ObserverHearsEveryChange)
{
    CheckList list = resultList();
    RecordingObserver observer;
    list.setObserver(&observer);
    list.append({"a"});
    list.append({"b"});
    list.setChecked(1, true);
    list.setChecked(1, true); // no change, no notification
    list.invertAll();
    list.remove(0);
    list.clear();
    const std::vector<std::string> expected = {"append 0+1", "append 1+1", "change 1-1", "change 0-1", "remove 0+1", "reset"};
    EXPECT_EQ(observer.events, expected);
}

} // namespace
} // namespace tw

namespace tw {
namespace {

// Removals, appends, check marks and cell edits in a scripted random order must
// leave the list exactly like a plain vector of rows that did the same.
TEST(CheckList, MixedEditsMatchAPlainList)
{
    struct Plain {
        std::string name;
        bool checked;
    };
    CheckList list({{"File"}, {"Size"}});
    std::vector<Plain> plain;
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % bound;
    };
    for (int step = 0; step < 20000; ++step) {
        const uint32_t action = next(10);
        if (plain.empty() || action < 4) {
            const std::string name = "row" + std::to_string(step);
            list.append({name, "1 b"});
            plain.push_back({name, false});
        } else if (action < 7) {
            const size_t row = next(static_cast<uint32_t>(plain.size()));
            list.remove(row);
            plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(row));
        } else if (action < 8) {
            const size_t row = next(static_cast<uint32_t>(plain.size()));
            list.setChecked(row, !plain[row].checked);
            plain[row].checked = !plain[row].checked;
        } else if (action < 9) {
            const size_t row = next(static_cast<uint32_t>(plain.size()));
            plain[row].name += "!";
            list.setCell(row, 0, plain[row].name);
        } else {
            list.invertAll();
            for (Plain& row : plain)
                row.checked = !row.checked;
        }
        ASSERT_EQ(list.rowCount(), plain.size()) << "step " << step;
    }
    size_t checked = 0;
    for (size_t row = 0; row < plain.size(); ++row) {
        EXPECT_EQ(list.cell(row, 0), plain[row].name) << "row " << row;
        EXPECT_EQ(list.cell(row, 1), "1 b") << "row " << row;
        EXPECT_EQ(list.checked(row), plain[row].checked) << "row " << row;
        checked += plain[row].checked;
    }
    EXPECT_EQ(list.checkedCount(), checked);
}

TEST(CheckList, RemovingFromLastToFirstKeepsTheOtherRowsInOrder)
{
    CheckList list({{"File"}});
    for (int i = 0; i < 10; ++i)
        list.append({std::to_string(i)});
    for (size_t row = list.rowCount(); row-- > 0;) {
        if (row % 3 != 0)
            list.remove(row);
    }
    ASSERT_EQ(list.rowCount(), 4u);
    for (size_t row = 0; row < 4; ++row)
        EXPECT_EQ(list.cell(row, 0), std::to_string(row * 3));
    list.append({"10"});
    EXPECT_EQ(list.cell(4, 0), "10");
    EXPECT_EQ(list.cell(3, 0), "9");
}

} // namespace
} // namespace tw
