// The business chart over a year of the years of stays.
#include "bench_harness.h"

#include "hotel/business_figures.h"
#include "ui/date_picker.h"

#include <QComboBox>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

// A whole year in the middle of the ten, day by day.
const QDateTime YearStart(QDate(2021, 1, 1), QTime(0, 0));
const QDateTime YearEnd(QDate(2021, 12, 31), QTime(23, 59, 59));

} // namespace

void BM_BusinessChart(benchmark::State &state)
{
    useDatabase(g.bigDir);
    BenchSeam seam;
    Samples s;
    try {
        QWidget *w = openWindow(u"BusinessChart"_s);
        settle();
        child<DatePicker>(w, u"DTPicker1"_s)->setValue(YearStart);
        child<DatePicker>(w, u"DTPicker2"_s)->setValue(YearEnd);
        child<QComboBox>(w, u"Combo1"_s)->setCurrentIndex(0);
        QPushButton *query = child<QPushButton>(w, u"Command1"_s);
        for (auto _ : state) {
            s.start();
            query->click();
            settle();
            s.stop();
        }
        closeWindow(w);
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    record("chart.year", s.median(), u"BusinessChart Command1_Click, 365 days, charts drawn"_s);
    state.counters["median_ms"] = s.median();
}

void BM_BusinessFigures(benchmark::State &state)
{
    useDatabase(g.bigDir);
    Samples s;
    int days = 0;
    for (auto _ : state) {
        s.start();
        const auto figures =
            hotel::businessFigures(hotel::session(), YearStart, YearEnd, hotel::BusinessFigures::Step::Day);
        s.stop();
        if (!figures.ok())
            failBenchmark(state, figures.message().toStdString());
        days = figures.ok() ? figures->days : 0;
    }
    record("chart.figures", s.median(), u"hotel::businessFigures, %1 days"_s.arg(days));
    state.counters["median_ms"] = s.median();
}

void BM_BareBusinessChart(benchmark::State &state)
{
    Samples s;
    for (auto _ : state) {
        s.start();
        bare::Database db(fileIn(g.bigDir));
        const bare::ReadResult r = db.readAsText(
            "select substr(入住时间, 1, 10), count(*), sum(实际金额), sum(实际入住天数) from 旅客退房 "
            "where 入住时间 between ? and ? group by 1",
            {storage(YearStart).toStdString(), storage(YearEnd).toStdString()});
        benchmark::DoNotOptimize(r.textBytes);
        s.stop();
    }
    record("bare.chart.year", s.median());
    state.counters["median_ms"] = s.median();
}
