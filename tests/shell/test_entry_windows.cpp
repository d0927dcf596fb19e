#include "shell/shell_windows.h"
#include "test_database.h"
#include "window_kit.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;
using namespace kit;

// The windows that write a record, as a clerk at the keyboard meets them: where their time starts,
// where Tab goes, and which box is waiting after a refusal.
class TestEntryWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerAllWindows(); }
    void cleanup() { flushDeletes(); }
    void timeStartsNow_data();
    void timeStartsNow();
    void tabLeavesThePicker_data();
    void tabLeavesThePicker();
    void refusedBoxTakesTheFocus_data();
    void refusedBoxTakesTheFocus();
};

namespace {

const QDate Today(2026, 2, 7);

QString stored(const QDateTime &t)
{
    return t.toString(u"yyyy-MM-dd HH:mm:ss"_s);
}

QWidget *activeWindow(const QString &form)
{
    QWidget *w = open(form);
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w))
        qFatal("%s never became active", qPrintable(form));
    return w;
}

// One key where the keyboard focus is, as the operator's keyboard delivers it.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// Types the new record's other boxes and confirms; for a ledger, the two steps of its add button.
void confirm(QWidget *w, bool ledger)
{
    if (ledger) {
        click(w, u"Command1"_s);
        set(w, u"Text1"_s, u"100"_s);
        set(w, u"Text2"_s, u"张会计"_s);
    } else {
        typeGuest(w);
        grid(w)->selectRecord(1);
    }
    click(w, u"Command1"_s);
}

} // namespace

void TestEntryWindows::timeStartsNow_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("timeColumn");
    QTest::addColumn<bool>("ledger");
    QTest::newRow("check-in") << u"Form8"_s << u"select 入住时间 from 旅客入住"_s << false;
    QTest::newRow("reservation") << u"Form10"_s << u"select 入住时间 from 旅客预订"_s << false;
    QTest::newRow("takings") << u"Form14"_s << u"select 交款时间 from 交款"_s << true;
    QTest::newRow("disbursements") << u"Form15"_s << u"select 拔款时间 from 拔款"_s << true;
}

void TestEntryWindows::timeStartsNow()
{
    QFETCH(QString, form);
    QFETCH(QString, timeColumn);
    QFETCH(bool, ledger);
    TestDatabase db;
    TestSeam seam;
    db.addRoom(u"101"_s);
    db.addRoom(u"102"_s);
    seam.setToday(Today);
    seam.setTimeOfDay(QTime(21, 37, 50));
    QWidget *w = open(form);
    const QDateTime opened(Today, QTime(21, 37));
    QCOMPARE(picker(w)->Value(), opened);
    const QDateTime later(Today, QTime(21, 52));
    seam.setTimeOfDay(QTime(21, 52, 5));

    if (!ledger) {
        // More than a day back is asked about once; No keeps the window and writes nothing.
        picker(w)->setValue(later.addDays(-1).addSecs(-60));
        seam.answer(ui::vbNo);
        confirm(w, ledger);
        QCOMPARE(seam.messages.size(), 1);
        QCOMPARE(seam.messages.first().style, ui::vbYesNo | ui::vbInformation);
        QCOMPARE(kit::current(seam, form), w);
        QCOMPARE(picker(w)->Value(), later.addDays(-1).addSecs(-60));
        QCOMPARE(db.rows(timeColumn).size(), 0);
        // A day back exactly is still today's business: no question.
        picker(w)->setValue(later.addDays(-1));
        seam.clear();
    }
    confirm(w, ledger);
    QCOMPARE(seam.messages.size(), 1); // the success message only
    QCOMPARE(db.rows(timeColumn), (QList<QStringList>{{stored(ledger ? opened : later.addDays(-1))}}));
    // The window a confirm shows again starts at the clock once more.
    QCOMPARE(picker(kit::current(seam, form))->Value(), later);
}

void TestEntryWindows::tabLeavesThePicker_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("check-in") << u"Form8"_s << u"Text4"_s << u"Text5"_s;
    QTest::newRow("reservation") << u"Form10"_s << u"Text4"_s << u"Text5"_s;
    QTest::newRow("current guests") << u"Form9"_s << u"Text4"_s << u"Text5"_s;
    QTest::newRow("takings") << u"Form14"_s << u"MSFlexGrid1"_s << u"Text1"_s;
}

