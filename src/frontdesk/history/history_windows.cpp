#include "frontdesk/history/history_windows.h"

#include "data/ui/windows.h"

void registerHistoryWindows()
{
}
