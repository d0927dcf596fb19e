#include "frontdesk/history/history_window.h"
#include "hotel/session.h"
#include "shell/shell_windows.h"
#include "test_database.h"
#include "ui/grid_export.h"
#include "window_kit.h"

#include <QInputMethodEvent>
#include <QLabel>
#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;
using namespace kit;

// The figures under the lists of completed stays and of both ledgers, and the search of the
// history: each checked against the rows the list actually shows.
class TestListTotals : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerAllWindows(); }
    void cleanup() { flushDeletes(); }
    void totalsAreTheSumsOfTheListedRows();
    void historySearchFindsByEachField();
    void printoutsSayWhatTheListIs();
};

namespace {

// The totals line a list should carry, worked out from its cells.
QString expectedTotals(FlexGrid *g, const QString &countCaption, const QList<std::pair<int, QString>> &sums)
{
    QStringList parts{u"%1：%2"_s.arg(countCaption).arg(g->Rows() - 1)};
    for (const auto &[col, caption] : sums) {
        double total = 0;
        for (const QString &cell : column(g, col))
            total += cell.toDouble();
        const bool whole = total == std::floor(total);
        parts.append(u"%1合计：%2"_s.arg(caption, whole ? QString::number(qint64(total))
                                                        : QString::number(total, 'f', 2)));
    }
    return parts.join(u"    "_s);
}

QString totalsOf(QWidget *w)
{
    return w->findChild<QLabel *>(u"ListTotals"_s)->text();
}

// Chinese arrives from the input method as committed text, not as key presses.
void commitText(QWidget *box, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(box, &event);
}

const QList<std::pair<int, QString>> StaySums{{12, u"实际金额"_s}, {13, u"应收款"_s}, {14, u"应退款"_s}};

void addStay(TestDatabase &db, const QString &name, const QString &unit, const QString &idNumber, qint64 room,
             const QString &checkIn, int amount, int due, int refund)
{
    db.exec(
        u"insert into 旅客退房 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, 入住人数, "
        u"房间ID, 预付款, "
        u"退房时间, 实际入住天数, 实际金额, 应收款, 应退款) values (?, ?, '身份证', ?, ?, 1, 1, ?, 0, ?, 1, ?, ?, ?)"_s,
        {name, unit, idNumber, checkIn, room, checkIn.left(10) + u" 00:00:00"_s, amount, due, refund});
}

} // namespace

