#include "data/connection.h"
#include "data/conversions.h"
#include "finance/cash_ledger_window.h"
#include "finance/finance_windows.h"
#include "test_database.h"
#include "ui/chosen_record.h"
#include "window_kit.h"

#include <QGroupBox>

using namespace Qt::Literals::StringLiterals;
using namespace kit;

namespace {

// What a test needs to know of each ledger.
struct Ledger {
    QString form;
    QString table;
    QString idle;
    QString confirm;
    QString added;
    QString rewritten;
    QString deleted;
};

const Ledger Takings{u"Form14"_s,
                     u"交款"_s,
                     u"新增营业款"_s,
                     u"确认提交"_s,
                     u"恭喜您，上交营业款提交成功！"_s,
                     u"恭喜您，营业款修改成功！"_s,
                     u"恭喜您，营业款删除成功！"_s};
const Ledger Disbursements{u"Form15"_s,
                           u"拔款"_s,
                           u"新增拔款"_s,
                           u"确认拔款"_s,
                           u"恭喜您，下拔款项提交成功！"_s,
                           u"恭喜您，拔款修改成功！"_s,
                           u"恭喜您，拔款删除成功！"_s};

QPushButton *button(QWidget *w, int n)
{
    return kit::button(w, u"Command"_s + QString::number(n));
}

void press(QWidget *w, int n)
{
    kit::click(w, u"Command"_s + QString::number(n));
}

void type(QWidget *w, const QString &amount, const QString &person)
{
    kit::set(w, u"Text1"_s, amount);
    kit::set(w, u"Text2"_s, person);
}

qint64 addEntry(TestDatabase &db, const QString &table, const QString &time, double amount,
                const QString &person)
{
    return db.insert(u"insert into "_s + table + u" ("_s + table + u"时间, "_s + table + u"金额, "_s + table +
                         u"人) values (?, ?, ?)"_s,
                     {time, amount, person});
}

QList<QStringList> entries(TestDatabase &db, const QString &table)
{
    return db.rows(u"select * from "_s + table + u" order by 1"_s);
}

// One entry in each ledger, so a window listing the other one's shows.
void seed(TestDatabase &db)
{
    addEntry(db, u"交款"_s, u"2006-05-01 08:00:00"_s, 500, u"张三"_s);
    addEntry(db, u"拔款"_s, u"2006-05-02 09:00:00"_s, 80, u"李四"_s);
}

} // namespace

Q_DECLARE_METATYPE(Ledger)

class TestFinance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerFinanceWindows(); }
    void init() { faults::reset(); }
    void cleanup()
    {
        faults::reset();
        flushDeletes();
    }
    void controls_data();
    void controls();
    void addInTwoSteps_data() { ledgers(); }
    void addInTwoSteps();
    void addRefusals_data();
    void addRefusals();
    void failedAddIsReported_data() { ledgers(); }
    void failedAddIsReported();
    void addModeThenClickAddsCopy_data() { ledgers(); }
    void addModeThenClickAddsCopy();
    void clickCopiesEntry_data() { ledgers(); }
    void clickCopiesEntry();
    void rewrite_data() { ledgers(); }
    void rewrite();
    void rewriteAfterMouseAndKeyPicks_data() { ledgers(); }
    void rewriteAfterMouseAndKeyPicks();
    void rewriteNeedsEntryAndInput_data() { ledgers(); }
    void rewriteNeedsEntryAndInput();
    void deleteAtOnce_data() { ledgers(); }
    void deleteAtOnce();

private:
    static void ledgers()
    {
        QTest::addColumn<Ledger>("ledger");
        QTest::newRow("takings") << Takings;
        QTest::newRow("disbursements") << Disbursements;
    }
};

void TestFinance::controls_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("idle");
    QTest::newRow("takings") << u"Form14"_s << u"上交营业款"_s
                             << QStringList{u"交款时间："_s, u"交款金额："_s, u"交款人："_s}
                             << u"序号    |^  交款时间          |^交款金额              |^    交款人  "_s
                             << u"新增营业款"_s;
    QTest::newRow("disbursements")
        << u"Form15"_s << u"下拔营业款"_s << QStringList{u"拔款时间："_s, u"拔款金额："_s, u"拔款人："_s}
        << u"序号    |^  拔款时间          |^拔款金额              |^    拔款人  "_s << u"新增拔款"_s;
}

