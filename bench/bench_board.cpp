// The room board's refresh on the big house, and the history search on the years of stays.
#include "bench_harness.h"

#include "hotel/history.h"
#include "shell/room_board.h"
#include "ui/flex_grid.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;

namespace {

// The big house with 70 % of its rooms occupied and one in ten reserved, on a copy of its own.
QString boardHouse()
{
    static QString dir;
    if (!dir.isEmpty())
        return dir;
    dir = workCopy(g.roomsDir, u"board"_s);
    bare::Database db(fileIn(dir), true);
    db.exec("begin");
    for (int room = 1; room <= g.rooms.rooms; ++room) {
        const char *table = room % 10 < 7 ? "旅客入住" : room % 10 == 7 ? "旅客预订" : nullptr;
        if (!table)
            continue;
        const std::string sql =
            std::string("insert into ") + table +
            " (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, 入住人数, 房间ID, 预付款)"
            " values (?, '个人', '身份证', '110101199001011234', '2026-01-14 14:30:00', 3, 1, ?, 500)";
        db.exec(sql.c_str(), {std::string("旅客") + std::to_string(room), std::int64_t(room)});
        db.exec("update 房间 set 房间状态=? where 房间ID=?",
                {std::int64_t(room % 10 < 7 ? 2 : 3), std::int64_t(room)});
    }
    db.exec("commit");
    return dir;
}

const char *const BoardReads[] = {
    "select 楼层名称 from 楼层 order by 楼层ID",
    "select 入住ID, 房间ID, 旅客姓名, 入住时间, 计划入住天数 from 旅客入住 order by 入住ID",
    "select 预订ID, 房间ID, 旅客姓名, 入住时间, 计划入住天数 from 旅客预订 order by 预订ID",
    "select 房间ID, 房间号, 房间类型, 所属楼层, 房间状态 from 房间",
};

// What a clerk types into the history's search box: a name, part of an ID number, a room.
const QString SearchTexts[] = {u"张伟"_s, u"1985"_s, u"101"_s};

// The same on a million stays: names typed whole and parts of ID numbers of three characters or
// more, which the trigram index answers, and two-character names, which its vocabulary answers.
const QString LongTexts[] = {u"欧阳秀英"_s, u"1985"_s, u"19850505"_s};
const QString ShortTexts[] = {u"张伟"_s, u"李娜"_s, u"王芳"_s};
// A surname alone, which picks one stay in sixteen.
const QString BroadText = u"欧阳"_s;

void pressEnter(QWidget *w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}

} // namespace

void BM_BoardRefresh(benchmark::State &state)
{
    useDatabase(boardHouse());
    BenchSeam seam;
    Samples unchanged, changed, repaint;
    RoomBoard board({});
    board.resize(1200, 800);
    board.show();
    settle();
    bare::Database writer(fileIn(boardHouse()), true);
    int flip = 0;
    for (auto _ : state) {
        unchanged.start();
        board.refresh();
        unchanged.stop();
        // Another desk frees or occupies a room: the board reads, compares and repaints.
        writer.exec("update 房间 set 房间状态=? where 房间ID=9", {std::int64_t(1 + (flip++ % 2))});
        changed.start();
        board.refresh();
        changed.stop();
        repaint.start();
        board.repaint();
        repaint.stop();
    }
    if (board.findChild<QWidget *>(u"RoomBoardView"_s) == nullptr)
        failBenchmark(state, "no board view");
    record("board.refresh", unchanged.median(), u"RoomBoard::refresh, nothing changed (the poll)"_s);
    record("board.changed", changed.median(), u"one room changed: read, compare, new tiles"_s);
    record("board.repaint", repaint.median(), u"the board drawn again (the tiles on screen)"_s);
    state.counters["median_ms"] = unchanged.median();
}

void BM_BareBoard(benchmark::State &state)
{
    const QString file = fileIn(boardHouse());
    Samples s;
    for (auto _ : state) {
        s.start();
        bare::Database db(file);
        for (const char *sql : BoardReads)
            benchmark::DoNotOptimize(db.readAsText(sql).textBytes);
        s.stop();
    }
    record("bare.board", s.median());
    state.counters["median_ms"] = s.median();
}

