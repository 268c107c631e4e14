#include "keyword_run.h"

#include "run_frame.h"
#include "sentence_reader.h"

KeywordRun::KeywordRun(KeywordRunOptions& options)
    : options(options), byteClassTable(byteClasses(options.englishMode)) {
    addUserWords(options.userWords);
    addExcludedWords(options.excludedWords);
}

RunResult KeywordRun::run(std::FILE* target, OutputFile& log, std::vector<RankingRow>& rows,
                          RunFailure& failure) {
    RunResult counted = countWords(target, failure);
    if (counted != RunResult::Done) return counted;
    try {
        expandCandidates();
    } catch (...) {
        return RunResult::TargetUnreadable;
    }
    try {
        buildRanking(log, rows);
    } catch (...) {
        return RunResult::RankingFailed;
    }
    return RunResult::Done;
}

// The words of one block are counted on the counting thread while the next block is read and cut
// into words. The reader outlives the thread, which may still be reading its last block.
RunResult KeywordRun::countWords(std::FILE* target, RunFailure& failure) {
    SentenceReader reader;
    CountingThread countingThread(wordCounts);
    counter = &countingThread;
    RunResult result = reader.read(target, options.encoding, sinkFor(*this), failure);
    if (result == RunResult::Done && !countingThread.finish()) result = RunResult::TargetUnreadable;
    counter = nullptr;
    return result;
}

// The batch whose words were handed over before is the one that may still be being counted.
void KeywordRun::startBlock(const char* blockText) {
    filling = filling == &batches[0] ? &batches[1] : &batches[0];
    filling->clearWords();
    filling->text = blockText;
}

bool KeywordRun::endBlock() {
    if (!counter->finish()) return false;
    counter->count(*filling);
    return true;
}

RunResult run(const char* targetPath, const char* logPath, KeywordRunOptions options,
              std::vector<RankingRow>& rows, RunFailure* failure) {
    rows.clear();
    return runOnFiles(targetPath, logPath, options.outputEncoding, "", failure,
                      [&](std::FILE* target, OutputFile& log, RunFailure& report) {
                          KeywordRun keywordRun(options);
                          return keywordRun.run(target, log, rows, report);
                      });
}
