// A dictionary file made searchable: an older file gains its index and keeps every row, rich
// scripture text is indexed as the words it shows, a legacy file is searched in memory, and
// the service reports only the newest of several searches.

#include "find/DictionaryIndex.h"
#include "EastonsLegacyFixture.h"
#include "data/DataOperations.h"
#include "data/FileProblems.h"
#include "engine/FullTextFunctions.h"
#include "engine/FullTextQuery.h"
#include "engine/legacy/JetLoader.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "find/FindService.h"
#include "platform/AppFolder.h"
#include "richtext/PlainText.h"
#include "support/DictionaryFiles.h"
#include "support/TestSupport.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <sqlite3.h>
#include <string_view>

using namespace tolvane;

namespace {

QString match(const QString& typed) {
    return engine::translateFullTextQuery(typed).match;
}

QStringList headwords(const std::vector<find::FoundEntry>& found) {
    QStringList words;
    for (const auto& entry : found)
        words << entry.headword;
    words.sort();
    return words;
}

std::vector<QStringList> rowsOf(const QString& path, const QString& table) {
    engine::sqlite::Connection db(path, engine::sqlite::OpenMode::ReadOnly);
    engine::sqlite::Statement select(db, "SELECT * FROM " + table + " ORDER BY rowid");
    std::vector<QStringList> rows;
    while (select.step()) {
        QStringList row;
        for (int i = 0; i < select.columnCount(); ++i)
            row << select.columnText(i);
        rows.push_back(row);
    }
    return rows;
}

TEST(DictionaryIndex, AnOlderFileGainsItsIndexOnFirstUseAndKeepsEveryRow) {
    QTemporaryDir dir;
    const auto& eastons = data::eastonsConfig();
    std::vector<test::DictRow> rows;
    for (int i = 0; i < 9000; ++i) // more than the fill's first step
        rows.push_back({QStringLiteral("Word%1").arg(i), QStringLiteral("text %1 of many").arg(i)});
    rows.push_back({"Éden", "the garden"});
    rows.push_back({"Eden", "a place (See PARADISE.)"});
    test::writeDictionaryFile(dir.path(), eastons, rows);
    const QString path = data::dictionaryPath(eastons, dir.path());
    const auto before = rowsOf(path, eastons.table);

    find::DictionaryIndex index(eastons, dir.path());
    EXPECT_FALSE(index.isPrepared());
    std::vector<int> progress;
    index.prepare([&](int percent) { progress.push_back(percent); });
    EXPECT_TRUE(index.isPrepared());
    EXPECT_FALSE(index.inMemory()); // a writable file keeps its index
    EXPECT_GE(progress.size(), 2u);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_EQ(rowsOf(path, eastons.table), before);

    EXPECT_EQ(index.count(match("EDEN")), 2);
    EXPECT_EQ(headwords(index.search(match("EDEN"), 0, 10)), (QStringList{"Eden", "Éden"}));
    EXPECT_TRUE(find::DictionaryIndex(eastons, dir.path()).isPrepared()); // kept in the file
}

TEST(DictionaryIndex, AFileThatCannotBeWrittenIsSearchedInMemoryAndLeftAsItWas) {
    QTemporaryDir dir;
    const auto& eastons = data::eastonsConfig();
    test::writeDictionaryFile(dir.path(), eastons, {{"Eden", "the garden"}, {"Adam", "a man"}});
    const QString path = data::dictionaryPath(eastons, dir.path());
    // Another program holds the file for writing (permissions mean nothing to root).
    engine::sqlite::Connection other(path, engine::sqlite::OpenMode::ReadWrite);
    other.exec("BEGIN IMMEDIATE");
    find::DictionaryIndex index(eastons, dir.path());
    index.prepare();
    EXPECT_TRUE(index.inMemory());
    EXPECT_EQ(headwords(index.search(match("garden"), 0, 10)), QStringList{"Eden"});
    other.exec("ROLLBACK");
    EXPECT_EQ(rowsOf(path, "sqlite_master WHERE name LIKE '%fts%'").size(), 0u);
}

TEST(DictionaryIndex, ScriptureRichTextIsIndexedAsTheWordsItShows) {
    engine::setRichTextFlattener(&richtext::plainTextOfValue);
    QTemporaryDir dir;
    const auto& kjv = data::kingJamesConfig();
    test::writeDictionaryFile(
        dir.path(), kjv,
        {{"ABASE", "to lower", R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs20 Ezek. xxi. 26\par})"},
         {"ABIDE", "to wait for", "Ps. xxxvii. 9"}});
    find::DictionaryIndex index(kjv, dir.path());
    index.prepare();
    const auto ezek = index.search(match("ezek"), 0, 10);
    EXPECT_EQ(headwords(ezek), QStringList{"ABASE"});
    // Only the scripture holds the word: the snippet is cut from it.
    EXPECT_EQ(ezek.front().snippet,
              QStringLiteral("%1Ezek%2. xxi. 26").arg(find::kMatchStart, find::kMatchEnd));
    EXPECT_EQ(index.count(match("fonttbl")), 0);
    EXPECT_EQ(index.count(match("arial")), 0);

