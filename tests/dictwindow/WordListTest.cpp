// The word list: its order (letter case ignored, ties in arrival order), its list-box
// operations, and that only the user's selection reports a click.

#include "dictwindow/WordList.h"
#include "dictwindow/WordListModel.h"
#include "platform/Error.h"
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

using namespace tolvane;
using dictwindow::WordList;

namespace {

QStringList itemsOf(const WordList& list) {
    QStringList items;
    for (int i = 0; i < list.ListCount(); ++i)
        items << list.List(i);
    return items;
}

class WordListTest : public ::testing::Test {
protected:
    WordListTest() {
        list.resize(200, 180);
        tester = std::make_unique<QAbstractItemModelTester>(
            list.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    void showList() {
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }
    void clickRow(int row) {
        const QRect r = list.visualRect(list.model()->index(row, 0));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, r.center());
    }

    WordList list;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(WordListTest, ItemsAddedInAnyOrderAreShownAlphabeticallyWithoutRegardToCase) {
    for (const char* word : {"FILLETS", "Field1", "FETTERS"})
        list.AddItem(QString::fromLatin1(word));
    EXPECT_EQ(itemsOf(list), (QStringList{"FETTERS", "Field1", "FILLETS"}));

    list.setItems({"FILLETS", "Field1", "FETTERS"});
    EXPECT_EQ(itemsOf(list), (QStringList{"FETTERS", "Field1", "FILLETS"}));
}

TEST_F(WordListTest, OneByOneAndBatchFillsGiveTheSameOrderWithTiesInArrivalOrder) {
    // Words that differ only in case, duplicates, digits, punctuation and non-ASCII letters.
    QStringList words{"abel",        "Abel", "ABEL", "abel", "Zoar", "zoar",  "1 Esdras",
                      "Aaron's rod", "Ædes", "éden", "Eden", "",     " lead", "Lead"};
    auto* rng = QRandomGenerator::global();
    for (int i = 0; i < 300; ++i) {
        QString w;
        const int len = rng->bounded(1, 6);
        for (int j = 0; j < len; ++j)
            w += QChar(rng->bounded(2) ? u'a' + rng->bounded(4) : u'A' + rng->bounded(4));
        words << w;
    }
    QStringList expected = words;
    std::stable_sort(expected.begin(), expected.end(), dictwindow::wordListLess);

    for (const QString& w : words)
        list.AddItem(w);
    EXPECT_EQ(itemsOf(list), expected);
    list.setItems(words);
    EXPECT_EQ(itemsOf(list), expected);

    // Arriving the other way round, words equal in the list order swap places, nothing else.
    std::reverse(words.begin(), words.end());
    QStringList reversed = words;
    std::stable_sort(reversed.begin(), reversed.end(), dictwindow::wordListLess);
    list.setItems(words);
    EXPECT_EQ(itemsOf(list), reversed);
    for (int i = 1; i < expected.size(); ++i)
        EXPECT_FALSE(dictwindow::wordListLess(expected[i], expected[i - 1])) << i;
    EXPECT_EQ(list.ListCount(), words.size());
}

TEST_F(WordListTest, ListBoxOperations) {
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.ListIndex(), -1);
    list.setItems({"b", "a", "c"});
    EXPECT_EQ(list.List(0), QStringLiteral("a"));
    EXPECT_EQ(list.List(2), QStringLiteral("c"));
    for (int bad : {-1, 3}) {
        try {
            (void)list.List(bad);
            ADD_FAILURE() << "List(" << bad << ") did not fail";
        } catch (const NumberedError& e) {
            EXPECT_EQ(e.number(), 381);
        }
    }
    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.objectName(), QStringLiteral("lstdata"));
    EXPECT_TRUE(list.uniformItemSizes());
}

TEST_F(WordListTest, UserSelectionReportsAClickAndFillsNever) {
    list.setItems({"ABASE", "ABIDE", "BEWRAY"});
    showList();
    QSignalSpy clicks(&list, &WordList::clicked);

    clickRow(1);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.takeFirst().at(0).toInt(), 1);
    EXPECT_EQ(list.ListIndex(), 1);

    clickRow(1); // the selected item again: the user chose it again
    EXPECT_EQ(clicks.count(), 1);
    clicks.clear();

    QTest::keyClick(&list, Qt::Key_Down);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.takeFirst().at(0).toInt(), 2);

    // The program's own fills, with a selection in place, report nothing.
    list.AddItem(QStringLiteral("AARON"));
    list.setItems({"X", "Y"});
    list.Clear();
    list.AddItem(QStringLiteral("Z"));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(list.ListIndex(), -1) << "a refilled list has no selection";

    // A click on the empty space below the items chooses nothing.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      QPoint(10, list.viewport()->height() - 5));
    EXPECT_EQ(clicks.count(), 0);
}

// A long list is laid out a batch at a time; meanwhile its first screen is painted as it is
// once laid out, and a click chooses the row under it.
TEST_F(WordListTest, ALongListBeingLaidOutIsPaintedAndClickedAsOnceLaidOut) {
    QStringList items;
    for (int i = 0; i < 200'000; ++i)
        items << QStringLiteral("w%1").arg(i, 6, 10, QLatin1Char('0'));
    list.setItems(items);
    showList();
    list.doItemsLayout(); // the first batch; the rest wait for the event loop
    const QPoint firstRow = list.visualRect(list.model()->index(0, 0)).center();
    ASSERT_FALSE(list.QListView::indexAt(firstRow).isValid()) << "the layout is already done";
    QSignalSpy clicks(&list, &WordList::clicked);
    clickRow(3);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.takeFirst().at(0).toInt(), 3);
    EXPECT_EQ(list.ListIndex(), 3);
    const QImage during = list.viewport()->grab().toImage();

    ASSERT_TRUE(QTest::qWaitFor([&] { return list.QListView::indexAt(firstRow).isValid(); }));
    EXPECT_EQ(during, list.viewport()->grab().toImage()) << "the selection, the hover, the rows";
    EXPECT_EQ(list.indexAt(firstRow).row(), 0);
}

TEST_F(WordListTest, DragAcrossItemsReportsEachNewSelection) {
    list.setItems({"A", "B", "C"});
    showList();
    QSignalSpy clicks(&list, &WordList::clicked);
    const QPoint a = list.visualRect(list.model()->index(0, 0)).center();
    const QPoint c = list.visualRect(list.model()->index(2, 0)).center();
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, a);
    QTest::mouseMove(list.viewport(), c);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, c);
    ASSERT_GE(clicks.count(), 1);
    EXPECT_EQ(clicks.first().at(0).toInt(), 0);
    EXPECT_EQ(list.ListIndex(), 2);
    EXPECT_EQ(clicks.last().at(0).toInt(), 2);
}

} // namespace
