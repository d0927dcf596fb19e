// Quillon's own code paths with years of data, each side by side with what the machine can do
// for the same work: SQLite's C interface reading the same rows as text, cp copying the same
// file, an empty Qt program showing one window.
//
//   quillon-bench [--quick] [--data=DIR] [google-benchmark options]
//
// --quick runs every path once on a tiny database (the CI smoke run); without it the database
// holds 250,000 completed stays and is made once under DIR, then reused.
#include "bench_harness.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/house_location.h"
#include "data/statement.h"
#include "hotel/session.h"
#include "shell/shell_windows.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/grid_fill.h"
#include "ui/windows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <sqlite3.h>
#include <stdexcept>
#include <thread>

using namespace Qt::Literals::StringLiterals;

Setup g;
std::map<std::string, Result> g_results;
bool g_failed = false;

void record(const std::string &name, double value, const QString &note)
{
    g_results[name] = {value, note};
}

void failBenchmark(benchmark::State &state, const std::string &what)
{
    g_failed = true;
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
    state.SkipWithError(what.c_str());
}

void useDatabase(const QString &dir)
{
    const HouseLocation house{dir};
    // A desk logged in with every right, on this house.
    if (!hotel::session() || hotel::session()->location() != house)
        hotel::Session::setCurrent(std::make_shared<hotel::Session>(house, u"admin"_s, u"Z:abcdef"_s));
}

QString fileIn(const QString &dir)
{
    return dir + u"/innkeep.mdb"_s;
}

// A private copy for the benchmarks that write, so the cached file stays as generated.
QString workCopy(const QString &from, const QString &name)
{
    const QString dir = g.workDir + u"/"_s + name;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    if (!QFile::copy(fileIn(from), fileIn(dir)))
        throw std::runtime_error("cannot copy the database to " + dir.toStdString());
    return dir;
}

QWidget *openWindow(const QString &form)
{
    QWidget *w = ui::showWindow(form);
    if (!w)
        throw std::runtime_error(form.toStdString() + " is not registered");
    return w;
}

void closeWindow(QWidget *w)
{
    if (w) {
        w->close();
        delete w;
    }
    settle();
}

QString historySelect()
{
    return u"select * from 旅客退房 order by 退房ID desc"_s;
}

QString storage(const QDateTime &t)
{
    return t.toString(u"yyyy-MM-dd HH:mm:ss"_s);
}

std::map<std::string, long long> probeValues(const std::string &out)
{
    std::map<std::string, long long> v;
    std::size_t at = 0;
    while (at < out.size()) {
        std::size_t end = out.find('\n', at);
        if (end == std::string::npos)
            end = out.size();
        const std::string line = out.substr(at, end - at);
        const std::size_t sp = line.find(' ');
        if (sp != std::string::npos)
            v[line.substr(0, sp)] = std::stoll(line.substr(sp + 1));
        at = end + 1;
    }
    return v;
}

