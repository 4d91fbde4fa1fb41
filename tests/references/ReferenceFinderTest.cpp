// Each case lists every reference expected, as "the text of its span = the verses it means",
// so a span one character off or a wrong book fails with both shown.

#include "references/ReferenceFinder.h"
#include "references/RomanNumerals.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tolvane::references;

namespace {

std::vector<QString> found(const QString& text, const QString& headword = {}) {
    std::vector<QString> out;
    for (const ReferenceSpan& s : findReferences(text, headword))
        out.push_back(text.mid(s.start, s.length) + QStringLiteral(" = ") + displayName(s.range));
    return out;
}

using Refs = std::vector<QString>;

} // namespace

TEST(ReferenceFinder, BooksWithTheWorksAbbreviations) {
    EXPECT_EQ(found("Gen. 14:5; Ex. 3:2; Judg. 4:5; 1 Sam. 2:1; Cant. 1:1; Isa. 6:1"),
              (Refs{"Gen. 14:5 = Genesis 14:5", "Ex. 3:2 = Exodus 3:2", "Judg. 4:5 = Judges 4:5",
                    "1 Sam. 2:1 = 1 Samuel 2:1", "Cant. 1:1 = Song of Solomon 1:1",
                    "Isa. 6:1 = Isaiah 6:1"}));
    EXPECT_EQ(found("(Matt. 5:3, Phil. 4:7, Philem. 1:2, Jas. 1:5, Rev. 22:21, Jude 3)"),
              (Refs{"Matt. 5:3 = Matthew 5:3", "Phil. 4:7 = Philippians 4:7",
                    "Philem. 1:2 = Philemon 1:2", "Jas. 1:5 = James 1:5",
                    "Rev. 22:21 = Revelation 22:21", "Jude 3 = Jude 1:3"}));
    EXPECT_EQ(found("in 2 Kings 4:8 and Song of Solomon 2:1"),
              (Refs{"2 Kings 4:8 = 2 Kings 4:8", "Song of Solomon 2:1 = Song of Solomon 2:1"}));
}

TEST(ReferenceFinder, RangesListsAndChapters) {
    EXPECT_EQ(found("Gen. 14:1-16"), (Refs{"Gen. 14:1-16 = Genesis 14:1-16"}));
    EXPECT_EQ(found("Ruth 1:22\u20132:3"), (Refs{"Ruth 1:22\u20132:3 = Ruth 1:22-2:3"}));
    EXPECT_EQ(found("the text of Rev. 1:8, 11; 21:6; 22:13, and"),
              (Refs{"Rev. 1:8 = Revelation 1:8", "11 = Revelation 1:11", "21:6 = Revelation 21:6",
                    "22:13 = Revelation 22:13"}));
    EXPECT_EQ(found("(Num. 11:33, 34; 12)"),
              (Refs{"Num. 11:33 = Numbers 11:33", "34 = Numbers 11:34", "12 = Numbers 12"}));
    EXPECT_EQ(found("Ex. 4:14, 27-30"), (Refs{"Ex. 4:14 = Exodus 4:14", "27-30 = Exodus 4:27-30"}));
    EXPECT_EQ(found("Ps. 119 and Gen. 1-3"),
              (Refs{"Ps. 119 = Psalms 119", "Gen. 1-3 = Genesis 1-3"}));
}

