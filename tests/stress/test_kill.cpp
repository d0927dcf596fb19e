#include "direct_db.h"
#include "hotel_file.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// A driver process runs desk operations on a real file and is killed with SIGKILL at random
// moments, again and again; after every kill the file must be sound and the rooms, stays,
// reservations and completed stays must agree with one another.
// A longer run: QUILLON_KILL_ROUNDS=<kills> QUILLON_KILL_OPERATIONS=<ops> QUILLON_KILL_SECONDS=<limit>;
// QUILLON_SEED=<n> repeats one.
class TestKill : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { stress::quietOffscreenWarnings(); }
    void checkerFindsBrokenFiles_data();
    void checkerFindsBrokenFiles();
    void killedAtRandomMoments();
    void twoDesksKilledTogether();
};

namespace {

int setting(const char *name, int fallback)
{
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariableIntValue(name) : fallback;
}

const QString stay =
    u"insert into 旅客入住 (旅客姓名, 入住时间, 房间ID) values ('甲', '2006-04-20 10:00:00', %1)"_s;
const QString booking =
    u"insert into 旅客预订 (旅客姓名, 入住时间, 房间ID) values ('乙', '2006-04-20 10:00:00', %1)"_s;
const QString done =
    u"insert into 旅客退房 (旅客姓名, 房间ID, 退房时间, 实际金额) values ('丙', %1, '2006-04-26 00:00:00', 120)"_s;

} // namespace

// The checker itself must fail on each kind of damage it is there to find.
void TestKill::checkerFindsBrokenFiles_data()
{
    QTest::addColumn<QStringList>("damage");
    QTest::addColumn<QString>("problem");
    QTest::newRow("sound") << QStringList{u"update 房间 set 房间状态=2 where 房间ID=1"_s, stay.arg(1),
                                          u"update 房间 set 房间状态=3 where 房间ID=2"_s, booking.arg(2),
                                          done.arg(3)}
                           << QString();
    QTest::newRow("occupied without stay") << QStringList{u"update 房间 set 房间状态=2 where 房间ID=1"_s}
                                           << u"room 1 (101): status 2 with 0 stay rows"_s;
    QTest::newRow("stay in a free room")
        << QStringList{stay.arg(1)} << u"room 1 (101): status 1 with 1 stay rows"_s;
    QTest::newRow("two stays") << QStringList{u"update 房间 set 房间状态=2 where 房间ID=1"_s, stay.arg(1),
                                              stay.arg(1)}
                               << u"status 2 with 2 stay rows"_s;
    QTest::newRow("reserved and occupied")
        << QStringList{u"update 房间 set 房间状态=2 where 房间ID=1"_s, stay.arg(1), booking.arg(1)}
        << u"status 2 with 1 stay rows and 1 reservation rows"_s;
    QTest::newRow("reservation left after a free")
        << QStringList{booking.arg(4)} << u"room 4 (104): status 1"_s;
    QTest::newRow("stay of a missing room")
        << QStringList{stay.arg(77)} << u"旅客入住: rows naming no existing room: 1"_s;
    QTest::newRow("completed stay of a missing room")
        << QStringList{done.arg(99)} << u"旅客退房: rows naming no existing room: 1"_s;
    QTest::newRow("completed stay twice")
        << QStringList{done.arg(5), done.arg(5)} << u"旅客退房: duplicated completed stays: 1"_s;
    QTest::newRow("damaged page") << QStringList{u"<damage>"_s} << u"integrity_check"_s;
}

void TestKill::checkerFindsBrokenFiles()
{
    QFETCH(QStringList, damage);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"innkeep.mdb"_s);
    QCOMPARE(stress::createHotel(path), QString());
    if (damage == QStringList{u"<damage>"_s}) {
        // Scribble over the pages past the first, where the tables' rows and indexes lie.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.size() > 3 * 4096);
        file.seek(4096);
        file.write(QByteArray(2 * 4096, '\x5a'));
    } else {
        const DirectDb db(path);
        for (const QString &sql : damage) {
            QString error;
            db.rows(sql, {}, &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
        }
    }
    const QStringList problems = stress::invariantProblems(path);
    if (problem.isEmpty()) {
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u"\n"_s)));
        return;
    }
    QVERIFY2(problems.join(u"\n"_s).contains(problem), qPrintable(problems.join(u"\n"_s)));
}

