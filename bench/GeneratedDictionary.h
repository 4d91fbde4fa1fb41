#pragma once
// Generated dictionaries for the word-list benchmarks: random headwords in mixed case over a-z,
// 3 to 10 letters, in random order (the same words at every run), in Hitchcock's layout.

#include "data/DictionaryConfig.h"

#include <QString>
#include <string>
#include <vector>

namespace tolvane::bench {

// "4k", "1M": a size as the benchmarks name it.
std::string sizeName(int rows);
// The sizes in $TOLVANE_BENCH_ROWS (comma-separated), or `fallback` when it is unset.
std::vector<int> benchSizes(const char* fallback);

// Writes `rows` rows to `path` as a file made before the list index existed: the headword index
// only, no versions recorded. Returns the headwords' UTF-16 size in bytes.
double writeGeneratedDictionary(const QString& path, const data::DictionaryConfig& config,
                                int rows);

// A folder holding a generated dictionary of `rows` rows, opened once so that it has its list
// index, kept under `cacheFolder` between runs: millions of rows take a minute to make.
QString cachedGeneratedDictionary(const QString& cacheFolder, const data::DictionaryConfig& config,
                                  int rows);

} // namespace tolvane::bench
