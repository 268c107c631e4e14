#pragma once

// Makes every DLL loaded by name from now on come from the system folder only, so that a DLL
// placed beside the executable or in the current directory cannot stand in for a system one.
// False when the system cannot restrict the search.
bool restrictDllSearchToSystemFolder();

// Creates the named mutex owned by this process. False, after the message, when another instance
// holds it or it cannot be created.
bool claimSingleInstance();
