#include "stats/stats_windows.h"

#include "stats/date_stats_window.h"
#include "stats/room_stats_window.h"
#ifdef QUILLON_CHARTS
#include "stats/business_chart_window.h"
#endif
#include "ui/windows.h"

using namespace Qt::Literals::StringLiterals;

void registerStatsWindows()
{
    ui::registerWindow(u"Form16"_s, [](QWidget *owner) { return new DateStatsWindow(owner); });
    ui::registerWindow(u"Form17"_s, [](QWidget *owner) { return new RoomStatsWindow(owner); });
#ifdef QUILLON_CHARTS
    ui::registerWindow(u"BusinessChart"_s, [](QWidget *owner) { return new BusinessChartWindow(owner); });
#endif
}
