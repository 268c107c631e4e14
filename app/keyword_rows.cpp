#include "keyword_rows.h"

#include "app_files.h"
#include "controls.h"
#include "settings.h"
#include "texts.h"

#include <string>

namespace {

void showRow(int row, const std::string& word, const std::string& count) {
    setControlText(keywordEdits[row], word);
    setControlText(countEdits[row], count);
}

// The text is taken as typed, spaces included; a word already in the list leaves it as it is.
void registerWord(int row, WordList& list, const char* message, const char* caption) {
    std::string keyword = controlText(keywordEdits[row]);
    if (keyword.empty()) return showError(noKeywordMessage);
    if (!addWord(list, keyword)) return showError(unwritableWordMessage);
    showInformation(message, caption);
}

} // namespace

void fillKeywordRows(const std::vector<RankingRow>& rows) {
    for (int i = 0; i < keywordRowsShown(); ++i) {
        if (static_cast<size_t>(i) >= rows.size()) {
            showRow(i, "", "");
            continue;
        }
        showRow(i, rows[i].word, std::to_string(rows[i].count));
    }
}

void registerUserWord(int row) {
    registerWord(row, userWords, userWordAddedMessage, userWordAddedCaption);
}

void registerExcludedWord(int row) {
    registerWord(row, excludedWords, excludedWordAddedMessage, excludedWordAddedCaption);
}
