#include "ui/checklistview.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>

#include "ui/checklistmodel.h"

namespace tw {
namespace {

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
        header->setSectionResizeMode(section, columns[i].stretch ? QHeaderView::Stretch : QHeaderView::Interactive);
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
