#include "keyword_rows.h"

#include "app_files.h"
#include "controls.h"
#include "settings.h"
#include "texts.h"

#include <string>

namespace {

void showRow(int row, const char* word, const char* count) {
    SetWindowTextA(keywordEdits[row], word);
    SetWindowTextA(countEdits[row], count);
}

// The text is taken unchanged, spaces included; a word already in the set leaves it as it is.
void registerWord(int row, WordSet& words, const char* message, const char* caption) {
    char keyword[1024] = {};
    if (GetWindowTextA(keywordEdits[row], keyword, sizeof keyword) == 0)
        return showError(noKeywordMessage);
    words.insert(keyword);
    showInformation(message, caption);
}

} // namespace

void fillKeywordRows(const KeywordEngine& engine) {
    for (int i = 0; i < keywordRowsShown(); ++i) {
        if (engine.topWords[i].empty()) {
            showRow(i, "", "");
            continue;
        }
        showRow(i, engine.topWords[i].c_str(), std::to_string(engine.topCounts[i]).c_str());
    }
}

void registerUserWord(int row) {
    registerWord(row, userWords, userWordAddedMessage, userWordAddedCaption);
}

void registerExcludedWord(int row) {
    registerWord(row, ignoreWords, excludedWordAddedMessage, excludedWordAddedCaption);
}