    // A row the window stores later is indexed the same way, by the file's own trigger.
    auto opened = data::openDictionary(kjv, dir.path());
    auto rs = data::openTable(kjv, opened.db);
    data::addRow(rs, kjv, "ADAMANT", "hard stone", R"({\rtf1\ansi Zech. vii. 12\par})");
    EXPECT_EQ(headwords(index.search(match("zech"), 0, 10)), QStringList{"ADAMANT"});
    EXPECT_EQ(index.count(match("rtf1")), 0);
}

TEST(DictionaryIndex, ALegacyFileIsSearchedInMemory) {
    TOLVANE_REQUIRE_SHARED(nwind, "corpus/mdb/jet3__nwind.mdb");
    if (engine::legacy::jetReaderPath().isEmpty())
        GTEST_SKIP() << "the Jet reading helper tolvane-jetread was not built";
    QTemporaryDir dir;
    test::writeEastonsLegacyFile(nwind, dir.path());
    const auto legacy = engine::legacy::loadJetDatabase(dir.filePath("data.mdb"));
    const auto& table = *legacy.table("dbwords");
    const int word = int(table.columns.indexOf("dbword"));
    // A ship's name from the file, and the independent count of rows that hold its first word.
    const QString name = *table.rows.front()[size_t(word)];
    const QString first = name.split(QRegularExpression("\\W+"), Qt::SkipEmptyParts).front();
    int expected = 0;
    for (const auto& row : table.rows)
        for (const auto& value : row)
            if (value &&
                value->split(QRegularExpression("\\W+")).contains(first, Qt::CaseInsensitive)) {
                ++expected;
                break;
            }
    const QByteArray before = test::sha256(dir.filePath("data.mdb"));

    find::DictionaryIndex index(data::eastonsConfig(), dir.path());
    index.prepare();
    EXPECT_TRUE(index.inMemory());
    EXPECT_EQ(index.count(match(first)), expected) << first.toStdString();
    EXPECT_TRUE(headwords(index.search(match(first), 0, 1000)).contains(name));
    EXPECT_EQ(test::sha256(dir.filePath("data.mdb")), before); // never written
}

TEST(FindService, OnlyTheNewestSearchReports) {
    QTemporaryDir dir;
    std::vector<test::DictRow> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back({QStringLiteral("W%1").arg(i), QStringLiteral("grace and truth %1").arg(i)});
    for (const auto* config : data::allConfigs())
        test::writeDictionaryFile(dir.path(), *config, rows);
    find::FindService service;
    QSignalSpy finished(&service, &find::FindService::finished);
    service.search(match("grace"), data::allConfigs(), dir.path());
    const quint64 newest = service.search(match("truth 17"), data::allConfigs(), dir.path());
    auto last = [&] { return finished.back().front().value<find::FindResults>(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty() && last().complete; }, 30000));
    QTest::qWait(50);
    for (const auto& report : finished) // the older search never reported
        EXPECT_EQ(report.front().value<find::FindResults>().search, newest);
    EXPECT_EQ(last().count, 3); // "17" in each dictionary
    EXPECT_TRUE(last().problems.isEmpty());

    // A word in 9000 entries: first a page with snippets (in row order) before the count,
    // then the count, then the whole list; here the ranking ties, so row order it is.
    finished.clear();
    service.search(match("grace"), data::allConfigs(), dir.path(), 12);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 3; }, 30000));
    const auto first = finished[0][0].value<find::FindResults>();
    const auto counted = finished[1][0].value<find::FindResults>();
    const auto all = finished[2][0].value<find::FindResults>();
    EXPECT_FALSE(first.complete);
    EXPECT_EQ(first.count, -1);
    EXPECT_EQ(first.atLeast, 3 * (find::FindService::kRankedAtOnce + 1));
    ASSERT_EQ(first.entries.size(), 12u);
    for (const auto& entry : first.entries) // the page is described, every row of it
        EXPECT_TRUE(entry.snippet.contains(find::kMatchStart)) << entry.headword.toStdString();
    EXPECT_EQ(counted.count, 9000);
    EXPECT_FALSE(counted.complete);
    EXPECT_TRUE(all.complete);
    EXPECT_EQ(all.count, 9000);
    ASSERT_EQ(all.entries.size(), size_t(find::FindService::kListedEntries));
    for (size_t i = 0; i < first.entries.size(); ++i)
        EXPECT_EQ(first.entries[i].rowid, all.entries[i].rowid);

    // Words in a few entries come with their count, all in one report.
    finished.clear();
    service.search(match("truth 17"), data::allConfigs(), dir.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty(); }, 30000));
    QTest::qWait(50);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(last().complete);
    EXPECT_EQ(last().count, 3);
}

