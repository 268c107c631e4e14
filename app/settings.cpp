#include "settings.h"

#include "app_files.h"
#include "settings_file.h"
#include "texts.h"
#include "whole_file.h"

#include <windows.h>

#include <cerrno>
#include <string>

int keywordRowsShown() {
    return appSettings.keywordCounts > 0 ? appSettings.keywordCounts : 0;
}

void loadSettings() {
    const std::wstring path = widePath(iniPath.c_str());
    for (const SettingEntry& entry : settingEntries)
        *entry.field = static_cast<int>(GetPrivateProfileIntW(wideText(entry.section).c_str(),
                                                              wideText(entry.key).c_str(),
                                                              entry.defaultValue, path.c_str()));
    if (appSettings.keywordCounts > maxKeywordRows) appSettings.keywordCounts = maxKeywordRows;
}

void saveSettings() {
    // A file that is there but cannot be read is never replaced by one made without it.
    std::string oldText;
    if (!readWholeFile(iniPath.c_str(), oldText) && errno != ENOENT) return;
    saveWholeFile(iniPath.c_str(), mergeSettings(oldText));
}