void TestKill::killedAtRandomMoments()
{
    const int wantedKills = setting("QUILLON_KILL_ROUNDS", 40);
    const int wantedOperations = setting("QUILLON_KILL_OPERATIONS", 1000);
    const qint64 limitMs = qint64(setting("QUILLON_KILL_SECONDS", 150)) * 1000;
    const quint64 seed =
        qEnvironmentVariableIsSet("QUILLON_SEED") ? qgetenv("QUILLON_SEED").toULongLong() : 7;
    QRandomGenerator rng{quint32(seed)};

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"innkeep.mdb"_s);
    const QString journal = path + u"-journal"_s;
    QCOMPARE(stress::createHotel(path), QString());

    QElapsedTimer clock;
    clock.start();
    int kills = 0;
    int operations = 0;
    int midWrite = 0;
    while ((kills < wantedKills || operations < wantedOperations) && clock.elapsed() < limitMs) {
        const quint64 runSeed = seed * 100000 + quint64(kills);
        QProcess driver;
        driver.start(QStringLiteral(QUILLON_STRESS_DRIVER), {path, QString::number(runSeed)});
        QVERIFY2(driver.waitForStarted(), qPrintable(driver.errorString()));
        QByteArray out;
        QByteArray err;
        const auto drain = [&](int ms) {
            driver.waitForReadyRead(ms);
            out += driver.readAllStandardOutput();
            err += driver.readAllStandardError();
        };
        // Mostly let it get going before the kill; now and then kill it while it starts up.
        if (rng.bounded(100) >= 15) {
            QElapsedTimer wait;
            wait.start();
            while (!out.contains('\n') && driver.state() == QProcess::Running && wait.elapsed() < 30000)
                drain(50);
        }
        if (rng.bounded(100) < 30) {
            // Aim at a write: kill as soon as the store's journal appears.
            QElapsedTimer wait;
            wait.start();
            while (!QFile::exists(journal) && driver.state() == QProcess::Running && wait.elapsed() < 3000) {
            }
        } else {
            const QDeadlineTimer deadline(rng.bounded(0, 600));
            while (!deadline.hasExpired() && driver.state() == QProcess::Running)
                drain(int(qMax<qint64>(1, deadline.remainingTime())));
        }
        // The driver never stops of itself: gone already means it crashed.
        QVERIFY2(driver.state() == QProcess::Running,
                 qPrintable(u"driver (seed %1) ended before the kill, exit code %2:\n%3"_s.arg(runSeed)
                                .arg(driver.exitCode())
                                .arg(QString::fromUtf8(err + driver.readAllStandardError()))));
        driver.kill(); // SIGKILL; TerminateProcess on Windows
        QVERIFY(driver.waitForFinished(10000));
        out += driver.readAllStandardOutput();
        ++kills;
        const int done = int(out.count("\nop ")) + (out.startsWith("op ") ? 1 : 0);
        operations += done;

        QVERIFY2(!out.contains("FAILED"), out.constData());

        // The check reads a copy, so the journal a kill inside a write leaves behind is rolled
        // back by the program itself when the driver starts again.
        const QString copy = dir.filePath(u"after-kill.mdb"_s);
        QFile::remove(copy);
        QFile::remove(copy + u"-journal"_s);
        QVERIFY(QFile::copy(path, copy));
        if (QFileInfo(journal).size() > 0) {
            QVERIFY(QFile::copy(journal, copy + u"-journal"_s));
            ++midWrite;
        }
        const QStringList problems = stress::invariantProblems(copy);
        if (!problems.isEmpty()) {
            const QList<QByteArray> lines = out.trimmed().split('\n');
            qInfo().noquote() << "after kill" << kills << "of driver seed" << runSeed << "(" << done
                              << "operations), last line:" << QString::fromUtf8(lines.last());
            for (const QString &p : problems)
                qInfo().noquote() << "  " << p;
            QFAIL(qPrintable(u"invariants broken after kill %1 (QUILLON_SEED=%2)"_s.arg(kills).arg(seed)));
        }
    }
    const QStringList problems = stress::invariantProblems(path);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u"\n"_s)));
    qInfo("kill test: %d kills survived, %d operations", kills, operations);
    qInfo("kill test: %d of the kills fell inside a write (journal left behind), %.1f s", midWrite,
          double(clock.elapsed()) / 1000);
    if (kills < wantedKills || operations < wantedOperations)
        qWarning("kill test: time limit reached before %d kills and %d operations", wantedKills,
                 wantedOperations);
    // A run cut short by the time limit must still have done real work.
    QVERIFY2(kills >= qMin(wantedKills, 10), "too few kills within the time limit");
    QVERIFY2(operations >= qMin(wantedOperations, 300), "too few operations within the time limit");
}