TEST(ReferenceFinder, ContinuationsTakeTheBookBefore) {
    EXPECT_EQ(
        found("(Ex. 6:20). Born three years before (2:1, 4; 7:7)."),
        (Refs{"Ex. 6:20 = Exodus 6:20", "2:1 = Exodus 2:1", "4 = Exodus 2:4", "7:7 = Exodus 7:7"}));
    EXPECT_EQ(found("Gen. 14:5; comp. ver. 12, and verse 23; ch. 4-6"),
              (Refs{"Gen. 14:5 = Genesis 14:5", "ver. 12 = Genesis 14:12",
                    "verse 23 = Genesis 14:23", "ch. 4-6 = Genesis 4-6"}));
    EXPECT_EQ(found("the king's dream (2:31), then (11:31)", "Daniel"),
              (Refs{"2:31 = Daniel 2:31", "11:31 = Daniel 11:31"}));
    EXPECT_EQ(found("his patience (1:21)", "Job, Book of"), (Refs{"1:21 = Job 1:21"}));
    EXPECT_EQ(found("(1:21) with no book", "Aaron"), Refs{});
    // A book's name before the parenthesis wins over the reference before.
    EXPECT_EQ(found("Acts 2:8. Job (1:20, 21; 2:8); Ezekiel (1-3:21)"),
              (Refs{"Acts 2:8 = Acts 2:8", "1:20 = Job 1:20", "21 = Job 1:21", "2:8 = Job 2:8",
                    "1-3:21 = Ezekiel 1:1-3:21"}));
    EXPECT_EQ(found("ver. 12 with no book before"), Refs{});
}

// Text far from any digit is passed over: a name as far from its number as a name can be, or
// a continuation word with many spaces, after a long stretch with no digit, is still read.
TEST(ReferenceFinder, ReferencesAfterLongStretchesWithoutDigits) {
    const QString words = QStringLiteral("and so the word went on ").repeated(20);
    EXPECT_EQ(found(words + "Song of Solomon 2:1; " + words + "then verse     5, " + words +
                    "Lev. xxvii. 18"),
              (Refs{"Song of Solomon 2:1 = Song of Solomon 2:1",
                    "verse     5 = Song of Solomon 2:5", "Lev. xxvii. 18 = Leviticus 27:18"}));
}

TEST(ReferenceFinder, RomanChapters) {
    EXPECT_EQ(found("Lev. xxvii. 18; Deut. xxxiv. 7"),
              (Refs{"Lev. xxvii. 18 = Leviticus 27:18", "Deut. xxxiv. 7 = Deuteronomy 34:7"}));
    EXPECT_EQ(found("Ps. cxix. 66"), (Refs{"Ps. cxix. 66 = Psalms 119:66"}));
    EXPECT_EQ(found("i Peter i. 3, ii. 5"),
              (Refs{"i Peter i. 3 = 1 Peter 1:3", "ii. 5 = 1 Peter 2:5"}));
    EXPECT_EQ(found("Ecclus. XXV. 23"), (Refs{"Ecclus. XXV. 23 = Sirach 25:23"}));
    EXPECT_EQ(romanValue(u"cxix"), 119);
    EXPECT_EQ(romanValue(u"ii"), 2);
    EXPECT_EQ(romanValue(u"XXV"), 25);
    for (const char16_t* notRoman : {u"iix", u"vv", u"Xv", u"Pr", u"", u"cd"})
        EXPECT_EQ(romanValue(notRoman), 0) << QString::fromUtf16(notRoman).toStdString();
    // A scanned "l" printed as a capital "I", read where no other reading is possible.
    EXPECT_EQ(found("Is. Ixvi. 24; Ps. Ixviii. 13"),
              (Refs{"Is. Ixvi. 24 = Isaiah 66:24", "Ps. Ixviii. 13 = Psalms 68:13"}));
    EXPECT_EQ(found("Ps. Iv. 3; Is. Ix. 2; Gen. Ixvi. 2"), Refs{}); // "iv", "ix"; no 66th chapter
    EXPECT_EQ(romanValueScannedAsCapitalI(u"Ixxx"), 80);
    for (const char16_t* text : {u"Iv", u"I", u"IXV", u"Il", u"xvi"})
        EXPECT_EQ(romanValueScannedAsCapitalI(text), 0) << QString::fromUtf16(text).toStdString();
}

