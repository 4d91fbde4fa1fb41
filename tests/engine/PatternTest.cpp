// The LIKE matcher and the case folding it shares with `=` and the headword index.

#include "engine/Pattern.h"
#include "engine/CaseFold.h"
#include "support/TestSupport.h"

using tolvane::engine::compareFoldedUtf8;
using tolvane::engine::LikePattern;

namespace {

// Matches through both entry points, which must always agree.
bool like(const QString& text, const QString& pattern) {
    const LikePattern compiled(pattern);
    const bool viaString = compiled.matches(text);
    const bool viaUtf8 = compiled.matchesUtf8(text.toUtf8());
    EXPECT_EQ(viaString, viaUtf8) << "entry points disagree on '" << text.toStdString()
                                  << "' LIKE '" << pattern.toStdString() << "'";
    return viaString;
}

TEST(Pattern, StarMatchesAnyRunIncludingNone) {
    EXPECT_TRUE(like("ABASE", "ab*"));
    EXPECT_TRUE(like("AB", "ab*"));
    EXPECT_FALSE(like("XAB", "ab*"));
    EXPECT_TRUE(like("ABASE", "*se"));
    EXPECT_TRUE(like("ABASE", "a*a*e"));
    EXPECT_FALSE(like("ABASE", "a*x*e"));
    EXPECT_TRUE(like("", "*"));
    EXPECT_TRUE(like("anything", "**"));
    EXPECT_FALSE(like("", "?"));
}

TEST(Pattern, QuestionMarkTakesExactlyOneCharacter) {
    EXPECT_TRUE(like("ABA", "a?a"));
    EXPECT_FALSE(like("AA", "a?a"));
    EXPECT_FALSE(like("ABBA", "a?a"));
    EXPECT_FALSE(like("ABBA", "a?a*")); // the third character must be an a
    EXPECT_TRUE(like("ÉDEN", "?den"));  // one character, even outside ASCII
    EXPECT_TRUE(like(QString::fromUcs4(U"\U0001D49C"
                                       U"x"),
                     "?x")); // a surrogate pair is one
}

TEST(Pattern, HashTakesOneDigit) {
    EXPECT_TRUE(like("PSALM 23", "psalm ##"));
    EXPECT_FALSE(like("PSALM 2A", "psalm ##"));
    EXPECT_FALSE(like("PSALM 2", "psalm ##"));
}

TEST(Pattern, ClassesListsRangesAndNegation) {
    EXPECT_TRUE(like("BAT", "[bc]at"));
    EXPECT_TRUE(like("cat", "[BC]at"));
    EXPECT_FALSE(like("rat", "[bc]at"));
    EXPECT_TRUE(like("mat", "[a-m]at"));
    EXPECT_TRUE(like("MAT", "[a-m]at"));
    EXPECT_FALSE(like("nat", "[a-m]at"));
    EXPECT_TRUE(like("rat", "[!bc]at"));
    EXPECT_FALSE(like("Bat", "[!bc]at"));
    EXPECT_TRUE(like("5", "[0-9]"));
    EXPECT_TRUE(like("a-b", "a[-]b"));
}

TEST(Pattern, BracketsMakeWildcardsLiteral) {
    EXPECT_TRUE(like("a*b", "a[*]b"));
    EXPECT_FALSE(like("axb", "a[*]b"));
    EXPECT_TRUE(like("a?b", "a[?]b"));
    EXPECT_FALSE(like("axb", "a[?]b"));
    EXPECT_TRUE(like("#1", "[#]#"));
    EXPECT_TRUE(like("[x", "[[]x"));
}

TEST(Pattern, MalformedClassesNeverFail) {
    // Whatever is typed into a search box must form a pattern.
    EXPECT_TRUE(like("[ab", "[ab"));
    EXPECT_TRUE(like("[abc", "[ab*"));
    EXPECT_FALSE(like("a", "[ab"));
    EXPECT_TRUE(like("x", "[]x"));    // the empty class takes no character
    EXPECT_FALSE(like("a", "[z-a]")); // reversed range: no character
    EXPECT_TRUE(like("!", "[!]"));
    EXPECT_TRUE(like("]", "]"));
}

TEST(Pattern, CaseIsIgnoredBeyondAscii) {
    EXPECT_TRUE(like("ÉDEN", "éd*"));
    EXPECT_TRUE(like("éden", "ÉD*"));
    EXPECT_TRUE(like("ΑΒΓ", "αβ*"));
    EXPECT_TRUE(like("ПРИВЕТ", "при*"));
    EXPECT_FALSE(like("EDEN", "éd*")); // case, not accents, is ignored
    EXPECT_TRUE(like("[É]", "[[]é]"));
    EXPECT_TRUE(like("Ö", "[ö]"));
}

// A character is in a class when any character folding to the same code point lies in it as
// written; folding the bounds instead widens or narrows ranges that span the letters.
struct ClassCase {
    const char* text;
    const char* pattern;
    bool matches;
    friend void PrintTo(const ClassCase& c, std::ostream* os) {
        *os << "'" << c.text << "' LIKE '" << c.pattern << "'";
    }
};

class PatternClassCase : public ::testing::TestWithParam<ClassCase> {};

TEST_P(PatternClassCase, RangesAreMatchedThroughCaseVariants) {
    const ClassCase& c = GetParam();
    EXPECT_EQ(like(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern)), c.matches)
        << "'" << c.text << "' LIKE '" << c.pattern << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Pattern, PatternClassCase,
    ::testing::Values(ClassCase{"x", "[A-c]", true}, ClassCase{"X", "[A-c]", true},
                      ClassCase{"z", "[Z-a]", true}, ClassCase{"B", "[Z-a]", false},
                      ClassCase{"÷", "[À-Ý]", false}, ClassCase{"ý", "[À-Ý]", true},
                      ClassCase{"`", "*[0-A]*", false}, ClassCase{"a", "*[0-A]*", true},
                      ClassCase{"`", "[!0-A]", true}, ClassCase{"x", "[!A-c]", false},
                      ClassCase{"k", "[K]", true}, ClassCase{"K", "[k]", true}));

