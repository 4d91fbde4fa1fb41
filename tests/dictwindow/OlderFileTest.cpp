// A dictionary file made before the list index, too large for the index to be added while it
// opens: the window opens without waiting for it, shows the bar over the list while it is made,
// takes keys meanwhile, and ends with exactly the list the index gives; closed in the middle,
// the file is as it was and the next open completes it.

#include "WindowFixture.h"

#include "data/DataOperations.h"
#include "dictwindow/ListProgress.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "engine/CollationIndexes.h"
#include "engine/FileMetadata.h"
#include "engine/ListIndexBuild.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

namespace tolvane::test {
namespace {

using data::hitchcockConfig;

std::vector<DictRow> olderRows() {
    const QStringList tricky = {"Fig", "ﬁg", "Jacob’s Well", "Jacob's well", "Éden", "eden"};
    std::vector<DictRow> rows;
    for (int i = 0; i < int(engine::kListIndexAtOnceRows) + 4000; ++i)
        rows.push_back({i % 5 == 0 ? tricky[i % tricky.size()]
                                   : QStringLiteral("%1%2").arg(i % 3 ? "w" : "W").arg(i % 1700),
                        QString::number(i)});
    return rows;
}

class OlderFileTest : public WindowFixture {
protected:
    OlderFileTest() {
        // The texts ordered in memory before the index is done, as for a large table.
        engine::ListIndexBuild::setOrderInMemoryFromRows(0);
        writeDictionaryFile(dir.path(), hitchcockConfig(), rows);
        engine::sqlite::Connection db(path(), engine::sqlite::OpenMode::ReadWrite);
        db.exec(QStringLiteral("DROP INDEX %1")
                    .arg(engine::quoteIdentifier(engine::listIndexName(
                        hitchcockConfig().table, hitchcockConfig().headwordColumn))));
    }
    QString path() const { return data::dictionaryPath(hitchcockConfig(), dir.path()); }
    void loadWithoutEvents() {
        m_window = std::make_unique<dictwindow::DictionaryWindow>(hitchcockConfig());
        m_form.reset(m_window->createControls());
        m_window->Form_Load();
        m_form->show();
    }
    QProgressBar* bar() { return m_window->listProgress()->bar(); }
    bool preparing() { return m_window->db->listPreparingPercent() >= 0; }
    bool hasListIndex() {
        engine::sqlite::Connection db(path(), engine::sqlite::OpenMode::ReadOnly);
        return engine::findListIndex(db, hitchcockConfig().table, hitchcockConfig().headwordColumn)
            .has_value();
    }
    QString integrity() {
        engine::sqlite::Connection db(path(), engine::sqlite::OpenMode::ReadOnly);
        engine::sqlite::Statement check(db, QStringLiteral("PRAGMA integrity_check"));
        return check.step() ? check.columnText(0) : QString();
    }

    std::vector<DictRow> rows = olderRows();
};

TEST_F(OlderFileTest, OpensAtOnceWithTheBarAndEndsWithTheIndexesList) {
    loadWithoutEvents();
    EXPECT_TRUE(c().lstdata->isFilling()) << "the open did not wait for the list";
    EXPECT_EQ(bar()->objectName(), QStringLiteral("prgListPreparing"));
    EXPECT_EQ(bar()->parentWidget(), c().lstdata) << "over the list: the layout is unchanged";
    EXPECT_FALSE(bar()->isHidden()) << "shown from the load on, before the window is";
    QTRY_VERIFY_WITH_TIMEOUT(!preparing() && !c().lstdata->isFilling(), 20000);
    QTRY_VERIFY(bar()->isHidden());
    const QStringList expected = sortedHeadwords(rows);
    EXPECT_EQ(listItems(), expected);
    EXPECT_TRUE(hasListIndex());
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
    c().txtSearch->setText(QStringLiteral("w16"));
    c().txtSearch->setText(QString()); // from the index now
    QTRY_VERIFY_WITH_TIMEOUT(!c().lstdata->isFilling(), 10000);
    EXPECT_EQ(listItems(), expected);
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(OlderFileTest, AKeystrokeWhileTheListIsMadeIsAnsweredAndTheListEndsWhole) {
    loadWithoutEvents();
    c().txtSearch->setText(QStringLiteral("w16")); // as the user's edit
    EXPECT_EQ(listItems(), listOrderSorted(headwordsBeginningWith(rows, "w16")));
    c().txtSearch->setText(QString());
    EXPECT_EQ(listItems(), sortedHeadwords(rows)) << "a caller needing every row waits for them";
    QTRY_VERIFY_WITH_TIMEOUT(!preparing(), 20000);
    EXPECT_TRUE(hasListIndex());
}

TEST_F(OlderFileTest, ClosedWhileTheIndexIsMadeTheNextOpenCompletesIt) {
    loadWithoutEvents();
    ASSERT_TRUE(preparing());
    m_window->cmdend_Click(); // closes the file in the middle of the build
    m_form.reset();
    m_window.reset();
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
    load(hitchcockConfig());
    EXPECT_EQ(storedCount(), int(rows.size()));
    QTRY_VERIFY_WITH_TIMEOUT(!preparing() && !c().lstdata->isFilling(), 20000);
    EXPECT_TRUE(hasListIndex());
    EXPECT_EQ(listItems(), sortedHeadwords(rows));
}

// A file made before the versions were recorded (as the earlier program made it): its headword
// index is rebuilt by the list build, not by the open. Closed in the middle of either rebuild,
// the file is whole and unchanged; the next open does both and lists it right. Keys typed
// meanwhile are looked up without the stale index.
TEST_F(OlderFileTest, ClosedInTheMiddleOfEachRebuildTheFileStaysWholeAndTheNextOpenEndsIt) {
    engine::sqlite::Connection(path(), engine::sqlite::OpenMode::ReadWrite)
        .exec(QStringLiteral("DROP TABLE tolvane_metadata"));
    const auto versionRecorded = [this] {
        engine::sqlite::Connection db(path(), engine::sqlite::OpenMode::ReadOnly);
        return engine::readMetadata(db, QString::fromLatin1(engine::kCaseFoldVersionKey))
            .has_value();
    };
    using Stage = engine::ListIndexBuild::Stage;
    for (const Stage stage : {Stage::Rebuilding, Stage::AddingIndex}) {
        engine::ListIndexBuild::holdIn(stage);
        loadWithoutEvents();
        QTRY_VERIFY_WITH_TIMEOUT(engine::ListIndexBuild::held(), 10000);
        EXPECT_FALSE(bar()->isHidden());
        c().txtSearch->setText(QStringLiteral("w16"));
        EXPECT_EQ(listItems(), listOrderSorted(headwordsBeginningWith(rows, "w16")));
        m_window->cmdend_Click();
        m_form.reset();
        m_window.reset();
        engine::ListIndexBuild::holdIn(std::nullopt);
        EXPECT_EQ(integrity(), QStringLiteral("ok"));
        EXPECT_FALSE(versionRecorded());
        EXPECT_FALSE(hasListIndex());
    }
    load(hitchcockConfig());
    QTRY_VERIFY_WITH_TIMEOUT(!preparing() && !c().lstdata->isFilling(), 20000);
    EXPECT_TRUE(versionRecorded());
    EXPECT_TRUE(hasListIndex());
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
    EXPECT_EQ(listItems(), sortedHeadwords(rows));
    EXPECT_TRUE(messageLog().isEmpty());
}

} // namespace
} // namespace tolvane::test
