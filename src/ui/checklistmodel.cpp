#include "ui/checklistmodel.h"

#include <algorithm>

#include "ui/smallicons.h"

namespace tw {
namespace {

// How often waiting changes are looked at while rows keep coming.
constexpr int TickMilliseconds = 50;
// The longest a change waits while a long burst goes on.
constexpr qint64 MaxLatencyMilliseconds = 1000;
// Removals waiting at most this many, so that mapping a row stays cheap even
// when rows are removed in an order other than from the last to the first.
constexpr size_t MaxWaitingRemovals = 16384;

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CheckListModel::CheckListModel(CheckList& list, QObject* parent)
    : QAbstractTableModel(parent), m_list(list), m_viewRows(static_cast<int>(list.rowCount()))
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(TickMilliseconds);
    connect(&m_flushTimer, &QTimer::timeout, this, &CheckListModel::flushTimerFired);
    m_sinceFlush.start();
    m_list.setObserver(this);
}

CheckListModel::~CheckListModel()
{
    m_list.setObserver(nullptr);
}

int CheckListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_viewRows;
}

int CheckListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_list.columnCount());
}

std::optional<size_t> CheckListModel::listRow(int viewRow) const
{
    if (viewRow < 0 || viewRow >= m_viewRows)
        return std::nullopt;
    // m_removed is descending: the entries from `at` on are the ones at or below viewRow.
    const auto at = std::lower_bound(m_removed.begin(), m_removed.end(), viewRow, std::greater<int>());
    if (at != m_removed.end() && *at == viewRow)
        return std::nullopt;
    return static_cast<size_t>(viewRow) - static_cast<size_t>(m_removed.end() - at);
}

int CheckListModel::viewRow(size_t listRow) const
{
    if (listRow >= announcedListRows())
        return -1;
    return mapToView(listRow);
}

int CheckListModel::mapToView(size_t listRow) const
{
    // The listRow-th view row that is still in the list: step over the removed
    // rows from the lowest up.
    size_t row = listRow;
    for (auto removed = m_removed.rbegin(); removed != m_removed.rend(); ++removed) {
        if (static_cast<size_t>(*removed) > row)
            break;
        ++row;
    }
    return static_cast<int>(row);
}

size_t CheckListModel::announcedListRows() const
{
    return m_list.rowCount() - m_pendingAppends;
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const std::optional<size_t> row = listRow(index.row());
    if (!row || *row >= m_list.rowCount())
        return {};
    const auto column = static_cast<size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return toQString(m_list.cell(*row, column));
    case Qt::CheckStateRole:
        if (column == 0)
            return m_list.checked(*row) ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::DecorationRole:
        if (column == 0) {
            const QIcon icon = smallIcon(m_list.icon(*row));
            if (!icon.isNull())
                return icon;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (column < m_list.columnCount() && m_list.columns()[column].align == CellAlign::Right)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    default:
        return {};
    }
}

QVariant CheckListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || static_cast<size_t>(section) >= m_list.columnCount())
        return {};
    const CheckListColumn& column = m_list.columns()[static_cast<size_t>(section)];
    if (role == Qt::DisplayRole)
        return QString::fromStdString(column.title);
    if (role == Qt::TextAlignmentRole && column.align == CellAlign::Right)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (m_list.enabled() && listRow(index.row())) {
        flags |= Qt::ItemIsSelectable;
        if (index.column() == 0)
            flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0 || !m_list.enabled())
        return false;
    const std::optional<size_t> row = listRow(index.row());
    if (!row || *row >= m_list.rowCount())
        return false;
    // The list tells us about the change, which announces it to the views.
    m_list.setChecked(*row, value.toInt() == Qt::Checked);
    return true;
}

void CheckListModel::rowsAppended(size_t, size_t count)
{
    m_pendingAppends += count;
    scheduleFlush();
}

