#include "ui/checklistview.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>

#include "ui/checklistmodel.h"

namespace tw {
namespace {

// Keeps a stretching column at least as wide as its list width: while the view
// has room it fills the rest of the width, else it keeps that width and the view
// scrolls sideways, instead of squeezing the column (a path list's paths) to nothing.
class StretchFloor : public QObject {
public:
    StretchFloor(QTreeView& view, int section, int least)
        : QObject(&view), m_view(view), m_section(section), m_least(least)
    {
        view.viewport()->installEventFilter(this);
        QObject::connect(view.header(), &QHeaderView::sectionResized, this, [this](int section) {
            if (section != m_section)
                update();
        });
        update();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            update();
        return QObject::eventFilter(watched, event);
    }

private:
    void update()
    {
        QHeaderView* header = m_view.header();
        int others = 0;
        for (int section = 0; section < header->count(); ++section) {
            if (section != m_section && !header->isSectionHidden(section))
                others += header->sectionSize(section);
        }
        const bool room = m_view.viewport()->width() - others >= m_least;
        header->setSectionResizeMode(m_section, room ? QHeaderView::Stretch : QHeaderView::Interactive);
        if (!room)
            header->resizeSection(m_section, m_least);
    }

    QTreeView& m_view;
    int m_section;
    int m_least;
};

void configureColumns(QTreeView& view, const CheckList& list)
{
    QHeaderView* header = view.header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    const auto& columns = list.columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        const int section = static_cast<int>(i);
        if (columns[i].width <= 0) {
            view.setColumnHidden(section, true);
            continue;
        }
        view.setColumnHidden(section, false);
        view.setColumnWidth(section, columns[i].width);
        header->setSectionResizeMode(section, QHeaderView::Interactive);
    }
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].stretch && columns[i].width > 0)
            new StretchFloor(view, static_cast<int>(i), columns[i].width);
    }
}

// Puts the view's current row where the list says its selected row is.
void showListSelection(QTreeView& view, CheckListModel& model)
{
    const std::optional<size_t> selected = model.list().selectedRow();
    const int row = selected ? model.viewRow(*selected) : -1;
    if (row < 0) {
        view.selectionModel()->clear();
        return;
    }
    view.selectionModel()->setCurrentIndex(model.index(row, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace

void configureCheckListView(QTreeView& view, CheckListModel& model)
{
    view.setModel(&model);
    view.setRootIsDecorated(false);
    view.setItemsExpandable(false);
    // One row height for all rows lets the view skip measuring a million rows.
    view.setUniformRowHeights(true);
    view.setSortingEnabled(false);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setAllColumnsShowFocus(true);
    configureColumns(view, model.list());

    // While removed rows are announced the view moves its current row on its own;
    // the list keeps its own selection rules, so the view is put back afterwards.
    QObject::connect(view.selectionModel(), &QItemSelectionModel::currentRowChanged, &view,
                     [&model](const QModelIndex& current) {
                         if (model.announcing())
                             return;
                         model.list().setSelectedRow(current.isValid() ? model.listRow(current.row())
                                                                       : std::nullopt);
                     });
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &view, [&view, &model] { showListSelection(view, model); });
    QObject::connect(&model, &QAbstractItemModel::modelReset, &view, [&view, &model] { showListSelection(view, model); });
    QObject::connect(&model, &QAbstractItemModel::layoutChanged, &view, [&view, &model] { showListSelection(view, model); });
}

} // namespace tw
