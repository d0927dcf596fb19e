#include "data/conversions.h"
#include "reliability_kit.h"
#include "shell/shell_windows.h"

#include <QDir>
#include <QPointer>
#include <QSet>

using namespace Qt::Literals::StringLiterals;
using namespace rel;

// Awkward text typed into every box the operator can reach, each time with the other boxes
// valid and the window's buttons pressed: either the record goes in exactly as typed, or the
// window refuses with one message and the file stays as it was.
class TestBadInput : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        quietOffscreenWarnings();
        registerAllWindows();
    }
    void cleanup() { flushDeletes(); }
    void cleanupTestCase();
    void writingHandlers_data();
    void writingHandlers();
    void readingWindows_data();
    void readingWindows();
    void everyBoxIsTried();

private:
    int m_inputs = 0;
    int m_boxes = 0;
};

namespace {

QStringList textInputs()
{
    return {u"'"_s,
            u"\""_s,
            u"' or '1'='1"_s,
            u"\\"_s,
            u"C:\\temp\\x\\\\y"_s,
            u"%"_s,
            u"_"_s,
            u"100%_a"_s,
            QString(10000, QChar(u'长')),
            u"\U0001F600"_s,
            u"a\U0001F600b\U0001F600"_s,
            u"e\u0301\u0327"_s,
            u"   "_s,
            u"  张三  "_s,
            u" 12 "_s,
            u"1e400"_s,
            u"NaN"_s,
            u"Infinity"_s,
            u"-Infinity"_s,
            u"-0"_s,
            u"32767.5"_s,
            u"-32768.5"_s,
            u"32768"_s,
            u"1,234"_s,
            u"１２３"_s,
            u"0x1F"_s,
            u"&H1F"_s,
            u""_s,
            u"2006-02-30"_s,
            u"0000-00-00"_s,
            u"0001-01-01 00:00:00"_s,
            u"9999-12-31 23:59:59"_s};
}

// Far past, far future and the edges a date-time store stumbles on; texts through setValueText.
struct DateInput {
    QDateTime value;
    QString text;
};

QList<DateInput> dateInputs()
{
    QList<DateInput> out;
    for (const QDateTime &v :
         {QDateTime(QDate(1, 1, 1), QTime(0, 0)), QDateTime(QDate(100, 1, 1), QTime(0, 0)),
          QDateTime(QDate(1752, 9, 14), QTime(0, 0)), QDateTime(QDate(1899, 12, 30), QTime(0, 0)),
          QDateTime(QDate(1969, 12, 31), QTime(23, 59, 59)), QDateTime(QDate(2038, 1, 19), QTime(3, 14, 8)),
          QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59))})
        out.append({v, {}});
    for (const QString &t : {u"2006-02-30"_s, u"0000-00-00"_s, u"0001-01-01 00:00:00"_s,
                             u"9999-12-31 23:59:59"_s, u"' or '1'='1"_s, u""_s})
        out.append({{}, t});
    return out;
}

QString describe(const QString &input)
{
    return input.size() > 40 ? input.left(8) + u"…("_s + QString::number(input.size()) + u" chars)"_s : input;
}

struct Outcome {
    Snapshot after;
    QStringList messages;
    int mostPerPress = 0;
    QDateTime picked; // the picker's value as pressed
};

// A window that writes nothing to the file: what to choose and type, which buttons to press
// ("Form21.Command1" is a button of the window the earlier press opened).
struct Reader {
    QString name;
    QString form;
    std::function<void(QWidget *)> prepare;
    QList<std::pair<QString, QString>> fill;
    QStringList buttons;
    bool answersEveryPress; // each press tells the operator something
};

