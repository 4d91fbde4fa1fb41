#pragma once
// The reader behind findReferences(). It reads the text once, left to right, looking for the
// start of a reference (a book name, a bare chapter:verse, "ver."/"ch." words, "the 88th
// Psalm") and then reads the list that follows it (", 11; 21:6"), each item a reference of its
// own. ReferenceReader.cpp holds where references start and which book a bare one takes;
// ReferenceItems.cpp the numbers of one reference and the list after it.

#include "references/HeadwordBook.h"
#include "references/ReferenceContext.h"
#include "references/ScriptureReference.h"

#include <QStringView>
#include <array>
#include <optional>
#include <vector>

namespace tolvane::references {

class ReferenceReader {
public:
    ReferenceReader(QStringView text, QStringView headword)
        : m_text(text), m_headword(bookOfHeadword(headword)) {}

    std::vector<ReferenceSpan> run();

private:
    // A book (and chapter, 0 when unknown) that numbers with no book before them may take.
    struct Context {
        int book;
        int chapter;
    };
    struct Contexts { // at most four, without an allocation for each bare reference
        std::array<Context, 4> items{};
        int count = 0;
        void add(Context c) { items[std::size_t(count++)] = c; }
        const Context* begin() const { return items.data(); }
        const Context* end() const { return items.data() + count; }
    };

    QChar at(qsizetype p) const { return charAt(m_text, p); }
    bool startsWord(qsizetype p) const { return p == 0 || !at(p - 1).isLetterOrNumber(); }
    bool endsNumber(qsizetype p) const { return !at(p).isLetterOrNumber(); }
    void skipSpaces(qsizetype& p) const {
        while (at(p) == u' ' || at(p) == QChar(0xA0))
            ++p;
    }

    // ReferenceReader.cpp
    qsizetype nextDigit(qsizetype p) const;
    qsizetype furthestStartBefore(qsizetype digit) const;
    bool tryStart();
    bool numberSoon() const;
    bool fromBook(int book, qsizetype nameEnd);
    bool bareChapter();
    bool ordinalPsalm();
    bool continuationWord();
    Contexts contexts(int namedBefore) const;

    // ReferenceItems.cpp
    std::optional<int> number(qsizetype& p) const;
    std::optional<int> romanChapter(qsizetype& p) const;
    bool strictChapterAndVerse(qsizetype p) const;
    qsizetype verseAfterColon(qsizetype p) const;
    bool chapterAndVerse(qsizetype p) const;
    qsizetype afterChapterWord(qsizetype p) const;
    qsizetype afterVerseWord(qsizetype p) const;
    qsizetype pastNumbers(qsizetype p) const;
    bool add(qsizetype start, qsizetype end, VerseRange range);
    bool verses(qsizetype start, qsizetype& p, int book, int chapter);
    bool rangeEnd(qsizetype& p, int book, VerseRange& range) const;
    bool chapterItem(qsizetype start, qsizetype& p, int book, bool roman);
    bool chapterRangeInWords(qsizetype start, qsizetype& p, int book);
    qsizetype listItemAfter(qsizetype p, QChar& separator) const;
    void list(qsizetype p, bool roman);
    void failedAfterBook(int book, qsizetype numbers);

    QStringView m_text;
    HeadwordBook m_headword;
    qsizetype m_at = 0;
    int m_book = -1;         // of the last reference found, or of a book name whose numbers failed
    int m_chapter = 0;       // its last chapter; 0 after a failure
    bool m_whole = false;    // the last reference was of whole chapters: a list goes on with them
    qsizetype m_lastEnd = 0; // where it ended
    int m_headwordChapter = 0; // the last chapter cited of the headword's book
    int m_verseBook = -1;      // of the last reference with verses, and its chapter
    int m_verseChapter = 0;
    std::vector<ReferenceSpan> m_found;
};

} // namespace tolvane::references
