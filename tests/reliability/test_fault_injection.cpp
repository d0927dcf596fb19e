#include "data/connection.h"
#include "reliability_kit.h"
#include "shell/shell_windows.h"

#include <QPointer>

using namespace Qt::Literals::StringLiterals;
using namespace rel;

// Every handler that writes, failed at each of its statements in turn and at its commit: the
// file must be as before, the operator told once, and the same window must then succeed.
class TestFaultInjection : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        quietOffscreenWarnings();
        registerAllWindows();
    }
    void cleanup()
    {
        faults::reset();
        flushDeletes();
    }
    void cleanupTestCase();
    void scratchDumpMatchesTheSharedDump();
    void everyStepFails_data();
    void everyStepFails();

private:
    int m_handlers = 0;
    int m_steps = 0;
};

namespace {

struct Run {
    QPointer<QWidget> window;
    QStringList answers; // messages the handler's press produced, questions left out
    int statements = 0;
    int commits = 0;
};

QStringList notices(const TestSeam &seam)
{
    QStringList out;
    for (const TestSeam::Message &m : seam.messages) {
        if (m.kind != ui::MessageKind::Question)
            out.append(m.text);
    }
    return out;
}

// Opens the window, chooses and types, then presses the handler's button with the given fault.
Run drive(TestSeam &seam, const Handler &h, int failAt, bool failCommit)
{
    Run run;
    run.window = openWindow(seam, h.form);
    h.prepare(run.window);
    fillAndCompute(h, run.window);
    seam.clear();
    for (int i = 0; i < h.yes; ++i)
        seam.answer(true);
    faults::reset();
    faults::failStatement(failAt);
    faults::failCommit(failCommit);
    QTest::mouseClick(kit::button(run.window, h.button), Qt::LeftButton);
    run.statements = faults::statementsRun();
    run.commits = faults::commitsRun();
    faults::reset();
    flushDeletes();
    run.answers = notices(seam);
    return run;
}

// Statements a fresh window runs to load on the current file (a list reads no page when empty); a
// handler that reopens its window runs them after its own.
int loadStatements(const QString &form)
{
    TestSeam seam;
    faults::reset();
    openWindow(seam, form);
    const int n = faults::statementsRun();
    faults::reset();
    return n;
}

} // namespace

void TestFaultInjection::scratchDumpMatchesTheSharedDump()
{
    // The copies the cases run on read back exactly as the seeded file did.
    Scratch scratch;
    QCOMPARE(scratch.dump(), pristine().dump);
    QVERIFY(pristine().dump.contains(u"赵二"_s));
}

void TestFaultInjection::everyStepFails_data()
{
    QTest::addColumn<QString>("handler");
    for (const Handler &h : writeHandlers())
        QTest::addRow("%s", qPrintable(h.name)) << h.name;
}

void TestFaultInjection::everyStepFails()
{
    QFETCH(QString, handler);
    const Handler &h = rel::handler(handler);

    // Unfaulted: how many statements the handler itself runs, and what it leaves behind.
    Snapshot pristineState;
    Snapshot done;
    QString success;
    int steps = 0;
    bool commits = false;
    {
        Scratch scratch;
        pristineState = scratch.snapshot();
        TestSeam seam;
        const Run run = drive(seam, h, 0, false);
        done = scratch.snapshot();
        QVERIFY2(done != pristineState, "the unfaulted handler wrote nothing");
        QVERIFY(run.answers.size() <= 1);
        success = run.answers.value(0);
        const bool reopened = seam.shown.size() > 1;
        steps = run.statements - (reopened ? loadStatements(h.form) : 0);
        commits = run.commits > 0;
        QVERIFY2(steps >= 1, qPrintable(u"statements counted: "_s + QString::number(run.statements)));
    }

    {
        // The count is exact: one statement later the record is already complete.
        Scratch scratch;
        TestSeam seam;
        drive(seam, h, steps + 1, false);
        QVERIFY2(scratch.snapshot() == done,
                 qPrintable(handler + u": still writing after statement "_s + QString::number(steps)));
    }

    const int variants = steps + (commits ? 1 : 0);
    for (int v = 1; v <= variants; ++v) {
        const bool commitFails = v > steps;
        const QString where = commitFails ? u"commit"_s : u"statement "_s + QString::number(v);
        Scratch scratch;
        TestSeam seam;
        Run run = drive(seam, h, commitFails ? 0 : v, commitFails);

        QVERIFY2(scratch.snapshot() == pristineState,
                 qPrintable(handler + u": partial write when "_s + where + u" failed: "_s +
                            shape(changes(pristineState, scratch.snapshot()))));
        QVERIFY2(run.answers.size() == 1,
                 qPrintable(handler + u" / "_s + where + u": messages "_s + run.answers.join(u" | "_s)));
        if (!success.isEmpty())
            QVERIFY2(run.answers.first() != success,
                     qPrintable(handler + u" / "_s + where + u": told success"_s));
        QVERIFY2(run.window && run.window->isVisible() && seam.shown.size() == 1,
                 qPrintable(handler + u" / "_s + where + u": window gone or reopened"_s));

        // The same window, asked again without the fault, does the whole job.
        seam.clear();
        for (int i = 0; i < h.yes; ++i)
            seam.answer(true);
        kit::click(run.window, h.button);
        QVERIFY2(scratch.snapshot() == done, qPrintable(handler + u" / "_s + where + u": retry left "_s +
                                                        shape(changes(done, scratch.snapshot()))));
        QCOMPARE(notices(seam).value(0), success);
    }
    qInfo("%s: %d statements%s", qPrintable(handler), steps, commits ? " and the commit" : "");
    ++m_handlers;
    m_steps += variants;
}

void TestFaultInjection::cleanupTestCase()
{
    qInfo("fault injection: %d handlers x %d steps", m_handlers, m_steps);
}

QTEST_MAIN(TestFaultInjection)
#include "test_fault_injection.moc"
