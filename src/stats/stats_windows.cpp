#include "stats/stats_windows.h"

#include "data/ui/windows.h"

void registerStatsWindows()
{
}
