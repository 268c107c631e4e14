#include "chain_cutter.h"

#include "segmentation.h"
#include "shift_jis.h"

#include <algorithm>

namespace {

// A character as one number: a single byte, or lead byte << 8 | second byte.
template <class IsWanted> bool allCharacters(std::string_view word, IsWanted isWanted) {
    for (size_t i = 0; i < word.size();) {
        size_t length = charLengthAt(word, i);
        unsigned code = static_cast<unsigned char>(word[i]);
        if (length == 2) code = code << 8 | static_cast<unsigned char>(word[i + 1]);
        if (!isWanted(code)) return false;
        i += length;
    }
    return true;
}

// Full-width ァ to ヶ (0x837F, in their midst, is no character) and ー; half-width ｦ to ﾝ, ｰ and
// the sound marks ﾞ ﾟ.
bool isKatakana(unsigned code) {
    return (code >= 0x8340 && code <= 0x8396 && code != 0x837F) || code == 0x815B ||
           (code >= 0xA6 && code <= 0xDF);
}

// 0-9, A-Z and a-z in either width.
bool isLetterOrDigit(unsigned code) {
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
           (code >= 'a' && code <= 'z') || (code >= 0x824F && code <= 0x8258) ||
           (code >= 0x8260 && code <= 0x8279) || (code >= 0x8281 && code <= 0x829A);
}

// Kanji words as they are cut; katakana words and words of letters and digits only when they
// hold nothing else: their classes also take 々, punctuation and symbols.
bool isChainWord(CharClass charClass, std::string_view word) {
    switch (charClass) {
    case CharClass::Kanji:
        return true;
    case CharClass::Katakana:
    case CharClass::HalfWidthKatakana:
        return allCharacters(word, isKatakana);
    case CharClass::HalfWidthAlphanumeric:
    case CharClass::FullWidthAlphanumeric:
        return allCharacters(word, isLetterOrDigit);
    default:
        return false;
    }
}

} // namespace

ChainCutter::ChainCutter(const CompoundRunOptions& options, const WordTable& excludedWords,
                         WordTable& counts, WordBatch* batches)
    : options(options.words), minimums(minimumWordBytes(options.words)),
      maxWords(static_cast<size_t>(std::max(options.maxWords, 2))),
      byteClassTable(byteClasses(options.words.englishMode)), excludedWords(excludedWords),
      chains(counts, batches), links(maxWords) {}

// A chain never runs from one sentence into the next.
void ChainCutter::sentence(std::string_view text, bool inBlock, std::int64_t) {
    sentenceInBlock = inBlock;
    chainLength = 0;
    forEachClassRun(text, byteClassTable, [this](CharClass charClass, std::string_view word) {
        addWord(charClass, word);
    });
}

bool ChainCutter::breaksChain(CharClass charClass, std::string_view word) const {
    return !isChainWord(charClass, word) || !isRetained(charClass, word, minimums) ||
           (excludedWords.size() != 0 && excludedWords.countOf(word) != 0);
}

void ChainCutter::addWord(CharClass charClass, std::string_view word) {
    if (breaksChain(charClass, word)) {
        chainLength = 0;
        return;
    }
    Link& link = links[chainLength % maxWords];
    link.word = word;
    link.isConverted = isConverted(charClass, word, options, link.convertedWord);
    ++chainLength;
    countChainsEndingWith(link);
}

// wordsBack 0 is the last word of the chain.
const ChainCutter::Link& ChainCutter::linkBack(size_t wordsBack) const {
    return links[(chainLength - 1 - wordsBack) % maxWords];
}

// The words of a chain stand next to each other, so the chain as the text has it is the slice of
// the sentence from its first word to its last. Its converted form joins the converted form of
// each word that has one and the others as they are.
void ChainCutter::countChainsEndingWith(const Link& last) {
    const char* end = last.word.data() + last.word.size();
    bool anyConverted = last.isConverted;
    for (size_t words = 2; words <= std::min(chainLength, maxWords); ++words) {
        const Link& first = linkBack(words - 1);
        chains.add({first.word.data(), static_cast<size_t>(end - first.word.data())},
                   sentenceInBlock);
        anyConverted = anyConverted || first.isConverted;
        if (!anyConverted) continue;
        convertedChain.clear();
        for (size_t back = words; back-- > 0;) {
            const Link& link = linkBack(back);
            convertedChain += link.isConverted ? link.convertedWord : link.word;
        }
        chains.add(convertedChain, false);
    }
}
