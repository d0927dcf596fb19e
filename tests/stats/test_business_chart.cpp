#include "shell/main_window.h"
#include "shell/shell_windows.h"
#include "test_database.h"
#include "test_seam.h"
#include "window_kit.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>

using namespace Qt::Literals::StringLiterals;
using namespace kit;

// The chart window as the desk reaches it: from its menu, its totals beside those of statistics
// by date for the same range, the picture saved and the page printed.
class TestBusinessChart : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerAllWindows(); }
    void cleanup() { flushDeletes(); }
    void chartFromTheMenu();
};

void TestBusinessChart::chartFromTheMenu()
{
    TestDatabase db;
    TestSeam seam;
    const qint64 room = db.addRoom(u"101"_s);
    db.addRoom(u"102"_s);
    const QString format = u"yyyy-MM-dd HH:mm:ss"_s;
    int amount = 0;
    for (const QString &in : {u"2026-03-30 12:00:00"_s, u"2026-03-31 12:00:00"_s, u"2026-04-02 12:00:00"_s}) {
        amount += 125;
        db.exec(
            u"insert into 旅客退房 (旅客姓名, 入住时间, 计划入住天数, 入住人数, 房间ID, 预付款, 退房时间, "
            u"实际入住天数, 实际金额, 应收款, 应退款) values ('甲', ?, 2, 1, ?, 0, ?, 2, ?, 7, 0)"_s,
            {in, room, QDateTime::fromString(in, format).addDays(2).toString(format), amount});
    }
    const QDateTime start(QDate(2026, 3, 31), QTime(0, 0));
    const QDateTime end(QDate(2026, 4, 30), QTime(23, 59, 59));
    MainWindow main;
    QWidget *w = fromMenu(seam, &main, u"m_e_3"_s);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), u"经营图表"_s);
    child<DatePicker>(w, u"DTPicker1"_s)->setValue(start);
    child<DatePicker>(w, u"DTPicker2"_s)->setValue(end);
    child<QComboBox>(w, u"Combo1"_s)->setCurrentIndex(1);
    click(w, u"Command1"_s);
    const QString totals = label(w, u"ListTotals"_s);
    QCOMPARE(totals, u"记录数：2    实际金额合计：625"_s);
    // Two rooms over 31 nights, of which the stays held 2 + 2 + 1.
    QCOMPARE(label(w, u"Label3"_s),
             u"入住率：%1%    平均房价：156.25 元/晚"_s.arg(5.0 / 62 * 100, 0, 'f', 1));

    QWidget *byDate = fromMenu(seam, &main, u"m_e_1"_s);
    child<DatePicker>(byDate, u"DTPicker1"_s)->setValue(start);
    child<DatePicker>(byDate, u"DTPicker2"_s)->setValue(end);
    click(byDate, u"Command1"_s);
    QVERIFY2(label(byDate, u"ListTotals"_s).startsWith(totals + u"    "_s),
             qPrintable(label(byDate, u"ListTotals"_s)));
    byDate->close();

    QTemporaryDir out;
    seam.setFileDialogResult(out.filePath(u"图表"_s));
    click(w, u"Command2"_s);
    const QImage saved(out.filePath(u"图表.png"_s));
    QCOMPARE(saved.size(), w->findChild<QWidget *>(u"Charts"_s)->size());
    QVERIFY(seam.messageTexts().contains(u"图表已保存为："_s +
                                         QDir::toNativeSeparators(out.filePath(u"图表.png"_s))));

    seam.setPrinter(true);
    click(w, u"Command3"_s);
    QCOMPARE(seam.pagesPrinted, 1);
    const QString page = seam.printedPages.value(0);
    for (const QString &part : {u"经营图表"_s, u"至"_s, totals, u"操作员：admin"_s, u"第 1 页 / 共 1 页"_s})
        QVERIFY2(page.contains(part), qPrintable(part + u" not in "_s + page));
}

QTEST_MAIN(TestBusinessChart)
#include "test_business_chart.moc"
