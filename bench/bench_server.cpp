// The house on a PostgreSQL server beside the file: history open, statistics by date, check-in
// and check-out through the program's windows on each store, and the same work straight
// through libpq as the server's baseline. Starts a throwaway server under the data folder.
//
//   quillon-bench-server [--data=DIR] [--quick] [--search-only] [--access-only]
//
// Then the history search on the million stays, on the file and on the server, and the old
// program's Access house brought across onto the server against libmdb's bare read of it.

#include "access_source.h"
#include "bench_data.h"
#include "bench_support.h"
#include "data/access_house.h"
#include "data/conversions.h"
#include "data/house_location.h"
#include "data/house_transfer.h"
#include "hotel/history.h"
#include "hotel/session.h"
#include "shell/shell_windows.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/windows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <cstdio>
#include <functional>
#include <libpq-fe.h>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace {

const QDateTime MonthStart(QDate(2021, 3, 1), QTime(0, 0));
const QDateTime MonthEnd(QDate(2021, 3, 31), QTime(23, 59, 59));

void usePlace(const QString &dir)
{
    const HouseLocation house{dir};
    // A desk logged in with every right, on this house.
    if (!hotel::session() || hotel::session()->location() != house)
        hotel::Session::setCurrent(std::make_shared<hotel::Session>(house, u"admin"_s, u"Z:abcdef"_s));
}

template <class T> T *child(QWidget *w, const QString &name)
{
    T *c = w ? w->findChild<T *>(name) : nullptr;
    if (!c)
        throw std::runtime_error("no control " + name.toStdString());
    return c;
}

double median(int n, const std::function<double()> &one)
{
    Samples s;
    for (int i = 0; i < n; ++i)
        s.add(one());
    return s.median();
}

double timed(const std::function<void()> &work)
{
    Samples s;
    s.start();
    work();
    s.stop();
    return s.median();
}

// ---- through the program's windows -------------------------------------------------------

double historyOpen(BenchSeam &)
{
    return timed([] {
        QWidget *w = ui::showWindow(u"Form13"_s);
        settle();
        if (child<FlexGrid>(w, u"MSFlexGrid2"_s)->Rows() < 2)
            throw std::runtime_error("history is empty");
        w->close();
    });
}

double statsByDate(BenchSeam &)
{
    QWidget *w = ui::showWindow(u"Form16"_s);
    settle();
    child<DatePicker>(w, u"DTPicker1"_s)->setValue(MonthStart);
    child<DatePicker>(w, u"DTPicker2"_s)->setValue(MonthEnd);
    const double ms = timed([&] { child<QPushButton>(w, u"Command1"_s)->click(); });
    if (child<FlexGrid>(w, u"MSFlexGrid2"_s)->Rows() < 2)
        throw std::runtime_error("statistics found nothing");
    w->close();
    settle();
    return ms;
}

// Check-in of the first free room, then check-out of that room, as two timed clicks.
std::pair<double, double> checkInOut(BenchSeam &seam)
{
    seam.messages.clear();
    QWidget *in = ui::showWindow(u"Form8"_s);
    settle();
    child<QLineEdit>(in, u"Text1"_s)->setText(u"张伟"_s);
    child<QLineEdit>(in, u"Text2"_s)->setText(u"华东电力设计院"_s);
    child<QLineEdit>(in, u"Text3"_s)->setText(u"身份证"_s);
    child<QLineEdit>(in, u"Text4"_s)->setText(u"310101198001011234"_s);
    child<QLineEdit>(in, u"Text5"_s)->setText(u"3"_s);
    child<QLineEdit>(in, u"Text6"_s)->setText(u"2"_s);
    child<QLineEdit>(in, u"Text8"_s)->setText(u"500"_s);
    // Arrived yesterday by the bench's calendar, so check-out charges one day.
    child<DatePicker>(in, u"DTPicker1"_s)->setValue(QDateTime(QDate(2026, 1, 14), QTime(10, 0)));
    auto *rooms = child<FlexGrid>(in, u"MSFlexGrid1"_s);
    rooms->selectRecord(1);
    const QString number = rooms->text(1, 1);
    const double checkIn = timed([&] { child<QPushButton>(in, u"Command1"_s)->click(); });
    if (!seam.messages.contains(u"恭喜您，旅客入住成功？"_s))
        throw std::runtime_error("check-in said: " + seam.messages.join(u" / "_s).toStdString());
    seam.closeAll();
    QWidget *out = ui::showWindow(u"Form12"_s);
    settle();
    child<QLineEdit>(out, u"Text1"_s)->setText(number);
    const double checkOut = timed([&] {
        child<QPushButton>(out, u"Command1"_s)->click();
        child<QPushButton>(out, u"Command2"_s)->click();
        child<QPushButton>(out, u"Command3"_s)->click();
    });
    if (!seam.messages.contains(u"恭喜您，旅客退房成功？请核准相关帐目!"_s))
        throw std::runtime_error("check-out said: " + seam.messages.join(u" / "_s).toStdString());
    seam.closeAll();
    return {checkIn, checkOut};
}

