#include "references/ScriptureReference.h"

#include "references/Versification.h"

namespace tolvane::references {

bool isValid(const VerseRange& r) {
    if (r.book < 0 || r.book >= bookCount())
        return false;
    if (r.chapter < 1 || r.chapter > chapterCount(r.book) || r.endChapter < r.chapter ||
        r.endChapter > chapterCount(r.book))
        return false;
    if (r.verse == 0)
        return r.endVerse == 0;
    if (r.verse > verseCount(r.book, r.chapter) || r.endVerse < 1 ||
        r.endVerse > verseCount(r.book, r.endChapter))
        return false;
    return r.endChapter > r.chapter || r.endVerse >= r.verse;
}

QString displayName(const VerseRange& r) {
    QString text = bookName(r.book) + u' ' + QString::number(r.chapter);
    if (r.verse == 0)
        return r.endChapter == r.chapter ? text : text + u'-' + QString::number(r.endChapter);
    text += u':' + QString::number(r.verse);
    if (r.endChapter != r.chapter)
        return text + u'-' + QString::number(r.endChapter) + u':' + QString::number(r.endVerse);
    if (r.endVerse != r.verse)
        return text + u'-' + QString::number(r.endVerse);
    return text;
}

QString swordKey(const VerseRange& r) {
    const QString book = bookOsisName(r.book);
    const int firstVerse = r.verse == 0 ? 1 : r.verse;
    const int lastVerse = r.verse == 0 ? verseCount(r.book, r.endChapter) : r.endVerse;
    const QString first = QStringLiteral("%1 %2:%3").arg(book).arg(r.chapter).arg(firstVerse);
    if (r.endChapter == r.chapter && lastVerse == firstVerse)
        return first;
    return first + QStringLiteral("-%1 %2:%3").arg(book).arg(r.endChapter).arg(lastVerse);
}

} // namespace tolvane::references
