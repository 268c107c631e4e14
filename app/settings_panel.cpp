#include "settings_panel.h"

#include "main_window.h"
#include "startup.h"

#include <cstdio>

namespace {

// The panel shows lengths in characters: a full-width character takes two bytes.
constexpr int bytesPerCharacter[6] = {1, 1, 2, 2, 2, 2};

void showNumber(HWND edit, int value) {
    char text[1024] = {};
    std::snprintf(text, sizeof text, "%d", value);
    SetWindowTextA(edit, text);
}

void showSwitch(HWND check, int value) {
    SendMessageA(check, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

} // namespace

void showSettings() {
    for (int i = 0; i < 6; ++i)
        showNumber(minBytesEdits[i], appSettings.minBytes[i] / bytesPerCharacter[i]);
    showSwitch(toDoubleCheck, appSettings.toDouble);
    showSwitch(toUpperCheck, appSettings.toUpper);
    showNumber(minCountEdit, appSettings.minimumCounts);
}

void enableSettingsPanel(bool enable) {
    const HWND panel[] = {settingsGroup,    minBytesLabel,    classLabels[0],   classLabels[1],
                          classLabels[2],   classLabels[3],   classLabels[4],   classLabels[5],
                          minBytesEdits[0], minBytesEdits[1], minBytesEdits[2], minBytesEdits[3],
                          minBytesEdits[4], minBytesEdits[5], minCountLabel,    toDoubleCheck,
                          toUpperCheck,     minCountEdit,     applyButton,      cancelButton};
    for (HWND control : panel) EnableWindow(control, enable);
    InvalidateRect(mainWindow, nullptr, TRUE);
    if (enable) SetFocus(minBytesEdits[0]);
}
