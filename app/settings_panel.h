#pragma once

// Writes appSettings into the panel's controls, the full-width lengths in characters.
void showSettings();

// Reads the panel's controls into appSettings, the full-width lengths doubled back into bytes.
void readSettingsPanel();

// Enables or disables the twenty controls of the panel; enabling moves the focus to its first
// field.
void enableSettingsPanel(bool enable);

// 適　用: takes the panel's values when every field holds text, and returns to the main controls.
// The fields keep the text as typed.
void onApplyButton();

// 取　消: shows appSettings again and returns to the main controls.
void onCancelButton();
