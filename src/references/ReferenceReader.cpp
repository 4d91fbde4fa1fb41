// Where references start, and which book the numbers with no book before them take.

#include "references/ReferenceReader.h"

#include "references/BookNames.h"
#include "references/TextScan.h"
#include "references/Versification.h"

#include <algorithm>
#include <array>

namespace tolvane::references {

namespace {

// How far a book's name (and its roman chapter) reaches ahead to its first number.
constexpr qsizetype kNumberReach = 28;

// What a reference can begin with: a digit, a capital, "i" (of "i Peter"), "v" or "c".
bool mayStart(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || u == u'i' || u == u'v' ||
           u == u'c';
}

constexpr std::array<QStringView, 9> kVerseWords{u"ver.", u"vers.", u"verse", u"verses", u"vs.",
                                                 u"vv.",  u"Ver.",  u"Verse", u"Verses"};

constexpr int kPsalms = 18;

} // namespace

std::vector<ReferenceSpan> ReferenceReader::run() {
    qsizetype digit = -1;   // the next digit at or after m_at
    qsizetype earliest = 0; // where a reference ending in that digit may begin at most
    while (m_at < m_text.size()) {
        if (digit < m_at) {
            digit = nextDigit(m_at);
            if (digit == m_text.size())
                break; // every reference holds a digit
            earliest = furthestStartBefore(digit);
        }
        if (m_at < earliest)
            m_at = earliest;
        else if (!mayStart(at(m_at)) || !startsWord(m_at) || !tryStart())
            ++m_at;
    }
    return std::move(m_found);
}

// Most of a text is far from any digit, and no reference can begin there: passed over
// without a look at its words.
qsizetype ReferenceReader::nextDigit(qsizetype p) const {
    // Every decimal digit is an ASCII one or at U+0660 and above.
    const QStringView text = m_text; // a copy the compiler keeps in registers
    return scanFor(
        text, p, 0,
        [](const char16_t* c, qsizetype at) {
            return (char16_t(c[at] - u'0') < 10) | (c[at] >= 0x660);
        },
        [text](qsizetype at) { return text[at].isDigit(); });
}

// The first place a reference whose first number is at `digit` can begin: a book name and
// its roman chapter within kNumberReach ("Song of Solomon 2:1", "Lev. xxvii. 18"), or a
// "chapters" word, before the spaces ahead of the number.
qsizetype ReferenceReader::furthestStartBefore(qsizetype digit) const {
    qsizetype p = digit;
    while (p > m_at && (at(p - 1) == u' ' || at(p - 1) == QChar(0xA0)))
        --p;
    return std::max(m_at, p - kNumberReach - 1);
}

bool ReferenceReader::tryStart() {
    // Books begin with a capital or their ordinal ("1 Sam.", "i Peter").
    if ((at(m_at).isDigit() || at(m_at).isUpper() || at(m_at) == u'i') && numberSoon()) {
        if (const BookMatch book = matchBook(m_text, m_at); book.book >= 0)
            return fromBook(book.book, m_at + book.length);
    }
    if (at(m_at).isDigit())
        return ordinalPsalm() || bareChapter();
    const QChar c = at(m_at).toLower();
    if (c == u'v' || c == u'c') // "ver.", "verse", "ch.", "Chapters"
        return continuationWord();
    return false;
}

// A book's name is followed by its numbers within a few words of letters, spaces, full stops
// and a comma ("Song of Solomon 2:1", "Lev. xxvii. 18", "Isaiah, 19:13"): most capitalised
// words are not, and are passed over without a look in the book table.
bool ReferenceReader::numberSoon() const {
    qsizetype p = m_at;
    if (at(p).isDigit())
        ++p;
    for (const qsizetype end = p + kNumberReach; p < end; ++p) {
        const QChar c = at(p);
        if (c == u',') { // only right before the numbers: "Isaiah, 19:13", "Hebrews, ch. 7"
            skipSpaces(++p);
            return at(p).isDigit() || at(p) == u'c';
        }
        if (!c.isLetter() && c != u' ' && c != u'.')
            return c.isDigit();
    }
    return false;
}

bool ReferenceReader::fromBook(int book, qsizetype nameEnd) {
    qsizetype p = nameEnd;
    skipSpaces(p);
    if (p == nameEnd) {
        // "the prophet Isaiah, 19:13", "Matt, 1:4": a comma between the name and its chapter
        // and verse. Otherwise a name must be followed by a space or a digit ("1Jo").
        qsizetype q = p + 1;
        skipSpaces(q);
        if (at(p) == u',' && q > p + 1 && chapterAndVerse(q))
            p = q;
        else if (at(p) == u',' && q > p + 1 && afterChapterWord(q) >= 0)
            p = afterChapterWord(q); // "the Epistle to the Hebrews, ch. 7"
        else if (!at(p).isDigit())
            return false;
    } else if (const qsizetype chapters = afterChapterWord(p); chapters >= 0) {
        p = chapters; // "Num. ch. 1-11"
    }
    const qsizetype itemStart = p;
    if ((at(p + 1).isLetter() || at(p + 1) == u' ') && matchBook(m_text, p).book >= 0)
        return false; // "By Titus 2Co 8:16": a name, then a reference of its own
    bool roman = false;
    if (!at(p).isDigit()) {
        if (!romanChapter(p))
            return false;
        p = itemStart;
        roman = true;
    }
    if (!chapterItem(m_at, p, book, roman)) {
        failedAfterBook(book, itemStart);
        return true;
    }
    list(p, roman);
    return true;
}

// The books that numbers with no book before them may be of, the likeliest first.
//   - In most entries: the book whose name stands before the parenthesis ("Hosea (12:4)"),
//     else the last reference's. When that was of whole chapters, often an aside ("Comp.
//     Ps. 31."), the book cited with verses before it is tried after it.
//   - In the entry of a book ("Mark, Gospel according to"): that book, unless a reference
//     to another book stands earlier in the same sentence ("He quotes Joel 3:16, 17").
//     Names before a parenthesis there are mostly people ("the crowning of Joshua
//     (6:9-15)" in Zechariah), tried only when the numbers cannot be the entry's book's;
//     the last reference's book comes last.
//   - Under a plain name that may be a person's entry as well as a book's ("Zechariah",
//     "Mark"): the same, but the last reference's book holds up to a paragraph that opens
//     with no number of its own ("His book consists of..."); "(2.) The Hebrew name of Mark"
//     is about another person, whose references go on from the ones before.
ReferenceReader::Contexts ReferenceReader::contexts(int namedBefore) const {
    Contexts out;
    const int own = m_headword.book;
    if (own < 0) {
        if (namedBefore >= 0)
            out.add({namedBefore, 0});
        else if (m_book >= 0)
            out.add({m_book, m_chapter});
        if (m_whole && m_verseBook >= 0)
            out.add({m_verseBook, m_verseChapter});
        return out;
    }
    const bool sameContext =
        m_book >= 0 && (m_headword.bookEntry ? !sentenceEndsBetween(m_text, m_lastEnd, m_at)
                                             : !plainParagraphBetween(m_text, m_lastEnd, m_at));
    if (sameContext)
        out.add({m_book, m_chapter});
    int ownChapter = m_book == own ? m_chapter : m_headwordChapter;
    if (ownChapter == 0 && chapterCount(own) == 1)
        ownChapter = 1;
    out.add({own, ownChapter});
    if (namedBefore >= 0)
        out.add({namedBefore, 0});
    if (!sameContext && m_book >= 0)
        out.add({m_book, m_chapter});
    if (m_whole && m_verseBook >= 0)
        out.add({m_verseBook, m_verseChapter});
    return out;
}

// "2:1" with no book before it; "(1-10)" right after a book's name ("Ezekiel (1-10)").
bool ReferenceReader::bareChapter() {
    qsizetype p = m_at;
    const auto chapter = number(p);
    if (!chapter)
        return false;
    if (isDash(at(p))) { // "(1-3:21)"
        ++p;
        number(p);
    }
    int named = -1;
    if (at(p) != u':' || !at(p + 1).isDigit()) {
        if (m_headword.book >= 0 || at(p) != u')' || (named = bookNamedBefore(m_text, m_at)) < 0)
            return false;
        qsizetype q = m_at;
        if (!chapterItem(m_at, q, named, false))
            return false;
        m_at = q;
        return true;
    }
    named = bookNamedBefore(m_text, m_at);
    if (named < 0)
        named = bookNamedPossessive(m_text, m_lastEnd, m_at);
    if (!followsOtherWork(m_text, m_at)) {
        for (const Context& context : contexts(named)) {
            qsizetype q = m_at;
            if (chapterItem(m_at, q, context.book, false)) {
                list(q, false);
                return true;
            }
        }
    }
    m_at = pastNumbers(m_at); // the verse is not read again as a reference of its own
    return true;
}

// "the 88th Psalm".
bool ReferenceReader::ordinalPsalm() {
    qsizetype p = m_at;
    const auto psalm = number(p);
    if (!psalm)
        return false;
    if (at(p) != u's' && at(p) != u'n' && at(p) != u'r' && at(p) != u't')
        return false;
    const QStringView rest = m_text.sliced(p);
    if (!rest.startsWith(u"st Psalm") && !rest.startsWith(u"nd Psalm") &&
        !rest.startsWith(u"rd Psalm") && !rest.startsWith(u"th Psalm"))
        return false;
    p += 8;
    if (at(p).isLetterOrNumber() || !add(m_at, p, {kPsalms, *psalm, 0, *psalm, 0}))
        return false;
    m_at = p;
    return true;
}

qsizetype ReferenceReader::afterVerseWord(qsizetype p) const {
    if (at(p).toLower() != u'v' || (at(p + 1) != u'e' && at(p + 1) != u's' && at(p + 1) != u'v'))
        return -1; // most words: passed over at once
    const QStringView rest = m_text.sliced(p);
    for (QStringView w : kVerseWords) {
        if (!rest.startsWith(w) || (!w.endsWith(u'.') && at(p + w.size()).isLetter()))
            continue;
        qsizetype q = p + w.size();
        skipSpaces(q);
        return at(q).isDigit() ? q : -1;
    }
    return -1;
}

// "ver. 12", "verse 33", "vers. 3, 4", "ch. 4-6", "chap. 4:5", "chapters 1 to 8", "In
// chapter 1" in a book's own entry.
bool ReferenceReader::continuationWord() {
    qsizetype p = afterVerseWord(m_at);
    const bool verse = p >= 0;
    if (!verse)
        p = afterChapterWord(m_at);
    if (p < 0)
        return false;
    for (const Context& context : contexts(-1)) {
        qsizetype q = p;
        bool ok = false;
        if (verse)
            ok = context.chapter > 0 && verses(m_at, q, context.book, context.chapter);
        else
            ok = chapterRangeInWords(m_at, q, context.book) ||
                 chapterItem(m_at, q, context.book, false);
        if (ok) {
            list(q, false);
            return true;
        }
    }
    return false;
}

} // namespace tolvane::references
