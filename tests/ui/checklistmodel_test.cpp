#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <string>
#include <vector>

#include "common/checklist.h"
#include "ui/checklistmodel.h"
#include "ui/checklistview.h"

using namespace tw;

namespace {

std::vector<CheckListColumn> pathColumns()
{
    return {
        {"Path", 160, CellAlign::Left, true},
        {"Total size", 80, CellAlign::Right, false},
        {"type", 0, CellAlign::Left, false},
    };
}

// A list of rows "row 0", "row 1", ... with the row number in the last cell.
void fill(CheckList& list, int rows)
{
    for (int i = 0; i < rows; ++i)
        list.append({"row " + std::to_string(i), std::to_string(i) + " b", std::to_string(i)}, i % 3);
}

QString caption(const CheckListModel& model, int viewRow)
{
    return model.data(model.index(viewRow, 0)).toString();
}

QStringList captions(const CheckListModel& model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << caption(model, row);
    return texts;
}

QStringList listCaptions(const CheckList& list)
{
    QStringList texts;
    for (size_t row = 0; row < list.rowCount(); ++row)
        texts << QString::fromStdString(std::string(list.cell(row, 0)));
    return texts;
}

} // namespace

class CheckListModelTest : public QObject {
    Q_OBJECT

private slots:
    void rowsPresentAtConstructionAreShownAtOnce()
    {
        CheckList list(pathColumns());
        fill(list, 4);
        CheckListModel model(list);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(caption(model, 3), QString("row 3"));
    }

