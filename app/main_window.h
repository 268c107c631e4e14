#pragma once

#include <windows.h>

bool registerMainWindowClass(HINSTANCE instance);

// Creates, shows and paints the main window with its controls. 1 on success, 0 on failure.
int createMainWindow(HINSTANCE instance, int showCommand);
