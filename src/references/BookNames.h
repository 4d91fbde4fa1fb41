#pragma once
// The names and abbreviations by which the dictionaries cite the books of the Bible:
// "Gen.", "Ex.", "Judg.", "1 Sam.", "Cant.", "Isa.", "Matt.", "Phil.", "Philem.", "Jas.",
// "Rev.", the full names, and the roman-numbered forms of the older works ("i Peter",
// "II Kings"). Names begin with a capital letter; no lower-case word is taken for a book.

#include <QStringView>

namespace tolvane::references {

struct BookMatch {
    int book = -1;        // Versification.h's book number; -1: no book begins here
    qsizetype length = 0; // of the name, its number and its full stop
};

// The book whose name begins at `at` in `text` (which must start a word there), with its
// ordinal ("1 ", "2 ", "i ", "II ") and the full stop after an abbreviation included.
BookMatch matchBook(QStringView text, qsizetype at);

} // namespace tolvane::references
