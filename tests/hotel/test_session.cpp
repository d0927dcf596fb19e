#include "data/connection.h"
#include "data/house_location.h"
#include "data/schema.h"
#include "data/statement.h"
#include "hotel/deeds.h"
#include "hotel/ledgers.h"
#include "hotel/listing.h"
#include "hotel/lookups.h"
#include "hotel/stays.h"
#include "hotel/table_rows.h"
#include "test_database.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;
using namespace hotel;

// One desk's session: the rights every operation checks for itself, and the one connection it
// keeps to the house.
class TestSession : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void operationsRefuseWithoutTheirRight_data();
    void operationsRefuseWithoutTheirRight();
    void recordListsByDateOperatorAndKind();
    void checkInsShareOneBackend();
    void droppedConnectionIsOpenedAgainOnce();
    void deskFollowsItsSettingsFile();
    void writeMeetingAnotherDesksChangeRunsAgain();
    void loginTellsTheCause_data();
    void loginTellsTheCause();
    void fullAndReadOnlyFilesAreToldInChinese_data();
    void fullAndReadOnlyFilesAreToldInChinese();
    void folderTurningReadOnlyIsToldAndOutlived();
};

namespace {

// A little of everything, as read by a desk with every right.
struct House {
    qint64 freeRoom = 0;
    qint64 occupiedRoom = 0;
    Stay stay;
    Reservation reservation;
    Room room;
    LedgerEntry taking;
};

Stay particulars(qint64 room)
{
    return {0,           u"张三"_s, u"华光公司"_s,
            u"身份证"_s, u"1234"_s, QDateTime(QDate(2006, 4, 20), QTime(14, 30)),
            qint16(3),   qint16(2), qint16(room),
            qint16(500), {}};
}

template <class R> R stored(Session &s, const QString &table, qint64 key)
{
    R record;
    s.read(Right::Setup, [&](Connection &c) {
        record = fromRow<R>(rows::byKey(c, table, key).value());
        return Outcome::done();
    });
    return record;
}

House build(TestDatabase &db)
{
    House h;
    h.freeRoom = db.addRoom(u"101"_s, 120, 1);
    h.occupiedRoom = db.addRoom(u"102"_s, 120, 2);
    const qint64 reservedRoom = db.addRoom(u"103"_s, 120, 3);
    const QString columns = u" (旅客姓名, 入住时间, 计划入住天数, 入住人数, 房间ID, 预付款) values "
                            u"('王一', '2006-04-20 10:00:00', 3, 1, ?, 100)"_s;
    const qint64 stay = db.insert(u"insert into 旅客入住"_s + columns, {h.occupiedRoom});
    const qint64 reservation = db.insert(u"insert into 旅客预订"_s + columns, {reservedRoom});
    const qint64 taking = db.insert(
        u"insert into 交款 (交款时间, 交款金额, 交款人) values ('2006-04-25 18:00:00', 800, '钱四')"_s);
    Session all(db.location(), u"admin"_s, u"Z:abcdef"_s);
    h.stay = stored<Stay>(all, schema::Stays, stay);
    h.reservation = stored<Reservation>(all, schema::Reservations, reservation);
    h.room = stored<Room>(all, schema::Rooms, h.freeRoom);
    h.taking = stored<LedgerEntry>(all, schema::Takings, taking);
    return h;
}

struct Case {
    const char *name;
    Right right;
    std::function<Outcome(Session *, const House &)> run;
    // A write's row in the record of who did what: what, money before, money after; empty: a read.
    QStringList recorded = {};
};

const std::vector<Case> &cases()
{
    static const std::vector<Case> all{
        {"check in",
         Right::FrontDesk,
         [](Session *s, const House &h) { return enterStay(s, StayKind::Stay, particulars(h.freeRoom)); },
         {u"入住登记"_s, u"<NULL>"_s, u"500"_s}},
        {"correct a stay",
         Right::FrontDesk,
         [](Session *s, const House &h) {
             Stay edited = h.stay;
             edited.guest = u"王二"_s;
             return correctStay(s, StayKind::Stay, h.stay, edited);
         },
         {u"修改入住"_s, u"<NULL>"_s, u"<NULL>"_s}},
        {"correct a stay's prepayment",
         Right::FrontDesk,
         [](Session *s, const House &h) {
             Stay edited = h.stay;
             edited.prepayment = qint16(300);
             return correctStay(s, StayKind::Stay, h.stay, edited);
         },
         {u"修改入住"_s, u"100"_s, u"300"_s}},
        {"cancel a reservation",
         Right::FrontDesk,
         [](Session *s, const House &h) { return withdrawStay(s, StayKind::Reservation, h.reservation); },
         {u"取消预订"_s, u"100"_s, u"<NULL>"_s}},
        {"list free rooms", Right::FrontDesk, [](Session *s, const House &) { return freeRooms(s); }},
        {"list reservations", Right::FrontDesk,
         [](Session *s, const House &) { return listStays(s, StayKind::Reservation); }},
        {"room of a stay", Right::FrontDesk,
         [](Session *s, const House &h) { return roomOfStay(s, h.occupiedRoom); }},
        {"rewrite a room",
         Right::Setup,
         [](Session *s, const House &h) {
             Room edited = h.room;
             edited.name = u"大床房"_s;
             return rows::rewriteShown(s, Right::Setup, schema::Rooms, h.room, edited);
         },
         {u"修改房间"_s, u"<NULL>"_s, u"<NULL>"_s}},
        {"room for check-out", Right::CheckOut,
         [](Session *s, const House &h) { return roomByKey(s, Right::CheckOut, h.occupiedRoom); }},
        {"delete a taking",
         Right::Finance,
         [](Session *s, const House &h) {
             return rows::deleteShown(s, Right::Finance, schema::Takings, h.taking);
         },
         {u"删除交款"_s, u"800"_s, u"<NULL>"_s}},
        {"list completed stays", Right::Statistics,
         [](Session *s, const House &) {
             return Listing::make(s, Right::Statistics, schema::CompletedStays);
         }},
    };
    return all;
}

QString rightsWithout(Right right)
{
    QString rights = u"Z:"_s;
    for (char16_t letter = u'a'; letter <= u'f'; ++letter) {
        if (letter != char16_t(right))
            rights += QChar(letter);
    }
    return rights;
}

qint64 backendPid(Session &s)
{
    qint64 pid = -1;
    s.readFree([&](Connection &c) {
        Statement q(c, u"select pg_backend_pid()"_s);
        if (q.next())
            pid = q.integer(0);
        return Outcome::done();
    });
    return pid;
}

} // namespace