void TestListTotals::totalsAreTheSumsOfTheListedRows()
{
    TestDatabase db;
    TestSeam seam;
    const qint64 r1 = db.addRoom(u"101"_s);
    const qint64 r2 = db.addRoom(u"102"_s);
    addStay(db, u"甲"_s, u"一厂"_s, u"1"_s, r1, u"2026-11-01 10:00:00"_s, 240, 40, 0);
    addStay(db, u"乙"_s, u"二厂"_s, u"2"_s, r2, u"2026-11-15 10:00:00"_s, 120, 0, 380);
    addStay(db, u"丙"_s, u"三厂"_s, u"3"_s, r1, u"2026-12-01 10:00:00"_s, 360, 60, 0);
    addStay(db, u"丁"_s, u"四厂"_s, u"4"_s, r2, u"2026-12-02 10:00:00"_s, -32768, 0, 32767);

    QWidget *history = open(u"Form13"_s);
    QCOMPARE(grid(history, u"MSFlexGrid2"_s)->Rows(), 5);
    QCOMPARE(totalsOf(history), expectedTotals(grid(history, u"MSFlexGrid2"_s), u"记录数"_s, StaySums));
    QCOMPARE(totalsOf(history),
             u"记录数：4    实际金额合计：-32048    应收款合计：100    应退款合计：33147"_s);

    QWidget *byDate = open(u"Form16"_s);
    QCOMPARE(totalsOf(byDate), u"记录数：0    实际金额合计：0    应收款合计：0    应退款合计：0"_s);
    byDate->findChild<DatePicker *>(u"DTPicker1"_s)->setValue(QDateTime(QDate(2026, 11, 5), QTime(0, 0)));
    byDate->findChild<DatePicker *>(u"DTPicker2"_s)->setValue(QDateTime(QDate(2026, 12, 1), QTime(23, 0)));
    click(byDate, u"Command1"_s);
    QCOMPARE(column(grid(byDate, u"MSFlexGrid2"_s), 1), (QStringList{u"丙"_s, u"乙"_s}));
    QCOMPARE(totalsOf(byDate), expectedTotals(grid(byDate, u"MSFlexGrid2"_s), u"记录数"_s, StaySums));

    QWidget *byRoom = open(u"Form17"_s);
    set(byRoom, u"Text1"_s, u"102"_s);
    click(byRoom, u"Command1"_s);
    QCOMPARE(column(grid(byRoom, u"MSFlexGrid2"_s), 1), (QStringList{u"丁"_s, u"乙"_s}));
    QCOMPARE(totalsOf(byRoom), expectedTotals(grid(byRoom, u"MSFlexGrid2"_s), u"记录数"_s, StaySums));
    set(byRoom, u"Text1"_s, u"999"_s);
    click(byRoom, u"Command1"_s);
    QCOMPARE(totalsOf(byRoom), u"记录数：0    实际金额合计：0    应收款合计：0    应退款合计：0"_s);

    // Ledgers: amounts with a fraction show two decimals; the twin's entries never count.
    db.exec(u"insert into 交款 (交款时间, 交款金额, 交款人) values ('2026-12-01 18:00:00', 1580, '甲'), "
            u"('2026-12-02 18:00:00', 2365.5, '乙'), ('2026-12-03 18:00:00', 0.25, '丙')"_s);
    db.exec(u"insert into 拔款 (拔款时间, 拔款金额, 拔款人) values ('2026-12-01 09:00:00', 500, '丁')"_s);
    QWidget *takings = open(u"Form14"_s);
    QCOMPARE(totalsOf(takings),
             expectedTotals(grid(takings, u"MSFlexGrid1"_s), u"笔数"_s, {{2, u"交款金额"_s}}));
    QCOMPARE(totalsOf(takings), u"笔数：3    交款金额合计：3945.75"_s);
    QWidget *paid = open(u"Form15"_s);
    QCOMPARE(totalsOf(paid), u"笔数：1    拔款金额合计：500"_s);

    // A deleted entry leaves the reopened list and its totals together.
    grid(paid, u"MSFlexGrid1"_s)->selectRecord(1);
    click(paid, u"Command3"_s);
    QCOMPARE(totalsOf(current(seam, u"Form15"_s)), u"笔数：0    拔款金额合计：0"_s);
}

void TestListTotals::historySearchFindsByEachField()
{
    TestDatabase db;
    TestSeam seam;
    const qint64 a12 = db.addRoom(u"A12"_s);
    const qint64 r305 = db.addRoom(u"305"_s);
    addStay(db, u"欧阳娜娜"_s, u"Acme 贸易"_s, u"110101199001011234"_s, r305, u"2026-11-01 10:00:00"_s, 100,
            0, 0);
    addStay(db, u"Smith John"_s, u"个人"_s, u"E12345678"_s, r305, u"2026-11-02 10:00:00"_s, 200, 0, 0);
    addStay(db, u"王小明"_s, u"华光公司"_s, u"320102198505052345"_s, a12, u"2026-11-03 10:00:00"_s, 300, 0,
            0);
    addStay(db, u"折扣客人"_s, u"100%_公司"_s, u"X1"_s, r305, u"2026-11-04 10:00:00"_s, 400, 0, 0);

    QWidget *history = open(u"Form13"_s);
    FlexGrid *list = grid(history, u"MSFlexGrid2"_s);
    QLineEdit *search = box(history, u"SearchBox"_s);
    auto find = [&](const QString &typed) {
        search->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(search, Qt::Key_Backspace);
        else if (typed.toLatin1() == typed.toUtf8())
            QTest::keyClicks(search, typed);
        else
            commitText(search, typed);
        // The list narrows once typing pauses.
        QTest::qWait(HistoryWindow::SearchPauseMilliseconds + 100);
        return column(list, 1);
    };
    QCOMPARE(find(u"阳娜"_s), QStringList{u"欧阳娜娜"_s});    // name, inside
    QCOMPARE(find(u"smith"_s), QStringList{u"Smith John"_s}); // name, other case
    QCOMPARE(find(u"e1234"_s), QStringList{u"Smith John"_s}); // ID number, other case
    QCOMPARE(find(u"19850505"_s), QStringList{u"王小明"_s});  // ID number, inside
    QCOMPARE(find(u"ACME"_s), QStringList{u"欧阳娜娜"_s});    // unit
    QCOMPARE(find(u"a1"_s), QStringList{u"王小明"_s});        // room number
    QCOMPARE(find(u"305"_s),
             (QStringList{u"折扣客人"_s, u"Smith John"_s, u"欧阳娜娜"_s})); // room, newest first
    QCOMPARE(find(u"%_"_s), QStringList{u"折扣客人"_s});                    // typed literally
    QCOMPARE(totalsOf(history), u"记录数：1    实际金额合计：400    应收款合计：0    应退款合计：0"_s);
    QCOMPARE(find(u"没有这个人"_s), QStringList{});
    QCOMPARE(find(QString()).size(), 4); // cleared: all again
    QCOMPARE(totalsOf(history), u"记录数：4    实际金额合计：1000    应收款合计：0    应退款合计：0"_s);
    QVERIFY(seam.messages.isEmpty());
}

