#pragma once

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QTimer>

#include <cstddef>
#include <optional>
#include <vector>

#include "common/checklist.h"

namespace tw {

// A CheckList as a table model: its cells, a check box in column 0 (toggling it
// writes back to the list), the row's icon, right alignment of right-aligned
// columns. Appended and removed rows are announced to the views in batches, so
// that a search appending a million rows while the event loop runs costs O(n)
// overall instead of one view relayout per row.
class CheckListModel : public QAbstractTableModel, public CheckListObserver {
    Q_OBJECT
public:
    // Observes the list until the model is destroyed; the list must outlive it.
    explicit CheckListModel(CheckList& list, QObject* parent = nullptr);
    ~CheckListModel() override;

    CheckList& list() { return m_list; }
    const CheckList& list() const { return m_list; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Announces every change the views have not been told about yet, at once.
    void flush();
    // True while removed rows or a reset are being announced: a view's own moves
    // of its current row in that time are no choice of the user.
    bool announcing() const { return m_announcing; }
    // Whether changes wait to be announced.
    bool hasPendingChanges() const { return m_pendingAppends > 0 || !m_removed.empty(); }

    // The list row shown at a view row; nullopt for a row that is gone from the
    // list but not yet announced (it shows empty until the next flush).
    std::optional<size_t> listRow(int viewRow) const;
    // The view row of a list row that the views know; -1 for a row not yet announced.
    int viewRow(size_t listRow) const;

    // CheckListObserver
    void rowsAppended(size_t first, size_t count) override;
    void rowsRemoved(size_t first, size_t count) override;
    void rowsChanged(size_t first, size_t last) override;
    void listReset() override;

private:
    void scheduleFlush();
    void announceRemovals();
    // The view row of an announced list row, without checking that it is one.
    int mapToView(size_t listRow) const;
    void flushTimerFired();
    size_t announcedListRows() const;

    CheckList& m_list;
    // Rows the views know, removed-but-unannounced rows included.
    int m_viewRows = 0;
    // View rows whose list rows are gone, not yet announced, in descending order:
    // a removal loop walks from the last row to the first, so each new entry
    // goes to the end and maps in constant time.
    std::vector<int> m_removed;
    // Rows at the end of the list that the views do not know yet.
    size_t m_pendingAppends = 0;
    bool m_changedSinceTick = false;
    bool m_announcing = false;
    QTimer m_flushTimer;
    QElapsedTimer m_sinceFlush;
};

} // namespace tw
