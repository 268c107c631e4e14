#pragma once

// Every text the window shows, and the two kinds of message box. The source is UTF-8; the window
// program is compiled with the execution character set CP932, so the program holds Shift-JIS. The
// window shows them through the wide functions, converted by the program's own table, so that
// they read the same on every Windows, whatever its code page for other programs.

#include <string>
#include <string_view>

// The window title, the name of the window class and the name of the single-instance mutex.
extern const char appTitle[];

// Captions of the controls. Between the two characters of the button captions stands a
// full-width space.
extern const char englishCaption[];
extern const char settingsCaption[];
extern const char targetCaption[];
extern const char browseCaption[];
extern const char runCaption[];
extern const char legendCaption[];
extern const char searchCaption[];
extern const char userWordCaption[];
extern const char excludeCaption[];
extern const char minBytesCaption[];
// By character class, in the order of AppSettings::minBytes.
extern const char* const classCaptions[6];
extern const char toFullWidthCaption[];
extern const char toUpperCaption[];
extern const char minCountCaption[];
extern const char applyCaption[];
extern const char cancelCaption[];

// Messages and the captions of their boxes.
extern const char secondInstanceMessage[];
extern const char userWordListMessage[]; // a list file failed, at start-up and at the close alike
extern const char excludedListMessage[];
extern const char noTargetMessage[];
extern const char finishedMessage[];
extern const char finishedCaption[];
extern const char editorFailedMessage[];
// The messages of the failed runs, by result code from 1 on.
extern const char* const runErrorMessages[4];
extern const char closeQuestion[];
extern const char confirmCaption[];
extern const char noKeywordMessage[];
extern const char userWordAddedMessage[];
extern const char userWordAddedCaption[];
extern const char excludedWordAddedMessage[];
extern const char excludedWordAddedCaption[];
extern const char emptyFieldMessage[];
extern const char unwritableWordMessage[]; // a registered word that a Shift-JIS list cannot hold

// Code page 932 text in the UTF-16 form that the wide functions take.
std::wstring wideText(std::string_view codePage932);

// UTF-16 text from Windows, a path or what was typed, in UTF-8.
std::string utf8Text(std::wstring_view text);

// Shows an error as every error message of the program: caption エラー, warning icon, OK button,
// task-modal, no owner window.
void showError(const char* text);

// Shows a confirmation of success: information icon, OK button, task-modal, no owner window.
void showInformation(const char* text, const char* caption);
