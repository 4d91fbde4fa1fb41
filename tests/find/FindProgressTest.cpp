// The first search of a file made before its full-text index: the Find window shows the share
// of the index made in a bar while it is made, and the bar goes with the results.

#include "data/DataOperations.h"
#include "find/FindService.h"
#include "find/FindWindow.h"
#include "support/DictionaryFiles.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

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

} // namespace
} // namespace tolvane::test
