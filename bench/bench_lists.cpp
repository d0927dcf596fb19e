// The reading paths: opening a connection, the history list, statistics, rooms and floors.
#include "bench_harness.h"

#include "data/connection.h"
#include "data/house_location.h"
#include "data/schema.h"
#include "hotel/history.h"
#include "hotel/setup.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/grid_fill.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <sqlite3.h>

using namespace Qt::Literals::StringLiterals;

// ---------------------------------------------------------------- connection

void BM_ConnectionOpen(benchmark::State &state)
{
    useDatabase(g.bigDir);
    Samples s;
    for (auto _ : state) {
        s.start();
        {
            Connection c;
            c.open(HouseLocation{g.bigDir});
        }
        s.stop();
    }
    record("connection.open", s.median());
    state.counters["median_ms"] = s.median();
}

void BM_BareOpen(benchmark::State &state)
{
    const QByteArray file = QFile::encodeName(fileIn(g.bigDir));
    Samples s;
    for (auto _ : state) {
        s.start();
        sqlite3 *db = nullptr;
        sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, "select salt, hash from quillon_access", -1, &st, nullptr);
        if (sqlite3_step(st) == SQLITE_ROW)
            benchmark::DoNotOptimize(sqlite3_column_blob(st, 1));
        sqlite3_finalize(st);
        sqlite3_close_v2(db);
        s.stop();
    }
    record("bare.open", s.median());
    state.counters["median_ms"] = s.median();
}

// ---------------------------------------------------------------- history

void BM_HistoryWindow(benchmark::State &state)
{
    useDatabase(g.bigDir);
    BenchSeam seam;
    Samples s;
    int rows = 0;
    for (auto _ : state) {
        try {
            s.start();
            QWidget *w = openWindow(u"Form13"_s);
            settle(); // first paint: ready to click
            s.stop();
            rows = child<FlexGrid>(w, u"MSFlexGrid2"_s)->Rows() - 1;
            closeWindow(w);
        } catch (const std::exception &e) {
            failBenchmark(state, e.what());
            break;
        }
    }
    if (rows != g.big.completedStays)
        failBenchmark(state, "history list shows " + std::to_string(rows) + " rows");
    record("history.window", s.median(), u"Form13"_s);
    state.counters["median_ms"] = s.median();
}

void BM_HistoryFill(benchmark::State &state)
{
    useDatabase(g.bigDir);
    Samples s;
    FlexGrid grid;
    for (auto _ : state) {
        s.start();
        grid::fill(&grid, grid::completedStayHeader(), grid::DefaultRowHeight,
                   hotel::history::list(hotel::session(), {}).value());
        s.stop();
    }
    record("history.fill", s.median());
    state.counters["median_ms"] = s.median();
}

void BM_BareHistory(benchmark::State &state)
{
    Samples s;
    for (auto _ : state) {
        s.start();
        bare::Database db(fileIn(g.bigDir));
        const bare::ReadResult r = db.readAsText(historySelect().toUtf8().constData());
        benchmark::DoNotOptimize(r.textBytes);
        s.stop();
    }
    record("bare.history", s.median());
    state.counters["median_ms"] = s.median();
}

// A million stays: the window to its first paint, then a jump to the last row that picks it
// and shows it painted.
void BM_HugeHistory(benchmark::State &state)
{
    useDatabase(g.hugeDir);
    BenchSeam seam;
    Samples open, counted, jump;
    int rows = 0;
    for (auto _ : state) {
        try {
            const FirstPaint painted(u"MSFlexGrid2"_s);
            open.start();
            counted.start();
            QWidget *w = openWindow(u"Form13"_s);
            FlexGrid *list = child<FlexGrid>(w, u"MSFlexGrid2"_s);
            settle();                // the first screenful drawn
            rows = list->Rows() - 1; // and counted, if it was not yet
            counted.stop();
            if (!painted.painted())
                throw std::runtime_error("the list was not painted");
            open.stopAt(painted.at());
            jump.start();
            list->selectRecord(list->Rows() - 1);
            list->scrollToBottom();
            settle();
            jump.stop();
            if (list->RowSel() != list->Rows() - 1 || list->text(list->Rows() - 1, 0).isEmpty())
                throw std::runtime_error("the last row was not picked");
            closeWindow(w);
        } catch (const std::exception &e) {
            failBenchmark(state, e.what());
            break;
        }
    }
    if (rows != g.huge.completedStays)
        failBenchmark(state, "history list shows " + std::to_string(rows) + " rows");
    record("huge.window", open.median(), u"Form13 to its list's first paint"_s);
    record("huge.window.counted", counted.median(), u"Form13 to its count and totals shown"_s);
    record("huge.last", jump.median(), u"selectRecord(last), scrolled, painted"_s);
    state.counters["median_ms"] = open.median();
}

