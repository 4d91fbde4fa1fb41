// Places from the full texts (Easton's, Nave's, the King James words) that a reader checked
// against the verses, each with every reference it holds written out as "span = verses": the
// book a bare reference takes, the headwords of the books, the printed forms of chapter and
// verse, and what follows a reference that fails.

#include "references/ReferenceFinder.h"

#include <gtest/gtest.h>

using namespace tolvane::references;

namespace {

using Refs = std::vector<QString>;

struct Place {
    const char* what;
    const char16_t* text;
    const char16_t* headword;
    Refs expected;
};

Refs found(const QString& text, const QString& headword) {
    Refs out;
    for (const ReferenceSpan& s : findReferences(text, headword))
        out.push_back(text.mid(s.start, s.length) + QStringLiteral(" = ") + displayName(s.range));
    return out;
}

// clang-format off
const Place kPlaces[] = {
    // In a book's own entry a bare chapter and verse is that book's...
    {"gospel's entry", u"He is first mentioned in Acts 12:25. Such are \u201cBartimaeus\u201d (10:46); "
     u"\u201cAbba\u201d (14:36).", u"Mark, Gospel according to",
     {"Acts 12:25 = Acts 12:25", "10:46 = Mark 10:46", "14:36 = Mark 14:36"}},
    {"epistle's entry", u"(Gal. 2:9). Fatalism (1:13); oppression (5:4).", u"James, Epistle of",
     {"Gal. 2:9 = Galatians 2:9", "1:13 = James 1:13", "5:4 = James 5:4"}},
    {"chapter words", u"(see 2 Sam. 1:19-27). In chapter 1 the prophet; Chapters 3 and 4",
     u"Lamentations, Book of",
     {"2 Sam. 1:19-27 = 2 Samuel 1:19-27", "chapter 1 = Lamentations 1",
      "Chapters 3 = Lamentations 3", "4 = Lamentations 4"}},
    {"verse of a book of one chapter", u"(Matt. 13:55). Some had heard the apostles (ver. 17).",
     u"Jude, Epistle of", {"Matt. 13:55 = Matthew 13:55", "ver. 17 = Jude 1:17"}},
    // ...unless its sentence cites another book first,
    {"same sentence", u"The nations are judged (1:1-2:3). He quotes Joel 3:16, and 2:28.",
     u"Amos, Book of",
     {"1:1-2:3 = Amos 1:1-2:3", "Joel 3:16 = Joel 3:16", "2:28 = Joel 2:28"}},
    // or the numbers cannot be that book's ("throughout all Asia" is Acts 19:26).
    {"not the book's", u"(Acts 19:10). \u201cThroughout all Asia\u201d (19:26).",
     u"Ephesians, Epistle to", {"Acts 19:10 = Acts 19:10", "19:26 = Acts 19:26"}},
    // Under a plain name, a new paragraph on the book takes it; a person's entry goes on with
    // the book cited before, and so does its next numbered person.
    {"prophet and book", u"In Ezra 5:1 he is the son of Iddo.\nHis book: (1) chapters 1 to 8, "
     u"the crowning of Joshua (6:9-15).", u"Zechariah",
     {"Ezra 5:1 = Ezra 5:1", "chapters 1 to 8 = Zechariah 1-8", "6:9-15 = Zechariah 6:9-15"}},
    {"person", u"(Acts 12:25; 13:13). Three years afterwards (15:36-40).", u"Mark",
     {"Acts 12:25 = Acts 12:25", "13:13 = Acts 13:13", "15:36-40 = Acts 15:36-40"}},
    {"numbered person", u"(1.) One who sat in judgment (Acts 4:6).\n(2.) The Hebrew name of "
     u"Mark (12:12, 25).", u"John",
     {"Acts 4:6 = Acts 4:6", "12:12 = Acts 12:12", "25 = Acts 12:25"}},
    {"book named with possessive", u"(Ex. 28:20). In Ezekiel\u2019s vision a beryl stone (1:16; 10:9).",
     u"", {"Ex. 28:20 = Exodus 28:20", "1:16 = Ezekiel 1:16", "10:9 = Ezekiel 10:9"}},
    // The headwords of the numbered books and of Acts.
    {"first epistle", u"love (2:7, 8; 3:14)", u"John, First Epistle of",
     {"2:7 = 1 John 2:7", "8 = 1 John 2:8", "3:14 = 1 John 3:14"}},
    {"Peter", u"to pastors and people (ch. 5).", u"Peter, First Epistle of", {"ch. 5 = 1 Peter 5"}},
    {"two books", u"the book of the acts of Solomon (11:41)", u"Kings, The Books of",
     {"11:41 = 1 Kings 11:41"}},
    {"Acts", u"a \u201ctreatise\u201d (1:1)", u"Acts of the Apostles", {"1:1 = Acts 1:1"}},
    // The printed forms of chapter and verse.
    {"space after the colon", u"(Jer. 51: 57; Esther 3: 12)", u"",
     {"Jer. 51: 57 = Jeremiah 51:57", "Esther 3: 12 = Esther 3:12"}},
    {"chapter lists", u"(Ex. 14, 15; Num. 33:8). The title of Ps. 57, 58, 59, and 75.", u"",
     {"Ex. 14 = Exodus 14", "15 = Exodus 15", "Num. 33:8 = Numbers 33:8", "Ps. 57 = Psalms 57",
      "58 = Psalms 58", "59 = Psalms 59", "75 = Psalms 75"}},
    {"no such chapter: a verse", u"near Lachish (Josh. 15, 38)", u"",
     {"Josh. 15 = Joshua 15", "38 = Joshua 15:38"}},
    {"whole chapters at a full stop", u"recorded in Acts 6. (Comp. Rev. 12.) Judg. 13-16.", u"",
     {"Acts 6 = Acts 6", "Rev. 12 = Revelation 12", "Judg. 13-16 = Judges 13-16"}},
    {"chapters in words", u"Gen. 7 and 8; Num. ch. 1-11; the 88th Psalm; Ezekiel (1-10)", u"",
     {"Gen. 7 = Genesis 7", "8 = Genesis 8", "Num. ch. 1-11 = Numbers 1-11",
      "88th Psalm = Psalms 88", "1-10 = Ezekiel 1-10"}},
    {"ranges to a chapter", u"(Gen. 1:27-ch. 5; 2 Sam. 11:2-12: 29)", u"",
     {"Gen. 1:27-ch. 5 = Genesis 1:27-5:32", "2 Sam. 11:2-12: 29 = 2 Samuel 11:2-12:29"}},
    {"colon after a range", u"in Rom. 1:21-25: men forsook God (Acts 12:17; 15:13-29: 21:18-24)",
     u"", {"Rom. 1:21-25 = Romans 1:21-25", "Acts 12:17 = Acts 12:17",
           "15:13-29 = Acts 15:13-29", "21:18-24 = Acts 21:18-24"}},
    // The numbers after a book belong to it, even when the reference fails.
    {"misprinted book", u"(Num. 26:64). In the genealogy (Matt, 1:4; Luke 3:32).", u"",
     {"Num. 26:64 = Numbers 26:64", "Matt, 1:4 = Matthew 1:4", "Luke 3:32 = Luke 3:32"}},
    {"book then a comma", u"(Ezek. 30:13), the prophet Isaiah, 19:13; 44:16-19", u"",
     {"Ezek. 30:13 = Ezekiel 30:13", "Isaiah, 19:13 = Isaiah 19:13",
      "44:16-19 = Isaiah 44:16-19"}},
    {"no such verse", u"(Job 42:8), consecration (Lev. 42:6, 17; 8:11, 33)", u"",
     {"Job 42:8 = Job 42:8", "8:11 = Leviticus 8:11", "33 = Leviticus 8:33"}},
    {"name then a numbered book", u"Ac 19:1  * By Titus 2Co 8:16; the Epistle to the Hebrews, "
     u"ch. 7", u"",
     {"Ac 19:1 = Acts 19:1", "2Co 8:16 = 2 Corinthians 8:16", "Hebrews, ch. 7 = Hebrews 7"}},
    {"after an aside of chapters", u"(1 Sam. 23:1-14). Comp. Ps. 31. Words of encouragement "
     u"(23:16-18).", u"",
     {"1 Sam. 23:1-14 = 1 Samuel 23:1-14", "Ps. 31 = Psalms 31", "23:16-18 = 1 Samuel 23:16-18"}},
    // The books' names.
    {"Apocrypha", u"Susanna 1:5; Bel 1:3; 1 Macc. 1:57; 2 Macc. 3:1", u"",
     {"Susanna 1:5 = Susanna 1:5", "Bel 1:3 = Bel and the Dragon 1:3",
      "1 Macc. 1:57 = 1 Maccabees 1:57", "2 Macc. 3:1 = 2 Maccabees 3:1"}},
    {"Manasseh a person", u"Isa 37:38  * Manasseh 2Ki 21:16; 24:4", u"",
     {"Isa 37:38 = Isaiah 37:38", "2Ki 21:16 = 2 Kings 21:16", "24:4 = 2 Kings 24:4"}},
    {"Nave's Jud and Am", u"Jud 6:26; 17:7; Ho 6:6; Am 2:4; 5:8; I Am 3 times", u"",
     {"Jud 6:26 = Judges 6:26", "17:7 = Judges 17:7", "Ho 6:6 = Hosea 6:6",
      "Am 2:4 = Amos 2:4", "5:8 = Amos 5:8"}},
    // What the finder kept.
    {"kept forms", u"(1 Sam. 14:1-47; 17); Cant. 1:1; Judge. 3:1; De 6:4; Lev. xxvii. 18", u"",
     {"1 Sam. 14:1-47 = 1 Samuel 14:1-47", "17 = 1 Samuel 17", "Cant. 1:1 = Song of Solomon 1:1",
      "Judge. 3:1 = Judges 3:1", "De 6:4 = Deuteronomy 6:4", "Lev. xxvii. 18 = Leviticus 27:18"}},
    {"enumerators", u"(1) Luke 23:34; (2) 23:43. Gen. 1:1. 2. The next; Ps. 11. 14", u"",
     {"Luke 23:34 = Luke 23:34", "23:43 = Luke 23:43", "Gen. 1:1 = Genesis 1:1"}},
};
// clang-format on

} // namespace

TEST(CitationForms, PlacesFromTheTextsReadAsTheirReadersMeanThem) {
    for (const Place& place : kPlaces) {
        SCOPED_TRACE(place.what);
        EXPECT_EQ(found(QString::fromUtf16(place.text), QString::fromUtf16(place.headword)),
                  place.expected);
    }
}