    void appendedRowsAreAnnouncedInOneBatchWhenTheEventLoopRuns()
    {
        CheckList list(pathColumns());
        CheckListModel model(list);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        fill(list, 1000);
        // Nothing is announced row by row while the rows come in.
        QCOMPARE(inserted.count(), 0);
        QCOMPARE(model.rowCount(), 0);
        QTRY_COMPARE(model.rowCount(), 1000);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), 0);
        QCOMPARE(inserted.at(0).at(2).toInt(), 999);
        QCOMPARE(captions(model), listCaptions(list));
    }

    void flushAnnouncesWaitingRowsAtOnce()
    {
        CheckList list(pathColumns());
        CheckListModel model(list);
        fill(list, 10);
        QVERIFY(model.hasPendingChanges());
        model.flush();
        QVERIFY(!model.hasPendingChanges());
        QCOMPARE(model.rowCount(), 10);
    }

    void cellsAlignmentAndHeaderComeFromTheColumns()
    {
        CheckList list(pathColumns());
        fill(list, 2);
        CheckListModel model(list);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("Path"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Total size"));
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QString("type"));
        QCOMPARE(model.data(model.index(1, 1)).toString(), QString("1 b"));
        const auto right = model.data(model.index(1, 1), Qt::TextAlignmentRole).value<Qt::Alignment>();
        QVERIFY(right & Qt::AlignRight);
        QVERIFY(!model.data(model.index(1, 0), Qt::TextAlignmentRole).isValid());
        QVERIFY(model.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    }

    void iconsFollowTheIconIndex_data()
    {
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("shown");
        QTest::newRow("fixed drive") << 0 << true;
        QTest::newRow("folder") << 1 << true;
        QTest::newRow("file") << 2 << true;
        QTest::newRow("none") << -1 << false;
        QTest::newRow("outside the set") << 7 << false;
    }
    void iconsFollowTheIconIndex()
    {
        QFETCH(int, icon);
        QFETCH(bool, shown);
        CheckList list(pathColumns());
        list.append({"C:\\"}, icon);
        CheckListModel model(list);
        const QVariant decoration = model.data(model.index(0, 0), Qt::DecorationRole);
        QCOMPARE(decoration.isValid(), shown);
        if (shown)
            QVERIFY(!decoration.value<QIcon>().isNull());
        QVERIFY(!model.data(model.index(0, 1), Qt::DecorationRole).isValid());
    }

    void checkBoxShowsAndWritesTheListsCheckMark()
    {
        CheckList list(pathColumns());
        fill(list, 3);
        CheckListModel model(list);
        QCOMPARE(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(model.flags(model.index(1, 0)) & Qt::ItemIsUserCheckable);
        QVERIFY(!(model.flags(model.index(1, 1)) & Qt::ItemIsUserCheckable));
        QVERIFY(!model.data(model.index(1, 1), Qt::CheckStateRole).isValid());

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(list.checked(1));
        QVERIFY(!list.checked(0));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(model.setData(model.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!list.checked(1));
        // Only the check box can be changed.
        QVERIFY(!model.setData(model.index(1, 0), "edited", Qt::EditRole));
        QCOMPARE(caption(model, 1), QString("row 1"));
    }

    void listCommandsAreShownInOneChange()
    {
        CheckList list(pathColumns());
        fill(list, 5);
        CheckListModel model(list);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        list.selectAll();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 0);
        QCOMPARE(changed.at(0).at(1).value<QModelIndex>().row(), 4);
        for (int row = 0; row < 5; ++row)
            QCOMPARE(model.data(model.index(row, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }

    void aDisabledListTakesNoCheckMarks()
    {
        CheckList list(pathColumns());
        fill(list, 2);
        CheckListModel model(list);
        list.setEnabled(false);
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable));
        QVERIFY(!model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(!list.checked(0));
    }

    // Rows removed from the list between two announcements: until the views are
    // told, every other view row still shows its own list row, and a removed row
    // shows empty and takes no check mark.
    void removedRowsMapUntilAnnounced_data()
    {
        QTest::addColumn<QList<int>>("removals");  // list rows, in the order removed
        QTest::addColumn<QList<int>>("gone");      // view rows that show empty afterwards
        // One run goes as a removal, several runs as one layout change.
        QTest::addColumn<bool>("oneRun");
        QTest::newRow("last to first, apart") << QList<int>{7, 3} << QList<int>{3, 7} << false;
        QTest::newRow("first to last, apart") << QList<int>{3, 6} << QList<int>{3, 7} << false;
        QTest::newRow("a run walked downwards") << QList<int>{5, 4, 3} << QList<int>{3, 4, 5} << true;
        QTest::newRow("the same place three times") << QList<int>{2, 2, 2} << QList<int>{2, 3, 4} << true;
        QTest::newRow("first and last") << QList<int>{9, 0} << QList<int>{0, 9} << false;
        QTest::newRow("one row") << QList<int>{6} << QList<int>{6} << true;
    }
    void removedRowsMapUntilAnnounced()
    {
        QFETCH(QList<int>, removals);
        QFETCH(QList<int>, gone);
        QFETCH(bool, oneRun);
        CheckList list(pathColumns());
        fill(list, 10);
        CheckListModel model(list);
        for (const int row : removals)
            list.remove(static_cast<size_t>(row));

        QCOMPARE(model.rowCount(), 10);
        QStringList shown;
        for (int view = 0; view < 10; ++view) {
            const bool removed = gone.contains(view);
            QCOMPARE(!model.listRow(view).has_value(), removed);
            if (removed) {
                QCOMPARE(caption(model, view), QString());
                QVERIFY(!model.setData(model.index(view, 0), Qt::Checked, Qt::CheckStateRole));
            } else {
                shown << caption(model, view);
                QCOMPARE(model.viewRow(*model.listRow(view)), view);
            }
        }
        QCOMPARE(shown, listCaptions(list));

        QSignalSpy removedSpy(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy layoutSpy(&model, &QAbstractItemModel::layoutChanged);
        model.flush();
        QCOMPARE(removedSpy.count(), oneRun ? 1 : 0);
        QCOMPARE(layoutSpy.count(), oneRun ? 0 : 1);
        QCOMPARE(model.rowCount(), 10 - int(removals.size()));
        QCOMPARE(captions(model), listCaptions(list));
    }

    void checkingARowWhileRemovalsWaitReachesTheRightListRow()
    {
        CheckList list(pathColumns());
        fill(list, 6);
        CheckListModel model(list);
        list.remove(1);
        // View row 4 shows list row 3, "row 4".
        QCOMPARE(caption(model, 4), QString("row 4"));
        QVERIFY(model.setData(model.index(4, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(list.checkedCount(), size_t(1));
        QVERIFY(list.checked(3));
        QCOMPARE(QString::fromStdString(std::string(list.cell(3, 0))), QString("row 4"));
    }

    void changesWhileRemovalsWaitAreShownAtTheirViewRows()
    {
        CheckList list(pathColumns());
        fill(list, 6);
        CheckListModel model(list);
        list.remove(0);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        list.setChecked(2, true);  // "row 3", view row 3
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 3);
        QCOMPARE(model.data(model.index(3, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }

    void removingARowNotYetAnnouncedNeverReachesTheViews()
    {
        CheckList list(pathColumns());
        fill(list, 3);
        CheckListModel model(list);
        fill(list, 2);  // "row 0", "row 1" again, at list rows 3 and 4
        list.remove(4);
        QSignalSpy removedSpy(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.flush();
        QCOMPARE(removedSpy.count(), 0);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(captions(model), listCaptions(list));
        QCOMPARE(model.viewRow(4), -1);
    }

    void aClearedListResetsTheViews()
    {
        CheckList list(pathColumns());
        fill(list, 5);
        CheckListModel model(list);
        list.remove(2);
        fill(list, 3);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        list.clear();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.hasPendingChanges());
    }

    void manyRemovalsAreAnnouncedBeforeMappingGetsDear()
    {
        CheckList list(pathColumns());
        fill(list, 40000);
        CheckListModel model(list);
        QSignalSpy layoutSpy(&model, &QAbstractItemModel::layoutChanged);
        // Every other row, from the last to the first, as a deletion walks.
        for (int row = 39998; row >= 0; row -= 2)
            list.remove(static_cast<size_t>(row));
        QVERIFY(layoutSpy.count() > 0);
        model.flush();
        QCOMPARE(model.rowCount(), 20000);
        QCOMPARE(captions(model), listCaptions(list));
    }

    void theViewFollowsRemovalsOfManyRuns()
    {
        CheckList list(pathColumns());
        fill(list, 10);
        CheckListModel model(list);
        QTreeView view;
        configureCheckListView(view, model);
        view.resize(400, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setCurrentIndex(model.index(5, 0));
        list.remove(8);
        list.remove(2);
        model.flush();
        QCoreApplication::processEvents();
        // The current row is still "row 5", now at row 4, in the view and the list.
        QCOMPARE(view.currentIndex().row(), 4);
        QCOMPARE(caption(model, 4), QString("row 5"));
        QCOMPARE(list.selectedRow(), std::optional<size_t>(4));
        // The view lays out the eight remaining rows and no more.
        QVERIFY(view.visualRect(model.index(7, 0)).isValid());
        QCOMPARE(view.indexAt(view.visualRect(model.index(7, 0)).center()).row(), 7);
        const QRect below = view.visualRect(model.index(7, 0)).translated(0, view.visualRect(model.index(7, 0)).height());
        QVERIFY(!view.indexAt(below.center()).isValid());
    }

    void theViewIsSetUpFromTheColumns()
    {
        CheckList list(pathColumns());
        fill(list, 3);
        CheckListModel model(list);
        QTreeView view;
        configureCheckListView(view, model);
        QVERIFY(view.uniformRowHeights());
        QVERIFY(!view.rootIsDecorated());
        QCOMPARE(view.selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view.selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(view.editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(!view.isColumnHidden(0));
        QVERIFY(!view.isColumnHidden(1));
        QVERIFY(view.isColumnHidden(2));
        QCOMPARE(view.columnWidth(1), 80);
        QCOMPARE(view.header()->sectionResizeMode(0), QHeaderView::Stretch);
        QCOMPARE(view.header()->sectionResizeMode(1), QHeaderView::Interactive);
    }

    // The stretching "Path" column (160) beside "Total size" (80).
    void theStretchingColumnNeverGetsNarrowerThanItsWidth_data()
    {
        QTest::addColumn<int>("viewportWidth");
        QTest::addColumn<int>("pathWidth");
        QTest::newRow("room to spare: fills the rest") << 400 << 320;
        QTest::newRow("just enough") << 240 << 160;
        QTest::newRow("too narrow: keeps its width") << 150 << 160;
    }
    void theStretchingColumnNeverGetsNarrowerThanItsWidth()
    {
        QFETCH(int, viewportWidth);
        QFETCH(int, pathWidth);
        CheckList list(pathColumns());
        fill(list, 3);
        CheckListModel model(list);
        QTreeView view;
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        configureCheckListView(view, model);
        view.resize(viewportWidth + 2 * view.frameWidth(), 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.viewport()->width(), viewportWidth);
        QTRY_COMPARE(view.columnWidth(0), pathWidth);
        QCOMPARE(view.columnWidth(1), 80);
    }

    void theCurrentRowIsTheListsSelectedRow()
    {
        CheckList list(pathColumns());
        fill(list, 4);
        CheckListModel model(list);
        QTreeView view;
        configureCheckListView(view, model);
        view.setCurrentIndex(model.index(2, 0));
        QCOMPARE(list.selectedRow(), std::optional<size_t>(2));

        // Removing the selected row leaves no selection, in the list and the view.
        list.remove(2);
        model.flush();
        QCOMPARE(list.selectedRow(), std::nullopt);
        QVERIFY(!view.selectionModel()->hasSelection());

        // Removing a row above the selected one keeps the selection on its row.
        view.setCurrentIndex(model.index(2, 0));  // "row 3"
        list.remove(0);
        model.flush();
        QCOMPARE(list.selectedRow(), std::optional<size_t>(1));
        QCOMPARE(view.currentIndex().row(), 1);
        QCOMPARE(caption(model, view.currentIndex().row()), QString("row 3"));
    }

    void clickingTheCheckBoxChecksTheRow()
    {
        CheckList list(pathColumns());
        fill(list, 3);
        CheckListModel model(list);
        QTreeView view;
        configureCheckListView(view, model);
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QRect cell = view.visualRect(model.index(1, 0));
        // The check box sits at the left edge of the first cell.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 10, cell.center().y()));
        QVERIFY(list.checked(1));
        QCOMPARE(list.checkedCount(), size_t(1));
    }
};

QTEST_MAIN(CheckListModelTest)
#include "checklistmodel_test.moc"
