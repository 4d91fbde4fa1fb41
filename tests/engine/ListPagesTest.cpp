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

QStringList readAt(ListPages& pages, qsizetype first, qsizetype rows) {
    TextBlock block;
    const ListPages::Step step = pages.readAt(first, rows, block);
    EXPECT_TRUE(step == ListPages::Step::More || step == ListPages::Step::End);
    return textsOf(block);
}

// Rows far ahead are read from the nearest piece's end (pieces ending inside runs of equal
// texts), from the last page read or from the list's end; the pages go on unchanged.
TEST(ListPages, RowsReadAheadAreTheWholeListsRowsThere) {
    DictionaryFile file(trickyRows());
    auto db = file.open();
    const QStringList whole = listedWhole(*db);
    for (const qsizetype piece : {13, 64}) {
        auto pages = db->OpenListPages(QStringLiteral("words"), QStringLiteral("headword"));
        ASSERT_EQ(countInPieces(*pages, piece), 300);
        TextBlock read;
        for (const qsizetype pageRows : {0, 37, 150}) {
            if (pageRows > 0)
                ASSERT_EQ(pages->next(read, pageRows), ListPages::Step::More);
            for (const qsizetype first : {0, 1, 12, 13, 14, 70, 71, 129, 200, 287, 290, 299})
                for (const qsizetype rows : {1, 5, 40})
                    EXPECT_EQ(readAt(*pages, first, rows), whole.mid(first, rows))
                        << "pieces of " << piece << ", from " << first << ", " << rows;
        }
        EXPECT_TRUE(readAt(*pages, 300, 5).isEmpty());
        ListPages::Step step = ListPages::Step::More;
        while (step == ListPages::Step::More)
            step = pages->next(read, 64);
        EXPECT_EQ(textsOf(read), whole) << "the pages go on as before";
    }
}

// The user-interface thread's fill never waits for a lock: it is told to ask again, and a
// commit made meanwhile is still noticed.
TEST(ListPages, ALockedFileIsNotWaitedForWhereLocksAreNotToBeWaitedFor) {
    DictionaryFile file(trickyRows());
    auto db = file.open();
    auto pages = db->OpenListPages(QStringLiteral("words"), QStringLiteral("headword"));
    pages->setWaitForLocks(false);
    TextBlock block;
    ASSERT_EQ(pages->next(block, 5), ListPages::Step::More);
    ASSERT_EQ(countInPieces(*pages, 50), 300);
    sqlite::Connection writer(file.path(), sqlite::OpenMode::ReadWrite);
    writer.exec("BEGIN EXCLUSIVE");
    writer.exec("INSERT INTO words (headword, definition) VALUES ('Aaron', 'new')");
    // Waiting would end after the busy timeout with an error instead.
    EXPECT_EQ(pages->next(block, 5), ListPages::Step::Pending);
    EXPECT_EQ(pages->readAt(200, 5, block), ListPages::Step::Pending);
    EXPECT_EQ(block.size(), 5);
    writer.exec("COMMIT");
    EXPECT_EQ(pages->next(block, 5), ListPages::Step::Changed);
    pages->restart();
    EXPECT_EQ(pages->countSome(50), ListPages::Step::More);
    writer.exec("BEGIN EXCLUSIVE");
    EXPECT_EQ(pages->countSome(50), ListPages::Step::Pending);
    writer.exec("ROLLBACK");
    EXPECT_EQ(countInPieces(*pages, 50), 301);
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