namespace {

// ---------------------------------------------------------------- table

struct Row {
    const char *what;
    const char *workload;
    const char *baseline;
    double maxRatio; // 0: no ratio target
    double maxMs;    // 0: no absolute target
};

const Row Rows[] = {
    {"history window opens, 250,000 stays", "history.window", "bare.history", 1.0, 500},
    {"  the list fill alone (grid::fill)", "history.fill", "bare.history", 1.0, 500},
    {"  the first open in a fresh process", "history.first", "bare.history", 1.0, 500},
    {"history window, 1,000,000 stays, first paint", "huge.window", "bare.huge", 0, 50},
    {"  until its count and totals are shown", "huge.window.counted", "bare.huge", 0, 0},
    {"  jump to the last row", "huge.last", "bare.huge", 0, 50},
    {"statistics by date, one month", "stats.date", "bare.stats.date", 1.5, 50},
    {"  the same with the list repainted", "stats.date.shown", "bare.stats.date", 1.5, 50},
    {"statistics by room", "stats.room", "bare.stats.room", 1.5, 20},
    {"  the same with the list repainted", "stats.room.shown", "bare.stats.room", 1.5, 20},
    {"check-in confirm (median)", "checkin", "bare.checkin", 2.0, 5},
    {"  of which the reopen: a fresh Form8", "checkin.reopen", "bare.checkin", 0, 0},
    {"check-out fetch+compute+confirm (median)", "checkout", "bare.checkout", 2.0, 5},
    {"  of which the reopen: a fresh Form12", "checkout.reopen", "bare.checkout", 0, 0},
    {"login: process start to login window", "login.start", "bare.qt.start", 1.5, 0},
    {"login: click to main window shown", "login.click", "bare.qt.click", 1.5, 0},
    {"backup of the 200 MB file, against cp + sync", "backup", "bare.backup.sync", 2.0, 0},
    {"  against cp alone", "backup", "bare.backup", 0, 0},
    {"rooms window, 2,000 rooms", "rooms.window", "bare.rooms", 1.5, 50},
    {"  the rooms list fill alone", "rooms.fill", "bare.rooms", 1.5, 50},
    {"floors window, 100 floors", "floors.window", "bare.floors", 1.5, 50},
    {"  the floors list fill alone", "floors.fill", "bare.floors", 1.5, 50},
    {"connection open per handler", "connection.open", "bare.open", 0, 1},
    {"room board refresh, 2,000 rooms", "board.refresh", "bare.board", 0, 20},
    {"  with one room changed", "board.changed", "bare.board", 0, 20},
    {"  the board repainted", "board.repaint", "bare.board", 0, 0},
    {"history search, 250,000 stays", "history.search", "bare.history.search", 1.5, 50},
    {"search, 1,000,000 completed stays, 3+ chars", "huge.search.long", "bare.huge.search.long", 0, 16},
    {"  2 characters (a whole name)", "huge.search.short", "bare.huge.search.short", 0, 16},
    {"  a surname alone (1 stay in 16)", "huge.search.broad", "bare.huge.search.broad", 0, 16},
    {"  3+ chars, until the count and totals", "huge.search.long.counted", "bare.huge.search.long", 0, 0},
    {"  2 characters, until the count and totals", "huge.search.short.counted", "bare.huge.search.short", 0,
     0},
    {"  a surname, until the count and totals", "huge.search.broad.counted", "bare.huge.search.broad", 0, 0},
    {"chart, a year of a 200-room house with 250,000 stays", "chart.year", "bare.chart.year", 0, 100},
    {"  the figures alone (the store's part)", "chart.figures", "bare.chart.year", 0, 100},
    {"Access house, 250,000 stays, into a file", "access.import", "bare.access.read", 1.5, 0},
};

std::string fmtMs(double ms)
{
    char b[32];
    if (ms >= 100)
        std::snprintf(b, sizeof b, "%.0f ms", ms);
    else if (ms >= 1)
        std::snprintf(b, sizeof b, "%.2f ms", ms);
    else
        std::snprintf(b, sizeof b, "%.3f ms", ms);
    return b;
}

void printTable()
{
    std::printf("\n%-44s %12s %12s %8s %16s  %s\n", "workload", "quillon", "baseline", "ratio", "target",
                "met");
    std::printf("%s\n", std::string(110, '-').c_str());
    for (const Row &r : Rows) {
        const auto w = g_results.find(r.workload);
        const auto b = g_results.find(r.baseline);
        if (w == g_results.end() || b == g_results.end()) {
            std::printf("%-44s %12s\n", r.what, "not run");
            continue;
        }
        const double ratio = b->second.value > 0 ? w->second.value / b->second.value : 0;
        std::string target;
        bool met = true;
        if (r.maxRatio > 0) {
            char t[32];
            std::snprintf(t, sizeof t, "<=%.1fx", r.maxRatio);
            target += t;
            met = met && ratio <= r.maxRatio;
        }
        if (r.maxMs > 0) {
            char t[32];
            std::snprintf(t, sizeof t, "<%g ms", r.maxMs);
            target += (target.empty() ? "" : ", ") + std::string(t);
            met = met && w->second.value <= r.maxMs;
        }
        const char *verdict = g.quick || target.empty() ? "-" : (met ? "yes" : "NO");
        std::printf("%-44s %12s %12s %7.2fx %16s  %-3s  %s\n", r.what, fmtMs(w->second.value).c_str(),
                    fmtMs(b->second.value).c_str(), ratio, target.c_str(), verdict,
                    w->second.note.toUtf8().constData());
    }
    const auto m = g_results.find("history.memory");
    const auto t = g_results.find("bare.text_bytes");
    if (m != g_results.end() && t != g_results.end()) {
        const double ratio = m->second.value / t->second.value;
        std::printf("%-44s %9.1f MB %9.1f MB %7.2fx %16s  %s  %s; baseline: %s\n",
                    "history peak memory growth", m->second.value / 1048576.0, t->second.value / 1048576.0,
                    ratio, "<=1.0x", g.quick ? "-" : (ratio <= 1.0 ? "yes" : "NO"),
                    m->second.note.toUtf8().constData(), t->second.note.toUtf8().constData());
    }
}

QString cpuModel()
{
    QFile f(u"/proc/cpuinfo"_s);
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : f.readAll().split('\n')) {
            if (line.startsWith("model name"))
                return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
        }
    }
    return u"unknown"_s;
}

