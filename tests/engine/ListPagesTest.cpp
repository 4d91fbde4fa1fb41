// A whole table read a page at a time must give exactly the list read all at once, whatever the
// page size: runs of equal headwords (letter case, ligatures and apostrophes the list order
// holds equal) broken across pages, the empty text, rows without a headword. And a page read
// after the file changed must not mix two states of it.

#include "EngineTestFiles.h"

#include "engine/sqlite/Connection.h"

#include <gtest/gtest.h>

namespace tolvane::test {
namespace {

using namespace tolvane::engine;

std::vector<EngineRow> trickyRows() {
    const QStringList words = {"abel",         "ABEL",    "Abel",  "",     "Jacob’s Well",
                               "Jacob's well", "ﬁg",      "Fig",   "éden", "Eden",
                               "Straße",       "Strasse", "Zuzims"};
    std::vector<EngineRow> rows;
    for (int i = 0; i < 300; ++i) // each word many times, in no order
        rows.push_back({words[(i * 7) % words.size()], QString::number(i)});
    rows.push_back({QString(), QStringLiteral("no headword")});
    return rows;
}

QStringList inPages(ListPages& pages, qsizetype size) {
    TextBlock block;
    ListPages::Step step = ListPages::Step::More;
    while (step == ListPages::Step::More) {
        step = pages.next(block, size);
        EXPECT_NE(step, ListPages::Step::Changed);
    }
    return textsOf(block);
}

TEST(ListPages, PagesOfAnySizeMakeTheWholeList) {
    DictionaryFile file(trickyRows());
    auto db = file.open();
    const QStringList expected = listedWhole(*db);
    ASSERT_EQ(expected.size(), 300);
    for (const qsizetype size : {1, 2, 3, 7, 64, 1000}) {
        auto pages = db->OpenListPages(QStringLiteral("WORDS"), QStringLiteral("Headword"));
        ASSERT_TRUE(pages);
        EXPECT_TRUE(pages->hasRows());
        EXPECT_EQ(pages->textCount(), 300);
        EXPECT_EQ(inPages(*pages, size), expected) << "pages of " << size;
    }
}

TEST(ListPages, AChangeBetweenPagesIsReportedAndARestartReadsTheFileAsItIsThen) {
    DictionaryFile file(trickyRows());
    auto db = file.open();
    auto pages = db->OpenListPages(QStringLiteral("words"), QStringLiteral("headword"));
    TextBlock block;
    ASSERT_EQ(pages->next(block, 5), ListPages::Step::More);
    sqlite::Connection outside(file.path(), sqlite::OpenMode::ReadWrite);
    outside.exec("INSERT INTO words (headword, definition) VALUES ('Aaron', 'new')");
    EXPECT_EQ(pages->next(block, 5), ListPages::Step::Changed);
    EXPECT_EQ(block.size(), 5); // nothing read from the changed file
    pages->restart();
    EXPECT_EQ(pages->textCount(), 301);
    const QStringList after = inPages(*pages, 4);
    EXPECT_EQ(after, listedWhole(*db));
    EXPECT_TRUE(after.contains(QStringLiteral("Aaron")));
}

// Pieces smaller and larger than the runs of equal texts (abel, ABEL and Abel make one run of
// about 70), which a piece may start or end inside of.
qint64 countInPieces(ListPages& pages, qsizetype size) {
    ListPages::Step step = ListPages::Step::More;
    for (int calls = 0; step == ListPages::Step::More && calls < 100000; ++calls)
        step = pages.countSome(size);
    EXPECT_EQ(step, ListPages::Step::End);
    return pages.textCount();
}

TEST(ListPages, TheCountInPiecesIsTheWholeCountAndNoticesAChange) {
    DictionaryFile file(trickyRows());
    auto db = file.open();
    for (const qsizetype size : {1, 2, 3, 7, 64, 299, 300, 301, 5000}) {
        auto pages = db->OpenListPages(QStringLiteral("words"), QStringLiteral("headword"));
        EXPECT_EQ(countInPieces(*pages, size), 300) << "pieces of " << size;
    }
    auto pages = db->OpenListPages(QStringLiteral("words"), QStringLiteral("headword"));
    ASSERT_EQ(pages->countSome(50), ListPages::Step::More);
    sqlite::Connection outside(file.path(), sqlite::OpenMode::ReadWrite);
    outside.exec("INSERT INTO words (headword, definition) VALUES ('abel', 'new'), ('', 'x')");
    outside.exec("DELETE FROM words WHERE definition = '7'");
    EXPECT_EQ(pages->countSome(50), ListPages::Step::Changed);
    pages->restart();
    EXPECT_EQ(countInPieces(*pages, 13), 301);
    EXPECT_EQ(listedWhole(*db).size(), 301);
}

TEST(ListPages, UnknownColumnsAreNamedAndAClosedFileSaysSo) {
    DictionaryFile file(trickyRows());
    auto db = file.open();
    EXPECT_TRUE(errorMessage([&] { db->OpenListPages("words", "nosuch"); }).contains("nosuch"));
    auto pages = db->OpenListPages(QStringLiteral("words"), QStringLiteral("headword"));
    db->Close();
    TextBlock block;
    EXPECT_EQ(errorNumber([&] { pages->next(block, 5); }), err::ObjectClosed);
}

} // namespace
} // namespace tolvane::test
