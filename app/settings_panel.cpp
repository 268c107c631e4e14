#include "settings_panel.h"

#include "controls.h"
#include "settings.h"
#include "texts.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

// The panel shows lengths in characters: a full-width character takes two bytes.
constexpr int bytesPerCharacter[6] = {1, 1, 2, 2, 2, 2};

void showNumber(HWND edit, int value) {
    char text[1024] = {};
    std::snprintf(text, sizeof text, "%d", value);
    setControlText(edit, text);
}

void showSwitch(HWND check, int value) {
    SendMessageW(check, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Leading white space, one sign, then the digits up to the first other byte; no digits give 0.
// The edit boxes take four digits when typed, but text set from outside may be longer: the value
// stops just outside the 32-bit range instead of overflowing.
long long leadingNumber(const std::string& typed) {
    const char* text = typed.c_str();
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = *text == '-';
    if (*text == '+' || *text == '-') ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = std::min(value * 10 + (*text - '0'), INT_MAX + 1LL);
    return negative ? -value : value;
}

int readNumber(HWND edit, int factor) {
    return static_cast<int>(
        std::clamp(leadingNumber(controlText(edit)) * factor, 1LL * INT_MIN, 1LL * INT_MAX));
}

int readSwitch(HWND check) {
    return SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

bool panelHasEmptyField() {
    for (HWND edit : minBytesEdits)
        if (GetWindowTextLengthW(edit) == 0) return true;
    return GetWindowTextLengthW(minCountEdit) == 0;
}

void returnToMainControls() {
    enableMainControls(true);
    enableSettingsPanel(false);
}

// Reads the panel's controls into appSettings, the full-width lengths doubled back into bytes.
void readSettingsPanel() {
    for (int i = 0; i < 6; ++i)
        appSettings.minBytes[i] = readNumber(minBytesEdits[i], bytesPerCharacter[i]);
    appSettings.toDouble = readSwitch(toFullWidthCheck);
    appSettings.toUpper = readSwitch(toUpperCheck);
    appSettings.minimumCounts = readNumber(minCountEdit, 1);
}

} // namespace

void showSettings() {
    for (int i = 0; i < 6; ++i)
        showNumber(minBytesEdits[i], appSettings.minBytes[i] / bytesPerCharacter[i]);
    showSwitch(toFullWidthCheck, appSettings.toDouble);
    showSwitch(toUpperCheck, appSettings.toUpper);
    showNumber(minCountEdit, appSettings.minimumCounts);
}

void onSettingsButton() {
    enableMainControls(false);
    enableSettingsPanel(true);
}

void onApplyButton() {
    if (panelHasEmptyField()) return showError(emptyFieldMessage);
    readSettingsPanel();
    returnToMainControls();
}

void onCancelButton() {
    showSettings();
    returnToMainControls();
}
