#include "settings.h"

#include "app_files.h"
#include "replace_file.h"
#include "settings_file.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// The whole file, or nothing when there is none. False when it exists but cannot be read, so
// that a save never replaces a file it could not see.
bool readExistingFile(const char* path, std::string& text) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
    char block[4096];
    size_t size;
    while ((size = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, size);
    bool readWhole = !std::ferror(file);
    std::fclose(file);
    return readWhole;
}

bool writeNewFile(const char* path, const std::string& text) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fflush(file) == 0 && written;
    return std::fclose(file) == 0 && written;
}

} // namespace

int keywordRowsShown() {
    return appSettings.keywordCounts > 0 ? appSettings.keywordCounts : 0;
}

void loadSettings() {
    for (const SettingEntry& entry : settingEntries)
        *entry.field = static_cast<int>(
            GetPrivateProfileIntA(entry.section, entry.key, entry.defaultValue, iniPath));
    if (appSettings.keywordCounts > maxKeywordRows) appSettings.keywordCounts = maxKeywordRows;
}

void saveSettings() {
    std::string oldText;
    if (!readExistingFile(iniPath, oldText)) return;
    std::string temporaryPath = std::string(iniPath) + ".tmp";
    if (!writeNewFile(temporaryPath.c_str(), mergeSettings(oldText)) ||
        !replaceFile(temporaryPath.c_str(), iniPath))
        std::remove(temporaryPath.c_str());
}