void TestSession::operationsRefuseWithoutTheirRight_data()
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < cases().size(); ++i)
        QTest::newRow(cases()[i].name) << int(i);
}

void TestSession::operationsRefuseWithoutTheirRight()
{
    QFETCH(int, index);
    const Case &c = cases()[std::size_t(index)];
    TestDatabase db;
    const House h = build(db);
    const QString before = db.dump();

    // Every other right is no help, and the store is not even reached.
    Session without(db.location(), u"前台"_s, rightsWithout(c.right));
    const Outcome refused = c.run(&without, h);
    QVERIFY(refused.isRefused(Refusal::NoRight));
    QCOMPARE(refused.message(), u"对不起，您没有使用此项功能的权限。"_s);
    QCOMPARE(db.dump(), before);
    QCOMPARE(without.connectionsOpened(), 0);

    // That one letter alone is enough; a write is recorded once, with who and where.
    Session only(db.location(), u"前台"_s, u"Z:"_s + QChar(char16_t(c.right)));
    const Outcome done = c.run(&only, h);
    QVERIFY2(done.ok(), qPrintable(done.message()));
    const QString record =
        u"select \"操作\", \"原金额\", \"新金额\", \"操作员\", \"前台\" from \"操作记录\""_s;
    const QList<QStringList> rows = db.rows(record);
    QCOMPARE(rows.size(), c.recorded.isEmpty() ? 0 : 1);
    if (c.recorded.isEmpty()) {
        QCOMPARE(db.dump(), before);
        return;
    }
    QCOMPARE(rows.first().mid(0, 3), c.recorded);
    QCOMPARE(rows.first().mid(3), (QStringList{u"前台"_s, QSysInfo::machineHostName()}));
    // The same write again, of a record no longer as shown (or a room no longer free): refused,
    // and nothing recorded.
    QVERIFY(!c.run(&only, h).ok());
    QCOMPARE(db.rows(record).size(), 1);
}

