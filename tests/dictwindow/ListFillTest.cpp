// The whole list shown a page at a time: the first screen at once, the rest between the user's
// input, ending as the list read all at once; a keystroke, closing the window and another
// program's commit and its lock during the fill; End and far rows during the fill; a window
// opened on one entry never lists the whole table.

#include "WindowFixture.h"

#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "engine/sqlite/Connection.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace tolvane::test {
namespace {

using data::hitchcockConfig;

// More rows than the first page: runs of equal headwords (case, ligature, apostrophe, accent
// variants the list order holds equal) across the pages, and a row without a headword.
std::vector<DictRow> manyRows() {
    const QStringList tricky = {"Fig", "ﬁg", "Jacob’s Well", "Jacob's well", "Éden", "eden"};
    std::vector<DictRow> rows;
    for (int i = 0; i < 5000; ++i) {
        const QString word = i % 5 == 0
                                 ? tricky[i % tricky.size()]
                                 : QStringLiteral("%1%2").arg(i % 3 ? "w" : "W").arg(i % 1700);
        rows.push_back({word, QString::number(i)});
    }
    rows.push_back({QVariant(), QStringLiteral("no headword")});
    return rows;
}

class ListFillTest : public WindowFixture {
protected:
    // Loads the window without running the event loop, so the fill is seen under way.
    void loadWithoutEvents(const QString& narrowedTo = QString()) {
        writeDictionaryFile(dir.path(), hitchcockConfig(), rows);
        m_window = std::make_unique<dictwindow::DictionaryWindow>(hitchcockConfig());
        m_form.reset(m_window->createControls());
        QObject::connect(c().lstdata->model(), &QAbstractItemModel::modelReset,
                         [this] { ++m_fills; });
        m_window->loadNarrowedTo(narrowedTo);
        m_window->Form_Load();
        m_form->show();
    }
    bool filling() const { return c().lstdata->isFilling(); }
    void waitForTheFill() { QTRY_VERIFY_WITH_TIMEOUT(!filling(), 10000); }