void BM_BareHugeHistory(benchmark::State &state)
{
    Samples s;
    for (auto _ : state) {
        s.start();
        bare::Database db(fileIn(g.hugeDir));
        const bare::ReadResult r = db.readAsText(historySelect().toUtf8().constData());
        benchmark::DoNotOptimize(r.textBytes);
        s.stop();
    }
    record("bare.huge", s.median());
    state.counters["median_ms"] = s.median();
}

void BM_HistoryMemory(benchmark::State &state)
{
    for (auto _ : state) {
        const ProcessResult p = runProcess({g.probe.toStdString(), "peak-history", g.bigDir.toStdString()});
        auto v = probeValues(p.out);
        if (p.status != 0 || !v.count("rss_peak")) {
            failBenchmark(state, "memory probe failed: " + p.out);
            return;
        }
        const double grown = double(v["rss_peak"] - v["rss_before"]);
        record("history.memory", grown, u"Form13"_s);
        record("bare.text_bytes", double(v["text_bytes"]), u"%1 rows as UTF-8 text"_s.arg(v["rows"]));
        record("history.first", double(v["first_open_ns"]) / 1e6, u"the first open in a fresh process"_s);
        state.counters["peak_growth_MB"] = grown / 1048576.0;
        state.counters["text_MB"] = double(v["text_bytes"]) / 1048576.0;
    }
}

// ---------------------------------------------------------------- statistics