// One search typed into Form13 and Enter pressed (as when typing pauses), until the list and its
// totals are refilled; the rows it lists.
double searchOnce(const QString &text, int &rows)
{
    QWidget *w = ui::showWindow(u"Form13"_s);
    settle();
    auto *box = child<QLineEdit>(w, u"SearchBox"_s);
    box->setText(text);
    const double ms = timed([&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &press);
    });
    rows = child<FlexGrid>(w, u"MSFlexGrid2"_s)->Rows() - 1;
    w->close();
    settle();
    return ms;
}

// ---- straight through libpq, on one connection kept across rounds as a desk's session keeps its own

struct Pg {
    explicit Pg(const QByteArray &conninfo) : conn(PQconnectdb(conninfo.constData()))
    {
        if (PQstatus(conn) != CONNECTION_OK)
            throw std::runtime_error(PQerrorMessage(conn));
    }
    ~Pg() { PQfinish(conn); }
    // Every value of every row read as text, as a list fill does.
    long long exec(const char *sql, std::initializer_list<const char *> params = {})
    {
        return exec(sql, std::vector<const char *>(params));
    }
    long long exec(const char *sql, const std::vector<const char *> &values)
    {
        PGresult *r =
            PQexecParams(conn, sql, int(values.size()), nullptr, values.data(), nullptr, nullptr, 0);
        const ExecStatusType st = PQresultStatus(r);
        if (st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK) {
            const std::string why = PQerrorMessage(conn);
            PQclear(r);
            throw std::runtime_error(why);
        }
        long long bytes = 0;
        for (int row = 0; row < PQntuples(r); ++row)
            for (int c = 0; c < PQnfields(r); ++c)
                bytes += PQgetlength(r, row, c) + (*PQgetvalue(r, row, c) ? 1 : 0);
        const long long changed = st == PGRES_COMMAND_OK ? atoll(PQcmdTuples(r)) : bytes;
        PQclear(r);
        return changed;
    }
    std::string value(const char *sql, std::initializer_list<const char *> params = {})
    {
        std::vector<const char *> values(params);
        PGresult *r =
            PQexecParams(conn, sql, int(values.size()), nullptr, values.data(), nullptr, nullptr, 0);
        std::string v = PQntuples(r) > 0 ? PQgetvalue(r, 0, 0) : "";
        PQclear(r);
        return v;
    }
    PGconn *conn;
};

double bareHistory(Pg &pg)
{
    return timed([&] { pg.exec("select * from \"旅客退房\" order by \"退房ID\" desc"); });
}

double bareStats(Pg &pg)
{
    const QByteArray from = MonthStart.toString(u"yyyy-MM-dd HH:mm:ss"_s).toLatin1();
    const QByteArray to = MonthEnd.toString(u"yyyy-MM-dd HH:mm:ss"_s).toLatin1();
    return timed([&] {
        pg.exec("select * from \"旅客退房\" where \"入住时间\" between $1 and $2 order by \"退房ID\" desc",
                {from.constData(), to.constData()});
    });
}

