#include "data/schema.h"
#include "list_kit.h"
#include "test_database.h"
#include "ui/flex_grid.h"
#include "ui/grid_fill.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestFlexGrid : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void formatStringSetsColumnsAndHeader();
    void emptyTableGivesHeaderOnly();
    void fillShowsKeysAndLeavesNullsEmpty();
    void refillDropsEarlierRows();
    void rowsAndCellsByHand();
    void selectionByClickOrKeyboard();
    void rowHeightInPixels();
    void longValuesWidenTheirColumn();
};

void TestFlexGrid::formatStringSetsColumnsAndHeader()
{
    FlexGrid g;
    g.setFormatString(u"序号|^楼层名称           "_s);
    QCOMPARE(g.Cols(), 2);
    QCOMPARE(g.text(0, 0), u"序号"_s);
    QCOMPARE(g.text(0, 1), u"楼层名称           "_s); // blanks kept, "^" gone
    QCOMPARE(g.flexModel()->data(g.flexModel()->index(0, 1), Qt::TextAlignmentRole), QVariant());
    g.setFormatString(grid::completedStayHeader());
    QCOMPARE(g.Cols(), 16);
    QCOMPARE(g.text(0, 2), u"旅客单位                                     "_s);
    // Wider header text makes a wider column.
    QVERIFY(g.columnWidth(2) > g.columnWidth(1));
}

void TestFlexGrid::emptyTableGivesHeaderOnly()
{
    TestDatabase db;
    FlexGrid g;
    kit::fillList(&g, u"序号|^楼层名称           "_s, grid::DefaultRowHeight, schema::Floors, {}, {},
                  hotel::Listing::Order::OldestFirst);
    QCOMPARE(g.Rows(), 1);
    QCOMPARE(g.RowSel(), 0);
    g.selectRecord(1);
    QCOMPARE(g.RowSel(), 0);
}

void TestFlexGrid::fillShowsKeysAndLeavesNullsEmpty()
{
    TestDatabase db;
    const qint64 r1 = db.addRoom(u"101"_s, 120);
    db.insert(
        u"insert into 房间 (房间号, 房间名称, 房间类型, 标准价格, 房间状态) values ('102', 'x', NULL, 12.5, 1)"_s);
    FlexGrid g;
    kit::fillList(&g, grid::roomHeader(), grid::DefaultRowHeight, schema::Rooms, {}, {},
                  hotel::Listing::Order::OldestFirst);
    QCOMPARE(g.Rows(), 3);
    QCOMPARE(g.text(1, 0), QString::number(r1));
    QCOMPARE(g.text(1, 1), u"101"_s);
    QCOMPARE(g.text(1, 5), u"120"_s);
    QCOMPARE(g.text(2, 3), QString());
    QCOMPARE(g.text(2, 4), QString());
    QCOMPARE(g.text(2, 5), u"12.5"_s);
    QCOMPARE(g.text(2, 7), u"1"_s);
}

void TestFlexGrid::refillDropsEarlierRows()
{
    TestDatabase db;
    db.addFloor(u"A"_s);
    db.addFloor(u"B"_s);
    FlexGrid g;
    kit::fillList(&g, u"序号|^楼层名称"_s, grid::DefaultRowHeight, schema::Floors, {}, {},
                  hotel::Listing::Order::OldestFirst);
    kit::fillList(&g, u"序号|^楼层名称"_s, grid::DefaultRowHeight, schema::Floors, {}, {},
                  hotel::Listing::Order::OldestFirst);
    QCOMPARE(g.Rows(), 3);
    QCOMPARE(g.text(2, 1), u"B"_s);
}

void TestFlexGrid::rowsAndCellsByHand()
{
    FlexGrid g;
    g.setFormatString(grid::roomHeader());
    g.setRows(3);
    g.setText(2, 5, u"88"_s);
    g.setText(2, 1, u"201"_s);
    QCOMPARE(g.text(2, 5), u"88"_s);
    QCOMPARE(g.text(2, 1), u"201"_s);
    QCOMPARE(g.text(1, 5), QString());
    QCOMPARE(g.text(5, 5), QString()); // outside: empty, no crash
    g.setCols(10);
    QCOMPARE(g.text(2, 5), u"88"_s);
    g.setRows(1);
    QCOMPARE(g.Rows(), 1);
    QCOMPARE(g.text(0, 1), u"房间号        "_s);
}

