#include "frontdesk/frontdesk_windows.h"

#include "data/ui/windows.h"

void registerFrontdeskWindows()
{
}
