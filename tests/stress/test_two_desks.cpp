#include "data/connection.h"
#include "data/database_builder.h"
#include "data/db_error.h"
#include "data/file_modes.h"
#include "data/house_copy.h"
#include "data/house_location.h"
#include "data/schema.h"
#include "direct_db.h"
#include "finance/finance_windows.h"
#include "frontdesk/frontdesk_windows.h"
#include "hotel/house.h"
#include "hotel/session.h"
#include "hotel/setup.h"
#include "hotel_file.h"
#include "setup/setup_windows.h"
#include "shell/main_window.h"
#include "shell/room_board.h"
#include "shell/room_board_view.h"
#include "test_database.h"
#include "window_kit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <csignal>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;
using namespace kit;

// Two desks on one file: each handler opens its own connection, so two windows in this process
// are two desks; a desk that dies or stalls mid-commit, and a desk racing this one, are child
// processes of this same program (see main()).
class TestTwoDesks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void staleCheckOutWritesNothing();
    void busyDatabaseSaysSoAndWaits();
    void copiesAreSoundSnapshots();
    void frozenDeskFreezesNoOther();
    void copiesLeaveNothingBehind();
    void noWriteFallsBetweenCopyAndWipe();
    void backupRefusesTheStoresOwnFiles();
    void doubleBookingRace();
};

namespace {

int rowOf(FlexGrid *g, int col, const QString &value)
{
    for (int r = 1; r < g->Rows(); ++r) {
        if (g->text(r, col) == value)
            return r;
    }
    return 0;
}

QString busyText()
{
    return Connection::busyError().text();
}

// A check-out window of its own (desk A): room fetched and computed, not yet confirmed.
QWidget *fetchAndCompute(const QString &room)
{
    QWidget *w = ui::showWindow(u"Form12"_s);
    box(w, u"Text1"_s)->setText(room);
    click(w, u"Command1"_s);
    click(w, u"Command2"_s);
    return w;
}

// Checks a guest into room `number` through the check-in window; false when it is not listed.
// `beforeConfirm` runs just before the confirm (or the give-up), where a race is staged.
bool checkIn(const QString &number, const QString &guest, const std::function<void()> &beforeConfirm = {})
{
    QPointer<QWidget> w = ui::showWindow(u"Form8"_s); // a confirm closes it and shows a fresh one
    FlexGrid *rooms = grid(w, u"MSFlexGrid1"_s);
    const int row = rowOf(rooms, 1, number);
    if (row > 0) {
        rooms->selectRecord(row);
        for (int i : {1, 2, 3, 4, 5, 6, 8})
            box(w, u"Text"_s + QString::number(i))->setText(i == 1 ? guest : u"2"_s);
    }
    if (beforeConfirm)
        beforeConfirm();
    if (row > 0)
        click(w, u"Command1"_s);
    if (w)
        w->close();
    flushDeletes();
    return row > 0;
}

QString stayInsert()
{
    return u"insert into 旅客入住 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, 入住人数, "
           u"房间ID, 预付款) values (?, '华光公司', '身份证', '1234', '2006-04-24 09:00:00', 3, 2, ?, ?)"_s;
}

// A child desk that dies or stalls inside a commit: its transaction is larger than its page
// cache, so pages are already written into the file (and the old ones into the journal) when
// it says "torn" and stops.
int tornWriter(const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"torn"_s);
    db.setDatabaseName(path);
    if (!db.open())
        return 2;
    QSqlQuery q(db);
    q.exec(u"PRAGMA cache_size=2"_s);
    if (!q.exec(u"BEGIN IMMEDIATE"_s))
        return 3;
    q.prepare(u"insert into 旅客退房 (旅客姓名, 入住时间, 房间ID, 备注信息) values (?, ?, ?, ?)"_s);
    for (int i = 0; i < 3000; ++i) {
        q.addBindValue(u"旅客"_s + QString::number(i));
        q.addBindValue(u"2006-%1-%2 10:00:00"_s.arg(1 + (i * 7) % 12, 2, 10, QChar(u'0'))
                           .arg(1 + (i * 13) % 28, 2, 10, QChar(u'0')));
        q.addBindValue((i * 37) % 10 + 1);
        q.addBindValue(QString(200, u'备'));
        if (!q.exec())
            return 4;
    }
    std::puts("torn");
    std::fflush(stdout);
    QThread::sleep(600);
    return 0;
}

