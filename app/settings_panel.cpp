#include "settings_panel.h"

#include "commands.h"
#include "main_window.h"
#include "startup.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

const char emptyFieldMessage[] = // 全ての項目に値を入力してください
    "\x91\x53\x82\xc4\x82\xcc\x8d\x80\x96\xda\x82\xc9\x92\x6c\x82\xf0\x93\xfc\x97\xcd\x82\xb5\x82"
    "\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2";

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

// Leading white space, one sign, then the digits up to the first other byte; no digits give 0.
// The edit boxes take four digits when typed, but text set from outside may be longer: the value
// stops just outside the 32-bit range instead of overflowing.
long long leadingNumber(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = *text == '-';
    if (*text == '+' || *text == '-') ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = std::min(value * 10 + (*text - '0'), INT_MAX + 1LL);
    return negative ? -value : value;
}

int readNumber(HWND edit, int factor) {
    char text[1024] = {};
    GetWindowTextA(edit, text, sizeof text);
    return static_cast<int>(std::clamp(leadingNumber(text) * factor, 1LL * INT_MIN, 1LL * INT_MAX));
}

int readSwitch(HWND check) {
    return SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

bool panelHasEmptyField() {
    for (HWND edit : minBytesEdits)
        if (GetWindowTextLengthA(edit) == 0) return true;
    return GetWindowTextLengthA(minCountEdit) == 0;
}

void returnToMainControls() {
    enableMainControls(true);
    enableSettingsPanel(false);
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

void readSettingsPanel() {
    for (int i = 0; i < 6; ++i)
        appSettings.minBytes[i] = readNumber(minBytesEdits[i], bytesPerCharacter[i]);
    appSettings.toDouble = readSwitch(toDoubleCheck);
    appSettings.toUpper = readSwitch(toUpperCheck);
    appSettings.minimumCounts = readNumber(minCountEdit, 1);
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