TEST(Pattern, LiteralPrefixIsFoldedAndStopsAtFirstWildcard) {
    EXPECT_EQ(LikePattern(u"AbC*").literalPrefix(), "abc");
    EXPECT_TRUE(LikePattern(u"AbC*").isPrefixOnly());
    EXPECT_EQ(LikePattern(u"Éd?n*").literalPrefix(), "éd");
    EXPECT_FALSE(LikePattern(u"Éd?n*").isPrefixOnly());
    EXPECT_EQ(LikePattern(u"*x").literalPrefix(), "");
    EXPECT_EQ(LikePattern(u"[a]b").literalPrefix(), "");
    EXPECT_TRUE(LikePattern(u"ABASE").isLiteral());
    EXPECT_FALSE(LikePattern(u"AB*").isLiteral());
    EXPECT_EQ(LikePattern(u"[ab").literalPrefix(), "[ab"); // unterminated: literal text
}

TEST(Pattern, MalformedUtf8IsMatchedByteForByte) {
    const LikePattern any(u"a*");
    EXPECT_TRUE(any.matchesUtf8(QByteArrayView("a\xff\xfe", 3)));
    EXPECT_FALSE(LikePattern(u"a?").matchesUtf8(QByteArrayView("a\xff\xfe", 3)));
    EXPECT_TRUE(LikePattern(u"a??").matchesUtf8(QByteArrayView("a\xff\xfe", 3)));
    // A cut-off sequence is two characters, not one.
    EXPECT_FALSE(LikePattern(u"a?").matchesUtf8(QByteArrayView("a\xe2\x82", 3)));
}

TEST(CaseFold, CollationOrdersByFoldedCodePoints) {
    auto cmp = [](const char* a, const char* b) { return compareFoldedUtf8(a, b); };
    EXPECT_EQ(cmp("ABASE", "abase"), 0);
    EXPECT_EQ(cmp("ÉDEN", "éden"), 0);
    EXPECT_LT(cmp("abase", "ABASED"), 0);
    EXPECT_LT(cmp("Zebra", "ábside"), 0); // code point order after folding
    EXPECT_GT(cmp("b", "A"), 0);
    EXPECT_LT(cmp("", "a"), 0);
    // Antisymmetric and consistent with prefix ranges on non-ASCII.
    EXPECT_GT(cmp("éden", "ÉD"), 0);
    EXPECT_LT(cmp("éden", "ée"), 0);
}

TEST(CaseFold, EqualityUsesTheSameFolding) {
    EXPECT_TRUE(tolvane::engine::equalFolded(u"Straße", u"STRAßE"));
    EXPECT_TRUE(tolvane::engine::equalFolded(u"ÆON", u"æon"));
    EXPECT_FALSE(tolvane::engine::equalFolded(u"aeon", u"æon"));
    EXPECT_FALSE(tolvane::engine::equalFolded(u"abc", u"abcd"));
}

} // namespace
