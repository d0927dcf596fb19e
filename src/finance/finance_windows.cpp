#include "finance/finance_windows.h"

#include "finance/cash_ledger_window.h"
#include "ui/windows.h"

using namespace Qt::Literals::StringLiterals;

void registerFinanceWindows()
{
    ui::registerWindow(u"Form14"_s, [](QWidget *owner) { return new CashLedger(ledgers::Takings, owner); });
    ui::registerWindow(u"Form15"_s,
                       [](QWidget *owner) { return new CashLedger(ledgers::Disbursements, owner); });
}
