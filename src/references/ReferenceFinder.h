#pragma once
// Finds the Scripture references in a dictionary entry's text, as it is shown, each with its
// span in that text and the verses it means. Nothing is stored: an entry is searched when it
// is shown, so the links never go stale after an edit.
//
// Read are, all from the dictionaries' own texts:
//   - a book and chapter:verse, with ranges and lists: "Gen. 14:5", "14:1-16",
//     "Rev. 1:8, 11; 21:6; 22:13" (four references), "Num. 11:33, 34; 12" (12: a chapter);
//   - roman chapters: "Lev. xxvii. 18; Deut. xxxiv. 7", "Ps. cxix. 66", "i Peter i. 3, ii. 5";
//   - continuations taking their book (and chapter) from the reference before: "ver. 12",
//     "verse 33", "ch. 4-6", a bare "(2:1, 4; 7:7)"; before any book, a bare chapter:verse
//     takes the book the headword names ("Daniel", "Job, Book of").
// Never taken: a verse the book does not have ("Ps. 11:14"), "R.V.", other works' citations
// ("Ant. 11:8"), Prayer-Book citations ("Pr. Bk."). A reference that fails ends its list.

#include "references/ScriptureReference.h"

#include <QStringView>

namespace tolvane::references {

// In order of position; spans never overlap. `headword` may be empty.
std::vector<ReferenceSpan> findReferences(QStringView text, QStringView headword = {});

} // namespace tolvane::references