QList<Reader> readers()
{
    return {
        {u"check-out search"_s, u"Form12"_s, nothing, {{u"Text1"_s, u"102"_s}}, {u"Command1"_s}, false},
        {u"room history"_s, u"Form17"_s, nothing, {{u"Text1"_s, u"101"_s}}, {u"Command1"_s}, false},
        {u"date statistics"_s, u"Form16"_s, nothing, {}, {u"Command1"_s}, false},
        // The sheet prints the stay chosen in the history, whatever its boxes were typed over with.
        {u"history sheet"_s,
         u"Form13"_s,
         choose(u"MSFlexGrid2"_s, 1),
         {},
         {u"Command2"_s, u"Form21.Command1"_s},
         false},
        {u"login"_s,
         u"Form1"_s,
         nothing,
         {{u"Text1"_s, u"admin"_s}, {u"Text2"_s, u"admin"_s}},
         {u"Command1"_s},
         true},
        {u"backup"_s, u"Form7"_s, nothing, {{u"Text1"_s, u"copy.mdb"_s}}, {u"Command1"_s}, true},
        // Any path typed is asked about first; declined, nothing is read or written.
        {u"restore"_s, u"Form23"_s, nothing, {{u"Text1"_s, u"copy.mdb"_s}}, {u"Command1"_s}, true},
    };
}

int pressCounting(TestSeam &seam, QWidget *w, const QString &button)
{
    const qsizetype before = seam.messages.size();
    kit::click(w, button);
    return int(seam.messages.size() - before);
}

void setPicker(QWidget *w, const QString &name, const DateInput &in)
{
    auto *picker = kit::child<DatePicker>(w, name);
    if (in.value.isValid())
        picker->setValue(in.value);
    else
        picker->setValueText(in.text);
}

// QUILLON_TEST_SHARD=i/n: this process takes every n-th row from the i-th, so ctest runs the
// suite's rows in n processes side by side.
bool sharded()
{
    return qEnvironmentVariableIsSet("QUILLON_TEST_SHARD");
}

bool inThisShard(int row)
{
    const QStringList shard = qEnvironmentVariable("QUILLON_TEST_SHARD").split(u'/');
    if (shard.size() != 2 || shard.at(1).toInt() < 1)
        return true;
    return row % shard.at(1).toInt() == shard.at(0).toInt();
}

// The longest row by far (the history's search waits out its pause for every input): a ctest
// entry of its own rather than in a shard.
const QString LongestRow = u"history sheet"_s;

} // namespace

void TestBadInput::writingHandlers_data()
{
    QTest::addColumn<QString>("handler");
    int row = 0;
    for (const Handler &h : writeHandlers()) {
        if (!h.boxes.isEmpty() && inThisShard(row++))
            QTest::addRow("%s", qPrintable(h.name)) << h.name;
    }
}