// A child desk for the booking race: each round it lists the free rooms, picks the round's
// room, meets the other desk at a barrier, confirms, and prints what it was told.
int bookingDesk(const QString &path, int rounds, const QString &barrier, const QString &desk)
{
    HouseLocation house{QFileInfo(path).absolutePath()};
    house.fileName = QFileInfo(path).fileName();
    TestDatabase::logInEveryRight(house);
    registerFrontdeskWindows();
    TestSeam seam;
    const QString other = desk == u"a"_s ? u"b"_s : u"a"_s;
    for (int r = 1; r <= rounds; ++r) {
        seam.clear();
        const bool listed = checkIn(u"R%1"_s.arg(r, 3, 10, QChar(u'0')), desk, [&] {
            QFile(barrier + u"/%1-%2"_s.arg(r).arg(desk)).open(QIODevice::WriteOnly);
            for (QDeadlineTimer d(10000);
                 !QFile::exists(barrier + u"/%1-%2"_s.arg(r).arg(other)) && !d.hasExpired();)
                QThread::usleep(200);
        });
        std::printf("%d %s\n", r, listed ? qPrintable(seam.messageTexts().join(u" / "_s)) : "unlisted");
        std::fflush(stdout);
    }
    return 0;
}

struct Child {
    QProcess process;
    bool start(const QStringList &args, const QByteArray &waitFor)
    {
        process.start(QCoreApplication::applicationFilePath(), args);
        if (!process.waitForStarted())
            return false;
        QByteArray out;
        for (QDeadlineTimer d(30000); !out.contains(waitFor) && !d.hasExpired();) {
            if (!process.waitForReadyRead(100) && process.state() != QProcess::Running)
                break;
            out += process.readAllStandardOutput();
        }
        return out.contains(waitFor);
    }
    void kill()
    {
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished(10000);
    }
    ~Child()
    {
        if (process.state() != QProcess::NotRunning)
            kill();
    }
};

int rowCount(const QString &path, const QString &table)
{
    const DirectDb db(path);
    const auto rows = db.rows(u"select count(*) from "_s + table);
    return rows.isEmpty() ? -1 : rows.first().value(0).toInt();
}

// Every row of the house a file holds but the record of who did what, which gains a backup's own
// row after the copy is made.
QString houseRows(const QString &path)
{
    const DirectDb db(path);
    QString out;
    for (const schema::Table &t : schema::tables())
        if (t.name != schema::Record)
            for (const QStringList &row : db.rows(u"select * from \""_s + t.name + u"\" order by 1"_s))
                out += t.name + row.join(u'|') + u'\n';
    return out;
}

constexpr auto OwnerGroupOther = QFileDevice::Permissions(0x7077);

} // namespace

void TestTwoDesks::initTestCase()
{
    stress::quietOffscreenWarnings();
    registerFrontdeskWindows();
    registerSetupWindows();
    registerFinanceWindows();
}

void TestTwoDesks::cleanup()
{
    faults::reset();
    faults::setBusyWait(0);
    flushDeletes();
}

