// Faulty dictionary files as a user meets them, through the real windows: each message says
// which file, what is wrong with it and what to do, with no run-time error number; files in
// the dictionary folder that cannot be dictionaries are listed as such and never offered.

#include "ShellFixture.h"

#include "data/AddedDictionaries.h"
#include "engine/sqlite/Connection.h"
#include "find/FindResultList.h"
#include "find/FindWindow.h"
#include "getdictionaries/GetDictionariesWindow.h"
#include "shell/MainWindow.h"
#include "shell/MenuKeys.h"
#include "support/DictionaryFiles.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

using namespace tolvane;

namespace {

// A PNG file's signature and the start of its header chunk.
constexpr char kPngStart[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0";
const QByteArray kPng(kPngStart, sizeof(kPngStart) - 1);

class FileProblemsTest : public test::ShellFixture {
protected:
    void SetUp() override {
        writeAllDictionaries();
        test::writeDictionaryFile(dir.path(), nave(), {{"Temperance", "Moderation in all things"}});
    }
    static const data::DictionaryConfig& nave() {
        return data::addedConfig("Nave.sqlite", "Nave's Topical Bible", "SWORD module Nave");
    }
    static const data::DictionaryConfig& gloss() {
        return data::addedConfig("Gloss.sqlite", "Church Glossary", "CSV file gloss.csv");
    }
    // A file that records its title but has lost its table of entries.
    void writeGlossWithoutEntries() {
        test::writeDictionaryFile(dir.path(), gloss(), {{"Amen", "So be it"}});
        engine::sqlite::Connection(path(gloss()), engine::sqlite::OpenMode::ReadWrite)
            .exec("DROP TABLE dbwords");
    }
    QStringList menuItems() {
        QStringList list;
        for (QAction* a : mainWindow()->findChild<QMenu*>("mnuDictionaries")->actions())
            if (a->objectName().startsWith("mnufrmAdded") || a->objectName().startsWith("mnuUn"))
                list << a->objectName() + "=" + shell::plainCaption(a->text()) +
                            (a->isEnabled() ? "" : " [off]");
        return list;
    }
    QString message(size_t i) {
        return i < fakes.messages->calls.size() ? fakes.messages->calls[i].text : QString();
    }
};

TEST_F(FileProblemsTest, APictureSavedAsADictionaryIsNamedWithWhatToDoAndTheProgramGoesOn) {
    test::writeFile(path(data::hitchcockConfig()), kPng);
    startProgram();
    choose("mnuDictioanariesHitchcock");
    ASSERT_EQ(fakes.messages->calls.size(), 1u);
    EXPECT_EQ(fakes.messages->calls[0].style, platform::Critical);
    EXPECT_EQ(message(0), "Hitchcock's Bible Names cannot be opened: its file " +
                              path(data::hitchcockConfig()) +
                              " is not a dictionary file (it is a PNG image).\n\nMove that file "
                              "away and put this dictionary's own file there (names.mdb, from "
                              "the Tolvane package or the original program), or make one with "
                              "\"tolvane-import --dictionary hitchcock FILE.csv\".");
    EXPECT_FALSE(forms->frmHitchcock().isLoaded());

    // Find over all dictionaries names it, and finds in the others.
    choose("mnuFindEntries");
    find::FindWindow* w = forms->findWindow();
    w->optAllDictionaries()->click();
    QTest::keyClicks(w->txtFind(), "meaning");
    ASSERT_TRUE(QTest::qWaitFor([w] { return !w->isSearching(); }, 10000));
    EXPECT_EQ(w->lblCount()->text(), "8 entries\nHitchcock's Bible Names could not be searched: "
                                     "its file " +
                                         path(data::hitchcockConfig()) +
                                         " is not a dictionary file (it is a PNG image). Put "
                                         "this dictionary's own file in its place.");
    choose("mnuDictionariesEastons");
    EXPECT_TRUE(forms->frmEastons().isLoaded());
    EXPECT_EQ(fakes.messages->calls.size(), 1u);
}

TEST_F(FileProblemsTest, DamagedAndForeignFilesAreListedAsSuchAndRemovedInGetDictionaries) {
    writeGlossWithoutEntries();
    test::writeFile(dir.filePath("Picture.sqlite"), kPng);
    test::writeFile(dir.filePath("Empty.sqlite"), {});
    startProgram();
    EXPECT_EQ(menuItems(), (QStringList{"mnufrmAdded_Nave=Nave's Topical Bible",
                                        "mnuUnusable_Empty.sqlite=Empty.sqlite (damaged) [off]",
                                        "mnuUnusable_Gloss.sqlite=Church Glossary (damaged) [off]",
                                        "mnuUnusable_Picture.sqlite=Picture.sqlite (not a "
                                        "dictionary) [off]"}));
    EXPECT_EQ(action("mnuUnusable_Gloss.sqlite")->toolTip(),
              "\"Church Glossary\" cannot be opened: its file Gloss.sqlite holds no entries of "
              "this dictionary (it has no table 'dbwords').\n\nRemove it with Dictionaries > Get "
              "Dictionaries... (Remove), or move it out of the dictionary folder; then add the "
              "dictionary again.");
    EXPECT_TRUE(action("mnuUnusable_Picture.sqlite")
                    ->toolTip()
                    .startsWith("The file Picture.sqlite in the dictionary folder is not a "
                                "dictionary file (it is a PNG image)."));

    choose("mnuDictionariesGet");
    auto* w = forms->getDictionariesWindow();
    ASSERT_TRUE(QTest::qWaitFor([w] { return !w->isBusy(); }, 30000));
    QTreeWidget* list = w->controls().lstTolvane;
    ASSERT_EQ(list->topLevelItemCount(), 4);
    QTreeWidgetItem* broken = list->topLevelItem(2);
    EXPECT_EQ(broken->text(0), "Church Glossary (damaged)");
    EXPECT_EQ(broken->toolTip(0), action("mnuUnusable_Gloss.sqlite")->toolTip());
    list->setCurrentItem(broken);
    fakes.messages->queueAnswer(platform::AnswerYes);
    QTest::mouseClick(w->controls().cmdRemove, Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(path(gloss())));
    EXPECT_EQ(list->topLevelItemCount(), 3);
    EXPECT_FALSE(menuItems().join(' ').contains("Gloss"));
}

TEST_F(FileProblemsTest, ADictionaryRemovedOrBrokenSinceItWasListedIsRefusedBeforeAnythingChanges) {
    startProgram();
    choose("mnuFindEntries");
    find::FindWindow* w = forms->findWindow();
    w->optAllDictionaries()->click();
    QTest::keyClicks(w->txtFind(), "moderation");
    ASSERT_TRUE(QTest::qWaitFor([w] { return !w->isSearching(); }, 10000));
    ASSERT_EQ(w->lblCount()->text(), "1 entry");
    ASSERT_TRUE(QFile::remove(path(nave())));
    auto* results = w->lstResults();
    const QPoint row = results->visualRect(results->results()->index(0, 0)).center();
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, row);
    ASSERT_EQ(fakes.messages->calls.size(), 1u);
    EXPECT_EQ(message(0), "That dictionary was removed: \"Nave's Topical Bible\" is no longer in "
                          "the dictionary folder (" +
                              path(nave()) +
                              " is not there).\n\nTo have it again, add it with Dictionaries > "
                              "Get Dictionaries...");
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane");
    EXPECT_FALSE(forms->dictionaryForm(nave()).isLoaded());
    QTest::qWait(0);
    EXPECT_EQ(menuItems(), QStringList{});

    // A file that loses its table of entries after the menu was made.
    test::writeDictionaryFile(dir.path(), gloss(), {{"Amen", "So be it"}});
    mainWindow()->refreshDictionaryMenu();
    writeGlossWithoutEntries();
    choose("mnufrmAdded_Gloss");
    ASSERT_EQ(fakes.messages->calls.size(), 2u);
    EXPECT_EQ(message(1), "\"Church Glossary\" cannot be opened: its file " + path(gloss()) +
                              " holds no entries of this dictionary (it has no table "
                              "'dbwords').\n\nRemove it with Dictionaries > Get Dictionaries... "
                              "(Remove), then add the dictionary again there.");
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane");
    QTest::qWait(0);
    EXPECT_EQ(menuItems(), QStringList{"mnuUnusable_Gloss.sqlite=Church Glossary (damaged) [off]"});
}

} // namespace