TEST(ReferenceFinder, NonReferences) {
    EXPECT_EQ(found("(omitted in R.V.)"), Refs{});
    EXPECT_EQ(found("Josephus (Ant. 11:8, 9) says"), Refs{});
    // Psalm 11 has 7 verses; the verse is never rolled over, nor read as the book before's.
    EXPECT_EQ(found("Gen. 1:1; Ps. 11:14"), (Refs{"Gen. 1:1 = Genesis 1:1"}));
    EXPECT_EQ(found("Ps. 151:1, Jude 26, Obad. 2:1"), Refs{});
    EXPECT_EQ(found("Ps. xxxvii. 9, Pr. Bk. ; Acts xx. 23"),
              (Refs{"Ps. xxxvii. 9 = Psalms 37:9", "Acts xx. 23 = Acts 20:23"}));
    EXPECT_EQ(found("Gen. 1:1; Pr.-Bk. 12:3"), (Refs{"Gen. 1:1 = Genesis 1:1"}));
    EXPECT_EQ(found("Mark his words; Job was 70 years old; Is it so"), Refs{});
    EXPECT_EQ(found("verse 3 of the hymn; at 10:30 in the morning"), Refs{});
}

TEST(ReferenceFinder, OffsetsAcrossParagraphsAndQuotes) {
    // As the entry boxes hold it: a paragraph break is one unit, quotes are single units.
    const QString text =
        QString::fromUtf16(u"\u201cAlpha\u201d\u2029(Gen. 1:1)\n\u2018x\u2019 John 3:16");
    const auto spans = findReferences(text);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].start, text.indexOf(u"Gen."));
    EXPECT_EQ(spans[0].length, 8);
    EXPECT_EQ(spans[1].start, text.indexOf(u"John"));
    EXPECT_EQ(spans[1].range, (VerseRange{42, 3, 16, 3, 16}));
}

// The SWORD modules' short names, without full stops, as Nave's Topical Bible writes them; a
// numbered book right after its ordinal, spaces doubled where the module has them.
TEST(ReferenceFinder, ModulesShortNames) {
    EXPECT_EQ(found("the death of Mt 23:35; Lu 11:51; Heb 11:4; 12:24; 1Jo  3:12"),
              (Refs{"Mt 23:35 = Matthew 23:35", "Lu 11:51 = Luke 11:51", "Heb 11:4 = Hebrews 11:4",
                    "12:24 = Hebrews 12:24", "1Jo  3:12 = 1 John 3:12"}));
    EXPECT_EQ(found("Ge 4:1; Le 1:2; De 6:4; Ne 8:1; Es 4:14; Pr 3:5; Ec 12:1; So 2:1; La 3:22"),
              (Refs{"Ge 4:1 = Genesis 4:1", "Le 1:2 = Leviticus 1:2", "De 6:4 = Deuteronomy 6:4",
                    "Ne 8:1 = Nehemiah 8:1", "Es 4:14 = Esther 4:14", "Pr 3:5 = Proverbs 3:5",
                    "Ec 12:1 = Ecclesiastes 12:1", "So 2:1 = Song of Solomon 2:1",
                    "La 3:22 = Lamentations 3:22"}));
    EXPECT_EQ(found("Da 6:10; Ho 6:6; Joe 2:28; Na 1:7; Zep 3:17; Mr 9:23; Ac 3:16; Ro 1:16"),
              (Refs{"Da 6:10 = Daniel 6:10", "Ho 6:6 = Hosea 6:6", "Joe 2:28 = Joel 2:28",
                    "Na 1:7 = Nahum 1:7", "Zep 3:17 = Zephaniah 3:17", "Mr 9:23 = Mark 9:23",
                    "Ac 3:16 = Acts 3:16", "Ro 1:16 = Romans 1:16"}));
    EXPECT_EQ(found("1Co 1:21; 2Co 1:24; Ga 3:1; 1Ti 1:5; 2Ti 1:5; 1Pe 1:8; 3Jo 1:4; Re 2:10"),
              (Refs{"1Co 1:21 = 1 Corinthians 1:21", "2Co 1:24 = 2 Corinthians 1:24",
                    "Ga 3:1 = Galatians 3:1", "1Ti 1:5 = 1 Timothy 1:5", "2Ti 1:5 = 2 Timothy 1:5",
                    "1Pe 1:8 = 1 Peter 1:8", "3Jo 1:4 = 3 John 1:4", "Re 2:10 = Revelation 2:10"}));
    // A name not in the table leaves its numbers alone, never the last book's.
    EXPECT_EQ(found("Heb 11:4; Bk 5:8"), (Refs{"Heb 11:4 = Hebrews 11:4"}));
}