// Desk A fetches and computes; desk B checks that guest out and a new one in (room 102), or
// corrects the prepayment (room 101). A's confirm must write nothing and say so; fetched again,
// it settles the stay as it stands now.
void TestTwoDesks::staleCheckOutWritesNothing()
{
    TestDatabase db;
    TestSeam seam;
    const qint64 r101 = db.addRoom(u"101"_s, 120, 2);
    const qint64 r102 = db.addRoom(u"102"_s, 120, 2);
    db.insert(stayInsert(), {u"张三"_s, r101, 500});
    db.insert(stayInsert(), {u"李四"_s, r102, 500});
    seam.setToday({2006, 4, 26});

    QWidget *a102 = fetchAndCompute(u"102"_s);
    QWidget *a101 = fetchAndCompute(u"101"_s);
    QVERIFY(box(a102, u"Text15"_s)->text() == u"260"_s); // 2 days x 120 against 500

    // Desk B: 102 checked out and let again; 101's prepayment corrected to 800.
    QWidget *b = fetchAndCompute(u"102"_s);
    click(b, u"Command3"_s);
    QVERIFY(checkIn(u"102"_s, u"王五"_s));
    QWidget *stays = ui::showWindow(u"Form9"_s);
    FlexGrid *list = grid(stays, u"MSFlexGrid2"_s);
    list->selectRecord(rowOf(list, 1, u"张三"_s));
    box(stays, u"Text8"_s)->setText(u"800"_s);
    click(stays, u"Command1"_s);
    QCOMPARE(seam.messageTexts().count(u"恭喜您，旅客入住信息修改成功？"_s), 1);
    const QString before = db.dump();

    for (QWidget *a : {a102, a101}) {
        seam.clear();
        click(a, u"Command3"_s);
        QCOMPARE(seam.messages.size(), 1);
        QVERIFY2(seam.messages.first().text.contains(u"另一台前台"_s),
                 qPrintable(seam.messages.first().text));
        QCOMPARE(db.dump(), before);
    }
    QCOMPARE(db.scalar(u"select count(*) from 旅客入住 where 房间ID=? and 旅客姓名='王五'"_s, {r102}).toInt(),
             1);
    QCOMPARE(db.scalar(u"select 房间状态 from 房间 where 房间ID=?"_s, {r102}).toInt(), 2);
    QCOMPARE(db.count(u"旅客退房"_s), 1);

    seam.clear();
    QWidget *again = fetchAndCompute(u"101"_s);
    click(again, u"Command3"_s);
    QCOMPARE(seam.messageTexts().last(), u"恭喜您，旅客退房成功？请核准相关帐目!"_s);
    QCOMPARE(db.rows(u"select 预付款, 应退款 from 旅客退房 where 房间ID=?"_s, {r101}),
             (QList<QStringList>{{u"800"_s, u"560"_s}}));
}

// Another desk holds the write lock: past the wait, one plain message and nothing written;
// released within the wait, the write goes through.
void TestTwoDesks::busyDatabaseSaysSoAndWaits()
{
    TestDatabase db;
    TestSeam seam;
    db.addRoom(u"101"_s);
    db.addRoom(u"102"_s);
    const QString before = db.dump();
    QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"desk-b"_s);
    other.setDatabaseName(db.path());
    QVERIFY(other.open());
    QSqlQuery hold(other);
    QVERIFY(hold.exec(u"BEGIN IMMEDIATE"_s)); // desk B is writing; A can still read

    faults::setBusyWait(200);
    QWidget *w = ui::showWindow(u"Form5"_s);
    box(w, u"Text1"_s)->setText(u"一楼"_s);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{busyText()});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Information);
    QVERIFY(!busyText().contains(u"locked"_s));
    QVERIFY(hold.exec(u"ROLLBACK"_s));
    QCOMPARE(db.dump(), before);
    hold = QSqlQuery();
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"desk-b"_s);

    // A desk in another process holds its write for a second; this desk waits it out.
    faults::setBusyWait(0);
    hotel::session()->disconnect(); // the desk's connection opens again with the program's own wait
    Child b;
    QVERIFY(b.start({u"--hold"_s, db.path(), u"1000"_s}, "held"));
    seam.clear();
    QVERIFY(checkIn(u"102"_s, u"李四"_s));
    QCOMPARE(seam.messageTexts(), QStringList{u"恭喜您，旅客入住成功？"_s});
    QCOMPARE(db.count(u"旅客入住"_s), 1);
}

