#pragma once

// Makes this subsystem's windows known by name to the main window's menus.
void registerFrontdeskWindows();
