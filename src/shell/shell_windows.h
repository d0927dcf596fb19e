#pragma once

// Registers every window of the program by name; call once before the login.
void registerAllWindows();
