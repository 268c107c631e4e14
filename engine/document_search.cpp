#include "keyword_engine.h"

#include "conversions.h"
#include "shift_jis.h"

namespace {

// "// ※※※※※ 検索結果 開始 ※※※※※ //" and "... 終了 ..."
constexpr std::string_view searchHeader =
    "// \x81\xa6\x81\xa6\x81\xa6\x81\xa6\x81\xa6 \x8c\x9f\x8d\xf5\x8c\x8b\x89\xca \x8a\x4a\x8e\x6e "
    "\x81\xa6\x81\xa6\x81\xa6\x81\xa6\x81\xa6 //\r\n\r\n";
constexpr std::string_view searchFooter =
    "// \x81\xa6\x81\xa6\x81\xa6\x81\xa6\x81\xa6 \x8c\x9f\x8d\xf5\x8c\x8b\x89\xca \x8f\x49\x97\xb9 "
    "\x81\xa6\x81\xa6\x81\xa6\x81\xa6\x81\xa6 //\r\n";

} // namespace

void KeywordEngine::writeSearchHeader() {
    writeOutput(searchHeader);
}

void KeywordEngine::writeSearchFooter() {
    writeOutput(searchFooter);
}

// The empty keyword matches every sentence. Otherwise the sentence, converted as the keyword was,
// must hold the keyword at a character boundary.
void KeywordEngine::matchSentence() {
    if (searchNeedle.empty()) {
        sentenceHit = 1;
        return;
    }
    std::string_view text = sentenceText;
    if (toDouble == 1) {
        toFullWidthKana(text, convertedText);
        text = convertedText;
    }
    if (toUpper == 1) {
        toUpperCase(text, convertedText2);
        text = convertedText2;
    }
    if (findOnCharBoundary(text, searchNeedle) != std::string_view::npos) sentenceHit = 1;
}

void KeywordEngine::writeResultLine() {
    line = std::to_string(lineCount);
    line += "L : ";
    line += sentenceText;
    line += "\r\n\r\n";
    writeOutput(line);
}
