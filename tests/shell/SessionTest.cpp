// What the program remembers between runs, through the real windows and a real settings file
// in a folder of the test's own: a run's windows, dictionary, entry, Find text and history come
// back in the next run; a first start and a remembered place no screen shows now start as
// the program always has.

#include "ShellFixture.h"

#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "find/FindWindow.h"
#include "getdictionaries/GetDictionariesWindow.h"
#include "platform/UserSettings.h"
#include "references/ScriptureReference.h"
#include "scripture/ScriptureWindow.h"
#include "scripture/VerseLookups.h"
#include "shell/MainWindow.h"
#include "shell/SessionKeeper.h"
#include "support/DictionaryFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryFile>
#include <QTest>
#include <cstdio>
#include <functional>
#include <unistd.h>

using namespace tolvane;

namespace {

class SessionTest : public test::ShellFixture {
protected:
    SessionTest() {
        m_runFolder =
            QFileInfo(QFileInfo(platform::UserSettings().fileName()).absolutePath()).absolutePath();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
        writeAllDictionaries();
        test::writeDictionaryFile(dir.path(), data::eastonsConfig(),
                                  {{"Aaron", "the brother of Moses"},
                                   {"Abel", "a meadow; the first Abel"},
                                   {"Abel", "a city near the meadow, the second Abel"},
                                   {"Zion", "a hill"}});
    }
    ~SessionTest() override {
        keeper.reset();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_runFolder);
    }

    void startRun() {
        settings = std::make_unique<platform::UserSettings>();
        keeper = std::make_unique<shell::SessionKeeper>(*forms, *settings);
        keeper->start();
        ASSERT_NE(mainWindow(), nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(mainWindow()));
    }
    // Closes the main window as the user does, and starts the program anew.
    void restart() {
        mainWindow()->close();
        if (find::FindWindow* w = forms->findWindow())
            w->close();
        keeper.reset();
        forms.reset();
        settings.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        forms = std::make_unique<shell::Forms>();
        startRun();
    }
    // Where the main and Find windows stand on a start with nothing remembered.
    static std::pair<QRect, QRect> firstStartFrames() {
        shell::Forms plain;
        plain.frmMain().Show();
        plain.frmFind().Show();
        const std::pair frames{plain.mainWindow()->frameGeometry(),
                               plain.findWindow()->frameGeometry()};
        plain.frmFind().Unload();
        plain.frmMain().Unload();
        return frames;
    }
    void clickRow(dictwindow::WordList* list, int row) {
        const QRect r = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }
    const dictwindow::DictionaryControls& controls(const data::DictionaryConfig& config) {
        return forms->dictionaryWindow(config).controls();
    }
    find::FindWindow* openFind() {
        choose("mnuFindEntries");
        return forms->findWindow();
    }

    QTemporaryDir settingsFolder;
    std::unique_ptr<platform::UserSettings> settings;
    std::unique_ptr<shell::SessionKeeper> keeper;

private:
    QString m_runFolder;
};

TEST_F(SessionTest, TheNextRunTakesUpWindowsDictionaryEntryFindTextAndHistory) {
    startRun();
    choose("mnuDictionariesKJV");
    clickRow(controls(data::kingJamesConfig()).lstdata, 2); // BEWRAY
    choose("mnuDictionariesEastons");
    const auto* c = &controls(data::eastonsConfig());
    QTest::keyClicks(c->txtSearch, "Ab");
    clickRow(c->lstdata, 1); // the second Abel
    ASSERT_EQ(c->txtSurname->toPlainText(), "a city near the meadow, the second Abel");
    find::FindWindow* w = openFind();
    ASSERT_NE(w, nullptr);
    QTest::keyClicks(w->txtFind(), "meadow");
    w->optAllDictionaries()->click();
    w->move(100, 120);
    w->resize(400, 300);
    mainWindow()->move(30, 40);
    mainWindow()->resize(700, 500);

    restart();
    EXPECT_EQ(mainWindow()->pos(), QPoint(30, 40));
    EXPECT_EQ(mainWindow()->size(), QSize(700, 500));
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - Easton's Bible Dictionary");
    c = &controls(data::eastonsConfig());
    EXPECT_EQ(c->txtSearch->text(), "Ab");
    EXPECT_EQ(c->lstdata->ListIndex(), 1);
    EXPECT_EQ(c->txtSurname->toPlainText(), "a city near the meadow, the second Abel");

    w = openFind();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->txtFind()->text(), "meadow");
    EXPECT_TRUE(w->optAllDictionaries()->isChecked());
    EXPECT_EQ(w->pos(), QPoint(100, 120));
    EXPECT_EQ(w->size(), QSize(400, 300));

    choose("mnuFindBack");
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - King James Dictionary of Archaic Words");
    EXPECT_EQ(controls(data::kingJamesConfig()).txtForename->text(), "BEWRAY");
    EXPECT_TRUE(fakes.messages->calls.empty());
}

