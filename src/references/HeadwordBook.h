#pragma once
// The book of the Bible an entry is about, read from its headword: "Daniel", "Job, Book of",
// "Romans, Epistle to the", "John, First Epistle of", "Kings, The Books of", "Acts of the
// Apostles", "Ruth The Book of", "Solomon, Song of".

#include <QStringView>

namespace tolvane::references {

struct HeadwordBook {
    int book = -1; // -1: the headword names no book
    // The headword says it is the book's entry ("Mark, Gospel according to"), where a plain
    // name ("Mark", "Zechariah") may be a person's entry that cites other books.
    bool bookEntry = false;
};

// The entry of two books ("Kings, The Books of") is given the first of them.
HeadwordBook bookOfHeadword(QStringView headword);

} // namespace tolvane::references
