#pragma once

// Writes appSettings into the panel's controls, the full-width lengths in characters.
void showSettings();

// Enables or disables the twenty controls of the panel; enabling moves the focus to its first
// field.
void enableSettingsPanel(bool enable);
