#pragma once
// What the text around a reference says about it: the book named right before a parenthesis,
// another work's abbreviation before the numbers, whether a sentence or a paragraph ends
// between two places. For the finder; each looks only inside the text.

#include <QStringView>

namespace tolvane::references {

// Nothing (U+0000) before the text or past its end.
inline QChar charAt(QStringView text, qsizetype p) {
    return std::size_t(p) < std::size_t(text.size()) ? text[p] : QChar();
}

inline bool isDash(QChar c) {
    return c == u'-' || c == QChar(0x2013) || c == QChar(0x2014);
}

// "Hosea (12:4, 5)", "Job (1:20, 21; 2:8)": the book whose full name stands right before the
// parenthesis that opens at `p` - 1; -1 when none does.
int bookNamedBefore(QStringView text, qsizetype p);

// "in Ezekiel’s vision (1:16)", "Job’s second daughter (42:14)": the book whose full name,
// with "’s", stands between `from` and the numbers at `p` in their sentence; -1 when none does.
int bookNamedPossessive(QStringView text, qsizetype from, qsizetype p);

// An abbreviation of a work that is not a book of the Bible right before the numbers at `p`:
// "Ant. 11:8" (Josephus). Lead-in words ("Comp.", "See") are not such works.
bool followsOtherWork(QStringView text, qsizetype p);

// A paragraph that opens between `from` and `to` with no number of its own: not "(2.) ...",
// "(2) ..." or "2. ...", which begin another sense of a headword.
bool plainParagraphBetween(QStringView text, qsizetype from, qsizetype to);

// A sentence's end between `from` and `to`: a paragraph break, or ".", "?" or "!" (then any
// closing quotes and parentheses) followed by a space and a capital, an opening quote or an
// opening parenthesis. The full stop of an abbreviation ("Comp. Isa.", "A.V. The") ends none.
bool sentenceEndsBetween(QStringView text, qsizetype from, qsizetype to);

} // namespace tolvane::references
