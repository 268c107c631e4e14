#include "keyword_rows.h"

#include "main_window.h"
#include "startup.h"

#include <string>

namespace {

// Shift-JIS texts of the messages.
const char noKeywordMessage[] = // キーワードがありません
    "\x83\x4c\x81\x5b\x83\x8f\x81\x5b\x83\x68\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
const char userWordAddedMessage[] = // ユーザー単語リストに追加しました
    "\x83\x86\x81\x5b\x83\x55\x81\x5b\x92\x50\x8c\xea\x83\x8a\x83\x58\x83\x67\x82\xc9\x92\xc7\x89"
    "\xc1\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
const char userWordCaption[] = "\x83\x86\x81\x5b\x83\x55\x81\x5b\x92\x50\x8c\xea"; // ユーザー単語
const char ignoreWordAddedMessage[] = // 除外リストに追加しました
    "\x8f\x9c\x8a\x4f\x83\x8a\x83\x58\x83\x67\x82\xc9\x92\xc7\x89\xc1\x82\xb5\x82\xdc\x82\xb5\x82"
    "\xbd";
const char ignoreWordCaption[] = "\x8f\x9c\x8a\x4f"; // 除外

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
    registerWord(row, userWords, userWordAddedMessage, userWordCaption);
}

void registerIgnoreWord(int row) {
    registerWord(row, ignoreWords, ignoreWordAddedMessage, ignoreWordCaption);
}
