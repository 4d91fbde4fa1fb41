// The Get Dictionaries window against a SWORD repository the test builds and serves on
// 127.0.0.1: the network question asked once, the offered dictionaries listed, one installed
// (into ~/.sword and into Tolvane), opened from the Dictionaries menu and searched, then
// uninstalled and removed, all through the window's own buttons.

#include "ShellFixture.h"

#include "data/DataOperations.h"
#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "find/FindWindow.h"
#include "getdictionaries/GetDictionariesWindow.h"
#include "shell/MainWindow.h"
#include "support/FileSizeLimit.h"
#include "support/SwordModuleMaker.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>

using namespace tolvane;

namespace {

class GetDictionariesTest : public test::ShellFixture {
protected:
    GetDictionariesTest() {
        for (const char* name : {"SWORD_PATH", "HOME", "XDG_CONFIG_HOME"})
            m_saved.push_back({name, qgetenv(name)});
        QDir().mkpath(m_home.filePath("library"));
        qputenv("SWORD_PATH", QFile::encodeName(m_home.filePath("library")));
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath("config")));
        QSettings().remove(getdictionaries::GetDictionariesWindow::kNetworkSetting);
    }
    ~GetDictionariesTest() override {
        m_server.kill();
        m_server.waitForFinished();
        QSettings().remove(getdictionaries::GetDictionariesWindow::kNetworkSetting);
        for (const auto& [name, value] : m_saved)
            qputenv(name, value);
    }
    // The repository "Test", serving the module Topics.
    // `addByWindow`: the test adds the repository itself, through the window.
    void serveRepository(const QStringList& faults = {}, bool addByWindow = false, int more = 0) {
        publish("1.0", more);
        const QString portFile = m_home.filePath("port");
        const QStringList arguments{test::sourceDir() + "/tests/tools/repository_server.py",
                                    m_home.filePath("served"), portFile};
        m_server.start("/usr/bin/python3", arguments + faults);
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(portFile); }, 10000));
        m_url = "http://127.0.0.1:" + test::readFile(portFile) + "/repo";
        if (addByWindow)
            return;
        QProcess add;
        add.start(test::binDir() + "/tolvane-import",
                  {"--sword-add-source", "Test",
                   "http://127.0.0.1:" + test::readFile(portFile) + "/repo"});
        ASSERT_TRUE(add.waitForFinished() && add.exitCode() == 0) << add.readAll().toStdString();
    }
    // The module Topics at `version`, and the repository's list.
    // `more` entries beside the two.
    void publish(const QString& version, int more = 0) {
        const QString repo = m_home.filePath("served/repo");
        test::SwordTestModule module{"Topics",
                                     "Test Topical Bible",
                                     "ThML",
                                     "zLD",
                                     {{"Faith", "Trust.<br/>Hope."}, {"Grace", "Favour shown."}},
                                     version};
        for (int i = 0; i < more; ++i)
            module.entries.push_back(
                {QString("Word %1").arg(i), QString("Entry %1: alpha%1 beta%1 gamma%1").arg(i)});
        ASSERT_EQ(test::makeSwordModule(repo, module), "");
        QProcess tar;
        tar.setWorkingDirectory(repo);
        tar.start("tar", {"czf", "mods.d.tar.gz", "mods.d"});
        ASSERT_TRUE(tar.waitForFinished() && tar.exitCode() == 0);
    }
    getdictionaries::GetDictionariesWindow* open() {
        choose("mnuDictionariesGet");
        auto* w = forms->getDictionariesWindow();
        EXPECT_TRUE(w && QTest::qWaitFor([w] { return !w->isBusy(); }, 30000));
        return w;
    }
    void press(getdictionaries::GetDictionariesWindow* w, QPushButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([w] { return !w->isBusy(); }, 60000));
    }
    static void select(QTreeWidget* list, const QString& name) {
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << name.toStdString();
        list->setCurrentItem(found.first());
    }

    QTemporaryDir m_home;
    QString m_url;
    QProcess m_server;
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

