// Dictionaries beyond the three, through the real windows: the Dictionaries menu lists them by
// title, each opens in a window of its own shaped as Easton's, Find and Back/Forward reach
// them, and the Get Dictionaries window removes one (only after a confirmation naming it).

#include "ShellFixture.h"

#include "data/AddedDictionaries.h"
#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "find/FindResultList.h"
#include "find/FindWindow.h"
#include "getdictionaries/GetDictionariesWindow.h"
#include "shell/MainWindow.h"
#include "shell/MenuKeys.h"
#include "support/DictionaryFiles.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

using namespace tolvane;

namespace {

class AddedDictionaryTest : public test::ShellFixture {
protected:
    void SetUp() override {
        writeAllDictionaries();
        test::writeDictionaryFile(dir.path(), nave(),
                                  {{"Abstinence", "Total abstinence from wine.\r\nSee Temperance"},
                                   {"Temperance", "Moderation in all things"}});
        test::writeDictionaryFile(dir.path(), glossary(), {{"Amen", "So be it"}});
        // A SQLite file without a title is no dictionary of ours and not listed.
        test::writeDictionaryFile(dir.path(), data::addedConfig("stray.sqlite", {}), {{"x", "y"}});
        startProgram();
    }
    static const data::DictionaryConfig& nave() {
        return data::addedConfig("Nave.sqlite", "Nave's Topical Bible", "SWORD module Nave");
    }
    static const data::DictionaryConfig& glossary() {
        return data::addedConfig("Gloss.sqlite", "Apocrypha Glossary", "CSV file gloss.csv");
    }
    QStringList menuItems() {
        QStringList list;
        for (QAction* a : mainWindow()->findChild<QMenu*>("mnuDictionaries")->actions())
            list << a->objectName() + QStringLiteral("=") + shell::plainCaption(a->text());
        return list;
    }
    const dictwindow::DictionaryControls& controls(const data::DictionaryConfig& config) {
        return forms->dictionaryWindow(config).controls();
    }
};

TEST_F(AddedDictionaryTest, MenuListsThemByTitleAndEachOpensAsEastonsDoes) {
    EXPECT_EQ(menuItems(),
              (QStringList{
                  "mnuDictionariesKJV=KJV Archaic Words",
                  "mnuDictioanariesHitchcock=Hitchcocks Bible Names",
                  "mnuDictionariesEastons=Easton's Bible Dictionary",
                  "mnuDictionariesSeparator=", "mnufrmAdded_Gloss=Apocrypha Glossary",
                  "mnufrmAdded_Nave=Nave's Topical Bible", "mnuDictionariesGet=Get Dictionaries...",
                  "mnuDictionariesOutputBar=", "mnuDictionariesPrint=Print Entry...",
                  "mnuDictionariesPdf=Save Entry as PDF...", "mnuDictionariesCopy=Copy Entry",
                  "mnuDictionariesExport=Export Dictionary as CSV...",
                  "mnuDictionariesExitBar=", "mnuDictionariesExit=Exit"}));
    // Each added title has an access key of its own in the menu ("Apocrypha" its 'A', "Nave's"
    // its 'N'), and an '&' in a title would be drawn as written.
    QSet<QChar> keys;
    for (QAction* a : mainWindow()->findChild<QMenu*>("mnuDictionaries")->actions())
        if (!a->isSeparator())
            keys.insert(shell::accessKeyOf(a->text()));
    EXPECT_EQ(keys, (QSet<QChar>{'k', 'h', 'e', 'a', 'n', 'g', 'p', 'd', 'c', 'v', 'x'}));
    QSet<QChar> used{'a'};
    EXPECT_EQ(shell::captionWithAccessKey("A & B", used), "A && &B");

    choose("mnuDictionariesEastons");
    const QRect eastonsDefinition = controls(data::eastonsConfig()).txtSurname->geometry();
    choose("mnufrmAdded_Nave");
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - Nave's Topical Bible");
    EXPECT_FALSE(forms->frmEastons().isLoaded()); // one dictionary window at a time
    const auto& c = controls(nave());
    ASSERT_NE(c.form, nullptr);
    EXPECT_EQ(c.rtb1, nullptr); // laid out as Easton's
    EXPECT_EQ(c.txtSurname->geometry(), eastonsDefinition);
    QTest::keyClicks(c.txtSearch, "tem");
    EXPECT_EQ(c.lstdata->ListCount(), 1);
    QTest::keyClick(c.txtSearch, Qt::Key_Return);
    EXPECT_EQ(c.txtForename->text(), "Temperance");
    EXPECT_EQ(c.txtSurname->toPlainText(), "Moderation in all things");

    choose("mnufrmAdded_Gloss");
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - Apocrypha Glossary");
    EXPECT_FALSE(forms->dictionaryForm(nave()).isLoaded());
    choose("mnuDictionariesKJV");
    EXPECT_FALSE(forms->dictionaryForm(glossary()).isLoaded());
    EXPECT_TRUE(fakes.messages->calls.empty());
}

TEST_F(AddedDictionaryTest, FindAllDictionariesAndBackForwardReachThem) {
    choose("mnuDictionariesKJV");
    choose("mnuFindEntries");
    find::FindWindow* w = forms->findWindow();
    ASSERT_NE(w, nullptr);
    w->optAllDictionaries()->click();
    QTest::keyClicks(w->txtFind(), "moderation");
    ASSERT_TRUE(QTest::qWaitFor([w] { return !w->isSearching(); }, 10000));
    EXPECT_EQ(w->lblCount()->text(), "1 entry");
    auto* results = w->lstResults();
    const QRect row = results->visualRect(results->results()->index(0, 0));
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - Nave's Topical Bible");
    EXPECT_EQ(controls(nave()).txtForename->text(), "Temperance");

    choose("mnuDictionariesEastons");
    QTest::keyClicks(controls(data::eastonsConfig()).txtSearch, "Zion");
    QTest::keyClick(controls(data::eastonsConfig()).txtSearch, Qt::Key_Return);
    choose("mnuFindBack");
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - Nave's Topical Bible");
    EXPECT_EQ(controls(nave()).txtForename->text(), "Temperance");
    choose("mnuFindForward");
    EXPECT_EQ(controls(data::eastonsConfig()).txtForename->text(), "Zion");
}

TEST_F(AddedDictionaryTest, RemovingDeletesOnlyItsFileAfterAConfirmationNamingIt) {
    choose("mnufrmAdded_Nave");
    const QByteArray eastons = test::sha256(path(data::eastonsConfig()));
    choose("mnuDictionariesGet");
    auto* w = forms->getDictionariesWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isWindow() && w->isVisible() && !w->isModal());
    // As Find opens: beside the main window where there is room, wholly on its screen.
    EXPECT_TRUE(mainWindow()->screen()->availableGeometry().contains(w->frameGeometry()));
    ASSERT_TRUE(
        QTest::qWaitFor([w] { return !w->isBusy(); }, 30000)); // the installed modules' list
    QTreeWidget* list = w->controls().lstTolvane;
    ASSERT_EQ(list->topLevelItemCount(), 2);
    list->setCurrentItem(list->topLevelItem(1));
    ASSERT_EQ(list->currentItem()->text(0), "Nave's Topical Bible");

