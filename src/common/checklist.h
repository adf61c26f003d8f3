#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The one list type of every path and result list: rows of text cells with a
// check box and an icon, "Select All / Unselect All / Invert All", and change
// notifications for the view. New rows are unchecked.
namespace tw {

enum class CellAlign { Left, Right };

struct CheckListColumn {
    std::string title;
    int width = 100;         // pixels; 0 hides the column
    CellAlign align = CellAlign::Left;
    bool stretch = false;    // fills the remaining width
};

// Told about every change, so that a view can follow without copying rows.
class CheckListObserver {
public:
    virtual ~CheckListObserver() = default;
    virtual void rowsAppended(size_t first, size_t count) = 0;
    virtual void rowsRemoved(size_t first, size_t count) = 0;
    // Rows first..last (inclusive) changed their check mark, cells or icon.
    virtual void rowsChanged(size_t first, size_t last) = 0;
    virtual void listReset() = 0;
};

class CheckList {
public:
    explicit CheckList(std::vector<CheckListColumn> columns);

    const std::vector<CheckListColumn>& columns() const { return m_columns; }
    size_t columnCount() const { return m_columns.size(); }

    size_t rowCount() const { return m_rows.size() - gapLength(); }
    bool empty() const { return rowCount() == 0; }

    // Appends an unchecked row; missing cells are empty, extra ones are dropped.
    size_t append(const std::vector<std::string>& cells, int icon = -1);
    void remove(size_t row);
    void clear();

    // The text of one cell; "" beyond the row's cells. Column 0 is the caption.
    std::string_view cell(size_t row, size_t column) const;
    void setCell(size_t row, size_t column, std::string_view text);
    int icon(size_t row) const { return at(row).icon; }

    bool checked(size_t row) const { return at(row).checked; }
    void setChecked(size_t row, bool checked);
    void selectAll();
    void unselectAll();
    void invertAll();
    size_t checkedCount() const;

    // The selected (current) row of the view, if any.
    std::optional<size_t> selectedRow() const { return m_selected; }
    void setSelectedRow(std::optional<size_t> row);

    // Whether the view lets the user change check marks and the selection.
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    void setObserver(CheckListObserver* observer) { m_observer = observer; }

private:
    // Cells of a row kept in one string, separated by the unit separator, so that a
    // million rows cost one allocation each.
    struct Row {
        std::string cells;
        int32_t icon = -1;
        bool checked = false;
    };
    void setAllChecks(int mode);

    // The rows are a gap buffer: m_rows[m_gapBegin, m_gapEnd) holds no rows. A
    // removal moves the gap to the removed row and widens it, so the usual walk that
    // removes rows from the last to the first costs O(n) in all, not O(n) per row.
    size_t gapLength() const { return m_gapEnd - m_gapBegin; }
    size_t slot(size_t row) const { return row < m_gapBegin ? row : row + gapLength(); }
    Row& at(size_t row) { return m_rows[slot(row)]; }
    const Row& at(size_t row) const { return m_rows[slot(row)]; }
    void moveGapTo(size_t row);
    void closeGap();

    std::vector<CheckListColumn> m_columns;
    std::vector<Row> m_rows;
    size_t m_gapBegin = 0;
    size_t m_gapEnd = 0;
    std::optional<size_t> m_selected;
    bool m_enabled = true;
    CheckListObserver* m_observer = nullptr;
};

} // namespace tw