TEST_F(GetDictionariesTest, InstallFromTheRepositoryReadAndSearchThenUninstallAndRemove) {
    TOLVANE_REQUIRE_IMP2LD();
    writeAllDictionaries();
    serveRepository({"--slow", "topics.zd"});
    startProgram();
    auto* w = open();
    ASSERT_NE(w, nullptr);
    const auto& c = w->controls();

    press(w, c.cmdListAvailable); // declined: nothing asked of the network
    ASSERT_EQ(fakes.messages->calls.size(), 1u);
    EXPECT_TRUE(fakes.messages->calls[0].text.contains("PERSECUTED COUNTRY"));
    EXPECT_EQ(c.lstAvailable->topLevelItemCount(), 0);
    fakes.messages->queueAnswer(platform::AnswerYes);
    press(w, c.cmdListAvailable);
    press(w, c.cmdListAvailable); // asked once: remembered
    EXPECT_EQ(fakes.messages->calls.size(), 2u);
    ASSERT_EQ(c.lstAvailable->topLevelItemCount(), 1) << c.lblStatus->text().toStdString();
    select(c.lstAvailable, "Topics");
    EXPECT_EQ(c.lstAvailable->currentItem()->text(getdictionaries::OfferedStatus), "new");
    EXPECT_EQ(c.lstAvailable->currentItem()->text(getdictionaries::OfferedLicence),
              "Public Domain");

    // The server sends the data slowly: the bar counts its bytes against the listed total.
    QTest::mouseClick(c.cmdInstall, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return c.barProgress->maximum() == 1000 && c.barProgress->value() > 0 &&
                   c.barProgress->value() < 1000;
        },
        20000));
    EXPECT_TRUE(c.barProgress->text().contains(
        QRegularExpression("^[0-9.]+ (bytes|kB) of [0-9.]+ (bytes|kB)$")))
        << c.barProgress->text().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([w] { return !w->isBusy(); }, 60000));
    EXPECT_TRUE(QFile::exists(m_home.filePath(".sword/mods.d/topics.conf")))
        << c.lblStatus->text().toStdString();
    ASSERT_TRUE(
        QTest::qWaitFor([w] { return !w->isBusy(); }, 30000)); // the installed list, read again
    EXPECT_TRUE(c.lblStatus->text().startsWith("Topics was installed"))
        << c.lblStatus->text().toStdString();
    select(c.lstAvailable, "Topics");
    EXPECT_EQ(c.lstAvailable->currentItem()->text(getdictionaries::OfferedStatus), "installed");
    select(c.lstInstalled, "Topics");
    const auto installed = [&c](int column) {
        return c.lstInstalled->currentItem()->text(column).toStdString();
    };
    EXPECT_EQ(installed(getdictionaries::ModuleInTolvane), "Yes");
    EXPECT_EQ(installed(getdictionaries::ModuleVersion), "1.0");
    EXPECT_EQ(installed(getdictionaries::ModuleLicence), "Public Domain");
    EXPECT_TRUE(QString::fromStdString(installed(getdictionaries::ModuleSize))
                    .contains(QRegularExpression("^[1-9][0-9.]* (bytes|kB)$")))
        << installed(getdictionaries::ModuleSize);

    // A newer version in the repository shows as an update, and installing it updates.
    publish("2.0");
    press(w, c.cmdListAvailable);
    select(c.lstAvailable, "Topics");
    EXPECT_EQ(c.lstAvailable->currentItem()->text(getdictionaries::OfferedStatus),
              "update available");
    press(w, c.cmdInstall);
    ASSERT_TRUE(QTest::qWaitFor([w] { return !w->isBusy(); }, 30000));
    select(c.lstInstalled, "Topics");
    EXPECT_EQ(installed(getdictionaries::ModuleVersion), "2.0");

    // Read and search it from the main window.
    choose("mnufrmAdded_Topics");
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - Test Topical Bible");
    const auto& config = *data::configByWindowName("frmAdded_Topics");
    const auto& d = forms->dictionaryWindow(config).controls();
    QTest::keyClicks(d.txtSearch, "fa");
    QTest::keyClick(d.txtSearch, Qt::Key_Return);
    EXPECT_EQ(d.txtForename->text(), "FAITH");
    EXPECT_EQ(d.txtSurname->toPlainText().remove(u'\r'), "Trust.\nHope."); // its lines kept

    fakes.messages->queueAnswer(platform::AnswerYes);
    select(c.lstInstalled, "Topics");
    press(w, c.cmdUninstall);
    EXPECT_FALSE(QFile::exists(m_home.filePath(".sword/mods.d/topics.conf")));
    fakes.messages->queueAnswer(platform::AnswerYes);
    select(c.lstTolvane, "Test Topical Bible");
    press(w, c.cmdRemove);
    EXPECT_FALSE(QFile::exists(dir.filePath("Topics.sqlite")));
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane");
}

