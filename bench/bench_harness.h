#pragma once

// What every benchmark shares: the data set-up, the results that the table is made from,
// and small helpers for driving windows.
#include "bench_data.h"
#include "bench_support.h"

#include <QDateTime>
#include <QString>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <map>
#include <stdexcept>
#include <string>

struct Setup {
    bool quick = false;
    QString dataRoot;
    benchdata::Shape big;   // the years of stays
    benchdata::Shape rooms; // the big house: 2,000 rooms on 100 floors
    benchdata::Shape huge;  // forty years of stays
    QString bigDir, roomsDir, hugeDir, workDir, backupDir;
    QString frontdeskDir; // a private copy of the big database, for the benchmarks that write
    qint64 backupBytes = 200LL * 1024 * 1024;
    int heavyIterations = 5;
    int clickIterations = 41;
    int processIterations = 9;
    QString probe;
    int repeat = 1;
};

extern Setup g;

struct Result {
    double value = 0; // milliseconds, or bytes for memory
    QString note;
};
extern std::map<std::string, Result> g_results;
extern bool g_failed;

void record(const std::string &name, double value, const QString &note = {});
void failBenchmark(benchmark::State &state, const std::string &what);
// Points the program's settings at the innkeep.mdb in `dir`.
void useDatabase(const QString &dir);
QString fileIn(const QString &dir);
QString workCopy(const QString &from, const QString &name);

template <class T> T *child(QWidget *window, const QString &name)
{
    T *c = window ? window->findChild<T *>(name) : nullptr;
    if (!c)
        throw std::runtime_error("no control " + name.toStdString());
    return c;
}

QWidget *openWindow(const QString &form);
void closeWindow(QWidget *w);
QString historySelect();
QString storage(const QDateTime &t);
// "key value" lines written by quillon-bench-probe.
std::map<std::string, long long> probeValues(const std::string &out);

// The month that statistics by date asks for, in the middle of the ten years.
inline const QDateTime MonthStart(QDate(2021, 3, 1), QTime(0, 0));
inline const QDateTime MonthEnd(QDate(2021, 3, 31), QTime(23, 59, 59));

// Reading: connection, history, statistics, rooms and floors (bench_lists.cpp).
void BM_ConnectionOpen(benchmark::State &state);
void BM_BareOpen(benchmark::State &state);
void BM_HistoryWindow(benchmark::State &state);
void BM_HistoryFill(benchmark::State &state);
void BM_BareHistory(benchmark::State &state);
void BM_HistoryMemory(benchmark::State &state);
void BM_HugeHistory(benchmark::State &state);
void BM_BareHugeHistory(benchmark::State &state);
void BM_StatsByDate(benchmark::State &state);
void BM_BareStatsByDate(benchmark::State &state);
void BM_StatsByRoom(benchmark::State &state);
void BM_BareStatsByRoom(benchmark::State &state);
void BM_RoomsWindow(benchmark::State &state);
void BM_FloorsWindow(benchmark::State &state);
void BM_BareRooms(benchmark::State &state);

// Writing and starting: check-in, check-out, backup, login (bench_actions.cpp).
void BM_CheckIn(benchmark::State &state);
void BM_BareCheckIn(benchmark::State &state);
void BM_CheckOut(benchmark::State &state);
void BM_BareCheckOut(benchmark::State &state);
void BM_Reopen(benchmark::State &state, const QString &form, const std::string &name);
void BM_Backup(benchmark::State &state);
void BM_BareBackup(benchmark::State &state);
void BM_BareBackupSynced(benchmark::State &state);
void BM_Login(benchmark::State &state);
void BM_EmptyQt(benchmark::State &state);

// The room board and the history search (bench_board.cpp).
void BM_BoardRefresh(benchmark::State &state);
void BM_BareBoard(benchmark::State &state);
void BM_HistorySearch(benchmark::State &state);
void BM_BareHistorySearch(benchmark::State &state);
void BM_HugeSearch(benchmark::State &state);
void BM_BareHugeSearch(benchmark::State &state);

// The old program's Access house brought across, and libmdb's bare read (bench_access.cpp).
void BM_AccessImport(benchmark::State &state);
void BM_BareAccessRead(benchmark::State &state);

// The business chart (bench_chart.cpp).
void BM_BusinessChart(benchmark::State &state);
void BM_BusinessFigures(benchmark::State &state);
void BM_BareBusinessChart(benchmark::State &state);
