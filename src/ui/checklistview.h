#pragma once

class QTreeView;

namespace tw {

class CheckListModel;

// Puts a tree view over a CheckListModel and sets it up as a report list: flat
// rows of one height, whole-row single selection, no editing, the columns of the
// list (titles, widths, zero-width columns hidden, the stretching column filling
// the width but never narrower than its list width: the view scrolls sideways
// then). The current row is written back to the list's selected row, and
// the view follows the list when rows are removed.
void configureCheckListView(QTreeView& view, CheckListModel& model);

} // namespace tw