TEST_F(GetDictionariesTest, UseAsEastonsReplacesItsFileAndKeepsTheOldOneBeside) {
    TOLVANE_REQUIRE_IMP2LD();
    writeAllDictionaries();
    ASSERT_EQ(
        test::makeSwordModule(
            m_home.filePath("library"),
            {"Full", "Full Easton", "TEI", "zLD", {{"Aaron", "<p>The first high priest.</p>"}}}),
        "");
    const QByteArray before = test::sha256(path(data::eastonsConfig()));
    startProgram();
    choose("mnuDictionariesEastons");
    auto* w = open();
    ASSERT_NE(w, nullptr);
    select(w->controls().lstInstalled, "Full");
    press(w, w->controls().cmdUseEastons); // answered No: nothing changes
    EXPECT_EQ(test::sha256(path(data::eastonsConfig())), before);
    EXPECT_TRUE(forms->frmEastons().isLoaded());

    fakes.messages->queueAnswer(platform::AnswerYes);
    press(w, w->controls().cmdUseEastons);
    ASSERT_EQ(fakes.messages->calls.size(), 2u);
    EXPECT_TRUE(fakes.messages->calls[1].text.contains(path(data::eastonsConfig()) + ".bak"));
    EXPECT_TRUE(fakes.messages->calls[1].text.contains("may hold entries")); // not written by us
    EXPECT_EQ(test::sha256(path(data::eastonsConfig()) + ".bak"), before);
    choose("mnuDictionariesEastons");
    const auto& c = forms->dictionaryWindow(data::eastonsConfig()).controls();
    EXPECT_EQ(c.lstdata->ListCount(), 1);
    EXPECT_EQ(c.lstdata->List(0), "AARON");

    // The file Tolvane wrote, unchanged since: replaced again without a question, still kept.
    press(w, w->controls().cmdUseEastons);
    EXPECT_EQ(fakes.messages->calls.size(), 2u);
    EXPECT_TRUE(QFile::exists(path(data::eastonsConfig()) + ".bak2"));
    // An entry the user added: asked (answered No), nothing changes.
    choose("mnuDictionariesEastons");
    data::addRow(
        data::openTable(data::eastonsConfig(), forms->dictionaryWindow(data::eastonsConfig()).db),
        data::eastonsConfig(), "Abel", "A shepherd.", "");
    const QByteArray edited = test::sha256(path(data::eastonsConfig()));
    press(w, w->controls().cmdUseEastons);
    ASSERT_EQ(fakes.messages->calls.size(), 3u);
    EXPECT_TRUE(fakes.messages->calls[2].text.contains("holds entries you have added"));
    EXPECT_EQ(test::sha256(path(data::eastonsConfig())), edited);
}