void TestBadInput::writingHandlers()
{
    QFETCH(QString, handler);
    const Handler &h = rel::handler(handler);
    const schema::Table *table = schema::table(h.table);
    QVERIFY(table);

    // The window's own answers: what it says when the record goes in, and the rows that change.
    Snapshot pristineState;
    QString success;
    QString expectedShape;
    {
        Scratch scratch;
        pristineState = scratch.snapshot();
        TestSeam seam;
        QWidget *w = openWindow(seam, h.form);
        h.prepare(w);
        fillAndCompute(h, w);
        seam.clear();
        kit::click(w, h.button);
        QCOMPARE(seam.messages.size(), 1);
        success = seam.messages.first().text;
        expectedShape = shape(changes(pristineState, scratch.snapshot()));
        QVERIFY2(changes(pristineState, scratch.snapshot()).value(h.table).added.size() == 1,
                 qPrintable(expectedShape));
    }

    // One try: the valid particulars, `text` (or the picker's value) in `box`, the buttons pressed.
    auto run = [&](const QString &box, const QString &text, const DateInput *date) {
        Outcome o;
        Scratch scratch;
        TestSeam seam;
        QPointer<QWidget> w = openWindow(seam, h.form);
        h.prepare(w);
        if (!typeableBoxes(w).contains(box))
            qFatal("%s.%s cannot be typed into", qPrintable(h.form), qPrintable(box));
        seam.clear();
        if (date) {
            setPicker(w, box, *date);
            o.picked = kit::child<DatePicker>(w, box)->Value();
            fillAndCompute(h, w);
        } else {
            fillAndCompute(h, w, box, text);
        }
        o.mostPerPress = int(seam.messages.size());
        if (w)
            o.mostPerPress = std::max(o.mostPerPress, pressCounting(seam, w, h.button));
        o.messages = seam.messageTexts();
        o.after = scratch.snapshot();
        return o;
    };

    int stored = 0;
    int refused = 0;
    for (const auto &[box, ordinal] : h.boxes) {
        ++m_boxes;
        const schema::Column &column = table->columns.at(ordinal);
        auto check = [&](const Outcome &o, const QString &typed, const QString &label) {
            const QString where = handler + u" "_s + box + u" ← "_s + label;
            QVERIFY2(o.mostPerPress <= 1, qPrintable(where + u": several messages at one press"_s));
            if (o.after == pristineState) {
                ++refused;
                QVERIFY2(o.messages.size() == 1,
                         qPrintable(where + u": refused with messages "_s + o.messages.join(u" | "_s)));
                QVERIFY2(o.messages.first() != success,
                         qPrintable(where + u": success told, nothing stored"_s));
                return;
            }
            ++stored;
            const auto c = changes(pristineState, o.after);
            QVERIFY2(shape(c) == expectedShape,
                     qPrintable(where + u": wrote "_s + shape(c) + u", expected "_s + expectedShape));
            QVERIFY2(o.messages == QStringList{success},
                     qPrintable(where + u": "_s + o.messages.join(u" | "_s)));
            const QStringList cells = c.value(h.table).added.first().split(CellSeparator);
            if (column.type == schema::ColumnType::Text && !typed.isEmpty())
                QVERIFY2(cells.at(ordinal) == typed,
                         qPrintable(where + u": stored "_s + describe(cells.at(ordinal))));
            if (column.type == schema::ColumnType::DateTime && o.picked.isValid())
                QVERIFY2(cells.at(ordinal) == conv::toStorage(o.picked),
                         qPrintable(where + u": stored "_s + cells.at(ordinal) + u" for "_s +
                                    o.picked.toString(Qt::ISODate)));
        };

        if (column.type == schema::ColumnType::DateTime && box.startsWith(u"DTPicker"_s)) {
            for (const DateInput &in : dateInputs()) {
                const Outcome o = run(box, {}, &in);
                check(o, {}, in.value.isValid() ? in.value.toString(Qt::ISODate) : u"text "_s + in.text);
                if (QTest::currentTestFailed())
                    return;
                ++m_inputs;
            }
            continue;
        }
        for (const QString &input : textInputs()) {
            const Outcome o = run(box, input, nullptr);
            check(o, input, describe(input));
            if (QTest::currentTestFailed())
                return;
            ++m_inputs;
        }
    }
    qInfo("%s: %d written, %d refused", qPrintable(handler), stored, refused);
}

void TestBadInput::readingWindows_data()
{
    QTest::addColumn<int>("index");
    const QList<Reader> all = readers();
    for (int i = 0; i < all.size(); ++i) {
        if (inThisShard(i) && !(sharded() && all.at(i).name == LongestRow))
            QTest::addRow("%s", qPrintable(all.at(i).name)) << i;
    }
}