TEST_F(SessionTest, AFirstStartIsAsAlwaysAndSoIsAStartAfterNoDictionaryWasOpen) {
    const QRect first = firstStartFrames().first;
    startRun();
    EXPECT_EQ(mainWindow()->frameGeometry(), first);
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane");
    EXPECT_EQ(forms->openDictionary(), nullptr);
    find::FindWindow* w = openFind();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->txtFind()->text().isEmpty());
    EXPECT_TRUE(w->optAllDictionaries()->isChecked()); // no dictionary open

    restart();
    EXPECT_EQ(mainWindow()->frameGeometry(), first);
    EXPECT_EQ(forms->openDictionary(), nullptr);
    EXPECT_TRUE(fakes.messages->calls.empty());
}

TEST_F(SessionTest, APlaceOnAScreenThatIsGoneAndAnUnknownDictionaryAreLeftOut) {
    const auto [main, find] = firstStartFrames();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    {
        platform::UserSettings s;
        s.setWindowPlace(QStringLiteral("MainWindow"),
                         {{screen.right() + 50, 20, 500, 400}, {}, false});
        // On the screen, but its title bar would not be.
        s.setWindowPlace(QStringLiteral("FindWindow"),
                         {{screen.left() + 10, screen.top() + 5, 480, 280}, {1, 20, 1, 5}, false});
        s.setOpenDictionary({QStringLiteral("smiths.mdb"), QStringLiteral("Ab"), {}, 0});
        s.flush();
    }
    startRun();
    EXPECT_EQ(mainWindow()->frameGeometry(), main);
    EXPECT_EQ(forms->openDictionary(), nullptr);
    find::FindWindow* w = openFind();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->frameGeometry(), find) << "placed as if nothing was remembered";
    EXPECT_TRUE(fakes.messages->calls.empty());
}

TEST_F(SessionTest, AnEntryAndASearchTextGoneFromTheDictionaryAreSkippedWithoutAMessage) {
    {
        platform::UserSettings s;
        s.setOpenDictionary(
            {data::eastonsConfig().fileName, QStringLiteral("Qx"), QStringLiteral("Quirinius"), 0});
        s.flush();
    }
    startRun();
    EXPECT_EQ(forms->openDictionary(), &data::eastonsConfig());
    const auto& c = controls(data::eastonsConfig());
    EXPECT_NE(c.txtSearch->text(), "Qx");
    EXPECT_TRUE(c.txtForename->text().isEmpty());
    EXPECT_TRUE(fakes.messages->calls.empty()) << "no \"No Records Found\" at start";
}

// What `action` writes to stderr.
QString stderrOf(const std::function<void()>& action) {
    QTemporaryFile capture;
    EXPECT_TRUE(capture.open());
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    action();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    return QString::fromUtf8(test::readFile(capture.fileName()));
}

// Qt reports a file it could not read in full even after writing it anew: the user is told
// that it was written anew, not that it could not be written.
TEST_F(SessionTest, AnUnreadableSettingsFileIsSaidToBeWrittenAnew) {
    const QString file = settingsFolder.filePath(QStringLiteral("Kestrane/Tolvane.conf"));
    QDir().mkpath(QFileInfo(file).path());
    test::writeFile(file, "[Find\ntext=grace\n");
    startRun();
    const QString said = stderrOf([&] { restart(); });
    EXPECT_TRUE(said.contains("tolvane: The settings file " + file +
                              " could not be read in full; it has been written anew"))
        << said.toStdString();
    EXPECT_FALSE(said.contains("cannot write")) << said.toStdString();
}

