#include "references/ReferenceContext.h"

#include "references/BookNames.h"
#include "references/Versification.h"

#include <algorithm>

namespace tolvane::references {

namespace {

bool startsWord(QStringView text, qsizetype p) {
    return p == 0 || !charAt(text, p - 1).isLetterOrNumber();
}

// The word of letters that ends right before `p`.
QStringView wordBefore(QStringView text, qsizetype p) {
    qsizetype w = p;
    while (w > 0 && charAt(text, w - 1).isLetter())
        --w;
    return startsWord(text, w) ? text.sliced(w, p - w) : QStringView();
}

bool isParagraphBreak(QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar(0x2029);
}

bool isClosing(QChar c) {
    return c == u')' || c == u']' || c == u'"' || c == u'\'' || c == QChar(0x201D) ||
           c == QChar(0x2019);
}

bool opensSentence(QChar c) {
    return c.isUpper() || c == u'(' || c == u'"' || c == QChar(0x201C) || c == QChar(0x2018);
}

// Abbreviations the dictionaries write before a capital inside a sentence.
bool isAbbreviation(QStringView word) {
    if (word.isEmpty()) // "(Ex. 6:20). Born", "44. The"
        return false;
    if (word.size() == 1) // "A.V.", "R.V.", initials
        return true;
    for (QStringView a : {u"Comp", u"comp", u"Cf", u"cf", u"Heb", u"Gr", u"Lat", u"Chald", u"Syr",
                          u"marg", u"viz", u"ver", u"ch", u"See", u"Mr", u"Dr", u"St"})
        if (word == a)
            return true;
    return false;
}

} // namespace

int bookNamedBefore(QStringView text, qsizetype p) {
    if (charAt(text, p - 1) != u'(')
        return -1;
    --p;
    while (p > 0 && charAt(text, p - 1) == u' ')
        --p;
    const QStringView word = wordBefore(text, p);
    if (word.isEmpty())
        return -1;
    const qsizetype w = p - word.size();
    const BookMatch match = matchBook(text, w);
    if (match.book < 0 || match.length != word.size() || !bookName(match.book).endsWith(word))
        return -1;
    return match.book;
}

int bookNamedPossessive(QStringView text, qsizetype from, qsizetype p) {
    constexpr qsizetype kReach = 100; // "Ezekiel’s vision was as the colour of a beryl stone ("
    for (qsizetype s = p - 2; s > std::max(from, p - kReach); --s) {
        const QChar c = charAt(text, s);
        if (c == u'.' || c == u'?' || c == u'!' || c == u';' || c == u'\n' || c == QChar(0x2029))
            return -1; // only within the sentence's clause
        if (c != u's' || charAt(text, s + 1).isLetter() ||
            (charAt(text, s - 1) != QChar(0x2019) && charAt(text, s - 1) != u'\''))
            continue;
        const QStringView word = wordBefore(text, s - 1);
        if (word.isEmpty())
            continue;
        const BookMatch match = matchBook(text, s - 1 - word.size());
        if (match.book >= 0 && match.length == word.size() && bookName(match.book).endsWith(word))
            return match.book;
    }
    return -1;
}

bool followsOtherWork(QStringView text, qsizetype p) {
    const qsizetype numbers = p;
    while (p > 0 && charAt(text, p - 1) == u' ')
        --p;
    if (p == numbers || p == 0)
        return false;
    if (charAt(text, p - 1) == u'.')
        --p;
    const QStringView word = wordBefore(text, p);
    if (word.isEmpty() || !word[0].isUpper())
        return false;
    for (QStringView leadIn :
         {u"Comp", u"Cf", u"See", u"Also", u"Compare", u"Ver", u"Ch", u"In", u"And"})
        if (word == leadIn)
            return false;
    return true;
}

bool plainParagraphBetween(QStringView text, qsizetype from, qsizetype to) {
    qsizetype opens = -1;
    for (qsizetype p = from; p < to; ++p)
        if (isParagraphBreak(charAt(text, p)))
            opens = p + 1;
    if (opens < 0)
        return false;
    while (opens < to && (charAt(text, opens).isSpace() || isParagraphBreak(charAt(text, opens))))
        ++opens;
    qsizetype p = charAt(text, opens) == u'(' ? opens + 1 : opens;
    const qsizetype digits = p;
    while (charAt(text, p).isDigit())
        ++p;
    return p == digits || (charAt(text, p) != u'.' && charAt(text, p) != u')');
}

bool sentenceEndsBetween(QStringView text, qsizetype from, qsizetype to) {
    for (qsizetype p = from; p < to; ++p) {
        const QChar c = charAt(text, p);
        if (isParagraphBreak(c))
            return true;
        if (c != u'.' && c != u'?' && c != u'!')
            continue;
        qsizetype q = p + 1;
        while (isClosing(charAt(text, q)))
            ++q;
        if (charAt(text, q) != u' ' || q >= to)
            continue;
        while (charAt(text, q) == u' ')
            ++q;
        if (opensSentence(charAt(text, q)) && (c != u'.' || !isAbbreviation(wordBefore(text, p))))
            return true;
    }
    return false;
}

} // namespace tolvane::references
