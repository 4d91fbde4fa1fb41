// The first search of a file made before its full-text index: the Find window shows the share
// of the index made in a bar while it is made, and the bar goes with the results.

#include "data/DataOperations.h"
#include "engine/ListIndexBuild.h"
#include "engine/sqlite/Connection.h"
#include "find/FindService.h"
#include "find/FindWindow.h"
#include "support/DictionaryFiles.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

namespace tolvane::test {
namespace {

TEST(FindProgress, TheFirstSearchOfAnOlderFileShowsTheShareDoneInABar) {
    QTemporaryDir dir;
    const auto& eastons = data::eastonsConfig();
    std::vector<DictRow> rows;
    for (int i = 0; i < 20000; ++i)
        rows.push_back({QStringLiteral("Word%1").arg(i), QStringLiteral("text %1 of many").arg(i)});
    writeDictionaryFile(dir.path(), eastons, rows);

    find::FindService service;
    find::FindWindow window(
        service, [&] { return &eastons; }, [&] { return dir.path(); });
    window.show();
    QProgressBar* bar = window.prgPreparing();
    EXPECT_EQ(bar->objectName(), QStringLiteral("prgPreparing"));
    EXPECT_FALSE(bar->isVisible());
    // Called after the window's own handler of each report.
    std::vector<int> shown;
    QObject::connect(&service, &find::FindService::preparing, &window,
                     [&](quint64, const QString&, int percent) {
                         EXPECT_TRUE(bar->isVisible());
                         EXPECT_EQ(bar->value(), percent);
                         shown.push_back(percent);
                     });
    window.txtFind()->setText(QStringLiteral("many"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isSearching(); }, 20000));
    ASSERT_GE(shown.size(), 2u);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_EQ(shown.back(), 100);
    EXPECT_FALSE(bar->isVisible()) << "gone with the results";

    window.txtFind()->setText(QStringLiteral("text"));
    shown.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isSearching(); }, 20000));
    EXPECT_TRUE(shown.empty()) << "made once";
}

// The first search while the word list of the same file is being made (it holds the write lock
// for longer than a writer waits): the index still goes into the file, after the list.
TEST(FindProgress, AFileHeldByItsListBuildIsIndexedInTheFileOnceItLetsGo) {
    QTemporaryDir dir;
    const auto& eastons = data::eastonsConfig();
    writeDictionaryFile(dir.path(), eastons, {{"Eden", "the garden"}});
    const QString path = data::dictionaryPath(eastons, dir.path());
    std::optional<engine::ListBuildWriteLock> held(std::in_place, path);
    engine::sqlite::Connection build(path, engine::sqlite::OpenMode::ReadWrite);
    build.exec(QStringLiteral("BEGIN IMMEDIATE"));
    std::atomic<int> inMemory{-1};
    std::thread search([&] {
        find::DictionaryIndex index(eastons, dir.path());
        index.prepare();
        inMemory = index.inMemory();
    });
    QThread::msleep(engine::sqlite::Connection::kBusyTimeout.count() + 500); // past giving up
    build.exec(QStringLiteral("COMMIT"));
    held.reset();
    search.join();
    EXPECT_EQ(inMemory, 0);
}

} // namespace
} // namespace tolvane::test
