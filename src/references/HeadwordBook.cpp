#include "references/HeadwordBook.h"

#include "references/BookNames.h"
#include "references/Versification.h"

#include <QString>
#include <QStringList>

namespace tolvane::references {

namespace {

// A whole name ("Job", "1 Kings", "Acts"), never an abbreviation standing for a word.
int wholeName(QStringView name) {
    const BookMatch match = matchBook(name, 0);
    if (match.book < 0 || match.length != name.size() ||
        !bookName(match.book).endsWith(name.sliced(name.lastIndexOf(u' ') + 1)))
        return -1;
    return match.book;
}

// The qualifier after the name: "Book of", "The Books of", "First Epistle to the", "Gospel
// according to", "Prophecies of", "of the Apostles". Its ordinal (1..3), or 0 with none; -1
// when it is no qualifier of a book's entry.
int qualifierOrdinal(QStringView qualifier, bool& plural) {
    const QStringList words = qualifier.toString().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return -1;
    int ordinal = 0;
    bool named = false;
    for (const QString& word : words) {
        for (const auto& [text, value] : {std::pair{u"First", 1}, {u"Second", 2}, {u"Third", 3}})
            if (word == QStringView(text))
                ordinal = value;
        for (const char16_t* kind :
             {u"Book", u"Books", u"Epistle", u"Epistles", u"Gospel", u"Prophecies", u"Apostles"})
            if (word == QStringView(kind))
                named = true;
        plural = plural || word == u"Books" || word == u"Epistles";
    }
    return named ? ordinal : -1;
}

} // namespace

HeadwordBook bookOfHeadword(QStringView headword) {
    const QStringView text = headword.trimmed();
    if (text == u"Solomon, Song of")
        return {21, true};
    if (const int book = wholeName(text); book >= 0)
        return {book, false};
    // The name, then its qualifier after a comma, or after the name's first word without one
    // ("Acts of the Apostles", "Ruth The Book of").
    const qsizetype comma = text.indexOf(u',');
    const qsizetype space = text.indexOf(u' ');
    const qsizetype split = comma >= 0 ? comma : space;
    if (split <= 0)
        return {};
    const QStringView name = text.first(split).trimmed();
    bool plural = false;
    const int ordinal = qualifierOrdinal(text.sliced(split + 1), plural);
    if (ordinal < 0)
        return {};
    if (ordinal > 0 || plural) { // a numbered book: "1 John", "1 Kings"
        const int book = wholeName(QString::number(ordinal ? ordinal : 1) + u' ' + name.toString());
        if (book >= 0)
            return {book, true};
        if (ordinal > 0)
            return {};
    }
    const int book = wholeName(name);
    return book >= 0 ? HeadwordBook{book, true} : HeadwordBook{};
}

} // namespace tolvane::references
