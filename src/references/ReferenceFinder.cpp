// The finder reads the text once, left to right. It looks for the start of a reference (a
// book name, a bare chapter:verse, or "ver."/"ch." words) and then reads the list that
// follows it (", 11; 21:6"), each item a reference of its own. Items after a failed one are
// left alone: a list the finder cannot follow is not guessed at.

#include "references/ReferenceFinder.h"

#include "references/BookNames.h"
#include "references/RomanNumerals.h"
#include "references/TextScan.h"
#include "references/Versification.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

namespace tolvane::references {

namespace {

// How far a book's name (and its roman chapter) reaches ahead to its first number.
constexpr qsizetype kNumberReach = 28;

bool isDash(QChar c) {
    return c == u'-' || c == QChar(0x2013) || c == QChar(0x2014);
}

class Reader {
public:
    Reader(QStringView text, QStringView headword)
        : m_text(text), m_headwordBook(bookOfHeadword(headword)) {}

    std::vector<ReferenceSpan> run() {
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

private:
    // Nothing (U+0000) before the text or past its end: a look behind the first character
    // ("2:8" opening an entry) or past the last stays inside the text. One unsigned
    // comparison covers both ends.
    QChar at(qsizetype p) const {
        return std::size_t(p) < std::size_t(m_text.size()) ? m_text[p] : QChar();
    }
    // What a reference can begin with: a digit, a capital, "i" (of "i Peter"), "v" or "c".
    static bool mayStart(QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || u == u'i' || u == u'v' ||
               u == u'c';
    }
    // Most of a text is far from any digit, and no reference can begin there: passed over
    // without a look at its words.
    qsizetype nextDigit(qsizetype p) const {
        // Every decimal digit is an ASCII one or at U+0660 and above.
        return scanFor(
            m_text, p, 0,
            [](const char16_t* c, qsizetype at) {
                return (char16_t(c[at] - u'0') < 10) | (c[at] >= 0x660);
            },
            [this](qsizetype at) { return m_text[at].isDigit(); });
    }
    // The first place a reference whose first number is at `digit` can begin: a book name and
    // its roman chapter within kNumberReach ("Song of Solomon 2:1", "Lev. xxvii. 18"), or a
    // "chapters" word, before the spaces ahead of the number.
    qsizetype furthestStartBefore(qsizetype digit) const {
        qsizetype p = digit;
        while (p > m_at && (at(p - 1) == u' ' || at(p - 1) == QChar(0xA0)))
            --p;
        return std::max(m_at, p - kNumberReach - 1);
    }
    bool startsWord(qsizetype p) const { return p == 0 || !at(p - 1).isLetterOrNumber(); }
    bool endsNumber(qsizetype p) const { return !at(p).isLetterOrNumber(); }

    std::optional<int> number(qsizetype& p) const {
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
    std::optional<int> romanChapter(qsizetype& p) const {
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

    // Past "11:14", "11:14-16" or "xxvii. 18" that did not make a reference.
    qsizetype pastNumbers(qsizetype p) const {
        while (at(p).isLetterOrNumber() || at(p) == u':' || isDash(at(p)))
            ++p;
        if (at(p) == u'.' && at(p + 1) == u' ' && at(p + 2).isDigit())
            for (p += 2; at(p).isDigit();)
                ++p;
        return p;
    }

    void skipSpaces(qsizetype& p) const {
        while (at(p) == u' ' || at(p) == QChar(0xA0))
            ++p;
    }

    bool add(qsizetype start, qsizetype end, VerseRange range) {
        if (range.endChapter == 0)
            range.endChapter = range.chapter;
        if (!isValid(range))
            return false;
        m_found.push_back({start, end - start, range});
        m_book = range.book;
        m_chapter = range.endChapter;
        return true;
    }

    // "V" or "V-V" or "V-C:V" of a chapter; p at the verse.
    bool verses(qsizetype start, qsizetype& p, int book, int chapter) {
        const auto verse = number(p);
        if (!verse)
            return false;
        VerseRange r{book, chapter, *verse, chapter, *verse};
        qsizetype q = p;
        if (isDash(at(q))) {
            ++q;
            if (const auto end = number(q)) {
                if (at(q) == u':') {
                    ++q;
                    if (const auto endVerse = number(q)) {
                        r.endChapter = *end;
                        r.endVerse = *endVerse;
                        p = q;
                    }
                } else {
                    r.endVerse = *end;
                    p = q;
                }
            }
        }
        return endsNumber(p) && add(start, p, r);
    }

    // A chapter item: "C:V...", "C" or "C-C" (whole chapters), or "xxvii. V" when roman.
    bool chapterItem(qsizetype start, qsizetype& p, int book, bool roman) {
        if (roman) {
            const auto chapter = romanChapter(p);
            return chapter && verses(start, p, book, *chapter);
        }
        const auto chapter = number(p);
        if (!chapter)
            return false;
        if (at(p) == u':' && at(p + 1).isDigit()) {
            ++p;
            return verses(start, p, book, *chapter);
        }
        if (chapterCount(book) == 1) // "Jude 3": a book of one chapter counts its verses
            return endsNumber(p) && add(start, p, {book, 1, *chapter, 1, *chapter});
        VerseRange r{book, *chapter, 0, *chapter, 0};
        qsizetype q = p;
        if (isDash(at(q))) {
            ++q;
            if (const auto end = number(q)) {
                r.endChapter = *end;
                p = q;
                if (at(q) == u':' && at(q + 1).isDigit()) { // "1-3:21": 1:1 to 3:21
                    ++q;
                    r.verse = 1;
                    r.endVerse = number(q).value_or(0);
                    p = q;
                }
            }
        }
        return endsNumber(p) && at(p) != u'.' && add(start, p, r);
    }

    // After a reference: ", V", "; C:V", "; C", ", ii. 5" (roman lists), each added.
    void list(qsizetype p, bool roman) {
        for (;;) {
            qsizetype q = p;
            const QChar sep = at(q);
            if (sep != u',' && sep != u';')
                break;
            ++q;
            skipSpaces(q);
            const qsizetype start = q;
            if (matchBook(m_text, start).book >= 0)
                break; // "; 1 Sam. 2:1" begins a reference of its own
            bool ok = false;
            if (roman) {
                const bool romanNext = romanChapter(q).has_value();
                q = start;
                ok = romanNext ? chapterItem(start, q, m_book, true)
                               : sep == u',' && verses(start, q, m_book, m_chapter);
            } else if (sep == u',' && !(number(q) && at(q) == u':')) {
                q = start;
                ok = verses(start, q, m_book, m_chapter);
            } else {
                q = start;
                ok = chapterItem(start, q, m_book, false);
            }
            if (!ok)
                break;
            p = q;
        }
        m_at = p;
    }

    bool tryStart() {
        // Books begin with a capital or their ordinal ("1 Sam.", "i Peter").
        if ((at(m_at).isDigit() || at(m_at).isUpper() || at(m_at) == u'i') && numberSoon()) {
            if (const BookMatch book = matchBook(m_text, m_at); book.book >= 0)
                return fromBook(book);
        }
        if (at(m_at).isDigit())
            return bareChapter();
        if (at(m_at) == u'v' || at(m_at) == u'c') // "ver.", "verse", "ch.", "chap."
            return continuationWord();
        return false;
    }

    bool fromBook(const BookMatch& book) {
        qsizetype p = m_at + book.length;
        skipSpaces(p);
        if (p == m_at + book.length && !at(p).isDigit())
            return false;
        const qsizetype itemStart = p;
        bool roman = false;
        if (!at(p).isDigit()) {
            if (!romanChapter(p))
                return false;
            p = itemStart;
            roman = true;
        }
        if (!chapterItem(m_at, p, book.book, roman)) {
            // The name and its numbers stay plain text, and the numbers are not read again
            // as a bare reference to another book.
            m_at = pastNumbers(itemStart);
            return true;
        }
        list(p, roman);
        return true;
    }

    // "2:1" with no book before it: the book of the last reference, or the headword's.
    bool bareChapter() {
        qsizetype p = m_at;
        const auto chapter = number(p);
        if (chapter && isDash(at(p))) { // "(1-3:21)"
            ++p;
            number(p);
        }
        if (!chapter || at(p) != u':' || !at(p + 1).isDigit())
            return false;
        const int named = bookNamedBefore();
        const int book = named >= 0 ? named : m_book >= 0 ? m_book : m_headwordBook;
        if (book < 0 || followsOtherWork()) {
            ++p;
            number(p); // the verse is not read again as a reference of its own
            m_at = p;
            return true;
        }
        p = m_at;
        if (!chapterItem(m_at, p, book, false)) {
            m_at = pastNumbers(m_at);
            return true;
        }
        list(p, false);
        return true;
    }

    // A book's name is followed by its numbers within a few words of letters, spaces and
    // full stops ("Song of Solomon 2:1", "Lev. xxvii. 18"): most capitalised words are not,
    // and are passed over without a look in the book table.
    bool numberSoon() const {
        qsizetype p = m_at;
        if (at(p).isDigit())
            ++p;
        for (const qsizetype end = p + kNumberReach; p < end; ++p) {
            const QChar c = at(p);
            if (!c.isLetter() && c != u' ' && c != u'.')
                return c.isDigit();
        }
        return false;
    }

    // "Hosea (12:4, 5)", "Job (1:20, 21; 2:8)": a book's full name right before the
    // parenthesis names the book of the numbers in it.
    int bookNamedBefore() const {
        qsizetype p = m_at;
        if (at(p - 1) != u'(')
            return -1;
        --p;
        while (p > 0 && at(p - 1) == u' ')
            --p;
        qsizetype w = p;
        while (w > 0 && at(w - 1).isLetter())
            --w;
        if (w == p || !startsWord(w))
            return -1;
        const QStringView word = m_text.sliced(w, p - w);
        const BookMatch match = matchBook(m_text, w);
        if (match.book < 0 || match.length != word.size() || !bookName(match.book).endsWith(word))
            return -1;
        return match.book;
    }

    // An abbreviation of a work that is not a book of the Bible right before the numbers:
    // "Ant. 11:8" (Josephus), or a name the book table lacks ("Am 5:8" in a module), whose
    // numbers must not be taken for the last book's. Lead-in words ("Comp.", "See") are not
    // such works.
    bool followsOtherWork() const {
        qsizetype p = m_at;
        while (p > 0 && at(p - 1) == u' ')
            --p;
        if (p == m_at || p == 0)
            return false;
        const bool dot = at(p - 1) == u'.';
        if (dot)
            --p;
        qsizetype w = p;
        while (w > 0 && at(w - 1).isLetter())
            --w;
        if (!startsWord(w))
            return false;
        const QStringView word = m_text.sliced(w, p - w);
        if (word.isEmpty() || !word[0].isUpper())
            return false;
        for (QStringView leadIn :
             {u"Comp", u"Cf", u"See", u"Also", u"Compare", u"Ver", u"Ch", u"In", u"And"})
            if (word == leadIn)
                return false;
        return true;
    }

    // "ver. 12", "verse 33", "vers. 3, 4", "ch. 4-6", "chap. 4:5" in the last reference's book.
    bool continuationWord() {
        static const std::array<QStringView, 6> kVerseWords{u"ver.",   u"vers.", u"verse",
                                                            u"verses", u"vs.",   u"vv."};
        static const std::array<QStringView, 6> kChapterWords{u"ch.",  u"chap.",  u"chapter",
                                                              u"chs.", u"chaps.", u"chapters"};
        if (m_book < 0)
            return false;
        const QStringView rest = m_text.sliced(m_at);
        auto after = [&](const auto& words) -> qsizetype {
            for (QStringView w : words)
                if (rest.startsWith(w) && (w.endsWith(u'.') || !at(m_at + w.size()).isLetter()))
                    return m_at + w.size();
            return -1;
        };
        const qsizetype verseAt = after(kVerseWords);
        const qsizetype chapterAt = verseAt < 0 ? after(kChapterWords) : -1;
        qsizetype p = verseAt >= 0 ? verseAt : chapterAt;
        if (p < 0)
            return false;
        skipSpaces(p);
        if (!at(p).isDigit())
            return false;
        const bool ok =
            verseAt >= 0 ? verses(m_at, p, m_book, m_chapter) : chapterItem(m_at, p, m_book, false);
        if (!ok)
            return false;
        list(p, false);
        return true;
    }

    QStringView m_text;
    int m_headwordBook;
    qsizetype m_at = 0;
    int m_book = -1; // of the last reference found
    int m_chapter = 0;
    std::vector<ReferenceSpan> m_found;
};

} // namespace

std::vector<ReferenceSpan> findReferences(QStringView text, QStringView headword) {
    return Reader(text, headword).run();
}

} // namespace tolvane::references