// Every connection then opened on a file in `folder` may not make its file grow, as on a
// full disk (SQLite answers "database or disk is full"); connections in memory may.
class FullDisk {
public:
    explicit FullDisk(const QString& folder) {
        s_folder = QFile::encodeName(folder);
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&limit));
    }
    ~FullDisk() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&limit)); }

private:
    static int limit(sqlite3* db, const char**, const sqlite3_api_routines*) {
        const char* file = sqlite3_db_filename(db, "main");
        if (file && std::string_view(file).starts_with(s_folder.constData()))
            sqlite3_exec(db, "PRAGMA max_page_count = 1", nullptr, nullptr, nullptr);
        return SQLITE_OK;
    }
    static inline QByteArray s_folder;
};

TEST(FindService, OnAFullDiskAnOlderFileIsSearchedInMemoryAndSaysSoOnceInALine) {
    QTemporaryDir dir;
    const auto& eastons = data::eastonsConfig();
    std::vector<test::DictRow> rows;
    for (int i = 0; i < 500; ++i)
        rows.push_back(
            {QStringLiteral("W%1").arg(i), QStringLiteral("grace upon grace %1").arg(i)});
    test::writeDictionaryFile(dir.path(), eastons, rows);
    FullDisk full(dir.path());
    find::FindService service;
    QSignalSpy finished(&service, &find::FindService::finished);
    auto searched = [&](const QString& typed) {
        finished.clear();
        service.search(match(typed), {&eastons}, dir.path());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return !finished.isEmpty() &&
                       finished.back().front().value<find::FindResults>().complete;
            },
            30000));
        return finished.back().front().value<find::FindResults>();
    };
    const find::FindResults first = searched("grace 17");
    EXPECT_EQ(first.problems,
              QStringList{data::diskFullSearchNote(eastons, dir.filePath("data.mdb"))});
    EXPECT_EQ(first.count, 1);
    const find::FindResults next = searched("grace 42");
    EXPECT_TRUE(next.problems.isEmpty());
    EXPECT_EQ(next.count, 1);
}

TEST(FindService, AFailedSearchNamesTheFileButQuotesNoStatement) {
    QTemporaryDir dir;
    test::writeDictionaryFile(dir.path(), data::eastonsConfig(), {{"Grace", "favour"}});
    find::FindService service;
    QSignalSpy finished(&service, &find::FindService::finished);
    service.search(QString::fromUtf8("\"gra\0ce\"", 7), {&data::eastonsConfig()}, dir.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty(); }, 30000));
    const QStringList problems = finished.back().front().value<find::FindResults>().problems;
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems.front().contains(QStringLiteral("data.mdb")))
        << problems.front().toStdString();
    for (const char* sql : {"SELECT", "MATCH", "FROM"})
        EXPECT_FALSE(problems.front().contains(QLatin1String(sql)))
            << problems.front().toStdString();
}

TEST(DictionaryIndex, ACountStopsWhenANewerSearchCancelsIt) {
    QTemporaryDir dir;
    std::vector<test::DictRow> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back({QStringLiteral("W%1").arg(i), QStringLiteral("grace %1").arg(i)});
    test::writeDictionaryFile(dir.path(), data::eastonsConfig(), rows);
    bool cancelled = false;
    find::DictionaryIndex index(data::eastonsConfig(), dir.path(), [&] { return cancelled; });
    index.prepare();
    const find::FirstPage page = index.firstPage(match("grace"), 5, 50, 100);
    EXPECT_EQ(page.count, -1); // more than 100: left to count()
    EXPECT_EQ(page.entries.size(), 5u);
    EXPECT_EQ(index.count(match("grace")), 3000);
    cancelled = true;
    EXPECT_THROW(index.count(match("grace")), find::Cancelled);
}

} // namespace