void TestFlexGrid::selectionByClickOrKeyboard()
{
    TestDatabase db;
    for (const QString &name : {u"A"_s, u"B"_s, u"C"_s, u"D"_s})
        db.addFloor(name);
    FlexGrid g;
    g.resize(400, 300);
    g.show();
    kit::fillList(&g, u"序号|^楼层名称"_s, grid::DefaultRowHeight, schema::Floors, {}, {},
                  hotel::Listing::Order::OldestFirst);
    // What a window's pick would copy: the chosen row, read when the choice is announced.
    QStringList picked;
    connect(&g, &FlexGrid::Click, &g, [&] { picked.append(g.text(g.RowSel(), 1)); });
    QCOMPARE(g.RowSel(), 0); // nothing chosen until the operator chooses
    const auto rowCentre = [&](int row) { return g.visualRect(g.flexModel()->index(row - 1, 1)).center(); };
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, rowCentre(2));
    QCOMPARE(picked, QStringList{u"B"_s});
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, rowCentre(2));
    QCOMPARE(picked, (QStringList{u"B"_s, u"B"_s})); // the same row again is still a choice
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, rowCentre(3));
    QCOMPARE(picked.last(), u"C"_s);
    // Ctrl, a press beside the rows or a drag never leaves the highlight apart from the pick.
    QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(3));
    QCOMPARE(g.RowSel(), 3);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, QPoint(5, g.viewport()->height() - 5));
    QCOMPARE(g.RowSel(), 3);
    QTest::mousePress(g.viewport(), Qt::LeftButton, {}, rowCentre(1));
    QTest::mouseMove(g.viewport(), rowCentre(4));
    QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, rowCentre(4));
    QCOMPARE(g.RowSel(), 1);
    QCOMPARE(picked, (QStringList{u"B"_s, u"B"_s, u"C"_s, u"C"_s, u"A"_s}));
    picked.clear();
    g.setFocus();
    QTest::keyClick(&g, Qt::Key_Down);
    QTest::keyClick(&g, Qt::Key_End);
    QTest::keyClick(&g, Qt::Key_End); // already there: no new choice
    QTest::keyClick(&g, Qt::Key_PageUp);
    QTest::keyClick(&g, Qt::Key_Up);
    QTest::keyClick(&g, Qt::Key_PageDown);
    QTest::keyClick(&g, Qt::Key_Home);
    QCOMPARE(picked, (QStringList{u"B"_s, u"D"_s, u"A"_s, u"D"_s, u"A"_s}));
    QCOMPARE(g.RowSel(), 1);
    g.selectRecord(3);
    QCOMPARE(picked.last(), u"C"_s);
}

void TestFlexGrid::rowHeightInPixels()
{
    FlexGrid g;
    g.setMinimumRowHeight(96);
    QCOMPARE(g.minimumRowHeight(), 96);
    QCOMPARE(g.verticalHeader()->defaultSectionSize(), 96);
    // A least height under the font's leaves the rows at the font's height.
    g.setMinimumRowHeight(1);
    QCOMPARE(g.verticalHeader()->defaultSectionSize(), g.fontMetrics().height() + 4);
    g.setMinimumRowHeight(-5);
    QCOMPARE(g.minimumRowHeight(), 0);
}

void TestFlexGrid::longValuesWidenTheirColumn()
{
    TestDatabase db;
    db.addFloor(u"A"_s);
    FlexGrid g;
    kit::fillList(&g, u"序号|^楼层名称"_s, grid::DefaultRowHeight, schema::Floors, {}, {},
                  hotel::Listing::Order::OldestFirst);
    const int narrow = g.columnWidth(1);
    db.addFloor(u"一个很长很长的楼层名称，比表头宽得多"_s);
    kit::fillList(&g, u"序号|^楼层名称"_s, grid::DefaultRowHeight, schema::Floors, {}, {},
                  hotel::Listing::Order::OldestFirst);
    QVERIFY(g.columnWidth(1) > narrow);
    kit::fillList(&g, u"序号|^楼层名称"_s, grid::DefaultRowHeight, schema::Floors, u"0"_s, {},
                  hotel::Listing::Order::OldestFirst);
    QCOMPARE(g.columnWidth(1), narrow); // back to the header's width
}

QTEST_MAIN(TestFlexGrid)
#include "test_flex_grid.moc"