// The built program in a home folder of the test's own: a damaged settings file stops
// nothing, and --fresh empties it, the zoom included.
TEST(ProgramSettings, ADamagedFileStopsNothingAndFreshForgetsEverything) {
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral(".config/Kestrane/Tolvane.conf"));
    const QString dictionaries = home.filePath(QStringLiteral("dictionaries"));
    QDir().mkpath(QFileInfo(file).absolutePath());
    QDir().mkpath(dictionaries);
    for (const auto* config : data::allConfigs())
        ASSERT_TRUE(QFile::copy(test::appDir() + u'/' + config->fileName,
                                dictionaries + u'/' + config->fileName));
    test::writeFile(file, QByteArray("\xff\xfe\0[[[\n") +
                              "[MainWindow]\nleft=zz\ntop=0\nwidth=-1\nheight=1e9\n"
                              "[Dictionary]\nfile=data.mdb\nsearchText=Ab\nheadword=Aaron\n"
                              "duplicate=77777777777\n[History]\nentries\\size=-4\ncurrent=x\n"
                              "[EntryBoxes]\nzoomPercent=9999\n");
    const auto run = [&](const QStringList& arguments, const std::function<bool()>& done) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(test::appDir() + QStringLiteral("/tolvane"),
                      arguments + QStringList{QStringLiteral("--dictionaries"), dictionaries});
        EXPECT_TRUE(program.waitForStarted());
        EXPECT_TRUE(QTest::qWaitFor(done, 15000));
        EXPECT_EQ(program.state(), QProcess::Running)
            << program.readAllStandardError().toStdString();
        program.kill();
        program.waitForFinished();
    };
    QElapsedTimer up;
    up.start();
    run({}, [&] { return up.elapsed() > 2000; });
    run({QStringLiteral("--fresh")},
        [&] { return QSettings(file, QSettings::IniFormat).allKeys().isEmpty(); });
    EXPECT_TRUE(QSettings(file, QSettings::IniFormat).allKeys().isEmpty());
}

} // namespace

// The Scripture and Get Dictionaries windows open wholly on the screen beside the main window,
// whether it is maximized or not; Escape closes Scripture, and its place comes back next run.
TEST_F(SessionTest, ScriptureAndGetDictionariesOpenInSightAndScriptureIsRememberedWithItsBible) {
    startRun();
    choose("mnuDictionariesEastons");
    const QRect screen = mainWindow()->screen()->availableGeometry();
    const references::VerseRange range{0, 14, 18, 14, 18};
    const auto scripture = [&]() -> QWidget* {
        Q_EMIT forms->dictionaryWindow(data::eastonsConfig()).scriptureClicked(range);
        return forms->scriptureWindow();
    };
    for (const bool maximized : {false, true}) {
        SCOPED_TRACE(maximized);
        if (maximized)
            mainWindow()->showMaximized();
        QWidget* w = scripture();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        EXPECT_TRUE(screen.contains(w->frameGeometry()));
        if (!maximized) { // beside the main window, as far as the screen allows: off its search box
            const QWidget* search = controls(data::eastonsConfig()).txtSearch;
            EXPECT_FALSE(w->frameGeometry().contains(search->mapToGlobal(search->rect().center())));
        }
        QTest::keyClick(w, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(forms->scriptureWindow(), nullptr);

        choose("mnuDictionariesGet");
        QWidget* get = forms->getDictionariesWindow();
        ASSERT_NE(get, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(get));
        EXPECT_TRUE(screen.contains(get->frameGeometry()));
        forms->frmGetDictionaries().Unload();
    }
    mainWindow()->showNormal();
    QWidget* w = scripture();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    w->setGeometry(screen.left() + 20, screen.top() + 30, 300, 200);
    forms->verses().setBible("WEB"); // as the window's chooser sets it
    restart();
    EXPECT_EQ(forms->chosenBible(), "WEB");
    choose("mnuDictionariesEastons");
    w = scripture();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_EQ(w->geometry(), QRect(screen.left() + 20, screen.top() + 30, 300, 200));
    EXPECT_EQ(forms->verses().bible(), "WEB"); // the tooltips' lookups take it too
}
