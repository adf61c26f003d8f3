#include "common/checklist.h"
#include <algorithm>

namespace tw {
namespace {

constexpr char Separator = '\x1f';

} // namespace

CheckList::CheckList(std::vector<CheckListColumn> columns) : m_columns(std::move(columns)) {}

size_t CheckList::append(const std::vector<std::string>& cells, int icon)
{
    Row row;
    const size_t count = std::min(cells.size(), m_columns.size());
    size_t total = count;
    for (size_t i = 0; i < count; ++i)
        total += cells[i].size();
    row.cells.reserve(total);
    for (size_t i = 0; i < count; ++i) {
        if (i)
            row.cells += Separator;
        row.cells += cells[i];
    }
    row.icon = icon;
    closeGap();
    m_rows.push_back(std::move(row));
    const size_t index = m_rows.size() - 1;
    if (m_observer)
        m_observer->rowsAppended(index, 1);
    return index;
}

void CheckList::moveGapTo(size_t row)
{
    if (gapLength() == 0) {
        m_gapBegin = m_gapEnd = row;
        return;
    }
    // Rows [row, gapBegin) go behind the gap, or rows after the gap come before it.
    while (m_gapBegin > row)
        m_rows[--m_gapEnd] = std::move(m_rows[--m_gapBegin]);
    while (m_gapBegin < row)
        m_rows[m_gapBegin++] = std::move(m_rows[m_gapEnd++]);
}

void CheckList::closeGap()
{
    if (gapLength() == 0)
        return;
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(m_gapBegin),
                 m_rows.begin() + static_cast<std::ptrdiff_t>(m_gapEnd));
    m_gapBegin = m_gapEnd = m_rows.size();
}

void CheckList::remove(size_t row)
{
    moveGapTo(row);
    m_rows[m_gapEnd] = Row();
    ++m_gapEnd;
    if (m_selected) {
        if (*m_selected == row)
            m_selected.reset();
        else if (*m_selected > row)
            --*m_selected;
    }
    if (m_observer)
        m_observer->rowsRemoved(row, 1);
}

void CheckList::clear()
{
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_gapBegin = m_gapEnd = 0;
    m_selected.reset();
    if (m_observer)
        m_observer->listReset();
}

std::string_view CheckList::cell(size_t row, size_t column) const
{
    std::string_view rest = at(row).cells;
    for (size_t i = 0; i < column; ++i) {
        const size_t cut = rest.find(Separator);
        if (cut == std::string_view::npos)
            return {};
        rest.remove_prefix(cut + 1);
    }
    return rest.substr(0, rest.find(Separator));
}

void CheckList::setCell(size_t row, size_t column, std::string_view text)
{
    if (column >= m_columns.size())
        return;
    std::vector<std::string> cells;
    for (size_t i = 0; i < m_columns.size(); ++i)
        cells.emplace_back(i == column ? text : cell(row, i));
    std::string joined;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i)
            joined += Separator;
        joined += cells[i];
    }
    at(row).cells = std::move(joined);
    if (m_observer)
        m_observer->rowsChanged(row, row);
}

void CheckList::setChecked(size_t row, bool checked)
{
    Row& target = at(row);
    if (target.checked == checked)
        return;
    target.checked = checked;
    if (m_observer)
        m_observer->rowsChanged(row, row);
}

void CheckList::setAllChecks(int mode)
{
    closeGap();
    for (Row& row : m_rows)
        row.checked = mode == 2 ? !row.checked : mode == 1;
    if (m_observer && !m_rows.empty())
        m_observer->rowsChanged(0, m_rows.size() - 1);
}

void CheckList::selectAll() { setAllChecks(1); }
void CheckList::unselectAll() { setAllChecks(0); }
void CheckList::invertAll() { setAllChecks(2); }

size_t CheckList::checkedCount() const
{
    size_t count = 0;
    for (size_t row = 0; row < rowCount(); ++row)
        count += at(row).checked;
    return count;
}

void CheckList::setSelectedRow(std::optional<size_t> row)
{
    if (row && *row >= rowCount())
        row.reset();
    m_selected = row;
}

} // namespace tw
