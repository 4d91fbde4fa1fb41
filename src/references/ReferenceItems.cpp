// The numbers of one reference ("14:1-16", "51: 57", "1:27-ch. 5", "13-16", "xxvii. 18") and
// the list after it (", 11; 21:6", "14, 15", "7 and 8").

#include "references/BookNames.h"
#include "references/ReferenceReader.h"
#include "references/RomanNumerals.h"
#include "references/Versification.h"

#include <array>

namespace tolvane::references {

namespace {

// Each followed by a space or, ending in a full stop, by anything.
constexpr std::array<QStringView, 12> kChapterWords{
    u"ch.", u"chap.", u"chapter", u"chapters", u"chs.", u"chaps.",
    u"Ch.", u"Chap.", u"Chapter", u"Chapters", u"Chs.", u"Chaps."};

} // namespace

std::optional<int> ReferenceReader::number(qsizetype& p) const {
    const qsizetype start = p;
    int value = 0;
    while (p < m_text.size() && at(p).isDigit() && p - start < 4)
        value = value * 10 + at(p++).digitValue();
    if (p == start || at(p).isDigit()) {
        p = start;
        return std::nullopt;
    }
    return value;
}

// A roman chapter with its full stop and the space after: "xxvii. ".
std::optional<int> ReferenceReader::romanChapter(qsizetype& p) const {
    qsizetype end = p;
    while (end < m_text.size() && at(end).isLetter())
        ++end;
    const QStringView word = m_text.sliced(p, end - p);
    const int value = romanValue(word) ? romanValue(word) : romanValueScannedAsCapitalI(word);
    if (value == 0 || at(end) != u'.' || at(end + 1) != u' ' || !at(end + 2).isDigit())
        return std::nullopt;
    p = end + 2;
    return value;
}

// "12:3" at p, the colon right before the verse.
bool ReferenceReader::strictChapterAndVerse(qsizetype p) const {
    const qsizetype start = p;
    while (at(p).isDigit())
        ++p;
    return p > start && at(p) == u':' && at(p + 1).isDigit();
}

// Where the verse after a chapter's colon at p begins: "12:3", or "51: 57" as printed with a
// space, unless what follows the space is a book ("Job 1:14: 1 Sam. 11:3") or a chapter and
// verse of its own ("15:13-29: 21:18"), the colon standing for a semicolon. -1 when none.
qsizetype ReferenceReader::verseAfterColon(qsizetype p) const {
    if (at(p) != u':')
        return -1;
    if (at(p + 1).isDigit())
        return p + 1;
    if (at(p + 1) == u' ' && at(p + 2).isDigit() && matchBook(m_text, p + 2).book < 0 &&
        !strictChapterAndVerse(p + 2))
        return p + 2;
    return -1;
}

bool ReferenceReader::chapterAndVerse(qsizetype p) const {
    const auto chapter = number(p);
    return chapter && verseAfterColon(p) >= 0;
}

// Past "ch. ", "chapters " and the like at p, to the digit after them; -1 when none is there.
qsizetype ReferenceReader::afterChapterWord(qsizetype p) const {
    if (at(p).toLower() != u'c' || at(p + 1) != u'h')
        return -1; // most words: passed over at once
    const QStringView rest = m_text.sliced(std::min(p, m_text.size()));
    for (QStringView w : kChapterWords) {
        if (!rest.startsWith(w) || (!w.endsWith(u'.') && at(p + w.size()) != u' '))
            continue;
        qsizetype q = p + w.size();
        skipSpaces(q);
        return at(q).isDigit() ? q : -1;
    }
    return -1;
}

// Past "11:14", "11:14-16" or "xxvii. 18" that did not make a reference.
qsizetype ReferenceReader::pastNumbers(qsizetype p) const {
    while (at(p).isLetterOrNumber() || at(p) == u':' || isDash(at(p)))
        ++p;
    if (at(p) == u'.' && at(p + 1) == u' ' && at(p + 2).isDigit())
        for (p += 2; at(p).isDigit();)
            ++p;
    return p;
}

bool ReferenceReader::add(qsizetype start, qsizetype end, VerseRange range) {
    if (range.endChapter == 0)
        range.endChapter = range.chapter;
    if (!isValid(range))
        return false;
    m_found.push_back({start, end - start, range});
    m_book = range.book;
    m_chapter = range.endChapter;
    m_whole = range.verse == 0;
    m_lastEnd = end;
    if (!m_whole) {
        m_verseBook = range.book;
        m_verseChapter = range.endChapter;
    }
    if (range.book == m_headword.book)
        m_headwordChapter = range.endChapter;
    return true;
}

// The names of a book whose numbers do not make a reference ("Lev. 42:6", "Ps. 151") stay plain
// text, and the numbers after them are that book's, never the book's before.
void ReferenceReader::failedAfterBook(int book, qsizetype numbers) {
    m_book = book;
    m_chapter = 0;
    m_whole = false;
    m_at = pastNumbers(numbers);
    m_lastEnd = m_at;
}

// The end of a range after its dash at p: "16", "2:3", "12: 29", "ch. 5" (to that chapter's
// end), "ch. 5:3". Moves p past it.
bool ReferenceReader::rangeEnd(qsizetype& p, int book, VerseRange& range) const {
    qsizetype q = afterChapterWord(p);
    const bool chapterWord = q >= 0;
    if (!chapterWord)
        q = p;
    const auto end = number(q);
    if (!end)
        return false;
    if (const qsizetype v = verseAfterColon(q); v >= 0) {
        qsizetype e = v;
        if (const auto endVerse = number(e)) {
            range.endChapter = *end;
            range.endVerse = *endVerse;
            p = e;
            return true;
        }
    }
    if (chapterWord) {
        range.endChapter = *end;
        range.endVerse = verseCount(book, *end);
    } else {
        range.endVerse = *end;
    }
    p = q;
    return true;
}

// "V" or "V-V" or "V-C:V" of a chapter; p at the verse.
bool ReferenceReader::verses(qsizetype start, qsizetype& p, int book, int chapter) {
    const auto verse = number(p);
    if (!verse)
        return false;
    VerseRange r{book, chapter, *verse, chapter, *verse};
    if (qsizetype q = p + 1; isDash(at(p)) && rangeEnd(q, book, r))
        p = q;
    return endsNumber(p) && add(start, p, r);
}

// A chapter item: "C:V...", "C" or "C-C" (whole chapters), or "xxvii. V" when roman.
bool ReferenceReader::chapterItem(qsizetype start, qsizetype& p, int book, bool roman) {
    if (roman) {
        const auto chapter = romanChapter(p);
        return chapter && verses(start, p, book, *chapter);
    }
    const qsizetype itemStart = p;
    const auto chapter = number(p);
    if (!chapter)
        return false;
    if (const qsizetype v = verseAfterColon(p); v >= 0) {
        p = v;
        return verses(start, p, book, *chapter);
    }
    if (chapterCount(book) == 1) { // "Jude 3", "Jude 1-3": a book of one chapter counts verses
        p = itemStart;
        return verses(start, p, book, 1);
    }
    VerseRange r{book, *chapter, 0, *chapter, 0};
    qsizetype q = p;
    if (isDash(at(q))) {
        ++q;
        if (const auto end = number(q)) {
            r.endChapter = *end;
            p = q;
            if (const qsizetype v = verseAfterColon(q); v >= 0) { // "1-3:21": 1:1 to 3:21
                q = v;
                r.verse = 1;
                r.endVerse = number(q).value_or(0);
                p = q;
            }
        }
    }
    // A full stop may end the sentence ("Judg. 13-16."), but "1.5" is no chapter, nor the
    // "11" of "Ps. 11. 14" (a roman "li." misread).
    const bool numberAfterStop =
        at(p) == u'.' && (at(p + 1).isDigit() || (at(p + 1) == u' ' && at(p + 2).isDigit()));
    return endsNumber(p) && !numberAfterStop && add(start, p, r);
}

// "chapters 1 to 8": whole chapters.
bool ReferenceReader::chapterRangeInWords(qsizetype start, qsizetype& p, int book) {
    qsizetype q = p;
    const auto first = number(q);
    if (!first || !m_text.sliced(q).startsWith(u" to "))
        return false;
    q += 4;
    const auto last = number(q);
    if (!last || !endsNumber(q) || at(q) == u':' || !add(start, q, {book, *first, 0, *last, 0}))
        return false;
    p = q;
    return true;
}

// Where the next item of a list after p begins, -1 when the list ends there. Items follow
// ",", ";", ", and", "and", or a colon printed for a semicolon before a chapter and verse.
qsizetype ReferenceReader::listItemAfter(qsizetype p, QChar& separator) const {
    qsizetype q = p;
    separator = at(q);
    if (separator == u',' || separator == u';') {
        ++q;
    } else if (separator == u':' && at(q + 1) == u' ') {
        ++q;
        skipSpaces(q);
        separator = u';';
        return strictChapterAndVerse(q) ? q : -1;
    } else if (separator != u' ') {
        return -1;
    }
    skipSpaces(q);
    if (m_text.sliced(q).startsWith(u"and ")) {
        separator = u'&';
        q += 4;
        skipSpaces(q);
    } else if (separator == u' ') {
        return -1;
    }
    return q;
}

// After a reference: ", V", "; C:V", "; C", ", ii. 5" (roman lists), and after whole chapters
// more chapters (", 15", " and 8"), each added. A list ends at the first item that fails.
void ReferenceReader::list(qsizetype p, bool roman) {
    for (;;) {
        QChar sep;
        qsizetype q = listItemAfter(p, sep);
        if (q < 0 || !at(q).isLetterOrNumber())
            break;
        const qsizetype start = q;
        if (matchBook(m_text, start).book >= 0)
            break; // "; 1 Sam. 2:1" begins a reference of its own
        bool ok = false;
        if (roman) {
            if (sep == u'&')
                break;
            const bool romanNext = romanChapter(q).has_value();
            q = start;
            ok = romanNext ? chapterItem(start, q, m_book, true)
                           : sep == u',' && verses(start, q, m_book, m_chapter);
        } else if (sep == u';' || m_whole || chapterAndVerse(start)) {
            const int chapter = m_chapter;
            ok = chapterItem(start, q, m_book, false);
            // "Josh. 15, 38": Joshua has no chapter 38, so it is a verse of 15
            if (!ok && m_whole && sep == u',' && !chapterAndVerse(start))
                ok = verses(start, q = start, m_book, chapter);
        } else if (sep == u',') {
            ok = verses(start, q, m_book, m_chapter);
        }
        if (!ok)
            break;
        p = q;
    }
    m_at = p;
}

} // namespace tolvane::references