void TestListTotals::printoutsSayWhatTheListIs()
{
    TestDatabase db;
    TestSeam seam;
    seam.setPrinter(true);
    hotel::Session::setCurrent(std::make_shared<hotel::Session>(db.location(), u"李会计"_s, u"Z:abcdef"_s));
    const qint64 rooms[] = {db.addRoom(u"101"_s), db.addRoom(u"102"_s)};
    for (int i = 1; i <= 150; ++i)
        addStay(db, u"客%1号"_s.arg(i), u"厂"_s, QString::number(i), rooms[i % 3 == 0],
                u"2026-11-%1 10:00:00"_s.arg(1 + i / 6, 2, 10, QChar(u'0')), 100 + i, 0, i % 5 ? 0 : -30);
    const QList<std::tuple<QString, QString, std::function<void(QWidget *)>>> cases{
        {u"Form13"_s, u"历史旅客退房记录　查找：“号”"_s,
         [](QWidget *w) {
             commitText(box(w, u"SearchBox"_s), u"号"_s);
             QTest::keyClick(box(w, u"SearchBox"_s), Qt::Key_Return);
         }},
        {u"Form16"_s, u"按日期统计　入住时间：2026/11/5 00:00:00 至 2026/11/25 23:00:00"_s,
         [](QWidget *w) {
             w->findChild<DatePicker *>(u"DTPicker1"_s)->setValue(QDateTime(QDate(2026, 11, 5), QTime(0, 0)));
             w->findChild<DatePicker *>(u"DTPicker2"_s)
                 ->setValue(QDateTime(QDate(2026, 11, 25), QTime(23, 0)));
             click(w, u"Command1"_s);
         }},
        {u"Form17"_s, u"按房间统计　房间号：101"_s,
         [](QWidget *w) { set(w, u"Text1"_s, u"101"_s), click(w, u"Command1"_s); }}};
    for (const auto &[form, title, query] : cases) {
        QWidget *w = open(form);
        query(w);
        FlexGrid *list = grid(w, u"MSFlexGrid2"_s);
        const QString meta = u"打印时间："_s + QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:"_s);
        grid_export::print(list);
        const QStringList &pages = seam.printedPages;
        const qsizetype m = pages.size();
        QVERIFY(list->Rows() < 100 || m > 1);
        for (qsizetype p : {qsizetype(0), m - 1}) {
            QVERIFY2(pages.at(p).startsWith(title + u"第 %1 页 / 共 %2 页"_s.arg(p + 1).arg(m) + meta),
                     qPrintable(pages.at(p).left(120)));
            QVERIFY(pages.at(p).contains(u"    操作员：李会计序号"_s));
        }
        // The totals line the window shows, once, after the last row; no row is left out.
        QVERIFY(pages.last().endsWith(totalsOf(w)) && pages.join(QString()).count(totalsOf(w)) == 1);
        for (const QString &name : column(list, 1))
            QVERIFY2(pages.join(QString()).contains(name), qPrintable(name));
    }
}

QTEST_MAIN(TestListTotals)
#include "test_list_totals.moc"