    QTest::mouseClick(w->controls().cmdRemove, Qt::LeftButton); // answered No
    ASSERT_EQ(fakes.messages->calls.size(), 1u);
    EXPECT_TRUE(fakes.messages->calls[0].text.contains("Nave's Topical Bible"));
    EXPECT_TRUE(fakes.messages->calls[0].text.contains(path(nave())));
    EXPECT_TRUE(QFile::exists(path(nave())));
    EXPECT_TRUE(forms->dictionaryForm(nave()).isLoaded());

    fakes.messages->queueAnswer(platform::AnswerYes);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Tab); // to Remove, by keyboard
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(QFile::exists(path(nave())));
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane");
    EXPECT_FALSE(menuItems().contains("mnufrmAdded_Nave=Nave's Topical Bible"));
    EXPECT_TRUE(menuItems().contains("mnufrmAdded_Gloss=Apocrypha Glossary"));
    EXPECT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(test::sha256(path(data::eastonsConfig())), eastons);
    EXPECT_TRUE(QFile::exists(path(glossary())));
}

TEST_F(AddedDictionaryTest, TypedNumbersFindTheKeysOfANumberedDictionary) {
    const auto& strongs =
        data::addedConfig("Strongs.sqlite", "Strong's Greek", "SWORD module StrongsGreek", 5);
    test::writeDictionaryFile(
        dir.path(), strongs,
        {{"00001", "Alpha"}, {"00011", "Abraam"}, {"00012", "abussos"}, {"00110", "athanasia"}});
    mainWindow()->refreshDictionaryMenu();
    choose("mnufrmAdded_Strongs");
    const auto& c = controls(strongs);
    for (const char* typed : {"G11", "11", "h11"}) {
        c.txtSearch->clear();
        QTest::keyClicks(c.txtSearch, typed);
        QTest::keyClick(c.txtSearch, Qt::Key_Return);
        EXPECT_EQ(c.txtForename->text(), "00011") << typed;
        EXPECT_EQ(c.txtSurname->toPlainText(), "Abraam") << typed;
    }
    EXPECT_TRUE(fakes.messages->calls.empty()) << fakes.messages->calls[0].text.toStdString();
}

} // namespace
