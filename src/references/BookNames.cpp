#include "references/BookNames.h"

#include "references/Versification.h"

#include <QHash>
#include <QString>
#include <array>

namespace tolvane::references {

namespace {

// The names of one book, its first word only for the names of several words ("Song"), with
// the short names the SWORD modules use ("Lu", "1Jo");
// `numbered` names need an ordinal before them ("1 Sam.") and stand for the book numbered
// `book` + ordinal - 1. `dotted` abbreviations are common words ("Is", "Am"): they are taken
// with their full stop, or without it only right before a chapter and verse ("Am 2:4", as
// Nave's writes Amos).
struct Names {
    int book;
    bool numbered;
    std::initializer_list<const char16_t*> names;
    std::initializer_list<const char16_t*> dotted = {};
};

// clang-format off
const std::initializer_list<Names> kNames = {
    {0, false, {u"Genesis", u"Gen", u"Ge", u"Gn"}},
    {1, false, {u"Exodus", u"Exod", u"Ex", u"Exo"}},
    {2, false, {u"Leviticus", u"Lev", u"Lv", u"Le"}},
    {3, false, {u"Numbers", u"Num", u"Nu", u"Numb"}},
    {4, false, {u"Deuteronomy", u"Deut", u"Dt", u"Deu", u"De"}},
    {5, false, {u"Joshua", u"Josh", u"Jos"}},
    {6, false, {u"Judges", u"Judg", u"Jdg", u"Jud"}, {u"Judge"}},
    {7, false, {u"Ruth", u"Ru"}},
    {8, true, {u"Samuel", u"Sam", u"Sa"}},
    {10, true, {u"Kings", u"Kgs", u"King", u"Ki"}},
    {12, true, {u"Chronicles", u"Chron", u"Chr", u"Ch"}},
    {14, false, {u"Ezra", u"Ezr"}},
    {15, false, {u"Nehemiah", u"Neh", u"Ne"}},
    {16, false, {u"Esther", u"Esth", u"Est", u"Es"}},
    {17, false, {u"Job"}},
    {18, false, {u"Psalms", u"Psalm", u"Ps", u"Psa", u"Pss"}},
    {19, false, {u"Proverbs", u"Prov", u"Prv", u"Pr"}},
    {20, false, {u"Ecclesiastes", u"Eccl", u"Eccles", u"Ecc", u"Qoh", u"Ec"}},
    {21, false, {u"Canticles", u"Cant", u"Song", u"So"}},
    {22, false, {u"Isaiah", u"Isa"}, {u"Is"}},
    {23, false, {u"Jeremiah", u"Jer"}},
    {24, false, {u"Lamentations", u"Lam", u"La"}},
    {25, false, {u"Ezekiel", u"Ezek", u"Eze", u"Ezk"}},
    {26, false, {u"Daniel", u"Dan", u"Dn", u"Da"}},
    {27, false, {u"Hosea", u"Hos", u"Ho"}},
    {28, false, {u"Joel", u"Joe"}},
    {29, false, {u"Amos"}, {u"Am"}},
    {30, false, {u"Obadiah", u"Obad", u"Ob"}},
    {31, false, {u"Jonah", u"Jon"}},
    {32, false, {u"Micah", u"Mic"}},
    {33, false, {u"Nahum", u"Nah", u"Na"}},
    {34, false, {u"Habakkuk", u"Hab"}},
    {35, false, {u"Zephaniah", u"Zeph", u"Zep"}},
    {36, false, {u"Haggai", u"Hag"}},
    {37, false, {u"Zechariah", u"Zech", u"Zec"}},
    {38, false, {u"Malachi", u"Mal"}},
    {39, false, {u"Matthew", u"Matt", u"Mat", u"Mt"}},
    {40, false, {u"Mark", u"Mk", u"Mar", u"Mr"}},
    {41, false, {u"Luke", u"Lk", u"Luk", u"Lu"}},
    {42, false, {u"John", u"Jn", u"Joh"}},
    {43, false, {u"Acts", u"Act", u"Ac"}},
    {44, false, {u"Romans", u"Rom", u"Ro"}},
    {45, true, {u"Corinthians", u"Cor", u"Co"}},
    {47, false, {u"Galatians", u"Gal", u"Ga"}},
    {48, false, {u"Ephesians", u"Eph"}},
    {49, false, {u"Philippians", u"Phil", u"Php"}},
    {50, false, {u"Colossians", u"Col"}},
    {51, true, {u"Thessalonians", u"Thess", u"Thes", u"Th"}},
    {53, true, {u"Timothy", u"Tim", u"Ti"}},
    {55, false, {u"Titus", u"Tit"}},
    {56, false, {u"Philemon", u"Philem", u"Phlm", u"Phm"}},
    {57, false, {u"Hebrews", u"Heb"}},
    {58, false, {u"James", u"Jas", u"Jam"}},
    {59, true, {u"Peter", u"Pet", u"Pe"}},
    {61, true, {u"John", u"Jn", u"Joh", u"Jo"}},
    {64, false, {u"Jude"}},
    {65, false, {u"Revelation", u"Rev", u"Apoc", u"Apocalypse", u"Re"}},
    {66, true, {u"Esdras", u"Esd"}},
    {68, false, {u"Tobit", u"Tob"}},
    {69, false, {u"Judith", u"Jdt"}},
    {70, false, {u"Wisdom", u"Wisd", u"Wis"}},
    {71, false, {u"Sirach", u"Ecclesiasticus", u"Ecclus", u"Sir"}},
    {72, false, {u"Baruch", u"Bar"}},
    {74, false, {u"Susanna", u"Sus"}},
    {75, false, {u"Bel"}},
    {76, false, {u"Manasses"}},
    {77, true, {u"Maccabees", u"Macc", u"Mac"}},
};
// clang-format on

// How many books a numbered name covers: three epistles of John, two of everything else.
int ordinals(int firstBook) {
    return firstBook == 61 ? 3 : 2;
}

struct Entry {
    int book = -1;
    bool numbered = false;
    bool needsDot = false;
};

struct Table {
    QHash<QString, Entry> plain;    // names used without an ordinal
    QHash<QString, Entry> numbered; // names used after one
    Table() {
        for (const Names& n : kNames) {
            auto& into = n.numbered ? numbered : plain;
            for (const char16_t* name : n.names)
                into.insert(QString::fromUtf16(name), {n.book, n.numbered, false});
            for (const char16_t* name : n.dotted)
                into.insert(QString::fromUtf16(name), {n.book, n.numbered, true});
        }
    }
};

const Table& table() {
    static const Table t;
    return t;
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber();
}

// "1", "2", "3", "i", "ii", "iii", "I", "II", "III" followed by one space (or none after a
// digit: "1Sam."). Returns the ordinal and moves `at` past it, or 0.
int readOrdinal(QStringView text, qsizetype& at) {
    qsizetype p = at;
    int value = 0;
    if (p < text.size() && text[p] >= u'1' && text[p] <= u'3') {
        value = text[p].unicode() - u'0';
        ++p;
    } else {
        const QChar one = p < text.size() && text[p] == u'I' ? u'I' : u'i';
        while (p < text.size() && text[p] == one && value < 4)
            ++value, ++p;
    }
    if (value == 0 || value > 3 || (p < text.size() && isWordChar(text[p]) && text[p].isLower()))
        return 0;
    if (p < text.size() && text[p] == u' ')
        ++p;
    else if (!text[at].isDigit())
        return 0;
    at = p;
    return value;
}

qsizetype wordEnd(QStringView text, qsizetype at) {
    while (at < text.size() && text[at].isLetter())
        ++at;
    return at;
}

// Spaces, then "C:V": what makes "Am" a book.
bool chapterAndVerseAt(QStringView text, qsizetype p) {
    const qsizetype spaces = p;
    while (p < text.size() && text[p] == u' ')
        ++p;
    const qsizetype digits = p;
    while (p < text.size() && text[p].isDigit())
        ++p;
    return p > digits && digits > spaces && p + 1 < text.size() && text[p] == u':' &&
           text[p + 1].isDigit();
}

// The names of several words: "Song of Solomon", "Song of Songs".
qsizetype longerName(QStringView text, qsizetype afterFirstWord, int book) {
    if (book != 21)
        return afterFirstWord;
    for (QStringView rest : {QStringView(u" of Solomon"), QStringView(u" of Songs")})
        if (text.sliced(afterFirstWord).startsWith(rest))
            return afterFirstWord + rest.size();
    return afterFirstWord;
}

} // namespace

BookMatch matchBook(QStringView text, qsizetype at) {
    const Table& names = table();
    qsizetype p = at;
    const int ordinal = readOrdinal(text, p);
    if (p >= text.size() || !text[p].isUpper())
        return {};
    const qsizetype end = wordEnd(text, p);
    const QString word = text.sliced(p, end - p).toString();
    const auto& hash = ordinal ? names.numbered : names.plain;
    const auto found = hash.constFind(word);
    if (found == hash.cend())
        return {};
    const bool dot = end < text.size() && text[end] == u'.';
    if (found->needsDot && !dot && !chapterAndVerseAt(text, end))
        return {};
    int book = found->book;
    if (ordinal) {
        if (ordinal > ordinals(book))
            return {};
        book += ordinal - 1;
    }
    const qsizetype nameEnd = longerName(text, end, book);
    return {book, nameEnd + (dot && nameEnd == end ? 1 : 0) - at};
}

} // namespace tolvane::references