void TestSession::recordListsByDateOperatorAndKind()
{
    TestDatabase db;
    Session jia(db.location(), u"甲"_s, u"Z:ad"_s), yi(db.location(), u"乙"_s, u"Z:d"_s);
    const QDateTime now = QDateTime::currentDateTime();
    const auto add = [&](Session &s, Ledger ledger, double amount) {
        QVERIFY(addLedgerEntry(&s, ledger, {0, now, amount, u"钱四"_s}).ok());
    };
    add(jia, Ledger::Takings, 100);
    add(yi, Ledger::Takings, 50);
    add(jia, Ledger::Disbursements, 30);
    const QDateTime from = now.addDays(-1), to = now.addDays(1);
    // Who, what, how many, and the money after added up.
    const struct {
        RecordFilter filter;
        int count;
        double after;
    } rows[] = {{{from, to, {}, {}}, 3, 180},
                {{from, to, u"甲"_s, {}}, 2, 130},
                {{from, to, {}, u"新增交款"_s}, 2, 150},
                {{from, to, u"甲"_s, u"新增拔款"_s}, 1, 30},
                {{from.addDays(-5), from, {}, {}}, 0, 0}};
    for (const auto &row : rows) {
        const auto listed = listRecord(&jia, row.filter);
        QVERIFY2(listed.ok(), qPrintable(listed.message()));
        QCOMPARE(listed.value()->count(), row.count);
        QCOMPARE(listed.value()->sums().value(1), row.after);
    }
    // Only the maintenance right reads it.
    QVERIFY(listRecord(&yi, {from, to, {}, {}}).isRefused(Refusal::NoRight));
    const auto choices = recordChoices(&jia);
    QVERIFY(choices.ok());
    QCOMPARE(choices.value().operators, (QStringList{u"乙"_s, u"甲"_s}));
    QCOMPARE(choices.value().deeds, (QStringList{u"新增交款"_s, u"新增拔款"_s}));
}

void TestSession::checkInsShareOneBackend()
{
    if (TestDatabase::testServer().isEmpty())
        QSKIP("needs QUILLON_TEST_SERVER");
    TestDatabase db;
    QList<qint64> rooms;
    for (int i = 0; i < 20; ++i)
        rooms.append(db.addRoom(QString::number(101 + i)));
    Session desk(db.location(), u"admin"_s, u"Z:abcdef"_s);
    const qint64 pid = backendPid(desk);
    QVERIFY(pid > 0);
    // Tagged, so the server can be asked how many backends this desk holds.
    const QString tag = u"quillon-test-"_s + QString::number(pid);
    desk.readFree([&](Connection &c) {
        Statement(c, u"select set_config('application_name', ?, false)"_s, {tag});
        return Outcome::done();
    });

    for (qint64 room : rooms) {
        const Result<qint64> entered = enterStay(&desk, StayKind::Stay, particulars(room));
        QVERIFY2(entered.ok(), qPrintable(entered.message()));
    }

    QCOMPARE(db.count(u"旅客入住"_s), 20);
    QCOMPARE(db.scalar(u"select count(*) from 房间 where 房间状态=2"_s).toInt(), 20);
    QCOMPARE(backendPid(desk), pid);
    QCOMPARE(desk.connectionsOpened(), 1);
    QCOMPARE(db.rows(u"select pid from pg_stat_activity where application_name=?"_s, {tag}),
             QList<QStringList>{{QString::number(pid)}});
}

