#pragma once
// What the user types in the Find window, as an FTS5 query for the full-text index
// (FullTextIndex.h):
//
//   plain words       every word must occur, in any order       grace truth
//   "a phrase"        the words must occur together, in order   "tree of life"
//                     (typographic quotation marks too: “tree of life”, „tree of life“)
//   word*             a word that begins so                     bless*
//
// Letter case and accents never matter (the index's tokenizer folds them away). Every word
// and phrase becomes a quoted FTS5 string, so nothing typed can act as FTS5 syntax (AND, OR,
// NEAR, column filters, parentheses): the result is only ever bound as a parameter.
//
// White space and control characters part words. A term typed twice is searched once; more
// than kMostFullTextWords different words (every word of a phrase counts) are refused with a
// note, so that no query, however long, keeps the index busy for long.

#include <QString>
#include <QStringView>

namespace tolvane::engine {

inline constexpr int kMostFullTextWords = 32;

struct FullTextQuery {
    QString match;   // the FTS5 query; empty when there is nothing to search for
    QString problem; // a short note for the user when the text cannot be searched as typed
    bool isValid() const { return problem.isEmpty(); }
    bool isEmpty() const { return match.isEmpty(); }
};

FullTextQuery translateFullTextQuery(QStringView typed);

} // namespace tolvane::engine
