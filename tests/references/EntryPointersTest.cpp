#include "references/EntryPointers.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace tolvane::references;

namespace {

// The headwords of a small dictionary, matched as the word list matches: case ignored.
const QStringList kHeadwords{"Moses", "Tyropoeon Valley", "Loan",    "Hagar", "Ishmael",
                             "Meals", "Banquet",          "Levites", "Dan",   "Valley"};

QString lookup(const QString& name) {
    for (const QString& h : kHeadwords)
        if (h.compare(name, Qt::CaseInsensitive) == 0)
            return h;
    return {};
}

std::vector<QString> pointers(const QString& text) {
    std::vector<QString> out;
    for (const EntryPointer& p : findEntryPointers(text, lookup))
        out.push_back(text.mid(p.start, p.length) + QStringLiteral(" -> ") + p.headword);
    return out;
}

using Links = std::vector<QString>;

} // namespace

TEST(EntryPointers, SeeNamesOneOrSeveralHeadwords) {
    EXPECT_EQ(pointers("He led them. (See MOSES.)"), (Links{"MOSES -> Moses"}));
    EXPECT_EQ(pointers("the valley (See TYROPOEON VALLEY.) below"),
              (Links{"TYROPOEON VALLEY -> Tyropoeon Valley"}));
    EXPECT_EQ(
        pointers("(See HAGAR; ISHMAEL.) (See banquet; MEALS.)"),
        (Links{"HAGAR -> Hagar", "ISHMAEL -> Ishmael", "banquet -> Banquet", "MEALS -> Meals"}));
    EXPECT_EQ(pointers("a pledge. See LOAN."), (Links{"LOAN -> Loan"}));
}

TEST(EntryPointers, QvTakesTheLongestHeadwordBeforeIt) {
    EXPECT_EQ(pointers("by the Tyropoeon Valley (q.v.), which"),
              (Links{"Tyropoeon Valley -> Tyropoeon Valley"}));
    EXPECT_EQ(pointers("the Levites (q.v.) served"), (Links{"Levites -> Levites"}));
}

TEST(EntryPointers, NoLinkWithoutTheHeadword) {
    EXPECT_EQ(pointers("(See GIANTS.) and the Nethinim (q.v.)"), Links{});
    // Verses, not the entry "Dan"; and no capital after a bare "see".
    EXPECT_EQ(pointers("(See Dan. 3:5, 6.) we see moses"), Links{});
}

TEST(EntryPointers, SeeWithQvLinksOnceWithoutOverlap) {
    EXPECT_EQ(pointers("(See MOSES (q.v.).)"), (Links{"MOSES -> Moses"}));
    // A dictionary where the words before "(q.v.)", "See" taken in, are a headword too.
    const QString text = "See Tyropoeon Valley (q.v.) and see Hagar, Valley (q.v.)";
    std::vector<std::pair<qsizetype, qsizetype>> spans;
    for (const EntryPointer& p : findEntryPointers(text, [](const QString& n) { return n; }))
        spans.emplace_back(p.start, p.length);
    EXPECT_EQ(spans, (std::vector<std::pair<qsizetype, qsizetype>>{{0, 20}, {36, 5}, {43, 6}}));
}