    std::vector<DictRow> rows = manyRows();
};

TEST_F(ListFillTest, TheFirstScreenComesAtOnceAndTheFillEndsAsTheWholeList) {
    loadWithoutEvents();
    const QStringList expected = sortedHeadwords(rows);
    ASSERT_TRUE(filling());
    EXPECT_EQ(c().lstdata->model()->index(0, 0).data().toString(), expected.first());
    QTRY_COMPARE(c().lstdata->ListCount(), expected.size()); // the count, then the rest
    waitForTheFill();
    EXPECT_EQ(listItems(), expected);
    EXPECT_TRUE(messageLog().isEmpty());

    c().Command1->click(); // Get New Word: "a", then the whole list again in pages
    EXPECT_TRUE(filling());
    EXPECT_EQ(listItems(), expected); // a row not read yet reads the rest at once
    EXPECT_FALSE(filling());
}

TEST_F(ListFillTest, AKeystrokeDuringTheFillReplacesIt) {
    loadWithoutEvents();
    ASSERT_TRUE(filling());
    c().txtSearch->setText(QStringLiteral("w16")); // as the user's edit
    EXPECT_FALSE(filling());
    const QStringList prefixed = listOrderSorted(headwordsBeginningWith(rows, "w16"));
    EXPECT_EQ(listItems(), prefixed);
    QTest::qWait(50); // nothing of the stopped fill comes back
    EXPECT_EQ(listItems(), prefixed);
    c().txtSearch->setText(QString());
    EXPECT_TRUE(filling());
    clickItem(0); // a click during the fill shows its entry
    EXPECT_EQ(c().txtForename->text(), sortedHeadwords(rows).first());
}

TEST_F(ListFillTest, ClosingTheWindowDuringTheFillStopsIt) {
    loadWithoutEvents();
    ASSERT_TRUE(filling());
    m_form.reset();
    QTest::qWait(50); // the fill's steps must not reach the destroyed list
    EXPECT_FALSE(win().hasControls());
    EXPECT_EQ(win().db->OpenRecordset(hitchcockConfig().table)->RecordCount(), int(rows.size()));
}

TEST_F(ListFillTest, TheFileClosedDuringTheFillEndsItWithoutAMessage) {
    loadWithoutEvents();
    ASSERT_TRUE(filling());
    c().cmdend->click(); // closes the file and ends the program
    QTest::qWait(50);
    EXPECT_FALSE(filling());
    EXPECT_TRUE(messageLog().isEmpty());
    EXPECT_LT(c().lstdata->ListCount(), int(rows.size()) - 1); // the rows read, no blank ones
    EXPECT_FALSE(listItems().contains(QString()));
}

TEST_F(ListFillTest, AnotherProgramsCommitDuringTheFillIsInTheFinishedList) {
    loadWithoutEvents();
    ASSERT_TRUE(filling());
    engine::sqlite::Connection outside(dir.path() + "/" + hitchcockConfig().fileName,
                                       engine::sqlite::OpenMode::ReadWrite);
    outside.exec("INSERT INTO hitchcock (field1, field2) VALUES ('Aaron', 'new')");
    outside.exec("DELETE FROM hitchcock WHERE field2 = '7'");
    waitForTheFill();
    std::erase_if(rows, [](const DictRow& r) { return r.definition == QStringLiteral("7"); });
    rows.push_back({QStringLiteral("Aaron"), QStringLiteral("new")});
    EXPECT_EQ(listItems(), sortedHeadwords(rows));
}

// End, Page Down and a click on a far row, with an entry chosen: the rows they reach are read
// ahead of the fill, which goes on from where it was and ends with the whole list.
TEST_F(ListFillTest, EndAndFarRowsDuringTheFillAreAnsweredWithoutReadingTheRest) {
    rows = manyRows();
    for (int i = 0; i < 9000; ++i)
        rows.push_back({QStringLiteral("x%1").arg(i), QStringLiteral("x")});
    loadWithoutEvents();
    const QStringList expected = sortedHeadwords(rows);
    ASSERT_TRUE(filling());
    clickItem(2);
    ASSERT_EQ(c().txtForename->text(), expected[2]);
    c().lstdata->setFocus();
    QTest::keyClick(c().lstdata, Qt::Key_End);
    EXPECT_TRUE(filling()) << "the rest was read at once";
    EXPECT_EQ(c().lstdata->ListIndex(), expected.size() - 1);
    EXPECT_EQ(c().txtForename->text(), expected.last());
    QTest::keyClick(c().lstdata, Qt::Key_PageUp);
    EXPECT_EQ(c().txtForename->text(), expected[c().lstdata->ListIndex()]);
    clickItem(9000);
    EXPECT_EQ(c().txtForename->text(), expected[9000]);
    EXPECT_TRUE(filling());
    waitForTheFill();
    EXPECT_EQ(listItems(), expected);
    EXPECT_TRUE(messageLog().isEmpty());
}

// Another connection holding the file's lock (the full-text index being made) does not stop
// the window: the fill's steps are told to ask again, and the list ends whole once it is free.
TEST_F(ListFillTest, ALockedFileIsNotWaitedForByTheFill) {
    loadWithoutEvents();
    ASSERT_TRUE(filling());
    engine::sqlite::Connection writer(dir.path() + "/" + hitchcockConfig().fileName,
                                      engine::sqlite::OpenMode::ReadWrite);
    writer.exec("BEGIN EXCLUSIVE");
    writer.exec("INSERT INTO hitchcock (field1, field2) VALUES ('Aaron', 'new')");
    QTest::qWait(100); // steps met the lock; waiting would end in an error message
    EXPECT_TRUE(filling());
    EXPECT_TRUE(messageLog().isEmpty());
    writer.exec("COMMIT");
    waitForTheFill();
    rows.push_back({QStringLiteral("Aaron"), QStringLiteral("new")});
    EXPECT_EQ(listItems(), sortedHeadwords(rows));

    // Typing while it is locked: the keys go into the box at once, the list follows the lock.
    writer.exec("BEGIN EXCLUSIVE");
    c().txtSearch->setText(QStringLiteral("w16")); // as the user's edit
    EXPECT_EQ(c().lstdata->ListCount(), int(rows.size()) - 1) << "listed without the lock";
    QTest::qWait(50);
    writer.exec("ROLLBACK");
    QTRY_COMPARE(listItems(), listOrderSorted(headwordsBeginningWith(rows, "w16")));
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(ListFillTest, OpeningOnOneHeadwordListsOnlyItsPrefixAndShowsTheEntry) {
    loadWithoutEvents(QStringLiteral("W161"));
    EXPECT_FALSE(filling());
    EXPECT_EQ(m_fills, 1);
    EXPECT_EQ(c().txtSearch->text(), QStringLiteral("W161"));
    EXPECT_EQ(listItems(), listOrderSorted(headwordsBeginningWith(rows, "w161")));
    ASSERT_TRUE(win().showHeadword(QStringLiteral("W161"), 0));
    EXPECT_EQ(c().txtForename->text(), QStringLiteral("W161"));
    EXPECT_EQ(m_fills, 1); // the list was not built again
    EXPECT_TRUE(messageLog().isEmpty());
}

} // namespace
} // namespace tolvane::test
