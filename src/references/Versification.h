#pragma once
// The King James versification: its 66 books and the Apocrypha (without the Additions to
// Esther), numbered 0.. in canonical order, with the number of verses of every chapter.
// A book number outside 0..bookCount()-1 is a caller's fault; chapters and verses are
// checked here (0 for a chapter the book does not have).

#include <QString>
#include <vector>

namespace tolvane::references {

constexpr int kFirstApocryphal = 66; // books from here on are the Apocrypha

int bookCount();
QString bookOsisName(int book); // "Gen", "1Sam", "Sir": the name a SWORD key understands
QString bookName(int book);     // spelled out: "Genesis", "1 Samuel", "Song of Solomon"
int chapterCount(int book);
int verseCount(int book, int chapter);
bool isApocrypha(int book);

} // namespace tolvane::references