void TestFinance::controls()
{
    QFETCH(QString, form);
    QFETCH(QString, caption);
    QFETCH(QStringList, labels);
    QFETCH(QString, header);
    QFETCH(QString, idle);
    TestDatabase db;
    TestSeam seam;
    QWidget *w = ui::showWindow(form);
    QVERIFY(w);
    QCOMPARE(w->objectName(), form);
    QCOMPARE(w->windowTitle(), caption);
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(child<QLabel>(w, u"Label"_s + QString::number(n))->text(), labels.at(n - 1));
    QCOMPARE(child<QLineEdit>(w, u"Text1"_s)->accessibleName(), labels.at(1).chopped(1));
    auto *list = grid(w);
    QCOMPARE(list->FormatString(), header);
    QCOMPARE(list->Rows(), 1);
    QCOMPARE(list->minimumRowHeight(), 0); // left at the control's default
    QCOMPARE(button(w, 1)->text(), idle);
    QCOMPARE(button(w, 2)->text(), u"修改信息"_s);
    QCOMPARE(button(w, 3)->text(), u"删除信息"_s);
    QCOMPARE(child<DatePicker>(w, u"DTPicker1"_s)->Value(), QDateTime(QDate(2006, 4, 26), QTime(8, 15)));
    QVERIFY(child<QGroupBox>(w, u"Frame1"_s)->title().isEmpty());
    // With no entries, delete names what is missing and does nothing else.
    press(w, 3);
    QCOMPARE(seam.messageTexts(), QStringList{ui::nothingChosenMessage()});
    QCOMPARE(seam.shown.size(), 1);
}

void TestFinance::addInTwoSteps()
{
    QFETCH(Ledger, ledger);
    TestDatabase db;
    TestSeam seam;
    seed(db);
    const QList<QStringList> before = entries(db, ledger.table);
    QWidget *w = ui::showWindow(ledger.form);
    QCOMPARE(grid(w)->Rows(), 2);
    type(w, u"1"_s, u"x"_s);

    press(w, 1);
    QCOMPARE(button(w, 1)->text(), ledger.confirm);
    QVERIFY(!button(w, 2)->isEnabled());
    QVERIFY(!button(w, 3)->isEnabled());
    QCOMPARE(text(w, u"Text1"_s), QString());
    QCOMPARE(text(w, u"Text2"_s), QString());
    QCOMPARE(entries(db, ledger.table), before);
    QVERIFY(seam.messages.isEmpty());

    child<DatePicker>(w, u"DTPicker1"_s)->setValue(QDateTime(QDate(2026, 12, 7), QTime(9, 30, 15)));
    type(w, u"12.50"_s, u"O'Brien 王"_s);
    press(w, 1);
    QCOMPARE(seam.messageTexts(), QStringList{ledger.added});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Information);

    // Shown again at once, idle, with the new entry listed as the picker and boxes held it.
    flushDeletes();
    auto *again = seam.last<CashLedger>();
    QVERIFY(again && again != w);
    QCOMPARE(again->objectName(), ledger.form);
    QCOMPARE(button(again, 1)->text(), ledger.idle);
    QVERIFY(button(again, 2)->isEnabled());
    auto *list = grid(again);
    QCOMPARE(list->Rows(), 3);
    QCOMPARE(list->text(2, 1), conv::dateTimeToText(QDateTime(QDate(2026, 12, 7), QTime(9, 30, 15))));
    QCOMPARE(list->text(2, 2), u"12.5"_s);
    QCOMPARE(list->text(2, 3), u"O'Brien 王"_s);
}

void TestFinance::addRefusals_data()
{
    QTest::addColumn<Ledger>("ledger");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("person");
    QTest::addColumn<QString>("refusal"); // empty: accepted
    const QString incomplete = u"请填写完整资料？"_s;
    const QString notNumber = u"金额只能为数字？"_s;
    for (const Ledger &l : {Takings, Disbursements}) {
        const QByteArray k = l.form.toLatin1();
        QTest::newRow(k + " both empty") << l << QString() << QString() << incomplete;
        QTest::newRow(k + " letters, no person") << l << u"abc"_s << QString() << incomplete;
        QTest::newRow(k + " no amount") << l << QString() << u"张三"_s << incomplete;
        QTest::newRow(k + " letters") << l << u"abc"_s << u"张三"_s << notNumber;
        QTest::newRow(k + " blank") << l << u" "_s << u"张三"_s << notNumber;
        QTest::newRow(k + " fraction") << l << u"12.50"_s << u"张三"_s << QString();
        QTest::newRow(k + " exponent") << l << u"1e3"_s << u"张三"_s << QString();
        QTest::newRow(k + " negative, blanks") << l << u" -20 "_s << u"张三"_s << QString();
    }
}