// quillon.ini beside the house is read again when it changes: a change that names the same house
// keeps the connection, one that names another store opens it there.
void TestSession::deskFollowsItsSettingsFile()
{
    TestDatabase db;
    const HouseLocation house = db.location();
    Session desk(house, u"admin"_s, u"Z:abcdef"_s);
    const auto read = [&desk] {
        return desk.readFree([](Connection &c) {
            Statement(c, u"select 1"_s).next();
            return Outcome::done();
        });
    };
    QVERIFY(read().ok());
    QCOMPARE(desk.connectionsOpened(), 1);

    QFile ini(house.settingsPath());
    const QByteArray before = ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
    ini.close();
    // Written and dated anew, as an administrator's edit is.
    const QDateTime later = QDateTime::currentDateTime().addSecs(1);
    const auto write = [&](const QByteArray &text, int step) {
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(text);
        ini.close();
        QVERIFY(ini.open(QIODevice::ReadWrite));
        QVERIFY(ini.setFileTime(later.addSecs(step), QFileDevice::FileModificationTime));
        ini.close();
    };
    write(before + "\n[general]\nnote=1\n", 1);
    QVERIFY(read().ok());
    QCOMPARE(desk.connectionsOpened(), 1);

    QTemporaryDir nowhere;
    write("[server]\nconnection=host=" + nowhere.path().toUtf8() + " dbname=none connect_timeout=2\n", 2);
    QVERIFY(!read().ok());
    QCOMPARE(desk.location(), house);

    write(before, 3);
    QVERIFY(read().ok());
    QCOMPARE(desk.connectionsOpened(), 2);
}

void TestSession::droppedConnectionIsOpenedAgainOnce()
{
    if (TestDatabase::testServer().isEmpty())
        QSKIP("needs QUILLON_TEST_SERVER");
    TestDatabase db;
    const qint64 room = db.addRoom(u"101"_s);
    Session desk(db.location(), u"admin"_s, u"Z:abcdef"_s);
    const qint64 pid = backendPid(desk);
    QCOMPARE(desk.connectionsOpened(), 1);

    // The server drops the desk's backend between two operations.
    const QString alive = u"select count(*) from pg_stat_activity where pid="_s + QString::number(pid);
    QCOMPARE(db.scalar(u"select pg_terminate_backend("_s + QString::number(pid) + u")"_s).toBool(), true);
    QTRY_COMPARE(db.scalar(alive).toInt(), 0);

    const Result<qint64> entered = enterStay(&desk, StayKind::Stay, particulars(room));
    QVERIFY2(entered.ok(), qPrintable(entered.message()));
    QCOMPARE(desk.connectionsOpened(), 2);
    QVERIFY(backendPid(desk) != pid);
    QCOMPARE(db.count(u"旅客入住"_s), 1);
    QCOMPARE(db.scalar(u"select 房间状态 from 房间 where 房间ID=?"_s, {room}).toInt(), 2);
}

// On a server a transaction sees the house as it began; a row another desk changed and committed
// since cannot be written. The write runs again on a fresh view, a few times at most.
void TestSession::writeMeetingAnotherDesksChangeRunsAgain()
{
    if (TestDatabase::testServer().isEmpty())
        QSKIP("the file takes its write lock before the first read: no change comes between");
    TestDatabase db;
    const qint64 room = db.addRoom(u"101"_s);
    const qint64 spare = db.addRoom(u"102"_s);
    Session desk(db.location(), u"admin"_s, u"Z:abcdef"_s);
    Session other(db.location(), u"admin"_s, u"Z:abcdef"_s);
    // Reads the room, lets the other desk change it (`meddle`), then reserves it while still free.
    int runs = 0;
    const auto reserve = [&](qint64 key, const std::function<void()> &meddle) {
        runs = 0;
        return desk.write(Right::FrontDesk, [&](Connection &c) {
            ++runs;
            Statement(c, u"select \"房间状态\" from \"房间\" where \"房间ID\"=?"_s, {key}).next();
            meddle();
            const int taken = c.execute(
                u"update \"房间\" set \"房间状态\"=3 where \"房间ID\"=? and \"房间状态\"=1"_s, {key});
            return taken ? Outcome::done() : Outcome::refused(Refusal::RoomNotFree);
        });
    };

    // Taken at the other desk in between: the second run finds it taken and says so.
    bool once = true;
    Outcome o = reserve(room, [&] {
        if (std::exchange(once, false))
            QVERIFY(enterStay(&other, StayKind::Stay, particulars(room)).ok());
    });
    QVERIFY2(o.isRefused(Refusal::RoomNotFree), qPrintable(o.message() + o.detail()));
    QCOMPARE(runs, 2);
    QCOMPARE(db.scalar(u"select 房间状态 from 房间 where 房间ID=?"_s, {room}).toInt(), 2);

    // Changed at the other desk before every run: busy after the fourth, nothing written.
    int renamed = 0;
    o = reserve(spare, [&] {
        db.exec(u"update 房间 set 房间名称=? where 房间ID=?"_s,
                {u"第"_s + QString::number(++renamed), spare});
    });
    QCOMPARE(o.kind(), Outcome::Kind::Busy);
    QCOMPARE(runs, 4);
    QCOMPARE(db.scalar(u"select 房间状态 from 房间 where 房间ID=?"_s, {spare}).toInt(), 1);
}

