#include "finance/finance_windows.h"

#include "data/ui/windows.h"

void registerFinanceWindows()
{
}
