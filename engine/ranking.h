#pragma once

#include "csv_table.h"
#include "keyword_engine.h"
#include "output_file.h"
#include "word_table.h"

#include <vector>

// Orders the counted words by count, highest first, and among equal counts by unsigned byte order,
// greatest first; writes every word that reaches options.minimumCount to the log and hands the
// first options.rows of them (at most maxKeywordRows) to the rows, and every one of them to the
// table when it is open, and to `ranked` when given. The counts are given up.
void writeRanking(WordShards&& counts, const KeywordRunOptions& options, OutputFile& log,
                  std::vector<RankingRow>& rows, CsvTable& table, WordTable* ranked);
