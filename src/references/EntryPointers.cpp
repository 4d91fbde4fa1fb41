#include "references/EntryPointers.h"

#include "references/BookNames.h"
#include "references/TextScan.h"

#include <algorithm>

namespace tolvane::references {

namespace {

constexpr qsizetype kLongestName = 60;
constexpr int kMostWordsBeforeQv = 3;

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c.isMark() || c == u' ' || c == u'-' || c == u'\'' ||
           c == QChar(0x2019);
}

void addIfHeadword(std::vector<EntryPointer>& found, QStringView text, qsizetype start,
                   qsizetype end, const HeadwordLookup& lookup) {
    while (start < end && text[start] == u' ')
        ++start;
    while (end > start && text[end - 1] == u' ')
        --end;
    if (end == start || end - start > kLongestName)
        return;
    const QString headword = lookup(text.sliced(start, end - start).toString());
    if (!headword.isEmpty())
        found.push_back({start, end - start, headword});
}

// After "See " (and "also "): names separated by ";" or ",", up to the first other mark.
// "(See Dan. 3:5, 6.)" points at verses, not at the entry "Dan".
void seeList(std::vector<EntryPointer>& found, QStringView text, qsizetype p, bool inParens,
             const HeadwordLookup& lookup) {
    if (text.sliced(p).startsWith(u"also "))
        p += 5;
    for (;;) {
        while (p < text.size() && text[p] == u' ')
            ++p;
        if (p >= text.size() || (!inParens && !text[p].isUpper()))
            return;
        const BookMatch book = matchBook(text, p);
        if (book.book >= 0)
            return;
        qsizetype end = p;
        while (end < text.size() && isNameChar(text[end]) && end - p <= kLongestName)
            ++end;
        addIfHeadword(found, text, p, end, lookup);
        if (end >= text.size() || (text[end] != u';' && text[end] != u','))
            return;
        p = end + 1;
    }
}

// The words right before "(q.v.)": the longest run of up to three that is a headword.
void beforeQv(std::vector<EntryPointer>& found, QStringView text, qsizetype qv,
              const HeadwordLookup& lookup) {
    qsizetype end = qv;
    while (end > 0 && text[end - 1] == u' ')
        --end;
    std::vector<qsizetype> starts;
    qsizetype p = end;
    while (int(starts.size()) < kMostWordsBeforeQv) {
        qsizetype w = p;
        while (w > 0 && isNameChar(text[w - 1]) && text[w - 1] != u' ')
            --w;
        if (w == p)
            break;
        starts.push_back(w);
        if (w == 0 || text[w - 1] != u' ')
            break;
        p = w - 1;
    }
    const std::size_t before = found.size();
    for (auto s = starts.rbegin(); s != starts.rend() && found.size() == before; ++s)
        addIfHeadword(found, text, *s, end, lookup);
}

} // namespace

// Pointers are few in a long entry: the text is scanned for "see " (TextScan.h) and searched
// for the rare "q" of "q.v." (Qt's quickest search, many characters at a time); only there are
// words looked at.
std::vector<EntryPointer> findEntryPointers(QStringView text, const HeadwordLookup& lookup) {
    std::vector<EntryPointer> found;
    auto wordStart = [&](qsizetype at) { return at == 0 || !text[at - 1].isLetterOrNumber(); };
    auto inParens = [&](qsizetype at) { return at > 0 && text[at - 1] == u'('; };
    const auto see = [](const char16_t* c, qsizetype at) {
        return (c[at + 3] == u' ') & (c[at + 2] == u'e') & (c[at + 1] == u'e') &
               ((c[at] | 0x20) == u's');
    };
    const auto seeHere = [&](qsizetype at) {
        return at + 3 < text.size() && see(text.utf16(), at);
    };
    for (qsizetype at = scanFor(text, 0, 3, see, seeHere); at < text.size();
         at = scanFor(text, at + 1, 3, see, seeHere)) {
        if (wordStart(at))
            seeList(found, text, at + 4, inParens(at), lookup);
    }
    for (qsizetype at = text.indexOf(u'q'); at >= 0; at = text.indexOf(u'q', at + 1)) {
        if (text.sliced(at).startsWith(u"q.v.") && wordStart(at))
            beforeQv(found, text, inParens(at) ? at - 1 : at, lookup);
    }
    // "See MOSES (q.v.)" is found by both: the name after "See" and the words before
    // "(q.v.)", which may take "See" in too. A span may link only once, so where two
    // meet the one that begins first (the longer of two that begin together) is kept.
    std::sort(found.begin(), found.end(), [](const EntryPointer& a, const EntryPointer& b) {
        return a.start != b.start ? a.start < b.start : a.length > b.length;
    });
    qsizetype free = 0; // where the last kept span ends
    std::erase_if(found, [&free](const EntryPointer& p) {
        if (p.start < free)
            return true;
        free = p.start + p.length;
        return false;
    });
    return found;
}

} // namespace tolvane::references
