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

// The text is taken unchanged, spaces included; a word already in the list leaves it as it is.
void registerWord(int row, WordList& list, const char* message, const char* caption) {
    char keyword[1024] = {};
    if (GetWindowTextA(keywordEdits[row], keyword, sizeof keyword) == 0)
        return showError(noKeywordMessage);
    addWord(list, keyword);
    showInformation(message, caption);
}

} // namespace

void fillKeywordRows(const std::vector<RankingRow>& rows) {
    for (int i = 0; i < keywordRowsShown(); ++i) {
        if (static_cast<size_t>(i) >= rows.size()) {
            showRow(i, "", "");
            continue;
        }
        showRow(i, rows[i].word.c_str(), std::to_string(rows[i].count).c_str());
    }
}

void registerUserWord(int row) {
    registerWord(row, userWords, userWordAddedMessage, userWordAddedCaption);
}

void registerExcludedWord(int row) {
    registerWord(row, ignoreWords, excludedWordAddedMessage, excludedWordAddedCaption);
}
