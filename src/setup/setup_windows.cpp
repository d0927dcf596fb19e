#include "setup/setup_windows.h"

#include "setup/backup_window.h"
#include "setup/company_window.h"
#include "setup/data_init_window.h"
#include "setup/floors_window.h"
#include "setup/operators_window.h"
#include "setup/record_window.h"
#include "setup/restore_window.h"
#include "setup/rooms_window.h"
#include "ui/windows.h"

using namespace Qt::Literals::StringLiterals;

void registerSetupWindows()
{
    ui::registerWindow(u"Form3"_s, [](QWidget *owner) { return new CompanyWindow(owner); });
    ui::registerWindow(u"Form4"_s, [](QWidget *owner) { return new OperatorsWindow(owner); });
    ui::registerWindow(u"Form5"_s, [](QWidget *owner) { return new FloorsWindow(owner); });
    ui::registerWindow(u"Form6"_s, [](QWidget *owner) { return new RoomsWindow(owner); });
    ui::registerWindow(u"Form7"_s, [](QWidget *owner) { return new BackupWindow(owner); });
    ui::registerWindow(u"Form20"_s, [](QWidget *owner) { return new DataInitWindow(owner); });
    ui::registerWindow(u"Form23"_s, [](QWidget *owner) { return new RestoreWindow(owner); });
    ui::registerWindow(u"OperationRecord"_s, [](QWidget *owner) { return new RecordWindow(owner); });
}
