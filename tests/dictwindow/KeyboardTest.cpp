// The keyboard in a dictionary window: browsing the list from the search box, Alt with a
// letter, and zooming the entry boxes.

#include "WindowFixture.h"

#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "richtext/RichTextBox.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QWheelEvent>

namespace tolvane::test {
namespace {

using data::kingJamesConfig;

class KeyboardTest : public WindowFixture {
protected:
    void SetUp() override {
        std::vector<DictRow> rows;
        for (int i = 0; i < 60; ++i)
            rows.push_back({QStringLiteral("Word%1").arg(i, 2, 10, QLatin1Char('0')),
                            QStringLiteral("definition %1").arg(i), QStringLiteral("Gen. 1:1")});
        open(kingJamesConfig(), rows);
        typeKeys(QStringLiteral("w")); // over the selected prompt: every word
    }
    // The entry shown is the selected item's, and the focus is back in the search box.
    int shown() {
        const int index = c().lstdata->ListIndex();
        EXPECT_GE(index, 0);
        if (index >= 0) {
            EXPECT_EQ(c().txtForename->text(), c().lstdata->List(index));
        }
        EXPECT_TRUE(c().txtSearch->hasFocus());
        return index;
    }
};

TEST_F(KeyboardTest, ArrowsAndPageKeysInTheSearchBoxBrowseTheListAndShowEachEntry) {
    ASSERT_EQ(c().lstdata->ListCount(), 60);
    ASSERT_EQ(c().lstdata->ListIndex(), -1);
    pressKey(Qt::Key_Down);
    EXPECT_EQ(shown(), 0);
    pressKey(Qt::Key_Down);
    EXPECT_EQ(shown(), 1);
    pressKey(Qt::Key_Up);
    EXPECT_EQ(shown(), 0);
    pressKey(Qt::Key_Up); // at the top already
    EXPECT_EQ(shown(), 0);
    pressKey(Qt::Key_PageDown);
    const int page = shown();
    EXPECT_GT(page, 3);
    EXPECT_LT(page, 30);
    pressKey(Qt::Key_PageDown);
    EXPECT_EQ(shown(), 2 * page);
    pressKey(Qt::Key_PageUp);
    EXPECT_EQ(shown(), page);
    for (int i = 0; i < 10; ++i)
        pressKey(Qt::Key_PageDown);
    EXPECT_EQ(shown(), 59);
    EXPECT_EQ(c().txtSearch->text(), QStringLiteral("w")) << "browsing types nothing";
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(KeyboardTest, EnterShowsTheSelectedItemOrTheFirst) {
    pressKey(Qt::Key_Return);
    EXPECT_EQ(shown(), 0);
    c().txtForename->clear();
    clickItem(5);
    c().txtForename->clear();
    pressKey(Qt::Key_Enter);
    EXPECT_EQ(shown(), 5);
}

TEST_F(KeyboardTest, AltWithALetterNeverTypesIntoTheSearchBox) {
    for (Qt::Key key : {Qt::Key_D, Qt::Key_A, Qt::Key_W})
        QTest::keyClick(c().txtSearch, key, Qt::AltModifier);
    EXPECT_EQ(c().txtSearch->text(), QStringLiteral("w"));
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(KeyboardTest, ZoomKeysAndCtrlWheelZoomBothEntryBoxesAndTheZoomIsKept) {
    c().lstdata->selectItem(0);
    win().lstdata_Click();
    const QString rtf = c().rtb1->TextRTF();
    const double designed = c().txtSurname->font().pointSizeF();
    QTest::keyClick(c().txtSearch, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(c().txtSearch, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(win().entryZoomPercent(), 120);
    EXPECT_EQ(c().rtb1->zoomPercent(), 120);
    EXPECT_NEAR(c().txtSurname->font().pointSizeF(), designed * 1.2, 0.01);
    EXPECT_EQ(c().rtb1->TextRTF(), rtf) << "zoom shows larger, it stores nothing";

    QWheelEvent down(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(c().txtSurname->viewport(), &down);
    EXPECT_EQ(c().rtb1->zoomPercent(), 110);

    load(kingJamesConfig()); // the next start
    EXPECT_EQ(win().entryZoomPercent(), 110);
    EXPECT_NEAR(c().txtSurname->font().pointSizeF(), designed * 1.1, 0.01);
    QTest::keyClick(c().txtSearch, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(win().entryZoomPercent(), 100);
    QTest::keyClick(c().txtSearch, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(c().txtSearch, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(win().entryZoomPercent(), 100);
    load(kingJamesConfig());
    EXPECT_EQ(win().entryZoomPercent(), 100);
}

} // namespace
} // namespace tolvane::test