// Clicks the window's "查询" (Command1) as set up by `prepare`: the handler alone, and the
// handler with the repaint of the list that follows it.
static void clickQuery(benchmark::State &state, const QString &form,
                       const std::function<void(QWidget *)> &prepare, const std::string &name)
{
    useDatabase(g.bigDir);
    BenchSeam seam;
    Samples s, shown;
    int rows = -1;
    try {
        QWidget *w = openWindow(form);
        settle();
        prepare(w);
        QPushButton *query = child<QPushButton>(w, u"Command1"_s);
        for (auto _ : state) {
            s.start();
            shown.start();
            query->click();
            s.stop();
            settle();
            shown.stop();
            rows = child<FlexGrid>(w, u"MSFlexGrid2"_s)->Rows() - 1;
        }
        closeWindow(w);
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    if (rows <= 0 && !g.quick)
        failBenchmark(state, form.toStdString() + " listed nothing");
    record(name, s.median(), u"%1 Command1_Click, %2 rows"_s.arg(form).arg(rows));
    record(name + ".shown", shown.median(), u"the click, then the list repainted"_s);
    state.counters["median_ms"] = s.median();
}

void BM_StatsByDate(benchmark::State &state)
{
    clickQuery(
        state, u"Form16"_s,
        [](QWidget *w) {
            child<DatePicker>(w, u"DTPicker1"_s)->setValue(MonthStart);
            child<DatePicker>(w, u"DTPicker2"_s)->setValue(MonthEnd);
        },
        "stats.date");
}

void BM_BareStatsByDate(benchmark::State &state)
{
    Samples s;
    for (auto _ : state) {
        s.start();
        bare::Database db(fileIn(g.bigDir));
        const bare::ReadResult r =
            db.readAsText("select * from 旅客退房 where 入住时间 between ? and ? order by 退房ID desc",
                          {storage(MonthStart).toStdString(), storage(MonthEnd).toStdString()});
        benchmark::DoNotOptimize(r.textBytes);
        s.stop();
    }
    record("bare.stats.date", s.median());
    state.counters["median_ms"] = s.median();
}

// The room whose stays are listed: one in the middle of the house.
static int statsRoomIndex()
{
    return g.big.rooms / 2;
}

void BM_StatsByRoom(benchmark::State &state)
{
    const QString number = benchdata::roomNumber(statsRoomIndex(), g.big.floors, g.big.rooms);
    clickQuery(
        state, u"Form17"_s, [&number](QWidget *w) { child<QLineEdit>(w, u"Text1"_s)->setText(number); },
        "stats.room");
}

void BM_BareStatsByRoom(benchmark::State &state)
{
    const std::string number =
        benchdata::roomNumber(statsRoomIndex(), g.big.floors, g.big.rooms).toStdString();
    Samples s;
    for (auto _ : state) {
        s.start();
        bare::Database db(fileIn(g.bigDir));
        db.readAsText("select * from 房间 where 房间号=?", {number});
        const std::int64_t key = db.scalar("select 房间ID from 房间 where 房间号=?", {number});
        const bare::ReadResult r =
            db.readAsText("select * from 旅客退房 where 房间ID=? order by 退房ID desc", {key});
        benchmark::DoNotOptimize(r.textBytes);
        s.stop();
    }
    record("bare.stats.room", s.median());
    state.counters["median_ms"] = s.median();
}

// ---------------------------------------------------------------- setup windows

void BM_RoomsWindow(benchmark::State &state)
{
    useDatabase(g.roomsDir);
    BenchSeam seam;
    Samples s;
    Samples fill;
    int rows = 0;
    try {
        for (auto _ : state) {
            s.start();
            QWidget *w = openWindow(u"Form6"_s);
            settle();
            s.stop();
            rows = child<FlexGrid>(w, u"MSFlexGrid1"_s)->Rows() - 1;
            closeWindow(w);
            FlexGrid grid;
            fill.start();
            grid::fill(&grid, grid::roomHeader(), grid::DefaultRowHeight,
                       hotel::listRooms(hotel::session()).value());
            fill.stop();
        }
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    if (rows != g.rooms.rooms)
        failBenchmark(state, "rooms list shows " + std::to_string(rows) + " rows");
    record("rooms.window", s.median(), u"Form6: construct, load, first paint"_s);
    record("rooms.fill", fill.median(), u"grid::fill of 房间: count, first page"_s);
    state.counters["median_ms"] = s.median();
}

void BM_FloorsWindow(benchmark::State &state)
{
    useDatabase(g.roomsDir);
    BenchSeam seam;
    Samples s;
    Samples fill;
    int rows = 0;
    try {
        for (auto _ : state) {
            s.start();
            QWidget *w = openWindow(u"Form5"_s);
            settle();
            s.stop();
            rows = child<FlexGrid>(w, u"MSFlexGrid1"_s)->Rows() - 1;
            closeWindow(w);
            FlexGrid grid;
            fill.start();
            grid::fill(&grid, u"序号|^楼层名称           "_s, grid::DefaultRowHeight,
                       hotel::listFloors(hotel::session()).value());
            fill.stop();
        }
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    if (rows != g.rooms.floors)
        failBenchmark(state, "floors list shows " + std::to_string(rows) + " rows");
    record("floors.window", s.median(), u"Form5: construct, load, first paint"_s);
    record("floors.fill", fill.median(), u"grid::fill of 楼层: count, every row in one read"_s);
    state.counters["median_ms"] = s.median();
}

void BM_BareRooms(benchmark::State &state)
{
    Samples rooms, floors;
    for (auto _ : state) {
        rooms.start();
        {
            bare::Database db(fileIn(g.roomsDir));
            benchmark::DoNotOptimize(db.readAsText("select * from 房间").textBytes);
            benchmark::DoNotOptimize(db.readAsText("select * from 楼层").textBytes);
        }
        rooms.stop();
        floors.start();
        {
            bare::Database db(fileIn(g.roomsDir));
            benchmark::DoNotOptimize(db.readAsText("select * from 楼层").textBytes);
        }
        floors.stop();
    }
    record("bare.rooms", rooms.median());
    record("bare.floors", floors.median());
    state.counters["median_ms"] = rooms.median();
}
