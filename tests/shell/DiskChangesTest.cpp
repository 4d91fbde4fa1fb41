// Dictionary files changing on disk under the open windows: a file replaced under its name
// (written beside it and renamed over it, as tolvane-import does) while its window is open,
// and an added dictionary removed while Find lists its entries; and how Find labels an added
// dictionary.

#include "ShellFixture.h"

#include "data/AddedDictionaries.h"
#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "find/FindResultList.h"
#include "find/FindWindow.h"
#include "shell/MainWindow.h"
#include "support/DictionaryFiles.h"

#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolTip>
#include <cstdio>

using namespace tolvane;

namespace {

class DiskChangesTest : public test::ShellFixture {
protected:
    void SetUp() override {
        writeAllDictionaries();
        test::writeDictionaryFile(dir.path(), nave(), {{"Temperance", "Moderation in all things"}});
        test::writeDictionaryFile(
            dir.path(), data::eastonsConfig(),
            {{"Aaron", "the brother of Moses"}, {"Zion", "a hill of Jerusalem; moderation"}});
        startProgram();
    }
    static const data::DictionaryConfig& nave() {
        return data::addedConfig("Nave.sqlite",
                                 "Nave's Topical Bible, with a title longer than its column",
                                 "SWORD module Nave");
    }
    // A new file for `config`, written under another name and renamed over the old one.
    void replace(const data::DictionaryConfig& config, const std::vector<test::DictRow>& rows) {
        const QString incoming = dir.filePath(QStringLiteral("incoming"));
        QDir().mkpath(incoming);
        test::writeDictionaryFile(incoming, config, rows);
        ASSERT_EQ(std::rename(QFile::encodeName(QDir(incoming).filePath(config.fileName)),
                              QFile::encodeName(path(config))),
                  0);
    }
    const dictwindow::DictionaryControls& eastons() {
        return forms->dictionaryWindow(data::eastonsConfig()).controls();
    }
    static QStringList listed(const dictwindow::DictionaryControls& c) {
        QStringList items;
        for (int i = 0; i < c.lstdata->ListCount(); ++i)
            items << c.lstdata->List(i);
        return items;
    }
    find::FindWindow* findInAll(const QString& words) {
        choose("mnuFindEntries");
        find::FindWindow* w = forms->findWindow();
        EXPECT_NE(w, nullptr);
        w->optAllDictionaries()->click();
        QTest::keyClicks(w->txtFind(), words);
        EXPECT_TRUE(QTest::qWaitFor([w] { return !w->isSearching(); }, 10000));
        return w;
    }
    static QStringList labels(find::FindWindow* w) {
        QStringList shown;
        auto* model = w->lstResults()->results();
        for (int i = 0; i < model->rowCount(); ++i)
            shown
                << model->data(model->index(i, 0), find::FindResultModel::ShortNameRole).toString();
        return shown;
    }
};

TEST_F(DiskChangesTest, AReplacedFileIsOpenedAnewOnTheSameSearchTextAndEntry) {
    choose("mnuDictionariesEastons");
    const auto* c = &eastons();
    QTest::keyClicks(c->txtSearch, "Aa");
    QTest::keyClick(c->txtSearch, Qt::Key_Return);
    ASSERT_EQ(c->txtForename->text(), "Aaron");

    // Noticed in the folder: the window shows the new file's rows, the search text kept.
    replace(data::eastonsConfig(), {{"Aaron", "the first high priest"},
                                    {"Aaronites", "the descendants of Aaron"},
                                    {"Yarn", "spun thread"}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed(eastons()).size() == 2; }, 5000));
    c = &eastons();
    EXPECT_EQ(c->txtSearch->text(), "Aa");
    EXPECT_EQ(listed(*c), (QStringList{"Aaron", "Aaronites"}));
    EXPECT_EQ(c->lstdata->ListIndex(), 0);
    EXPECT_EQ(c->txtForename->text(), "Aaron");
    EXPECT_EQ(c->txtSurname->toPlainText(), "the first high priest");

    // Chosen again from the menu at once: opened anew there and then. The entry shown has
    // gone from the new file; the search text stays.
    replace(data::eastonsConfig(),
            {{"Aaronites", "the descendants of Aaron"}, {"Yarn", "spun thread"}});
    mainWindow()->runDictionaryCommand(data::eastonsConfig());
    c = &eastons();
    EXPECT_EQ(c->txtSearch->text(), "Aa");
    EXPECT_EQ(listed(*c), QStringList{"Aaronites"});
    EXPECT_EQ(c->lstdata->ListIndex(), -1);
    c->txtSearch->clear();
    QTest::keyClicks(c->txtSearch, "y");
    EXPECT_EQ(listed(*c), QStringList{"Yarn"});
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - Easton's Bible Dictionary");
    EXPECT_TRUE(fakes.messages->calls.empty()) << fakes.messages->calls[0].text.toStdString();
}

TEST_F(DiskChangesTest, AnAddedDictionaryRemovedLeavesFindWithNoneOfItsEntries) {
    find::FindWindow* w = findInAll("moderation");
    ASSERT_EQ(w->lblCount()->text(), "2 entries");
    ASSERT_TRUE(labels(w).contains(nave().menuCaption));

    // Gone from the folder (another program, or Get Dictionaries' Remove, deleted it).
    ASSERT_TRUE(QFile::remove(path(nave())));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !w->isSearching() && w->lstResults()->results()->rowCount() == 1; }, 5000));
    EXPECT_EQ(labels(w), QStringList{"Easton's"});
    EXPECT_EQ(w->lblCount()->text(), "1 entry");
    EXPECT_TRUE(data::addedConfigs().empty()); // the menu no longer offers it
}

TEST_F(DiskChangesTest, FindLabelsAnAddedDictionaryByItsTitleCutToItsColumn) {
    find::FindWindow* w = findInAll("moderation");
    find::FindResultList* list = w->lstResults();
    const QModelIndex naveRow = list->results()->index(labels(w).indexOf(nave().menuCaption), 0);
    ASSERT_TRUE(naveRow.isValid()) << labels(w).join(", ").toStdString();

    // Nothing of the title drawn in the gap before the headword's column.
    const QRect row = list->visualRect(naveRow);
    const QImage shot = list->viewport()->grab().toImage();
    const int gapStart = row.left() + 3 + find::labelColumnWidth(list->font()) + 2;
    for (int x = gapStart; x < gapStart + 5; ++x)
        for (int y = row.top(); y <= row.bottom(); ++y)
            ASSERT_EQ(shot.pixelColor(x, y), QColor(Qt::black)) << x << "," << y;

    // The whole title over the label.
    QHelpEvent tip(QEvent::ToolTip, row.topLeft() + QPoint(8, 4),
                   list->viewport()->mapToGlobal(row.topLeft() + QPoint(8, 4)));
    QApplication::sendEvent(list->viewport(), &tip);
    EXPECT_EQ(QToolTip::text(), nave().menuCaption);
}

} // namespace