void TestSession::loginTellsTheCause_data()
{
    // What is done to the house, the login typed, and the cause (-1 admitted, -2 wrong name or
    // password). "ini:" writes the settings, "server:" adds to the test server's own.
    QTest::addColumn<QString>("house");
    QTest::addColumn<QString>("login");
    QTest::addColumn<int>("cause");
    QTest::newRow("names ignore case") << QString() << u"ADMIN/admin"_s << -1;
    QTest::newRow("passwords do not") << QString() << u"admin/Admin"_s << -2;
    const auto row = [](const char *name, const char *house, StoreCause cause) {
        QTest::newRow(name) << QString::fromUtf8(house) << u"admin/admin"_s << int(cause);
    };
    row("file missing", "file:", StoreCause::FileMissing);
    row("file damaged", "file:xxxxxxxx", StoreCause::Unreadable);
    row("file not a house", "file:empty", StoreCause::Unreadable);
    // A build without the server store says so for any server the settings name.
    const auto server = [](StoreCause cause) {
        return QUILLON_SERVER_STORE ? cause : StoreCause::NoServerDriver;
    };
    row("settings with a semicolon", "ini:host=db;dbname=x", server(StoreCause::SettingsSemicolon));
    row("settings unreadable", "ini:host='db password=geheim", server(StoreCause::SettingsUnreadable));
    row("settings with a password", "ini:host=db password=geheim", server(StoreCause::SettingsPassword));
    row("server not reached", "ini:host=127.0.0.1 port=1", server(StoreCause::Unreachable));
    row("server database unknown", "server: dbname=no_such_house", StoreCause::NoHouse);
    row("server without a house", "server: options='-c search_path=no_house'", StoreCause::NoHouse);
    row("server refuses the account", "server: user=no_such_desk", StoreCause::AccountRefused);
}

void TestSession::loginTellsTheCause()
{
    QFETCH(QString, house);
    QFETCH(QString, login);
    QFETCH(int, cause);
    const QString kind = house.section(u':', 0, 0), text = house.section(u':', 1);
    const bool onServer = !TestDatabase::testServer().isEmpty();
    if ((kind == u"file"_s && onServer) || (kind == u"server"_s && !onServer))
        QSKIP("another store");
    TestDatabase db;
    const bool file = kind == u"file"_s;
    QString content = text == u"empty"_s ? QString() : text;
    if (!file) // the settings on line 5
        content = u"[general]\nx=1\n\n[server]\nconnection=\""_s +
                  (kind == u"server"_s ? TestDatabase::testServer() : QString()) + text + u"\"\n"_s;
    QFile f(file ? db.path() : QDir(db.directory()).filePath(u"quillon.ini"_s));
    if (file && f.exists() && !f.remove())
        QSKIP("an open file cannot be removed on this system");
    if (!text.isEmpty() && f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content.toUtf8()), f.close();
    const auto in = Session::logIn(db.location(), login.section(u'/', 0, 0), login.section(u'/', 1));
    QCOMPARE(in.ok(), cause == -1);
    QCOMPARE(in.isRefused(Refusal::NotFound), cause == -2);
    if (cause < 0)
        return;
    QCOMPARE(int(in.cause()), cause);
    // Its own sentence first, the driver's words at most on a line after it; never the settings,
    // a password or the connection string.
    const QString message = in.message();
    QVERIFY2(message.startsWith(causeSentence(in.cause(), 5)), qPrintable(message));
    for (const QString &secret : {u"geheim"_s, HousePassword.toString(), u"dbname="_s, u"host="_s})
        QVERIFY2(!message.contains(secret), qPrintable(message));
}

