// A thousand added dictionaries, one with a title of a megabyte: the Dictionaries menu still
// fits the screen with "Get Dictionaries..." on it, long titles are cut there with the whole
// title in the tooltip, and the More Dictionaries window lists them all, narrows the list as
// the filter is typed and opens the chosen one (Enter or a double-click).

#include "ShellFixture.h"

#include "data/AddedDictionaries.h"
#include "getdictionaries/GetDictionariesWindow.h"
#include "moredictionaries/MoreDictionariesWindow.h"
#include "platform/Twips.h"
#include "shell/DictionaryMenu.h"
#include "shell/MainWindow.h"
#include "support/DictionaryFiles.h"

#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <filesystem>
#include <sqlite3.h>

using namespace tolvane;

namespace {

class ManyDictionariesTest : public test::ShellFixture {
protected:
    void SetUp() override {
        writeAllDictionaries();
        // One file written, the others copies of it given titles of their own.
        test::writeDictionaryFile(dir.path(), data::addedConfig("D0000.sqlite", "Title 0000"),
                                  {{"Amen", "So be it"}});
        const QString first = dir.filePath("D0000.sqlite");
        for (int i = 1; i < 1000; ++i) {
            const QString file = dir.filePath(QString("D%1.sqlite").arg(i, 4, 10, QChar('0')));
            std::filesystem::copy_file(first.toStdString(), file.toStdString()); // unsynced
            setTitle(file, i == 1 ? m_longTitle : QString("Title %1").arg(i, 4, 10, QChar('0')));
        }
        startProgram();
    }
    // Straight through SQLite, unsynced: a thousand files in a moment.
    static void setTitle(const QString& file, const QString& title) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
        sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr,
                     nullptr);
        sqlite3_stmt* update = nullptr;
        sqlite3_prepare_v2(db, "UPDATE tolvane_metadata SET value = ?1 WHERE key = ?2", -1, &update,
                           nullptr);
        const QByteArray text = title.toUtf8();
        sqlite3_bind_text(update, 1, text.constData(), int(text.size()), SQLITE_STATIC);
        sqlite3_bind_text(update, 2, data::kTitleKey, -1, SQLITE_STATIC);
        EXPECT_EQ(sqlite3_step(update), SQLITE_DONE);
        sqlite3_finalize(update);
        sqlite3_close(db);
    }
    QMenu* menu() { return mainWindow()->findChild<QMenu*>("mnuDictionaries"); }

    const QString m_longTitle = "A long title " + QString(1 << 20, 'w');
};

TEST_F(ManyDictionariesTest, TheMenuFitsAndMoreDictionariesFiltersAndOpens) {
    const QSize mainSize = mainWindow()->frameGeometry().size();
    EXPECT_EQ(mainSize, QSize(platform::twipsToPixels(6945), platform::twipsToPixels(4600)));
    int listed = 0;
    for (QAction* a : menu()->actions())
        listed += a->objectName().startsWith("mnufrmAdded_");
    EXPECT_EQ(listed, shell::kMenuDictionaries);

    // Open, the menu lies on the screen, Get Dictionaries inside it.
    QMenuBar* bar = mainWindow()->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu()->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([this] { return menu()->isVisible(); }));
    const QRect screen = menu()->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(menu()->geometry())) << menu()->geometry().height();
    EXPECT_TRUE(menu()->rect().contains(menu()->actionGeometry(action("mnuDictionariesGet"))));
    QAction* longOne = action("mnufrmAdded_D0001"); // "A long..." comes first by title
    ASSERT_NE(longOne, nullptr);
    // The cut title, its access-key margin and the menu's column of shortcuts ("Ctrl+Shift+C").
    EXPECT_LE(menu()->actionGeometry(longOne).width(), shell::kMenuTitlePixels + 160);
    EXPECT_TRUE(longOne->toolTip().contains("A long title wwww"));
    EXPECT_LT(longOne->toolTip().size(), 2100);
    menu()->close();
    choose("mnuDictionariesGet");
    auto* get = forms->getDictionariesWindow();
    ASSERT_TRUE(get && get->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([get] { return !get->isBusy(); }, 30000));

    // More Dictionaries: all of them, narrowed by the filter; Enter opens.
    choose("mnuDictionariesMore");
    auto* more = mainWindow()->findChild<moredictionaries::MoreDictionariesWindow*>();
    ASSERT_NE(more, nullptr);
    ASSERT_TRUE(more->isVisible());
    EXPECT_EQ(more->shown().size(), 1000u);
    QTest::keyClicks(more->filterBox(), "title 09");
    EXPECT_EQ(more->shown().size(), 100u);
    QTest::keyClicks(more->filterBox(), "99");
    ASSERT_EQ(more->shown().size(), 1u);
    QTest::keyClick(more->filterBox(), Qt::Key_Return);
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - Title 0999");
    EXPECT_FALSE(more->isVisible());

    // A double-click on a row opens it; Down in the box moves through the list first.
    choose("mnuDictionariesMore");
    more->filterBox()->setText("Title 050");
    QTest::keyClick(more->filterBox(), Qt::Key_Down);
    const QModelIndex second = more->list()->currentIndex();
    ASSERT_EQ(second.row(), 1);
    const QPoint where = more->list()->visualRect(second).center();
    QTest::mouseClick(more->list()->viewport(), Qt::LeftButton, {}, where);
    QTest::mouseDClick(more->list()->viewport(), Qt::LeftButton, {}, where);
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - Title 0501");
    EXPECT_EQ(mainWindow()->frameGeometry().size(), mainSize);
}

} // namespace
