// What differs between the three windows that the user can reach, and the End button.

#include "WindowFixture.h"

#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "engine/EngineError.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace tolvane::test {
namespace {

class ThreeDictionariesTest : public WindowFixture {
protected:
    void openSmall(const data::DictionaryConfig& config) {
        open(config, {{QStringLiteral("Alpha"), QStringLiteral("first"), QStringLiteral("x")}});
    }
    // The controls the Tab key visits from the search box until it comes back.
    QStringList tabCycleFromSearchBox() {
        c().txtSearch->setFocus();
        QStringList visited;
        for (int i = 0; i < 10; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* w = QApplication::focusWidget();
            if (!w)
                break;
            visited << w->objectName();
            if (w == c().txtSearch)
                break;
        }
        return visited;
    }
};

TEST_F(ThreeDictionariesTest, EastonsAndHitchcockTabThroughTheirFiveVisibleControls) {
    for (const auto* config : {&data::eastonsConfig(), &data::hitchcockConfig()}) {
        SCOPED_TRACE(config->windowName.toStdString());
        openSmall(*config);
        EXPECT_EQ(tabCycleFromSearchBox(),
                  (QStringList{"txtForename", "txtSurname", "lstdata", "Command1", "txtSearch"}));
    }
}

TEST_F(ThreeDictionariesTest, KingJamesTabsThroughTheScriptureBoxToo) {
    openSmall(data::kingJamesConfig());
    EXPECT_EQ(tabCycleFromSearchBox(),
              (QStringList{"rtb1", "Command1", "lstdata", "txtSurname", "txtForename", "txtSearch"}));
}

TEST_F(ThreeDictionariesTest, EachWindowReadsItsOwnFileTableAndColumns) {
    for (const auto* config : data::allConfigs()) {
        SCOPED_TRACE(config->windowName.toStdString());
        open(*config, {{config->table, config->definitionColumn, QStringLiteral("s")}});
        EXPECT_EQ(listItems(), QStringList{config->table});
        clickHeadword(config->table);
        EXPECT_EQ(c().txtSurname->toPlainText(), config->definitionColumn);
        EXPECT_EQ(c().rtb1 != nullptr, config->hasScripture());
    }
}

TEST_F(ThreeDictionariesTest, EndClosesTheDatabaseAndEndsTheProgram) {
    openSmall(data::hitchcockConfig());
    c().cmdend->click(); // hidden but enabled
    EXPECT_EQ(fakes.ender->ends, 1);
    EXPECT_THROW(win().db->OpenRecordset(QStringLiteral("hitchcock"), engine::dbOpenTable),
                 NumberedError);
    // The window's variables outlive it; a later load opens the file afresh.
    load(data::hitchcockConfig());
    EXPECT_EQ(listItems(), QStringList{QStringLiteral("Alpha")});
}

TEST_F(ThreeDictionariesTest, EndDisabledWhileAddingDoesNotEndTheProgram) {
    openSmall(data::eastonsConfig());
    c().cmdAdd->click();
    c().cmdend->click();
    EXPECT_EQ(fakes.ender->ends, 0);
}

} // namespace
} // namespace tolvane::test
