#include "frontdesk/history/history_windows.h"

#include "frontdesk/history/history_window.h"
#include "ui/windows.h"

using namespace Qt::Literals::StringLiterals;

void registerHistoryWindows()
{
    ui::registerWindow(u"Form13"_s, [](QWidget *owner) { return new HistoryWindow(owner); });
}