void TestFinance::addRefusals()
{
    QFETCH(Ledger, ledger);
    QFETCH(QString, amount);
    QFETCH(QString, person);
    QFETCH(QString, refusal);
    TestDatabase db;
    TestSeam seam;
    QWidget *w = ui::showWindow(ledger.form);
    press(w, 1);
    type(w, amount, person);
    press(w, 1);
    if (refusal.isEmpty()) {
        QCOMPARE(seam.messageTexts(), QStringList{ledger.added});
        QCOMPARE(db.count(ledger.table), 1);
        return;
    }
    QCOMPARE(seam.messageTexts(), QStringList{refusal});
    QCOMPARE(db.count(ledger.table), 0);
    QCOMPARE(button(w, 1)->text(), ledger.confirm); // still adding, fields as typed
    QCOMPARE(text(w, u"Text1"_s), amount);
    QCOMPARE(text(w, u"Text2"_s), person);
    QCOMPARE(seam.shown.size(), 1);
}

void TestFinance::failedAddIsReported()
{
    QFETCH(Ledger, ledger);
    TestDatabase db;
    TestSeam seam;
    QWidget *w = ui::showWindow(ledger.form);
    press(w, 1);
    type(w, u"100"_s, u"张三"_s);
    faults::reset();
    faults::failStatement(1); // the insert
    press(w, 1);
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(!seam.messageTexts().contains(ledger.added));
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    QCOMPARE(db.count(ledger.table), 0);
    QCOMPARE(seam.shown.size(), 1); // not reopened
    QCOMPARE(button(w, 1)->text(), ledger.confirm);
    QCOMPARE(text(w, u"Text2"_s), u"张三"_s);
}

void TestFinance::addModeThenClickAddsCopy()
{
    QFETCH(Ledger, ledger);
    TestDatabase db;
    TestSeam seam;
    const qint64 key = addEntry(db, ledger.table, u"2006-05-03 10:20:30"_s, 66.6, u"赵六"_s);
    QWidget *w = ui::showWindow(ledger.form);
    press(w, 1);
    grid(w)->selectRecord(1);
    press(w, 1);
    const QList<QStringList> rows = entries(db, ledger.table);
    QCOMPARE(rows.size(), 2);
    QVERIFY(rows.last().at(0).toLongLong() > key);
    QCOMPARE(rows.last().mid(1), rows.first().mid(1));
}

void TestFinance::clickCopiesEntry()
{
    QFETCH(Ledger, ledger);
    TestDatabase db;
    TestSeam seam;
    addEntry(db, ledger.table, u"2006-05-03 10:20:30"_s, 66.6, u"赵六"_s);
    addEntry(db, ledger.table, u"2006-05-04 00:00:00"_s, 10, u"钱七"_s);
    QWidget *w = ui::showWindow(ledger.form);
    auto *list = grid(w);
    auto *picker = child<DatePicker>(w, u"DTPicker1"_s);
    list->selectRecord(1);
    QCOMPARE(picker->Value(), QDateTime(QDate(2006, 5, 3), QTime(10, 20, 30)));
    QCOMPARE(text(w, u"Text1"_s), u"66.6"_s);
    QCOMPARE(text(w, u"Text2"_s), u"赵六"_s);
    list->selectRecord(2); // a midnight entry shows the date alone and reads back as midnight
    QCOMPARE(picker->Value(), QDateTime(QDate(2006, 5, 4), QTime(0, 0)));
    QCOMPARE(text(w, u"Text2"_s), u"钱七"_s);
}