void TestBadInput::readingWindows()
{
    QFETCH(int, index);
    const Reader r = readers().at(index);
    // A typed backup path that is no folder lands beside the scratch file, nowhere else.
    struct WorkingFolder {
        const QString home = QDir::currentPath();
        ~WorkingFolder() { QDir::setCurrent(home); }
    } workingFolder;
    Scratch probe;
    const Snapshot pristineState = probe.snapshot();
    QStringList boxes;
    {
        TestSeam seam;
        boxes = typeableBoxes(openWindow(seam, r.form));
    }
    if (r.form == u"Form12"_s)
        boxes = {u"Text1"_s}; // the other boxes belong to the check-out itself

    for (const QString &box : std::as_const(boxes)) {
        ++m_boxes;
        const bool date = box.startsWith(u"DTPicker"_s);
        const qsizetype count = date ? dateInputs().size() : textInputs().size();
        for (qsizetype i = 0; i < count; ++i) {
            Scratch scratch;
            QDir::setCurrent(scratch.directory());
            TestSeam seam;
            seam.setPrinter(true);
            if (r.form == u"Form23"_s)
                seam.answer(false);
            QPointer<QWidget> w = openWindow(seam, r.form);
            r.prepare(w);
            for (const auto &[name, value] : r.fill)
                kit::set(w, name, value);
            QString label;
            if (date) {
                setPicker(w, box, dateInputs().at(i));
                label = dateInputs().at(i).value.toString(Qt::ISODate) + dateInputs().at(i).text;
            } else {
                kit::set(w, box, textInputs().at(i));
                label = describe(textInputs().at(i));
            }
            const QString where = r.name + u" "_s + box + u" ← "_s + label;
            for (const QString &step : r.buttons) {
                const QStringList parts = step.split(u'.');
                QWidget *target = parts.size() == 2 ? kit::current(seam, parts.first()) : w.data();
                QVERIFY2(target, qPrintable(where + u": no window for "_s + step));
                const int n = pressCounting(seam, target, parts.last());
                QVERIFY2(n <= 1, qPrintable(where + u": several messages at one press"_s));
                QVERIFY2(!r.answersEveryPress || n == 1, qPrintable(where + u": no answer"_s));
            }
            QVERIFY2(scratch.snapshot() == pristineState,
                     qPrintable(where + u": the file changed: "_s +
                                shape(changes(pristineState, scratch.snapshot()))));
            // Nobody gets in with text that is not the operator's own password.
            if (r.form == u"Form1"_s)
                QVERIFY2(seam.messageTexts() == QStringList{u"对不起，用户名或密码错误？"_s},
                         qPrintable(where));
            ++m_inputs;
        }
    }
}

void TestBadInput::everyBoxIsTried()
{
    if (!inThisShard(0))
        QSKIP("the first shard checks this");
    // The reading windows have every box tried as found; each box of a window that writes must
    // be named by one of its handlers above.
    QSet<QString> named = {u"Form12.Text1"_s};
    QSet<QString> forms;
    for (const Handler &h : writeHandlers()) {
        forms.insert(h.form);
        for (const auto &box : h.boxes)
            named.insert(h.form + u"."_s + box.first);
    }
    Scratch scratch;
    // No registered window with a box is left out of both tables.
    QSet<QString> readerForms = {u"Form1"_s};
    for (const Reader &r : readers())
        readerForms.insert(r.form);
    for (int n = 1; n <= 40; ++n) {
        const QString form = u"Form"_s + QString::number(n);
        if (!ui::hasWindow(form) || forms.contains(form) || readerForms.contains(form))
            continue;
        TestSeam seam;
        QVERIFY2(typeableBoxes(openWindow(seam, form)).isEmpty(),
                 qPrintable(form + u" has boxes never tried"_s));
    }
    for (const QString &form : std::as_const(forms)) {
        TestSeam seam;
        QWidget *w = openWindow(seam, form);
        for (const Handler &h : writeHandlers()) {
            if (h.form == form && !h.boxes.isEmpty()) {
                h.prepare(w); // add mode shows the same boxes
                break;
            }
        }
        for (const QString &box : typeableBoxes(w))
            QVERIFY2(named.contains(form + u"."_s + box),
                     qPrintable(form + u"."_s + box + u" is never tried"_s));
    }
}

void TestBadInput::cleanupTestCase()
{
    qInfo("bad input: %d inputs x boxes (%d boxes; %d texts each, %d dates each picker)", m_inputs, m_boxes,
          int(textInputs().size()), int(dateInputs().size()));
}

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