void printMachine()
{
    QFile f(u"/proc/meminfo"_s);
    QString mem;
    if (f.open(QIODevice::ReadOnly))
        mem = QString::fromUtf8(f.readLine()).simplified();
    std::printf("machine: %u cores, %s, %s\n", std::thread::hardware_concurrency(), qPrintable(cpuModel()),
                qPrintable(mem));
    useDatabase(g.bigDir);
    Connection c;
    c.open(HouseLocation{g.bigDir});
    const auto pragma = [&c](const QString &name) {
        Statement q(c, u"pragma "_s + name);
        return q.next() ? q.text(0) : u"?"_s;
    };
    const QString sync = pragma(u"synchronous"_s);
    const QString journal = pragma(u"journal_mode"_s);
    std::printf(
        "store: SQLite %s, journal_mode=%s, synchronous=%s (2 = FULL), as the program's connection has it\n",
        sqlite3_libversion(), qPrintable(journal), qPrintable(sync));
    std::printf("data: %d completed stays, %d rooms, %d floors (%s); rooms window on %d rooms, %d floors; "
                "%d completed stays for the long history\n",
                g.big.completedStays, g.big.rooms, g.big.floors, qPrintable(g.bigDir), g.rooms.rooms,
                g.rooms.floors, g.huge.completedStays);
}

// ---------------------------------------------------------------- data

void makeBackupSource()
{
    g.backupDir = g.dataRoot + u"/backup-%1"_s.arg(g.backupBytes);
    const QString file = fileIn(g.backupDir);
    if (QFileInfo(file).size() >= g.backupBytes && QFile::exists(g.backupDir + u"/complete"_s))
        return;
    QDir(g.backupDir).removeRecursively();
    QDir().mkpath(g.backupDir);
    if (!QFile::copy(fileIn(g.bigDir), file))
        throw std::runtime_error("cannot copy for the backup source");
    // The years of stays, padded with attachments up to the size of a long-kept file.
    bare::Database db(file, true);
    db.exec("create table bench_padding (data blob)");
    db.exec("begin");
    while (QFileInfo(file).size() < g.backupBytes) {
        for (int i = 0; i < 16; ++i)
            db.exec("insert into bench_padding (data) values (randomblob(65536))");
        db.exec("commit");
        db.exec("begin");
    }
    db.exec("commit");
    QFile marker(g.backupDir + u"/complete"_s);
    marker.open(QIODevice::WriteOnly);
}

void prepareData()
{
    if (g.quick) {
        g.big = {5, 50, 2000, 30, 7};
        g.rooms = {10, 200, 0, 0, 11};
        g.huge = {5, 50, 8000, 30, 13};
        g.backupBytes = 2 * 1024 * 1024;
        g.heavyIterations = 1;
        g.clickIterations = 2;
        g.processIterations = 1;
    } else {
        g.big = {10, 200, 250000, 140, 20060426};
        g.rooms = {100, 2000, 0, 0, 20060427};
        g.huge = {10, 200, 1000000, 140, 20060428};
    }
    std::printf("preparing data under %s ...\n", qPrintable(g.dataRoot));
    std::fflush(stdout);
    g.bigDir = benchdata::ensureDatabase(g.dataRoot, g.big);
    g.roomsDir = benchdata::ensureDatabase(g.dataRoot, g.rooms);
    g.hugeDir = benchdata::ensureDatabase(g.dataRoot, g.huge);
    g.workDir = g.dataRoot + u"/work"_s;
    QDir().mkpath(g.workDir);
    makeBackupSource();
    g.frontdeskDir = workCopy(g.bigDir, u"frontdesk"_s);
}