// Two drivers on one file at once, both killed at a random moment: whatever each was writing,
// the file is sound and its rows agree, and neither desk was ever told of a store failure.
void TestKill::twoDesksKilledTogether()
{
    const int rounds = setting("QUILLON_KILL2_ROUNDS", 12);
    QRandomGenerator rng{quint32(setting("QUILLON_SEED", 11))};
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"innkeep.mdb"_s);
    QCOMPARE(stress::createHotel(path), QString());
    int operations = 0;
    for (int round = 0; round < rounds; ++round) {
        QProcess desks[2];
        QByteArray out[2];
        for (int d = 0; d < 2; ++d) {
            desks[d].start(QStringLiteral(QUILLON_STRESS_DRIVER),
                           {path, QString::number(round * 2 + d + 900)});
            QVERIFY(desks[d].waitForStarted());
        }
        // Both at work, then both killed, one right after the other.
        QElapsedTimer wait;
        wait.start();
        while ((!out[0].contains('\n') || !out[1].contains('\n')) && wait.elapsed() < 30000) {
            for (int d = 0; d < 2; ++d) {
                desks[d].waitForReadyRead(20);
                out[d] += desks[d].readAllStandardOutput();
            }
        }
        const QDeadlineTimer deadline(rng.bounded(100, 900));
        while (!deadline.hasExpired()) {
            for (int d = 0; d < 2; ++d) {
                desks[d].waitForReadyRead(10);
                out[d] += desks[d].readAllStandardOutput();
            }
        }
        for (int d = 0; d < 2; ++d) {
            QVERIFY2(desks[d].state() == QProcess::Running, desks[d].readAllStandardError().constData());
            desks[d].kill();
        }
        for (int d = 0; d < 2; ++d) {
            QVERIFY(desks[d].waitForFinished(10000));
            out[d] += desks[d].readAllStandardOutput();
            QVERIFY2(!out[d].contains("FAILED"), out[d].constData());
            operations += int(out[d].count("op "));
        }
        const QString copy = dir.filePath(u"after-kill.mdb"_s);
        QFile::remove(copy);
        QFile::remove(copy + u"-journal"_s);
        QVERIFY(QFile::copy(path, copy));
        if (QFileInfo(path + u"-journal"_s).size() > 0)
            QVERIFY(QFile::copy(path + u"-journal"_s, copy + u"-journal"_s));
        const QStringList problems = stress::invariantProblems(copy);
        QVERIFY2(problems.isEmpty(), qPrintable(u"round %1: "_s.arg(round) + problems.join(u"\n"_s)));
    }
    qInfo("two desks: %d rounds, both killed each time, %d operations", rounds, operations);
    QVERIFY(operations >= rounds * 2);
}

QTEST_MAIN(TestKill)
#include "test_kill.moc"