std::pair<double, double> bareCheckInOut(Pg &pg)
{
    std::string room;
    std::string number;
    {
        room = pg.value("select \"房间ID\" from \"房间\" where \"房间状态\"=1 order by 1 limit 1");
        number = pg.value("select \"房间号\" from \"房间\" where \"房间ID\"=$1", {room.c_str()});
    }
    const double in = timed([&] {
        pg.exec("begin");
        pg.exec("insert into \"旅客入住\" (\"旅客姓名\", \"入住时间\", \"计划入住天数\", \"入住人数\", "
                "\"房间ID\", "
                "\"预付款\") values ('张伟', '2026-01-15 10:00:00', 3, 2, $1, 500)",
                {room.c_str()});
        if (pg.exec("update \"房间\" set \"房间状态\"=2 where \"房间ID\"=$1 and \"房间状态\"=1",
                    {room.c_str()}) != 1)
            throw std::runtime_error("room not free");
        pg.exec("commit");
    });
    const double out = timed([&] {
        const std::string key = pg.value(
            "select \"房间ID\" from \"房间\" where \"房间号\"=$1 and \"房间状态\"=2", {number.c_str()});
        pg.exec("select * from \"旅客入住\" where \"房间ID\"=$1", {key.c_str()});
        pg.exec("begin");
        pg.exec("insert into \"旅客退房\" (\"旅客姓名\", \"入住时间\", \"计划入住天数\", \"入住人数\", "
                "\"房间ID\", "
                "\"预付款\", \"退房时间\", \"实际入住天数\", \"实际金额\", \"应收款\", \"应退款\") select "
                "\"旅客姓名\", "
                "\"入住时间\", \"计划入住天数\", \"入住人数\", \"房间ID\", \"预付款\", '2026-01-15', 1, 120, "
                "0, 380 "
                "from \"旅客入住\" where \"房间ID\"=$1",
                {key.c_str()});
        pg.exec("update \"房间\" set \"房间状态\"=1 where \"房间ID\"=$1", {key.c_str()});
        pg.exec("delete from \"旅客入住\" where \"房间ID\"=$1", {key.c_str()});
        pg.exec("commit");
    });
    return {in, out};
}