void TestFinance::rewrite()
{
    QFETCH(Ledger, ledger);
    TestDatabase db;
    TestSeam seam;
    seed(db);
    const qint64 second = addEntry(db, ledger.table, u"2006-05-05 12:00:00"_s, 300, u"孙八"_s);
    QWidget *w = ui::showWindow(ledger.form);
    auto *list = grid(w);
    list->selectRecord(2);
    QCOMPARE(list->text(2, 0), QString::number(second));
    const QDateTime time(QDate(2006, 6, 1), QTime(18, 0));
    child<DatePicker>(w, u"DTPicker1"_s)->setValue(time);
    type(w, u"350.25"_s, u"孙八'"_s);
    press(w, 2);
    QCOMPARE(seam.messageTexts(), QStringList{ledger.rewritten});
    flushDeletes();
    auto *again = seam.last<CashLedger>();
    QVERIFY(again && again != w);
    QCOMPARE(kit::rows(grid(again)).last(),
             (QStringList{QString::number(second), conv::dateTimeToText(time), u"350.25"_s, u"孙八'"_s}));
}

void TestFinance::rewriteAfterMouseAndKeyPicks()
{
    QFETCH(Ledger, ledger);
    TestDatabase db;
    TestSeam seam;
    addEntry(db, ledger.table, u"2006-05-01 08:00:00"_s, 500, u"张三"_s);
    addEntry(db, ledger.table, u"2006-05-02 09:00:00"_s, 80, u"李四"_s);
    QWidget *w = ui::showWindow(ledger.form);
    auto *list = grid(w);
    kit::clickRow(list, 1);
    kit::clickRow(list, 2);
    QCOMPARE(text(w, u"Text2"_s), u"李四"_s);
    kit::key(list, Qt::Key_Up);
    QCOMPARE(text(w, u"Text1"_s), u"500"_s);
    kit::key(list, Qt::Key_End);
    set(w, u"Text1"_s, u"90"_s);
    press(w, 2);
    QCOMPARE(seam.messageTexts(), QStringList{ledger.rewritten});
    QCOMPARE(entries(db, ledger.table).first().mid(1),
             (QStringList{u"2006-05-01 08:00:00"_s, u"500"_s, u"张三"_s}));
    QCOMPARE(entries(db, ledger.table).last().mid(1),
             (QStringList{u"2006-05-02 09:00:00"_s, u"90"_s, u"李四"_s}));
}

void TestFinance::rewriteNeedsEntryAndInput()
{
    QFETCH(Ledger, ledger);
    TestDatabase db;
    TestSeam seam;
    seed(db);
    const QString before = db.dump();
    QWidget *w = ui::showWindow(ledger.form);
    // The checks come first, even with nothing chosen.
    press(w, 2);
    QCOMPARE(seam.messageTexts(), QStringList{u"请填写完整资料？"_s});
    seam.clear();
    type(w, u"十元"_s, u"张三"_s);
    press(w, 2);
    QCOMPARE(seam.messageTexts(), QStringList{u"金额只能为数字？"_s});
    seam.clear();
    // Sound input but no entry chosen: said so, nothing written.
    type(w, u"10"_s, u"张三"_s);
    press(w, 2);
    QCOMPARE(seam.messageTexts(), QStringList{ui::nothingChosenMessage()});
    QCOMPARE(db.dump(), before);
    QCOMPARE(seam.shown.size(), 1);
}

void TestFinance::deleteAtOnce()
{
    QFETCH(Ledger, ledger);
    TestDatabase db;
    TestSeam seam;
    seed(db);
    const qint64 gone = addEntry(db, ledger.table, u"2006-05-05 12:00:00"_s, 300, u"孙八"_s);
    QWidget *w = ui::showWindow(ledger.form);
    // Nothing chosen: said so, nothing deleted.
    press(w, 3);
    QCOMPARE(db.count(ledger.table), 2);
    QCOMPARE(seam.messageTexts(), QStringList{ui::nothingChosenMessage()});
    seam.clear();

    grid(w)->selectRecord(2);
    press(w, 3);
    // No question asked: one notice after the delete.
    QCOMPARE(seam.messageTexts(), QStringList{ledger.deleted});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Information);
    flushDeletes();
    auto *again = seam.last<CashLedger>();
    QVERIFY(again && again != w);
    QCOMPARE(grid(again)->Rows(), 2);
    QVERIFY(!column(grid(again), 0).contains(QString::number(gone)));
}

QTEST_MAIN(TestFinance)
#include "test_finance.moc"