// Backup and the copy before a wipe, first while another desk is inside a commit (its pages
// already in the file): both wait, then refuse, with no file written and nothing wiped. Then that
// desk dies, its journal left behind: each copy is taken after the journal is rolled back, is
// sound, is the database byte for byte and is as private as it.
void TestTwoDesks::copiesAreSoundSnapshots()
{
    TestDatabase db(true);
    TestSeam seam;
    QVERIFY(QFile::setPermissions(db.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    const int rooms = db.count(u"房间"_s);
    const QString target = QDir(db.directory()).filePath(u"copy.mdb"_s);
    const QString folder = housecopy::beforeInitFolder(db.path());
    QWidget *backup = ui::showWindow(u"Form7"_s);
    box(backup, u"Text1"_s)->setText(target);
    QWidget *init = ui::showWindow(u"Form20"_s);

    Child writer;
    QVERIFY(writer.start({u"--tear"_s, db.path()}, "torn"));
    QVERIFY(QFileInfo(db.path() + u"-journal"_s).size() > 0);
    faults::setBusyWait(300);
    click(backup, u"Command1"_s);
    click(init, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList(2, busyText()));
    QVERIFY(!QFile::exists(target));
    QVERIFY(!QFile::exists(folder));

    writer.kill();
    seam.clear();
    click(backup, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"恭喜您，数据库备份成功？"_s});
    QCOMPARE(Connection::checkFile(target), QString());
    QCOMPARE(rowCount(target, u"房间"_s), rooms);
    QCOMPARE(houseRows(target), houseRows(db.path()));
    click(init, u"Command1"_s);
    const QStringList copies = QDir(folder).entryList(QDir::Files);
    QCOMPARE(copies.size(), 1);
    const QString copy = QDir(folder).filePath(copies.first());
    QCOMPARE(houseRows(copy), houseRows(target));
    QCOMPARE(rowCount(db.path(), u"房间"_s), 0);
    for (const QString &file : {target, copy})
        QCOMPARE(QFile::permissions(file) & OwnerGroupOther, QFile::permissions(db.path()) & OwnerGroupOther);
    QCOMPARE(QFileInfo(folder).permissions() & OwnerGroupOther,
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const QString fresh = QDir(db.directory()).filePath(u"fresh.mdb"_s);
    dbbuild::Options options;
    options.password = u"58316094"_s;
    QCOMPARE(dbbuild::createDatabase(fresh, options), QString());
    QCOMPARE(QFile::permissions(fresh) & OwnerGroupOther, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Another desk stopped inside a commit: the board answers at once, the rest within ten seconds,
// busy, and no copy is left; once the frozen desk is killed the write goes through, once.
void TestTwoDesks::frozenDeskFreezesNoOther()
{
    TestDatabase db(true);
    TestSeam seam;
    MainWindow main;
    auto *board = main.findChild<RoomBoard *>();
    auto *problem = board->findChild<QLabel *>(u"BoardProblem"_s);
    const hotel::board::Snapshot before = board->view()->snapshot();
    const QStringList files = QDir(db.directory()).entryList(QDir::Files) << u"innkeep.mdb-journal"_s;
    Child frozen;
    QVERIFY(frozen.start({u"--tear"_s, db.path()}, "torn"));
    ::kill(pid_t(frozen.process.processId()), SIGSTOP);
    const QString busy = hotel::busyMessage();
    const std::tuple<const char *, int, std::function<QString()>, QString> steps[] = {
        {"board poll", 1000, [&] { return board->refresh(), problem->text(); },
         u"房间状态不是最新的：数据正在另一台前台上使用，稍后自动刷新。"_s},
        {"main window", 10000, [] { return MainWindow().windowTitle(); }, MainWindow::designTitle()},
        {"two lists", 10000,
         [] { return hotel::listRooms(hotel::session()), hotel::floorNames(hotel::session()).message(); },
         busy},
        {"backup", 10000,
         [&] { return hotel::backUp(hotel::session(), db.directory() + u"/c.mdb"_s).message(); }, busy},
        {"write", 10000,
         [] {
             return hotel::addFloor(hotel::session(), {0, u"九楼"_s}).message();
         },
         busy},
    };
    for (const auto &[name, boundMs, step, expected] : steps) {
        QTest::qWait(1100); // each step on its own: not right after another's wait ran out
        QElapsedTimer t;
        t.start();
        QCOMPARE(step(), expected);
        qInfo("%s, another desk frozen mid-commit: %lld ms", name, t.elapsed());
        QVERIFY2(t.elapsed() < boundMs, name);
    }
    QVERIFY(board->view()->isStale() && board->view()->snapshot() == before);
    QCOMPARE(QDir(db.directory()).entryList(QDir::Files | QDir::Hidden), files);

    frozen.kill();
    QVERIFY(hotel::addFloor(hotel::session(), {0, u"九楼"_s}).ok());
    QCOMPARE(db.scalar(u"select count(*) from 楼层 where 楼层名称='九楼'"_s).toInt(), 1);
    board->refresh();
    QVERIFY(!board->view()->isStale() && problem->text().isEmpty());
}

// A copy a killed backup left is removed by the next backup into that folder, one another backup
// is writing is not; the longest name the file system takes is written, a longer one told so.
void TestTwoDesks::copiesLeaveNothingBehind()
{
    TestDatabase db;
    QTemporaryDir dir;
    const QString prefix = dir.filePath(housecopy::UnfinishedCopyPrefix.toString());
    QFile live(prefix + u"live.tmp"_s);
    QVERIFY(kit::write(prefix + u"left.tmp"_s, "half a house") && live.open(QIODevice::WriteOnly));
    QVERIFY(filemodes::lockWhileOpen(live.handle()));
    const QString longest = QString(251, u'a') + u".mdb"_s;
    QVERIFY(hotel::backUp(hotel::session(), dir.filePath(longest)).ok());
    QCOMPARE(houseRows(dir.filePath(longest)), houseRows(db.path()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{longest, QFileInfo(live).fileName()}));
    live.close();
    QCOMPARE(housecopy::removeUnfinishedCopies(dir.path()), 1);

    const QString tooLong = hotel::backUp(hotel::session(), dir.filePath(QString(86, u'长'))).message();
    QVERIFY2(tooLong.startsWith(u"文件名太长"_s) && tooLong.contains(u"255"_s), qPrintable(tooLong));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{longest});
}

// Desk B tries a check-in at every step of A's initialization; whatever it manages must survive
// in the copy.
void TestTwoDesks::noWriteFallsBetweenCopyAndWipe()
{
    TestDatabase db(true);
    TestSeam seam;
    const QString folder = housecopy::beforeInitFolder(db.path());
    const qint64 room = db.addRoom(u"901"_s);
    QStringList written;
    int attempts = 0;
    faults::beforeEachStep([&](int) {
        QSqlDatabase b = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"desk-b"_s);
        b.setDatabaseName(db.path());
        b.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=50"_s);
        const QString guest = u"乙"_s + QString::number(++attempts);
        if (b.open()) {
            QSqlQuery q(b);
            q.prepare(stayInsert());
            q.addBindValue(guest);
            q.addBindValue(room);
            q.addBindValue(100);
            if (q.exec())
                written.append(guest);
        }
        b.close();
        b = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"desk-b"_s);
    });
    QWidget *w = ui::showWindow(u"Form20"_s);
    click(w, u"Command1"_s);
    faults::beforeEachStep({});
    QCOMPARE(seam.messageTexts(), QStringList{u"恭喜您,初始化数据资料成功!"_s});
    QVERIFY(attempts >= 8);
    QVERIFY(!written.isEmpty()); // at least the write before A took its lock
    const QStringList copies = QDir(folder).entryList(QDir::Files);
    QCOMPARE(copies.size(), 1);
    const DirectDb copied(QDir(folder).filePath(copies.first()));
    for (const QString &guest : std::as_const(written)) {
        QVERIFY2(!copied.rows(u"select 1 from 旅客入住 where 旅客姓名=?"_s, {guest}).isEmpty(),
                 qPrintable(guest + u" was written between the copy and the wipe and is lost"_s));
    }
}

void TestTwoDesks::backupRefusesTheStoresOwnFiles()
{
    TestDatabase db;
    TestSeam seam;
    QWidget *w = ui::showWindow(u"Form7"_s);
    const QString other = QDir(db.directory()).filePath(u"./innkeep.mdb"_s);
    for (const QString &suffix : {u"-journal"_s, u"-wal"_s, u"-shm"_s}) {
        seam.clear();
        box(w, u"Text1"_s)->setText(QDir::toNativeSeparators(other + suffix));
        click(w, u"Command1"_s);
        QCOMPARE(seam.messages.size(), 1);
        QVERIFY2(seam.messages.first().text.contains(u"日志文件"_s), qPrintable(seam.messages.first().text));
        QVERIFY(!QFile::exists(db.path() + suffix));
    }
}

// Two desk processes confirm a check-in into the same free room at the same moment, 100 times:
// exactly one wins each time, and no room is left free with a stay or occupied twice.
void TestTwoDesks::doubleBookingRace()
{
    const int rounds = 100;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"innkeep.mdb"_s);
    QCOMPARE(stress::createHotel(path), QString());
    {
        const DirectDb db(path);
        for (int r = 1; r <= rounds; ++r)
            db.rows(u"insert into 房间 (房间号, 标准价格, 会员价格, 房间状态) values (?, 100, 90, 1)"_s,
                    {u"R%1"_s.arg(r, 3, 10, QChar(u'0'))});
    }
    QVERIFY(QDir(dir.path()).mkdir(u"barrier"_s));
    const QString barrier = dir.filePath(u"barrier"_s);
    QProcess a;
    QProcess b;
    a.start(QCoreApplication::applicationFilePath(),
            {u"--book"_s, path, QString::number(rounds), barrier, u"a"_s});
    b.start(QCoreApplication::applicationFilePath(),
            {u"--book"_s, path, QString::number(rounds), barrier, u"b"_s});
    QVERIFY(a.waitForFinished(120000));
    QVERIFY(b.waitForFinished(120000));
    const QList<QByteArray> linesA = a.readAllStandardOutput().trimmed().split('\n');
    const QList<QByteArray> linesB = b.readAllStandardOutput().trimmed().split('\n');
    QCOMPARE(linesA.size(), rounds);
    QCOMPARE(linesB.size(), rounds);
    const QByteArray won = u"恭喜您，旅客入住成功？"_s.toUtf8();
    for (int r = 0; r < rounds; ++r) {
        const int wins = int(linesA.at(r).contains(won)) + int(linesB.at(r).contains(won));
        QVERIFY2(wins == 1, (linesA.at(r) + " | " + linesB.at(r)).constData());
    }
    QCOMPARE(stress::invariantProblems(path), QStringList{});
    const DirectDb db(path);
    QCOMPARE(db.rows(u"select count(*) from 房间 r where 房间号 like 'R%' and 房间状态=2 and "
                     u"(select count(*) from 旅客入住 s where s.房间ID=r.房间ID)=1"_s),
             (QList<QStringList>{{QString::number(rounds)}}));
}

// A desk holding the write lock for a while, then letting go.
static int holdingDesk(const QString &path, int ms)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"hold"_s);
    db.setDatabaseName(path);
    QSqlQuery q(db);
    if (!db.open() || !q.exec(u"BEGIN EXCLUSIVE"_s))
        return 2;
    std::puts("held");
    std::fflush(stdout);
    QThread::msleep(ms);
    q.exec(u"ROLLBACK"_s);
    return 0;
}

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.value(1) == u"--tear"_s)
        return tornWriter(args.value(2));
    if (args.value(1) == u"--hold"_s)
        return holdingDesk(args.value(2), args.value(3).toInt());
    if (args.value(1) == u"--book"_s) {
        stress::quietOffscreenWarnings();
        return bookingDesk(args.value(2), args.value(3).toInt(), args.value(4), args.value(5));
    }
    TestTwoDesks test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_two_desks.moc"