TEST_F(GetDictionariesTest, UseAsOffersToRemoveTheAddedCopySoFindListsEachEntryOnce) {
    TOLVANE_REQUIRE_IMP2LD();
    writeAllDictionaries();
    ASSERT_EQ(test::makeSwordModule(m_home.filePath("library"),
                                    {"Full",
                                     "Full Easton",
                                     "TEI",
                                     "zLD",
                                     {{"Aaron", "<p>The first high priest, zebulonite.</p>"}}}),
              "");
    startProgram();
    auto* w = open();
    ASSERT_NE(w, nullptr);
    select(w->controls().lstInstalled, "Full");
    press(w, w->controls().cmdAdd);
    const QString copy = dir.filePath("Full.sqlite");
    ASSERT_TRUE(QFile::exists(copy));

    fakes.messages->queueAnswer(platform::AnswerYes); // the file may hold the user's entries
    fakes.messages->queueAnswer(platform::AnswerYes); // remove the added copy
    press(w, w->controls().cmdUseEastons);
    ASSERT_EQ(fakes.messages->calls.size(), 2u);
    EXPECT_TRUE(fakes.messages->calls[1].text.contains("Remove the added copy \"Full Easton\""))
        << fakes.messages->calls[1].text.toStdString();
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_EQ(w->controls().lstTolvane->topLevelItemCount(), 0);
    EXPECT_EQ(action("mnufrmAdded_Full"), nullptr);

    choose("mnuFindEntries");
    find::FindWindow* f = forms->findWindow();
    ASSERT_NE(f, nullptr);
    f->optAllDictionaries()->click();
    QTest::keyClicks(f->txtFind(), "zebulonite");
    ASSERT_TRUE(QTest::qWaitFor([f] { return !f->isSearching(); }, 10000));
    EXPECT_EQ(f->lblCount()->text(), "1 entry");
}

TEST_F(GetDictionariesTest, CancelInTheMiddleOfADownloadInstallsNothing) {
    TOLVANE_REQUIRE_IMP2LD();
    writeAllDictionaries();
    serveRepository({"--stall", "topics.zdt"}, true);
    QSettings().setValue(getdictionaries::GetDictionariesWindow::kNetworkSetting, true);
    startProgram();
    auto* w = open();
    ASSERT_NE(w, nullptr);
    const auto& c = w->controls();
    QTest::keyClicks(c.txtRepositoryName, "Test");
    QTest::keyClicks(c.txtRepositoryUrl, m_url);
    press(w, c.cmdAddRepository);
    EXPECT_EQ(c.lblStatus->text().left(15), "Repositories: 1");
    EXPECT_TRUE(test::readFile(m_home.filePath(".sword/InstallMgr/InstallMgr.conf"))
                    .contains("Test|127.0.0.1"));
    press(w, c.cmdListAvailable);
    select(c.lstAvailable, "Topics");
    QTest::mouseClick(c.cmdInstall, Qt::LeftButton);
    ASSERT_TRUE(w->isBusy());
    QTest::qWait(1500); // into the stalled download
    ASSERT_TRUE(c.cmdCancel->isEnabled());
    QTest::keyClick(w, Qt::Key_Escape); // Escape cancels what runs
    ASSERT_TRUE(QTest::qWaitFor([w] { return !w->isBusy(); }, 10000));
    EXPECT_EQ(c.lblStatus->text(), "Cancelled; nothing was changed.");
    EXPECT_FALSE(QFile::exists(m_home.filePath(".sword/mods.d/topics.conf")));
    EXPECT_FALSE(QDir(m_home.filePath(".sword/modules")).exists("lexdict"));
    EXPECT_FALSE(QFile::exists(dir.filePath("Topics.sqlite")));
    EXPECT_TRUE(w->isVisible());
}

