#pragma once
// Finds the Scripture references in a dictionary entry's text, as it is shown, each with its
// span in that text and the verses it means. Nothing is stored: an entry is searched when it
// is shown, so the links never go stale after an edit.
//
// Read are, all from the dictionaries' own texts:
//   - a book and chapter:verse, with ranges and lists: "Gen. 14:5", "14:1-16", "Jer. 51: 57",
//     "Rev. 1:8, 11; 21:6; 22:13" (four references), "Num. 11:33, 34; 12" (12: a chapter),
//     ranges to a chapter ("Gen. 1:27-ch. 5", "2 Sam. 11:2-12: 29"); after whole chapters a
//     list goes on with chapters ("Ex. 14, 15", "Ps. 57, 58, 59, and 75", "Gen. 7 and 8");
//   - roman chapters: "Lev. xxvii. 18; Deut. xxxiv. 7", "Ps. cxix. 66", "i Peter i. 3, ii. 5";
//   - chapters in words: "Num. ch. 1-11", "chapters 1 to 8", "the 88th Psalm";
//   - continuations taking their book (and chapter) from the reference before: "ver. 12",
//     "verse 33", "ch. 4-6", a bare "(2:1, 4; 7:7)", "Ezekiel (1-10)"; in the entry of a book
//     ("Mark, Gospel according to", "John, First Epistle of") they are that book's unless the
//     same sentence cites another first (ReferenceReader.cpp says which book a bare one takes).
// Never taken: a verse the book does not have ("Ps. 11:14"), "R.V.", other works' citations
// ("Ant. 11:8"), Prayer-Book citations ("Pr. Bk."). The numbers after a book whose own
// numbers fail ("Lev. 42:6, 17; 8:11") are that book's, never the book's before.

#include "references/ScriptureReference.h"

#include <QStringView>

namespace tolvane::references {

// In order of position; spans never overlap. `headword` may be empty.
std::vector<ReferenceSpan> findReferences(QStringView text, QStringView headword = {});

} // namespace tolvane::references
