#pragma once

// Writes appSettings into the panel's controls, the full-width lengths in characters.
void showSettings();

// 設　定: the panel takes the focus, the rest of the window waits.
void onSettingsButton();

// 適　用: takes the panel's values when every field holds text, and returns to the main controls.
// The fields keep the text as typed.
void onApplyButton();

// 取　消: shows appSettings again and returns to the main controls.
void onCancelButton();