void TestEntryWindows::tabLeavesThePicker()
{
    QFETCH(QString, form);
    QFETCH(QString, before);
    QFETCH(QString, after);
    TestDatabase db;
    TestSeam seam;
    QWidget *w = activeWindow(form);
    DatePicker *p = picker(w);
    const QDateTime start = p->Value();
    child(w, before)->setFocus(Qt::TabFocusReason);

    press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), p);
    press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child(w, after));
    QTest::keyClicks(QApplication::focusWidget(), u"37"_s);
    QCOMPARE(text(w, after), u"37"_s);
    press(Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), p);
    press(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), child(w, before));
    QCOMPARE(p->Value(), start);

    // Inside the picker the arrows still change it.
    p->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Up);
    QCOMPARE(QApplication::focusWidget(), p);
    QVERIFY(p->Value() != start);
}

void TestEntryWindows::refusedBoxTakesTheFocus_data()
{
    // The window, a button clicked first (a two-step add), boxes typed, the button that refuses,
    // its message, and the box that should then hold the focus.
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focused");
    const QStringList guest{u"Text1=张三"_s, u"Text2=华光"_s, u"Text3=身份证"_s, u"Text4=1101"_s,
                            u"Text5=3"_s,    u"Text6=2"_s,    u"Text8=500"_s};
    const QString missing = u"请填写完整资料？"_s;
    QTest::newRow("check-in: id kind")
        << u"Form8"_s << QString() << QStringList(guest.mid(0, 2) + guest.mid(3)) << u"Command1"_s << missing
        << u"Text3"_s;
    QTest::newRow("check-in: no room")
        << u"Form8"_s << QString() << guest << u"Command1"_s << missing << u"MSFlexGrid1"_s;
    QTest::newRow("reservation: persons")
        << u"Form10"_s << QString() << QStringList(guest + QStringList{u"Text7=1"_s, u"Text6=两"_s})
        << u"Command1"_s << u"入住天数，人数，预付款只能为数字形式？"_s << u"Text6"_s;
    QTest::newRow("current guests: no stay")
        << u"Form9"_s << QString() << guest << u"Command1"_s << missing << u"MSFlexGrid2"_s;
    QTest::newRow("takings: person") << u"Form14"_s << u"Command1"_s << QStringList{u"Text1=100"_s}
                                     << u"Command1"_s << missing << u"Text2"_s;
    QTest::newRow("disbursements: amount")
        << u"Form15"_s << u"Command1"_s << QStringList{u"Text1=百"_s, u"Text2=王"_s} << u"Command1"_s
        << u"金额只能为数字？"_s << u"Text1"_s;
    QTest::newRow("floors: new name")
        << u"Form5"_s << QString() << QStringList() << u"Command1"_s << u"请填写完整资料！"_s << u"Text1"_s;
    QTest::newRow("operators: password")
        << u"Form4"_s << QString() << QStringList{u"Text1=lee"_s} << u"Command2"_s << missing << u"Text2"_s;
    QTest::newRow("rooms: agreed price")
        << u"Form6"_s << u"Command1"_s
        << QStringList{u"Text1=105"_s, u"Text2=a"_s, u"Text3=标准间"_s, u"Text4=120"_s, u"Text5=八十"_s}
        << u"Command1"_s << u"房间价格只能为货币数字形式？"_s << u"Text5"_s;
    QTest::newRow("check-out: room") << u"Form12"_s << QString() << QStringList() << u"Command1"_s
                                     << u"对不起，请输入查询对象？"_s << u"Text1"_s;
}

void TestEntryWindows::refusedBoxTakesTheFocus()
{
    QFETCH(QString, form);
    QFETCH(QString, first);
    QFETCH(QStringList, typed);
    QFETCH(QString, press);
    QFETCH(QString, message);
    QFETCH(QString, focused);
    TestDatabase db;
    db.addRoom(u"101"_s);
    TestSeam seam;
    QWidget *w = activeWindow(form);
    if (!first.isEmpty())
        click(w, first);
    for (const QString &entry : std::as_const(typed))
        set(w, entry.section(u'=', 0, 0), entry.section(u'=', 1));
    // The focus starts on the button, as after a mouse click on it.
    button(w, press)->setFocus(Qt::MouseFocusReason);
    click(w, press);
    QCOMPARE(seam.messageTexts(), QStringList{message});
    QCOMPARE(QApplication::focusWidget(), child(w, focused));
}

QTEST_MAIN(TestEntryWindows)
#include "test_entry_windows.moc"
