#include "shell/shell_windows.h"
#include "test_database.h"
#include "window_kit.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;
using namespace kit;

// The windows that write a record, at the keyboard: where their time starts, where Tab goes,
// and which box waits after a refusal.
class TestEntryWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerAllWindows(); }
    void cleanup() { flushDeletes(); }
    void timeStartsNow_data();
    void timeStartsNow();
    void tabLeavesThePickerAndRefusalsFocusTheBox();
};

namespace {

QWidget *activeWindow(const QString &form)
{
    QWidget *w = open(form);
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w))
        qFatal("%s never became active", qPrintable(form));
    return w;
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

} // namespace

void TestEntryWindows::timeStartsNow_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("times");
    QTest::addColumn<bool>("ledger");
    QTest::newRow("check-in") << u"Form8"_s << u"select 入住时间 from 旅客入住"_s << false;
    QTest::newRow("reservation") << u"Form10"_s << u"select 入住时间 from 旅客预订"_s << false;
    QTest::newRow("takings") << u"Form14"_s << u"select 交款时间 from 交款"_s << true;
    QTest::newRow("disbursements") << u"Form15"_s << u"select 拔款时间 from 拔款"_s << true;
}

void TestEntryWindows::timeStartsNow()
{
    QFETCH(QString, form);
    QFETCH(QString, times);
    QFETCH(bool, ledger);
    TestDatabase db;
    TestSeam seam;
    db.addRoom(u"101"_s);
    db.addRoom(u"102"_s);
    seam.setToday(QDate(2026, 2, 7));
    seam.setTimeOfDay(QTime(21, 37, 50));
    QWidget *w = open(form);
    QCOMPARE(picker(w)->Value(), QDateTime(QDate(2026, 2, 7), QTime(21, 37)));
    seam.setTimeOfDay(QTime(21, 52, 5));
    const QDateTime later(QDate(2026, 2, 7), QTime(21, 52));
    auto confirm = [&] {
        if (ledger) {
            picker(w)->setValue(later.addYears(-3));
            click(w, u"Command1"_s); // a new entry starts at the clock, whatever was shown
            QCOMPARE(picker(w)->Value(), later);
            picker(w)->setValue(later.addDays(-1));
            set(w, u"Text1"_s, u"100"_s);
            set(w, u"Text2"_s, u"张会计"_s);
        } else {
            typeGuest(w);
            grid(w)->selectRecord(1);
        }
        click(w, u"Command1"_s);
    };
    // A check-in or booking more than a day back is asked about once; No writes nothing.
    picker(w)->setValue(later.addDays(-1).addSecs(ledger ? 0 : -60));
    if (!ledger)
        seam.answer(false);
    confirm();
    if (!ledger) {
        QCOMPARE(seam.messages.size(), 1);
        QCOMPARE(seam.messages.first().kind, ui::MessageKind::Question);
        QCOMPARE(kit::current(seam, form), w);
        QCOMPARE(db.rows(times).size(), 0);
        picker(w)->setValue(later.addDays(-1)); // a day back exactly is asked about no more
        seam.clear();
        confirm();
    }
    QCOMPARE(seam.messages.size(), 1); // the success message only
    QCOMPARE(db.rows(times), (QList<QStringList>{{later.addDays(-1).toString(u"yyyy-MM-dd HH:mm:ss"_s)}}));
    // The window a confirm shows again starts at the clock once more.
    QCOMPARE(picker(kit::current(seam, form))->Value(), later);
}

void TestEntryWindows::tabLeavesThePickerAndRefusalsFocusTheBox()
{
    TestDatabase db;
    db.addRoom(u"101"_s);
    TestSeam seam;
    // Tab and Shift+Tab pass over the picker like any box; the arrows still change it.
    for (const auto &[form, before, after] : {std::tuple{u"Form8"_s, u"Text4"_s, u"Text5"_s},
                                              {u"Form9"_s, u"Text4"_s, u"Text5"_s},
                                              {u"Form14"_s, u"MSFlexGrid1"_s, u"Text1"_s}}) {
        QWidget *w = activeWindow(form);
        DatePicker *p = picker(w);
        const QDateTime start = p->Value();
        child(w, before)->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), p);
        press(Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), u"37"_s);
        QCOMPARE(text(w, after), u"37"_s);
        press(Qt::Key_Backtab);
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), child(w, before));
        QCOMPARE(p->Value(), start);
        p->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Up);
        QVERIFY(p->Value() != start);
        w->close();
    }
    // The window, a first click (a two-step add), boxes typed, the refusing button, the box focused.
    const QString guest = u"Text1=张三,Text2=华光,Text3=身份证,Text4=1101,Text5=3,Text6=2,Text8=500"_s;
    const QStringList cases[] = {
        {u"Form8"_s,
         {},
         u"Text1=张三,Text2=华光,Text4=1101,Text5=3,Text6=2,Text8=500"_s,
         u"Command1"_s,
         u"Text3"_s},
        {u"Form8"_s, {}, guest, u"Command1"_s, u"MSFlexGrid1"_s},
        {u"Form10"_s, {}, guest + u",Text7=1,Text6=两"_s, u"Command1"_s, u"Text6"_s},
        {u"Form9"_s, {}, guest, u"Command1"_s, u"MSFlexGrid2"_s},
        {u"Form15"_s, u"Command1"_s, u"Text1=百,Text2=王"_s, u"Command1"_s, u"Text1"_s},
        {u"Form4"_s, {}, u"Text1=lee"_s, u"Command2"_s, u"Text2"_s},
        {u"Form6"_s, u"Command1"_s, u"Text1=105,Text2=a,Text3=标准间,Text4=120,Text5=八十"_s, u"Command1"_s,
         u"Text5"_s},
        {u"Form12"_s, {}, {}, u"Command1"_s, u"Text1"_s}};
    for (const QStringList &c : cases) {
        QWidget *w = activeWindow(c[0]);
        if (!c[1].isEmpty())
            click(w, c[1]);
        for (const QString &entry : c[2].split(u',', Qt::SkipEmptyParts))
            set(w, entry.section(u'=', 0, 0), entry.section(u'=', 1));
        button(w, c[3])->setFocus(); // as the mouse leaves it
        seam.clear();
        click(w, c[3]);
        QCOMPARE(seam.messages.size(), 1);
        QVERIFY2(QApplication::focusWidget() == child(w, c[4]), qPrintable(c.join(u' ')));
        w->close();
        flushDeletes();
    }
}

QTEST_MAIN(TestEntryWindows)
#include "test_entry_windows.moc"
