#pragma once

#include "settings.h"

// Opens the main window in this process as start-up does, with `settings` in appSettings.
// Returns false when it cannot be created.
bool openMainWindow(const AppSettings& settings);

// Destroys the main window, if it is still open, and drops the quit message that follows.
void closeMainWindow();
