#include "frontdesk/frontdesk_windows.h"

#include "frontdesk/checkout_window.h"
#include "frontdesk/stay_entry_window.h"
#include "frontdesk/stay_list_window.h"
#include "ui/windows.h"

using namespace Qt::Literals::StringLiterals;

void registerFrontdeskWindows()
{
    ui::registerWindow(u"Form8"_s, [](QWidget *owner) { return new CheckInWindow(owner); });
    ui::registerWindow(u"Form9"_s, [](QWidget *owner) { return new CurrentGuestsWindow(owner); });
    ui::registerWindow(u"Form10"_s, [](QWidget *owner) { return new ReservationWindow(owner); });
    ui::registerWindow(u"Form11"_s, [](QWidget *owner) { return new ReservationListWindow(owner); });
    ui::registerWindow(u"Form12"_s, [](QWidget *owner) { return new CheckOutWindow(owner); });
}