void registerAll()
{
    using benchmark::RegisterBenchmark;
    const int heavy = g.heavyIterations * g.repeat, click = g.clickIterations * g.repeat,
              proc = g.processIterations * g.repeat;
    const int opens = g.quick ? 5 : 2001;
    RegisterBenchmark("connection/open", BM_ConnectionOpen)->Iterations(opens)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/sqlite_open", BM_BareOpen)->Iterations(opens)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("history/window", BM_HistoryWindow)->Iterations(heavy)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("history/fill", BM_HistoryFill)->Iterations(heavy)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/history_read", BM_BareHistory)
        ->Iterations(heavy)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("history/huge_window", BM_HugeHistory)
        ->Iterations(heavy)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/huge_history_read", BM_BareHugeHistory)
        ->Iterations(heavy)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("history/peak_memory", BM_HistoryMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("stats/by_date_month", BM_StatsByDate)
        ->Iterations(click)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/by_date_read", BM_BareStatsByDate)
        ->Iterations(click)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("stats/by_room", BM_StatsByRoom)->Iterations(click)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/by_room_read", BM_BareStatsByRoom)
        ->Iterations(click)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("frontdesk/checkin", BM_CheckIn)->Iterations(click)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/checkin_sql", BM_BareCheckIn)
        ->Iterations(click)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("frontdesk/checkin_reopen", BM_Reopen, u"Form8"_s, std::string("checkin.reopen"))
        ->Iterations(click)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("frontdesk/checkout", BM_CheckOut)->Iterations(click)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/checkout_sql", BM_BareCheckOut)
        ->Iterations(click)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("frontdesk/checkout_reopen", BM_Reopen, u"Form12"_s, std::string("checkout.reopen"))
        ->Iterations(click)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("setup/rooms_window", BM_RoomsWindow)->Iterations(click)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("setup/floors_window", BM_FloorsWindow)
        ->Iterations(click)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/rooms_floors_read", BM_BareRooms)
        ->Iterations(click)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("setup/backup", BM_Backup)->Iterations(proc)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/cp", BM_BareBackup)->Iterations(proc)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/cp_sync", BM_BareBackupSynced)
        ->Iterations(proc)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("board/refresh", BM_BoardRefresh)->Iterations(click)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/board_read", BM_BareBoard)->Iterations(click)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("history/search", BM_HistorySearch)->Iterations(click)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/history_search_read", BM_BareHistorySearch)
        ->Iterations(click)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("history/huge_search", BM_HugeSearch)->Iterations(click)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/huge_search_scan", BM_BareHugeSearch)
        ->Iterations(heavy)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("chart/year", BM_BusinessChart)->Iterations(click)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("chart/figures", BM_BusinessFigures)->Iterations(click)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/chart_read", BM_BareBusinessChart)
        ->Iterations(click)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("access/import", BM_AccessImport)->Iterations(heavy)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/libmdb_read", BM_BareAccessRead)
        ->Iterations(heavy)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("login/start_and_click", BM_Login)->Iterations(proc)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("baseline/empty_qt", BM_EmptyQt)->Iterations(proc)->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    quietPlatformMessages();
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--quick")
            g.quick = true;
        else if (a.rfind("--repeat=", 0) == 0) // more rounds, for profiling
            g.repeat = std::max(1, std::stoi(a.substr(9)));
        else if (a.rfind("--data=", 0) == 0)
            g.dataRoot = QString::fromStdString(a.substr(7));
        else
            rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    QApplication app(restCount, rest.data());
    QLocale::setDefault(conv::locale()); // as the program does
    if (g.dataRoot.isEmpty())
        g.dataRoot =
            QCoreApplication::applicationDirPath() + (g.quick ? u"/bench-data-quick"_s : u"/bench-data"_s);
    g.probe = QCoreApplication::applicationDirPath() + u"/quillon-bench-probe"_s;
    registerAllWindows();
    try {
        prepareData();
        printMachine();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    registerAll();
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printTable();
    return g_failed ? 1 : 0;
}
