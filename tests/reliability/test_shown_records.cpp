#include "data/connection.h"
#include "hotel/outcome.h"
#include "shell/shell_windows.h"
#include "test_database.h"
#include "ui/chosen_record.h"
#include "window_kit.h"

#include <QItemSelectionModel>

using namespace Qt::Literals::StringLiterals;

// Every rewrite and delete of a listed record: refused with one message when no record is
// chosen, and when another desk changed or deleted the record after it was listed; nothing is
// written then and the window stays as it was.
class TestShownRecords : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerAllWindows(); }
    void cleanup() { flushDeletes(); }
    void nothingChosen_data();
    void nothingChosen();
    void changedOrDeletedElsewhere_data();
    void changedOrDeletedElsewhere();
    void companyChangedElsewhere();
};

namespace {

struct Button {
    QString form;
    QString grid;
    QString button;
    bool asks; // a delete that asks first
    QString table;
    QString key;
    QString column; // a text column another desk changes
};

QList<Button> buttons()
{
    return {
        {u"Form5"_s, u"MSFlexGrid1"_s, u"Command2"_s, false, u"楼层"_s, u"楼层ID"_s, u"楼层名称"_s},
        {u"Form5"_s, u"MSFlexGrid1"_s, u"Command3"_s, true, u"楼层"_s, u"楼层ID"_s, u"楼层名称"_s},
        {u"Form6"_s, u"MSFlexGrid1"_s, u"Command2"_s, false, u"房间"_s, u"房间ID"_s, u"房间名称"_s},
        {u"Form6"_s, u"MSFlexGrid1"_s, u"Command3"_s, true, u"房间"_s, u"房间ID"_s, u"房间名称"_s},
        {u"Form4"_s, u"MSFlexGrid1"_s, u"Command2"_s, false, u"操作用户"_s, u"用户ID"_s, u"登陆密码"_s},
        {u"Form4"_s, u"MSFlexGrid1"_s, u"Command3"_s, true, u"操作用户"_s, u"用户ID"_s, u"登陆密码"_s},
        {u"Form14"_s, u"MSFlexGrid1"_s, u"Command2"_s, false, u"交款"_s, u"交款ID"_s, u"交款人"_s},
        {u"Form14"_s, u"MSFlexGrid1"_s, u"Command3"_s, false, u"交款"_s, u"交款ID"_s, u"交款人"_s},
        {u"Form15"_s, u"MSFlexGrid1"_s, u"Command2"_s, false, u"拔款"_s, u"拔款ID"_s, u"拔款人"_s},
        {u"Form9"_s, u"MSFlexGrid2"_s, u"Command1"_s, false, u"旅客入住"_s, u"入住ID"_s, u"旅客单位"_s},
        {u"Form11"_s, u"MSFlexGrid2"_s, u"Command1"_s, false, u"旅客预订"_s, u"预订ID"_s, u"旅客单位"_s},
        {u"Form11"_s, u"MSFlexGrid2"_s, u"Command2"_s, true, u"旅客预订"_s, u"预订ID"_s, u"旅客单位"_s},
    };
}

void addRows()
{
    for (const Button &b : buttons())
        QTest::newRow(qPrintable(b.form + u" "_s + b.button)) << b;
}

// Opens the window and picks its first listed record, so every box holds a valid value.
QWidget *openAndPick(const Button &b, FlexGrid **grid)
{
    QWidget *w = kit::open(b.form);
    *grid = kit::grid(w, b.grid);
    if ((*grid)->Rows() < 2)
        qFatal("%s lists nothing", qPrintable(b.form));
    (*grid)->selectRecord(1);
    return w;
}

} // namespace

Q_DECLARE_METATYPE(Button)

void TestShownRecords::nothingChosen_data()
{
    QTest::addColumn<Button>("b");
    addRows();
}

// Boxes filled and rows listed, but the choice undone: row 0 is acted on by no button.
void TestShownRecords::nothingChosen()
{
    QFETCH(Button, b);
    TestDatabase db(true);
    TestSeam seam;
    FlexGrid *grid = nullptr;
    QWidget *w = openAndPick(b, &grid);
    grid->selectionModel()->clear();
    QCOMPARE(grid->RowSel(), 0);
    const QString before = db.dump();
    seam.clear();
    if (b.asks)
        seam.answer(true);
    const qsizetype shownBefore = seam.shown.size();
    kit::click(w, b.button);
    QCOMPARE(seam.messageTexts(), QStringList{ui::nothingChosenMessage()});
    QCOMPARE(db.dump(), before);
    QVERIFY(w->isVisible()); // not closed and shown again
    QCOMPARE(seam.shown.size(), shownBefore);
}

void TestShownRecords::changedOrDeletedElsewhere_data()
{
    QTest::addColumn<Button>("b");
    addRows();
}

void TestShownRecords::changedOrDeletedElsewhere()
{
    QFETCH(Button, b);
    TestDatabase db(true);
    TestSeam seam;
    FlexGrid *grid = nullptr;
    QWidget *w = openAndPick(b, &grid);
    const QString key = grid->text(1, 0);
    const int rows = db.count(b.table);

    // Another desk corrects the record after it was listed here.
    db.exec(u"update "_s + b.table + u" set "_s + b.column + u"='另一台前台' where "_s + b.key + u"=?"_s,
            {key});
    const QString changed = db.dump();
    if (b.asks)
        seam.answer(true);
    kit::click(w, b.button);
    QCOMPARE(seam.messageTexts().size(), b.asks ? 2 : 1); // the question, then the answer
    QCOMPARE(seam.messageTexts().last(), hotel::changedMessage());
    QCOMPARE(db.dump(), changed);
    QVERIFY(w->isVisible());

    // ...and then deletes it: reported, never written back.
    db.exec(u"delete from "_s + b.table + u" where "_s + b.key + u"=?"_s, {key});
    const QString deleted = db.dump();
    seam.clear();
    if (b.asks)
        seam.answer(true);
    kit::click(w, b.button);
    QCOMPARE(seam.messageTexts().size(), b.asks ? 2 : 1);
    QCOMPARE(seam.messageTexts().last(), hotel::goneMessage());
    QCOMPARE(db.dump(), deleted);
    QCOMPARE(db.count(b.table), rows - 1);
    QVERIFY(w->isVisible());
}

void TestShownRecords::companyChangedElsewhere()
{
    TestDatabase db(true);
    TestSeam seam;
    QWidget *w = kit::open(u"Form3"_s);
    kit::set(w, u"Text3"_s, u"025-1111"_s);
    db.exec(u"update 公司配置 set 电话='025-2222'"_s);
    kit::click(w, u"Command2"_s);
    QCOMPARE(seam.messageTexts(), QStringList{hotel::changedMessage()});
    QCOMPARE(db.scalar(u"select 电话 from 公司配置"_s).toString(), u"025-2222"_s);

    // Loaded afresh, the same save goes through.
    seam.clear();
    w->close();
    w = kit::open(u"Form3"_s);
    kit::set(w, u"Text3"_s, u"025-1111"_s);
    kit::click(w, u"Command2"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"恭喜您，更新信息完成！"_s});
    QCOMPARE(db.scalar(u"select 电话 from 公司配置"_s).toString(), u"025-1111"_s);
}

QTEST_MAIN(TestShownRecords)
#include "test_shown_records.moc"