void TestSession::fullAndReadOnlyFilesAreToldInChinese_data()
{
    // The store's own refusal, made real on the desk's connection, and its words.
    QTest::addColumn<QString>("pragma");
    QTest::addColumn<int>("cause");
    QTest::addColumn<QString>("driver");
    QTest::newRow("full") << u"pragma max_page_count=%1"_s << int(StoreCause::DiskFull)
                          << u"database or disk is full"_s;
    QTest::newRow("read-only") << u"pragma query_only=1"_s << int(StoreCause::ReadOnly)
                               << u"attempt to write a readonly database"_s;
}

void TestSession::fullAndReadOnlyFilesAreToldInChinese()
{
    QFETCH(QString, pragma);
    QFETCH(int, cause);
    QFETCH(QString, driver);
    TestDatabase db;
    if (!db.server().isEmpty())
        QSKIP("the file's own limits");
    const qint64 room = db.addRoom(u"101"_s, 120, 1);
    Session *s = session();
    QVERIFY(s->readFree([&](Connection &c) {
                 qint64 pages = 0;
                 if (Statement q(c, u"pragma page_count"_s); q.next())
                     pages = q.integer(0);
                 Statement(c, pragma.arg(pages)).next();
                 return Outcome::done();
             }).ok());
    Stay stay = particulars(room);
    stay.guest = QString(20000, u'长'); // more than the last free page holds
    const auto o = enterStay(s, StayKind::Stay, stay);
    QCOMPARE(int(o.kind()), int(Outcome::Kind::Failed));
    QCOMPARE(int(o.cause()), cause);
    // The clerk's sentence first; the driver's English only on a line after it.
    const QString message = o.message();
    QVERIFY2(message.startsWith(causeSentence(o.cause(), 0)), qPrintable(message));
    QVERIFY2(message.section(u'\n', 1).contains(driver), qPrintable(message));
}

void TestSession::folderTurningReadOnlyIsToldAndOutlived()
{
#ifdef Q_OS_WIN
    QSKIP("a folder's read-only mark does not stop new files in it on Windows");
#else
    TestDatabase db;
    if (!db.server().isEmpty())
        QSKIP("the file's own folder");
    const qint64 room = db.addRoom(u"101"_s, 120, 1);
    Session *s = session();
    QVERIFY(s->readFree([](Connection &) { return Outcome::done(); }).ok()); // the kept connection
    // The folder turns read-only under the open house: a read-only mount for the super-user,
    // whom modes do not stop, the folder's mode for anyone else.
    const QString folder = db.directory();
    auto readOnly = [&](bool on) {
        if (::geteuid() != 0)
            return QFile::setPermissions(folder, on ? QFile::ReadOwner | QFile::ExeOwner
                                                    : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!on)
            return QProcess::execute(u"umount"_s, {folder}) == 0;
        return QProcess::execute(u"mount"_s, {u"--bind"_s, folder, folder}) == 0 &&
               (QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,bind,ro"_s, folder}) == 0 ||
                (QProcess::execute(u"umount"_s, {folder}), false));
    };
    if (!readOnly(true))
        QSKIP("this machine cannot make a folder read-only");
    const auto refused = enterStay(s, StayKind::Stay, particulars(room));
    readOnly(false);
    QCOMPARE(int(refused.cause()), int(StoreCause::ReadOnly));
    QVERIFY2(refused.message().startsWith(causeSentence(StoreCause::ReadOnly, 0)),
             qPrintable(refused.message()));
    // Writable again: the same desk checks in without logging in anew.
    QVERIFY2(enterStay(s, StayKind::Stay, particulars(room)).ok(), "no check-in once the folder is writable");
#endif
}

QTEST_MAIN(TestSession)
#include "test_session.moc"
