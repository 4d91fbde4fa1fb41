#pragma once
// Where a full-text query (FullTextQuery.h) finds its words in an entry as it is shown, so
// that the entry can be marked where the search found it: every word of a query of words,
// each phrase where it stands whole (never its words elsewhere), each word that begins so.
// The words are found by SQLite's own full-text search over the given texts, with the
// index's tokenizer, so the marks agree with what the search matched (case and accents
// ignored as there).

#include <QString>
#include <QStringList>
#include <vector>

namespace tolvane::engine {

struct TextMark {
    int text = 0;        // which of the texts
    qsizetype start = 0; // in UTF-16 code units, as QString and QTextDocument count
    qsizetype length = 0;
    friend bool operator==(const TextMark&, const TextMark&) = default;
};

// The places in `texts` (the headword first, then the entry's texts, as the index holds
// them) that `match` finds, in text order; none when the texts together do not match.
// Throws EngineError when `match` is not a query SQLite reads.
std::vector<TextMark> fullTextMarks(const QString& match, const QStringList& texts);

} // namespace tolvane::engine
