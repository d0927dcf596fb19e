#include "frontdesk/frontdesk_windows.h"

#include "frontdesk/checkout_window.h"
#include "frontdesk/stay_entry_window.h"
#include "frontdesk/stay_list_window.h"
#include "ui/windows.h"

using namespace Qt::Literals::StringLiterals;

void registerFrontdeskWindows()
{
    ui::registerWindow(u"Form8"_s, [](QWidget *owner) { return new Form8(owner); });
    ui::registerWindow(u"Form9"_s, [](QWidget *owner) { return new Form9(owner); });
    ui::registerWindow(u"Form10"_s, [](QWidget *owner) { return new Form10(owner); });
    ui::registerWindow(u"Form11"_s, [](QWidget *owner) { return new Form11(owner); });
    ui::registerWindow(u"Form12"_s, [](QWidget *owner) { return new Form12(owner); });
}