// The download is whole but the disk has no room for the dictionary: the status says so and
// what to do, the module is listed as installed but not added, chosen, and Add adds it once
// there is room.
TEST_F(GetDictionariesTest, AFullDiskWhileAddingLeavesTheModuleInstalledNotAdded) {
    TOLVANE_REQUIRE_IMP2LD();
    writeAllDictionaries();
    serveRepository({}, false, 3000);
    QSettings().setValue(getdictionaries::GetDictionariesWindow::kNetworkSetting, true);
    startProgram();
    auto* w = open();
    ASSERT_NE(w, nullptr);
    const auto& c = w->controls();
    press(w, c.cmdListAvailable);
    select(c.lstAvailable, "Topics");
    qint64 largest = 0; // of the module's files, which are to fit
    QDirIterator files(m_home.filePath("served/repo/modules"), QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        largest = std::max(largest, QFileInfo(files.next()).size());
    {
        const test::FileSizeLimit full(rlim_t(largest) + 8192 + 123);
        press(w, c.cmdInstall);
    }
    EXPECT_TRUE(c.lblStatus->text().startsWith("The disk is full: SWORD module Topics was "
                                               "installed in "))
        << c.lblStatus->text().toStdString();
    EXPECT_TRUE(c.lblStatus->text().contains("Free some space"))
        << c.lblStatus->text().toStdString();
    ASSERT_NE(c.lstInstalled->currentItem(), nullptr);
    EXPECT_EQ(c.lstInstalled->currentItem()->text(getdictionaries::ModuleName), "Topics");
    EXPECT_EQ(c.lstInstalled->currentItem()->text(getdictionaries::ModuleInTolvane),
              "installed, not added");
    EXPECT_FALSE(QFile::exists(dir.filePath("Topics.sqlite")));
    press(w, c.cmdAdd);
    EXPECT_EQ(c.lstInstalled->currentItem()->text(getdictionaries::ModuleInTolvane), "Yes");
    EXPECT_TRUE(QFile::exists(dir.filePath("Topics.sqlite")));
}

// A module of the system's packages (outside HOME, as /usr/share/sword) is shown as such and
// cannot be uninstalled; one in ~/.sword can.
TEST_F(GetDictionariesTest, AModuleOfTheSystemIsShownSoWithoutUninstall) {
    TOLVANE_REQUIRE_IMP2LD();
    writeAllDictionaries();
    QTemporaryDir system;
    qputenv("SWORD_PATH", QFile::encodeName(system.path()));
    for (const auto& [library, name] :
         {std::pair{system.path(), "Nave"}, std::pair{m_home.filePath(".sword"), "Topics"}})
        ASSERT_EQ(test::makeSwordModule(library, {name, name, "ThML", "RawLD", {{"A", "B"}}}), "");
    startProgram();
    auto* w = open();
    ASSERT_NE(w, nullptr);
    const auto& c = w->controls();
    select(c.lstInstalled, "Nave");
    EXPECT_EQ(c.lstInstalled->currentItem()->text(getdictionaries::ModulePlace),
              "installed by the system");
    EXPECT_FALSE(c.cmdUninstall->isEnabled());
    w->cmdUninstall_Click(); // the handler refuses it too, without asking
    EXPECT_TRUE(fakes.messages->calls.empty());
    EXPECT_TRUE(c.lblStatus->text().startsWith("Nave is installed by the system"));
    select(c.lstInstalled, "Topics");
    EXPECT_EQ(c.lstInstalled->currentItem()->text(getdictionaries::ModulePlace), "~/.sword");
    EXPECT_TRUE(c.cmdUninstall->isEnabled());
}

TEST_F(GetDictionariesTest, AccessKeysAreDrawnOnlyWhileAltIsHeld) {
    writeAllDictionaries();
    startProgram();
    auto* w = open();
    ASSERT_NE(w, nullptr);
    const auto underlined = [](QWidget* widget) {
        return widget->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, widget) != 0;
    };
    QWidget* caption = w->controls().lstTolvane->parentWidget()->findChild<QLabel*>();
    ASSERT_NE(caption, nullptr);
    for (QWidget* widget : {static_cast<QWidget*>(w->controls().cmdAdd), caption})
        EXPECT_FALSE(underlined(widget));
    QTest::keyPress(w, Qt::Key_Alt, Qt::AltModifier);
    for (QWidget* widget : {static_cast<QWidget*>(w->controls().cmdAdd), caption})
        EXPECT_TRUE(underlined(widget));
    QTest::keyRelease(w, Qt::Key_Alt, Qt::NoModifier);
    EXPECT_FALSE(underlined(w->controls().cmdAdd));
}

} // namespace