void BM_HistorySearch(benchmark::State &state)
{
    useDatabase(g.bigDir);
    BenchSeam seam;
    Samples s;
    QWidget *w = nullptr;
    int rows = 0;
    try {
        w = openWindow(u"Form13"_s);
        settle();
        auto *box = child<QLineEdit>(w, u"SearchBox"_s);
        auto *list = child<FlexGrid>(w, u"MSFlexGrid2"_s);
        int i = 0;
        for (auto _ : state) {
            box->setText(SearchTexts[i++ % 3]);
            s.start();
            pressEnter(box); // at once, as when typing pauses
            s.stop();
            rows = std::max(rows, list->Rows() - 1);
        }
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    closeWindow(w);
    if (rows <= 0 || rows >= g.big.completedStays)
        failBenchmark(state, "search lists " + std::to_string(rows) + " rows");
    record("history.search", s.median(), u"Form13 search box, one search (runs when typing pauses)"_s);
    state.counters["median_ms"] = s.median();
}

void BM_BareHistorySearch(benchmark::State &state)
{
    const QString file = fileIn(g.bigDir);
    Samples s;
    int i = 0;
    for (auto _ : state) {
        const hotel::history::Search filter = hotel::history::search(SearchTexts[i++ % 3]);
        const QByteArray sql =
            (u"select * from 旅客退房 where "_s + filter.where + u" order by 退房ID desc"_s).toUtf8();
        std::vector<bare::Value> values;
        for (const QVariant &p : std::as_const(filter.params))
            values.emplace_back(p.toString().toStdString());
        s.start();
        bare::Database db(file);
        benchmark::DoNotOptimize(db.readAsText(sql.constData(), values).textBytes);
        s.stop();
    }
    record("bare.history.search", s.median());
    state.counters["median_ms"] = s.median();
}

namespace {

// Each search typed into Form13 on the million stays, timed from Enter until the list shows its
// first screenful, and until its count and totals are shown too (a long list counts after).
void searchHuge(Samples &samples, Samples &counted, const QString *texts, int count, int rounds, int &found)
{
    QWidget *w = openWindow(u"Form13"_s);
    settle();
    auto *box = child<QLineEdit>(w, u"SearchBox"_s);
    auto *list = child<FlexGrid>(w, u"MSFlexGrid2"_s);
    for (int i = 0; i < rounds * count; ++i) {
        box->setText(texts[i % count]);
        samples.start();
        counted.start();
        pressEnter(box);
        samples.stop();
        settle();
        found = list->Rows() - 1; // counted, if it was not yet
        counted.stop();
    }
    closeWindow(w);
}

void bareSearchHuge(Samples &samples, const QString *texts, int count, int rounds)
{
    const QString file = fileIn(g.hugeDir);
    for (int i = 0; i < rounds * count; ++i) {
        // The scan the search did before it had an index.
        const hotel::history::Search filter =
            hotel::history::search(texts[i % count], dialect::Engine::Sqlite, false);
        const QByteArray sql =
            (u"select * from 旅客退房 where "_s + filter.where + u" order by 退房ID desc"_s).toUtf8();
        std::vector<bare::Value> values;
        for (const QVariant &p : std::as_const(filter.params))
            values.emplace_back(p.toString().toStdString());
        samples.start();
        bare::Database db(file);
        benchmark::DoNotOptimize(db.readAsText(sql.constData(), values).textBytes);
        samples.stop();
    }
}

} // namespace

void BM_HugeSearch(benchmark::State &state)
{
    useDatabase(g.hugeDir);
    BenchSeam seam;
    Samples longer, shorter, broad, longerCounted, shorterCounted, broadCounted;
    int found = 0;
    try {
        for (auto _ : state) {
            searchHuge(longer, longerCounted, LongTexts, 3, 1, found);
            searchHuge(shorter, shorterCounted, ShortTexts, 3, 1, found);
            searchHuge(broad, broadCounted, &BroadText, 1, 1, found);
        }
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    if (found <= 0 || found >= g.huge.completedStays)
        failBenchmark(state, "the surname lists " + std::to_string(found) + " rows");
    record("huge.search.long", longer.median(), u"Form13 search box: 欧阳秀英, 1985, 19850505"_s);
    record("huge.search.short", shorter.median(), u"Form13 search box: 张伟, 李娜, 王芳"_s);
    record("huge.search.broad", broad.median(), u"Form13 search box: 欧阳"_s);
    record("huge.search.long.counted", longerCounted.median(),
           u"the same until the count and totals are shown"_s);
    record("huge.search.short.counted", shorterCounted.median(),
           u"the same until the count and totals are shown"_s);
    record("huge.search.broad.counted", broadCounted.median(),
           u"the same until the count and totals are shown"_s);
    state.counters["median_ms"] = longer.median();
}

void BM_BareHugeSearch(benchmark::State &state)
{
    Samples longer, shorter, broad;
    for (auto _ : state) {
        bareSearchHuge(longer, LongTexts, 3, 1);
        bareSearchHuge(shorter, ShortTexts, 3, 1);
        bareSearchHuge(broad, &BroadText, 1, 1);
    }
    record("bare.huge.search.long", longer.median());
    record("bare.huge.search.short", shorter.median());
    record("bare.huge.search.broad", broad.median());
    state.counters["median_ms"] = longer.median();
}