QString startServer(const QString &dir)
{
    QProcess p;
    p.start(u"bash"_s, {QStringLiteral(QUILLON_PG_CLUSTER), u"start"_s, dir});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        throw std::runtime_error("cannot start the server: " + p.readAllStandardError().toStdString());
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

void stopServer(const QString &dir)
{
    QProcess::execute(u"bash"_s, {QStringLiteral(QUILLON_PG_CLUSTER), u"stop"_s, dir});
}

void storeRows(const QString &bigDir, const QString &fileDir, const QString &server, const QString &dataRoot,
               const benchdata::Shape &shape, int n)
{
    if (const QString e = housetransfer::fileToServer(bigDir + u"/innkeep.mdb"_s, server); !e.isEmpty())
        throw std::runtime_error(e.toStdString());
    const QString serverDir = dataRoot + u"/server-bench-desk"_s;
    QDir(serverDir).removeRecursively();
    QDir().mkpath(serverDir);
    QSettings(serverDir + u"/quillon.ini"_s, QSettings::IniFormat).setValue(u"server/connection"_s, server);

    BenchSeam seam;
    struct Row {
        const char *name;
        double file = 0, server = 0, bare = 0;
    } rows[4] = {{"history window opens"},
                 {"statistics by date, one month"},
                 {"check-in confirm"},
                 {"check-out fetch+compute+confirm"}};
    for (int store = 0; store < 2; ++store) {
        usePlace(store == 0 ? fileDir : serverDir);
        double Row::*column = store == 0 ? &Row::file : &Row::server;
        rows[0].*column = median(n, [&] { return historyOpen(seam); });
        rows[1].*column = median(n, [&] { return statsByDate(seam); });
        Samples in, out;
        for (int i = 0; i < n; ++i) {
            const auto [a, b] = checkInOut(seam);
            in.add(a);
            out.add(b);
        }
        rows[2].*column = in.median();
        rows[3].*column = out.median();
    }
    Pg pg(server.toUtf8());
    rows[0].bare = median(n, [&] { return bareHistory(pg); });
    rows[1].bare = median(n, [&] { return bareStats(pg); });
    Samples in, out;
    for (int i = 0; i < n; ++i) {
        const auto [a, b] = bareCheckInOut(pg);
        in.add(a);
        out.add(b);
    }
    rows[2].bare = in.median();
    rows[3].bare = out.median();

    std::printf("%d completed stays, median of %d runs; server through a Unix socket on this machine\n",
                shape.completedStays, n);
    std::printf("%-34s %10s %10s %10s %14s\n", "workload", "file", "server", "libpq", "server/libpq");
    for (const Row &r : rows)
        std::printf("%-34s %7.2f ms %7.2f ms %7.2f ms %13.2fx\n", r.name, r.file, r.server, r.bare,
                    r.server / r.bare);
}

// The million stays moved to the server (in a schema of their own) beside the generated file:
// the history search on each, with the search's own two selects through libpq.
void searchRows(const QString &dataRoot, const QString &server, bool quick, int n)
{
    const benchdata::Shape huge =
        quick ? benchdata::Shape{5, 50, 8000, 30, 13} : benchdata::Shape{10, 200, 1000000, 140, 20060428};
    const QString hugeDir = benchdata::ensureDatabase(dataRoot, huge);
    const QString fileDir = dataRoot + u"/server-bench-search-file"_s;
    QDir(fileDir).removeRecursively();
    QDir().mkpath(fileDir);
    if (!QFile::copy(hugeDir + u"/innkeep.mdb"_s, fileDir + u"/innkeep.mdb"_s))
        throw std::runtime_error("cannot copy the database");
    Pg(server.toUtf8()).exec("create schema huge");
    const QString hugeServer = server + u" options='-c search_path=huge'"_s;
    if (const QString e = housetransfer::fileToServer(hugeDir + u"/innkeep.mdb"_s, hugeServer); !e.isEmpty())
        throw std::runtime_error(e.toStdString());
    const QString serverDir = dataRoot + u"/server-bench-search-desk"_s;
    QDir(serverDir).removeRecursively();
    QDir().mkpath(serverDir);
    QSettings(serverDir + u"/quillon.ini"_s, QSettings::IniFormat)
        .setValue(u"server/connection"_s, hugeServer);

    struct Row {
        const char *name;
        QStringList texts;
        double file = 0, server = 0, bare = 0;
        int rows = 0;
    } rows[] = {{"search, 3+ chars", {u"欧阳秀英"_s, u"1985"_s, u"19850505"_s}},
                {"search, 2 chars (a whole name)", {u"张伟"_s, u"李娜"_s, u"王芳"_s}},
                {"search, a surname alone", {u"欧阳"_s}}};
    BenchSeam seam;
    for (int store = 0; store < 2; ++store) {
        hotel::Session::setCurrent(nullptr);
        usePlace(store == 0 ? fileDir : serverDir);
        for (Row &r : rows) {
            Samples s;
            for (int i = 0; i < n; ++i) {
                for (const QString &t : std::as_const(r.texts))
                    s.add(searchOnce(t, r.rows));
            }
            (store == 0 ? r.file : r.server) = s.median();
        }
    }
    Pg pg(hugeServer.toUtf8());
    for (Row &r : rows) {
        Samples s;
        for (int i = 0; i < n; ++i) {
            for (const QString &t : std::as_const(r.texts)) {
                const hotel::history::Search f = hotel::history::search(t, dialect::Engine::Postgres);
                QString where = f.where;
                for (int p = 1; where.contains(u'?'); ++p)
                    where.replace(where.indexOf(u'?'), 1, u"$"_s + QString::number(p));
                const QByteArray count =
                    (u"select max(\"退房ID\"), count(*), sum(\"实际金额\"), sum(\"应收款\"), "
                     u"sum(\"应退款\") from \"旅客退房\" where "_s +
                     where)
                        .toUtf8();
                const QByteArray page =
                    (u"select * from \"旅客退房\" where "_s + where + u" order by \"退房ID\" desc limit 64"_s)
                        .toUtf8();
                std::vector<QByteArray> texts;
                for (const QVariant &p : std::as_const(f.params))
                    texts.push_back(p.toString().toUtf8());
                std::vector<const char *> values;
                for (const QByteArray &t : texts)
                    values.push_back(t.constData());
                s.add(timed([&] {
                    pg.exec(count.constData(), values);
                    pg.exec(page.constData(), values);
                }));
            }
        }
        r.bare = s.median();
    }
    std::printf("%d completed stays, median of %d runs of each text\n", huge.completedStays, n);
    std::printf("%-34s %10s %10s %10s %14s\n", "workload", "file", "server", "libpq", "server/file");
    for (const Row &r : rows)
        std::printf("%-34s %7.2f ms %7.2f ms %7.2f ms %13.2fx\n", r.name, r.file, r.server, r.bare,
                    r.server / r.file);
}

// Each import into a schema of its own: a server that holds a house is never written over.
void accessRow(const QString &dataRoot, const QString &server, bool quick, int n)
{
    const QString source = accessbench::house(dataRoot, quick);
    Samples imported, bare;
    for (int i = 0; i < n; ++i) {
        const QByteArray schema = "access_" + QByteArray::number(i);
        Pg admin(server.toUtf8());
        admin.exec(("drop schema if exists " + schema + " cascade").constData());
        admin.exec(("create schema " + schema).constData());
        const QString into = server + u" options='-c search_path="_s + QString::fromLatin1(schema) + u"'"_s;
        imported.add(timed([&] {
            const accesshouse::Report r = accesshouse::importToServer(source, into, {});
            if (!r.ok())
                throw std::runtime_error(accesshouse::problemText(r.failure).toStdString());
        }));
        admin.exec(("drop schema " + schema + " cascade").constData());
        bare.add(timed([&] { accessbench::bareRead(source); }));
    }
    std::printf("%-34s %10s %10s %14s\n", "workload", "server", "libmdb", "server/libmdb");
    std::printf("%-34s %7.0f ms %7.0f ms %13.2fx\n", "Access house onto the server", imported.median(),
                bare.median(), imported.median() / bare.median());
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(conv::locale()); // as the program does
    quietPlatformMessages();
    registerAllWindows();
    QString dataRoot;
    bool quick = false;
    bool searchOnly = false;
    bool accessOnly = false;
    for (const QString &a : QCoreApplication::arguments().mid(1)) {
        if (a.startsWith(u"--data="_s))
            dataRoot = a.mid(7);
        else if (a == u"--quick"_s)
            quick = true;
        else if (a == u"--search-only"_s)
            searchOnly = true;
        else if (a == u"--access-only"_s)
            accessOnly = true;
    }
    // The same data folder as quillon-bench, so the generated house is made once.
    if (dataRoot.isEmpty())
        dataRoot =
            QCoreApplication::applicationDirPath() + (quick ? u"/bench-data-quick"_s : u"/bench-data"_s);
    // The shapes quillon-bench uses, so both find the same cached house.
    const benchdata::Shape shape =
        quick ? benchdata::Shape{5, 50, 2000, 30, 7} : benchdata::Shape{10, 200, 250000, 140, 20060426};
    const int n = quick ? 3 : 15;
    const QString pgDir = dataRoot + u"/server"_s;
    try {
        if (accessOnly) {
            const QString server = startServer(pgDir);
            const auto stop = qScopeGuard([&] { stopServer(pgDir); });
            accessRow(dataRoot, server, quick, quick ? 1 : 3);
            return 0;
        }
        const QString bigDir = benchdata::ensureDatabase(dataRoot, shape);
        // The file column works on a copy, so the cached file stays as generated.
        const QString fileDir = dataRoot + u"/server-bench-file"_s;
        QDir(fileDir).removeRecursively();
        QDir().mkpath(fileDir);
        if (!QFile::copy(bigDir + u"/innkeep.mdb"_s, fileDir + u"/innkeep.mdb"_s))
            throw std::runtime_error("cannot copy the database");
        const QString server = startServer(pgDir);
        const auto stop = qScopeGuard([&] { stopServer(pgDir); });
        if (!searchOnly)
            storeRows(bigDir, fileDir, server, dataRoot, shape, n);
        searchRows(dataRoot, server, quick, n);
        if (!searchOnly)
            accessRow(dataRoot, server, quick, quick ? 1 : 3);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "server benchmark failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
