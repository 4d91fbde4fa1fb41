#pragma once
// Two functions of the full-text index (engine/FullTextIndex.h) that turn a match into a
// result cheaply, for a connection that searches:
//
// - tolvane_rank(index) orders the matches; lower is better. An entry with more of the
//   searched words in its headword comes first; then the more often the words occur in its
//   text the better, each word's share growing ever more slowly, so that one word repeated
//   cannot outweigh the others. It reads only the positions the match holds already: no
//   entry lengths and no second pass over the index, which is what makes bm25 cost twice
//   the search itself. The score depends on the entry alone, so scores from different
//   files compare.
//
// - tolvane_snippet(index, open, close, ellipsis, words) is about `words` words of the
//   definition (of the scripture when only that holds a match) from a little before the
//   first match, each matched word or phrase between `open` and `close`, with `ellipsis`
//   where the text goes on. It reads the text only as far as the end of those words.

struct sqlite3;

namespace tolvane::engine {

inline constexpr char kFullTextRankFunction[] = "tolvane_rank";
inline constexpr char kFullTextSnippetFunction[] = "tolvane_snippet";

// Registers both on `db`; returns SQLite's result code (an error where FTS5 is missing).
int registerFullTextResultFunctions(sqlite3* db);

} // namespace tolvane::engine
