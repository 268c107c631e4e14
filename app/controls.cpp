#include "controls.h"

#include "text_encoding.h"
#include "texts.h"

#include <initializer_list>

HINSTANCE appInstance;
HWND mainWindow;

HWND englishCheck;
HWND settingsButton;
HWND targetLabel;
HWND targetEdit;
HWND browseButton;
HWND runButton;
HWND legendLabel;

HWND rankLabels[maxKeywordRows];
HWND keywordEdits[maxKeywordRows];
HWND countEdits[maxKeywordRows];
HWND searchButtons[maxKeywordRows];
HWND userWordButtons[maxKeywordRows];
HWND excludeButtons[maxKeywordRows];

HWND settingsGroup;
HWND minBytesLabel;
HWND classLabels[6];
HWND minBytesEdits[6];
HWND toFullWidthCheck;
HWND toUpperCheck;
HWND minCountLabel;
HWND minCountEdit;
HWND applyButton;
HWND cancelButton;

std::string controlText(HWND control) {
    constexpr size_t bufferSize = 1024;
    wchar_t text[bufferSize] = {};
    GetWindowTextW(control, text, bufferSize);
    std::string utf8 = utf8Text(text);
    size_t kept = 0, bytes = 0;
    while (kept < utf8.size()) {
        size_t length = 1;
        while (kept + length < utf8.size() && (utf8[kept + length] & 0xC0) == 0x80) ++length;
        bytes += toCodePage932(TextEncoding::Utf8, utf8.substr(kept, length)).size();
        if (bytes >= bufferSize) break;
        kept += length;
    }
    utf8.resize(kept);
    return utf8;
}

void setControlText(HWND control, std::string_view codePage932) {
    SetWindowTextW(control, wideText(codePage932).c_str());
}

void enableMainControls(bool enable) {
    for (HWND control : {englishCheck, settingsButton, targetLabel, targetEdit, browseButton,
                         runButton, legendLabel})
        EnableWindow(control, enable);
    for (int i = 0; i < keywordRowsShown(); ++i)
        for (HWND control : {rankLabels[i], keywordEdits[i], countEdits[i], searchButtons[i],
                             userWordButtons[i], excludeButtons[i]})
            EnableWindow(control, enable);
    InvalidateRect(mainWindow, nullptr, TRUE);
    if (enable) SetFocus(targetEdit);
}

void enableSettingsPanel(bool enable) {
    const HWND panel[] = {settingsGroup,    minBytesLabel,    classLabels[0],   classLabels[1],
                          classLabels[2],   classLabels[3],   classLabels[4],   classLabels[5],
                          minBytesEdits[0], minBytesEdits[1], minBytesEdits[2], minBytesEdits[3],
                          minBytesEdits[4], minBytesEdits[5], minCountLabel,    toFullWidthCheck,
                          toUpperCheck,     minCountEdit,     applyButton,      cancelButton};
    for (HWND control : panel) EnableWindow(control, enable);
    InvalidateRect(mainWindow, nullptr, TRUE);
    if (enable) SetFocus(minBytesEdits[0]);
}
