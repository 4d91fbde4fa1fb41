// An older file (no list index) too large for the index to be added while it opens: its list,
// ordered on another thread, must be exactly the list its index gives afterwards; a build
// stopped halfway leaves the file as it was; another program's commit during the fill is seen.

#include "EngineTestFiles.h"

#include "engine/CollationIndexes.h"
#include "engine/FileMetadata.h"
#include "engine/ListIndexBuild.h"
#include "engine/SqliteDatabase.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace tolvane::test {
namespace {

using namespace tolvane::engine;

// More rows than an open indexes at once, with runs of texts the list order holds equal.
std::vector<EngineRow> olderRows() {
    const QStringList words = {"abel", "ABEL",   "Abel",    "Jacob’s Well", "Jacob's well",
                               "ﬁg",   "Fig",    "éden",    "Eden",         "Straße",
                               "",     "Zuzims", "Strasse", "Ωμέγα"};
    std::vector<EngineRow> rows;
    for (int i = 0; i < int(kListIndexAtOnceRows) + 5000; ++i)
        rows.push_back({i % 3 ? words[(i * 7) % words.size()] + QString::number(i % 500)
                              : words[i % words.size()],
                        QString::number(i)});
    rows.push_back({QString(), QStringLiteral("no headword")});
    return rows;
}

const DictionaryFile& olderFile() {
    static const DictionaryFile file(olderRows());
    return file;
}

// A copy of the older file, to change. Its texts are ordered in memory as a large table's.
struct Copy {
    explicit Copy(qint64 orderInMemoryFromRows = 0) {
        ListIndexBuild::setOrderInMemoryFromRows(orderInMemoryFromRows);
        path = dir.filePath(QStringLiteral("words.db"));
        QFile::copy(olderFile().path(), path);
    }
    std::shared_ptr<Database> open() const {
        return DBEngine::instance().Workspaces(0)->OpenDatabase(path);
    }
    QString integrity() const {
        sqlite::Connection db(path, sqlite::OpenMode::ReadOnly);
        sqlite::Statement check(db, QStringLiteral("PRAGMA integrity_check"));
        return check.step() ? check.columnText(0) : QString();
    }
    bool hasListIndex() const {
        sqlite::Connection db(path, sqlite::OpenMode::ReadOnly);
        return findListIndex(db, QStringLiteral("words"), QStringLiteral("headword")).has_value();
    }
    QTemporaryDir dir;
    QString path;
};

// Every page, waiting where the list is still being made; restarts after a change.
QStringList allPages(ListPages& pages, int* restarts = nullptr) {
    TextBlock block;
    for (;;) {
        const ListPages::Step step = pages.next(block, 777);
        if (step == ListPages::Step::End)
            break;
        if (step == ListPages::Step::Pending)
            pages.waitUntilReady();
        if (step == ListPages::Step::Changed) {
            block.clear();
            pages.restart();
            if (restarts)
                ++*restarts;
        }
    }
    return textsOf(block);
}

TEST(OlderFile, TheListMadeOnTheBuildsThreadIsTheListOfItsIndex) {
    Copy copy;
    auto db = copy.open();
    EXPECT_FALSE(copy.hasListIndex()) << "too large to be indexed while it opens";
    auto pages = db->OpenListPages(QStringLiteral("words"), QStringLiteral("headword"));
    ASSERT_TRUE(pages);
    const QStringList built = allPages(*pages);
    while (db->listPreparingPercent() >= 0)
        QThread::msleep(5);
    EXPECT_TRUE(copy.hasListIndex());
    EXPECT_EQ(copy.integrity(), QStringLiteral("ok"));
    EXPECT_EQ(listedWhole(*copy.open()), built) << "the index's list, in a fresh open";
    EXPECT_EQ(built.size(), int(olderRows().size()) - 1);
}

// Below the size where ordering in memory pays, the list waits for the index and is read from
// it: the same list.
TEST(OlderFile, ASmallerTableIsListedFromItsNewIndexAlone) {
    Copy copy(qint64(olderRows().size()) + 1);
    auto db = copy.open();
    auto pages = db->OpenListPages(QStringLiteral("words"), QStringLiteral("headword"));
    const QStringList listed = allPages(*pages);
    EXPECT_TRUE(copy.hasListIndex());
    EXPECT_EQ(listed, listedWhole(*copy.open()));
    EXPECT_EQ(listed.size(), int(olderRows().size()) - 1);
}

TEST(OlderFile, ABuildStoppedHalfwayLeavesTheFileAsItWas) {
    Copy copy;
    {
        ListIndexBuild build(
            {copy.path, copy.path, QStringLiteral("words"), QStringLiteral("headword"), true}, 0);
        build.stop(); // the window closed, the program ended
        EXPECT_FALSE(build.indexAdded());
        EXPECT_FALSE(build.failure());
    }
    EXPECT_EQ(copy.integrity(), QStringLiteral("ok"));
    EXPECT_FALSE(copy.hasListIndex());
}

TEST(OlderFile, AnotherProgramsCommitDuringTheFillIsListed) {
    Copy copy;
    auto db = copy.open();
    auto pages = db->OpenListPages(QStringLiteral("words"), QStringLiteral("headword"));
    pages->waitUntilReady();
    TextBlock first;
    while (pages->next(first, 100) != ListPages::Step::More)
        pages->restart();
    {
        // Waits for the build's commit (its lock), then commits.
        sqlite::Connection other(copy.path, sqlite::OpenMode::ReadWrite);
        other.exec(QStringLiteral("INSERT INTO words VALUES ('aaa new', 'x')"));
    }
    int restarts = 0;
    const QStringList listed = allPages(*pages, &restarts);
    EXPECT_GE(restarts, 1);
    EXPECT_TRUE(listed.contains(QStringLiteral("aaa new")));
    EXPECT_EQ(listed, listedWhole(*db));
}

bool versionsRecorded(const QString& path) {
    sqlite::Connection db(path, sqlite::OpenMode::ReadOnly);
    return readMetadata(db, QString::fromLatin1(kCaseFoldVersionKey)).has_value();
}

// A file made before the versions were recorded: its headword index cannot be trusted. The
// open writes nothing; until the list build has rebuilt the index, lookups do without it and
// the list and every row ahead of the pages come from the build; stopped inside either
// rebuild, the build leaves the file as it was, and the next open does all.
TEST(OlderFile, AFileWithoutVersionsIsRebuiltByTheListBuildNotByItsOpen) {
    Copy copy;
    sqlite::Connection(copy.path, sqlite::OpenMode::ReadWrite)
        .exec(QStringLiteral("DROP TABLE tolvane_metadata"));
    auto db = copy.open();
    EXPECT_FALSE(versionsRecorded(copy.path)) << "rebuilt while it opened";
    QStringList abel;
    for (const EngineRow& row : olderRows())
        if (row.headword.startsWith(QStringLiteral("abel"), Qt::CaseInsensitive))
            abel << row.headword;
    const auto lookup = db->OpenRecordset(QStringLiteral("SELECT * FROM words WHERE headword "
                                                         "LIKE 'abel*'"));
    EXPECT_EQ(readColumn(*lookup, QStringLiteral("headword")).size(), abel.size());
    db->Close();
    for (const auto stage :
         {ListIndexBuild::Stage::Rebuilding, ListIndexBuild::Stage::AddingIndex}) {
        ListIndexBuild::holdIn(stage);
        {
            ListIndexBuild build({copy.path, copy.path, QStringLiteral("words"),
                                  QStringLiteral("headword"), true, true},
                                 0);
            while (!ListIndexBuild::held())
                QThread::msleep(1);
            EXPECT_EQ(build.stage(), stage);
        } // stopped in the middle of it
        ListIndexBuild::holdIn(std::nullopt);
        EXPECT_EQ(copy.integrity(), QStringLiteral("ok"));
        EXPECT_FALSE(versionsRecorded(copy.path));
        EXPECT_FALSE(copy.hasListIndex());
    }
    db = copy.open();
    auto pages = db->OpenListPages(QStringLiteral("words"), QStringLiteral("headword"));
    pages->waitUntilReady();
    ASSERT_EQ(pages->textCount(), qint64(olderRows().size()) - 1);
    const QStringList built = allPages(*pages);
    TextBlock ahead;
    ASSERT_NE(pages->readAt(built.size() - 3, 10, ahead), ListPages::Step::Changed);
    EXPECT_EQ(textsOf(ahead), built.mid(built.size() - 3));
    while (db->listPreparingPercent() >= 0)
        QThread::msleep(5);
    EXPECT_TRUE(versionsRecorded(copy.path));
    EXPECT_TRUE(copy.hasListIndex());
    EXPECT_EQ(copy.integrity(), QStringLiteral("ok"));
    EXPECT_EQ(listedWhole(*copy.open()), built);
}

// A read-only older file has its list ordered on the other thread too, and is left as it was.
TEST(OlderFile, AReadOnlyFileIsListedWithoutAnIndex) {
    Copy copy;
    auto db = databaseFromConnection(
        std::make_unique<sqlite::Connection>(copy.path, sqlite::OpenMode::ReadOnly), copy.path,
        true);
    const QStringList built =
        allPages(*db->OpenListPages(QStringLiteral("words"), QStringLiteral("headword")));
    EXPECT_EQ(built, listedWhole(*db));
    EXPECT_FALSE(copy.hasListIndex());
}

} // namespace
} // namespace tolvane::test