void CheckListModel::rowsRemoved(size_t first, size_t count)
{
    // The list has already dropped the rows; map them from the highest down, so
    // that each mapping sees the lower rows unchanged.
    const size_t announcedBefore = m_list.rowCount() + count - m_pendingAppends;
    for (size_t k = count; k-- > 0;) {
        const size_t row = first + k;
        if (row >= announcedBefore) {
            --m_pendingAppends;
            continue;
        }
        const int view = mapToView(row);
        m_removed.insert(std::lower_bound(m_removed.begin(), m_removed.end(), view, std::greater<int>()), view);
    }
    if (m_removed.size() >= MaxWaitingRemovals)
        flush();
    else
        scheduleFlush();
}

void CheckListModel::rowsChanged(size_t first, size_t last)
{
    const size_t announced = announcedListRows();
    if (first >= announced || m_list.columnCount() == 0)
        return;
    last = std::min(last, announced - 1);
    emit dataChanged(index(viewRow(first), 0),
                     index(viewRow(last), static_cast<int>(m_list.columnCount()) - 1));
}

void CheckListModel::listReset()
{
    m_flushTimer.stop();
    m_announcing = true;
    beginResetModel();
    m_removed.clear();
    m_pendingAppends = 0;
    m_viewRows = static_cast<int>(m_list.rowCount());
    endResetModel();
    m_announcing = false;
    m_sinceFlush.restart();
}

void CheckListModel::flush()
{
    m_flushTimer.stop();
    m_sinceFlush.restart();
    announceRemovals();
    if (m_pendingAppends > 0) {
        const int count = static_cast<int>(m_pendingAppends);
        beginInsertRows({}, m_viewRows, m_viewRows + count - 1);
        m_viewRows += count;
        m_pendingAppends = 0;
        endInsertRows();
    }
}

void CheckListModel::announceRemovals()
{
    if (m_removed.empty())
        return;
    m_announcing = true;
    const int highest = m_removed.front();
    const int lowest = m_removed.back();
    if (highest - lowest + 1 == static_cast<int>(m_removed.size())) {
        // One run of rows: the ordinary removal.
        beginRemoveRows({}, lowest, highest);
        m_viewRows -= highest - lowest + 1;
        m_removed.clear();
        endRemoveRows();
    } else {
        // Many runs: each removal signal costs the views a pass over all their
        // rows, so the rows go in one layout change, with the persistent indexes
        // (current row, selection) moved to their rows' new places.
        emit layoutAboutToBeChanged();
        const QModelIndexList from = persistentIndexList();
        std::vector<std::optional<size_t>> rows;
        rows.reserve(static_cast<size_t>(from.size()));
        for (const QModelIndex& index : from)
            rows.push_back(listRow(index.row()));
        m_viewRows -= static_cast<int>(m_removed.size());
        m_removed.clear();
        QModelIndexList to;
        to.reserve(from.size());
        for (qsizetype i = 0; i < from.size(); ++i) {
            const auto& row = rows[static_cast<size_t>(i)];
            to.push_back(row ? createIndex(static_cast<int>(*row), from[i].column()) : QModelIndex());
        }
        changePersistentIndexList(from, to);
        emit layoutChanged();
    }
    m_announcing = false;
}

void CheckListModel::scheduleFlush()
{
    if (m_flushTimer.isActive()) {
        m_changedSinceTick = true;
        return;
    }
    m_changedSinceTick = false;
    m_flushTimer.start();
}

void CheckListModel::flushTimerFired()
{
    const size_t waiting = m_pendingAppends + m_removed.size();
    if (waiting == 0)
        return;
    // Announce when the batch is a quarter of what the views hold (each relayout
    // is O(rows), so the total stays O(rows)), when the burst has ended, or when
    // the oldest change has waited long enough.
    const bool grown = waiting * 4 >= static_cast<size_t>(m_viewRows);
    const bool quiet = !m_changedSinceTick;
    const bool late = m_sinceFlush.elapsed() >= MaxLatencyMilliseconds;
    if (grown || quiet || late) {
        flush();
        return;
    }
    m_changedSinceTick = false;
    m_flushTimer.start();
}

} // namespace tw
