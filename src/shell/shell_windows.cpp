#include "shell/shell_windows.h"

#include "finance/finance_windows.h"
#include "frontdesk/frontdesk_windows.h"
#include "frontdesk/history/history_windows.h"
#include "hotel/session.h"
#include "setup/setup_windows.h"
#include "shell/about_window.h"
#include "stats/stats_windows.h"
#include "ui/windows.h"

using namespace Qt::Literals::StringLiterals;

void registerAllWindows()
{
    registerSetupWindows();
    registerFrontdeskWindows();
    registerHistoryWindows();
    registerFinanceWindows();
    registerStatsWindows();
    ui::registerWindow(u"Form19"_s, [](QWidget *owner) {
        const hotel::Session *desk = hotel::session();
        return new AboutWindow(desk ? desk->location() : HouseLocation(), owner);
    });
}
