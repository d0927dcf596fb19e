#include "setup/setup_windows.h"

#include "data/ui/windows.h"

void registerSetupWindows()
{
}
