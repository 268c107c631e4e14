#pragma once

#include "keyword_engine.h"
#include "output_file.h"
#include "word_table.h"

#include <vector>

// Orders the counted words by count, highest first, and among equal counts by unsigned byte order,
// greatest first; writes every word that reaches options.minimumCount to the log and hands the
// first options.rows of them (at most maxKeywordRows) to the rows. The table is given up.
void writeRanking(WordTable&& counts, const KeywordRunOptions& options, OutputFile& log,
                  std::vector<RankingRow>& rows);
