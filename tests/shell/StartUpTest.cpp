// Start-up as an installed program meets it: the dictionary folder the windows read, edits
// that reach the user's copy and never the shipped file, the read-only start when the user's
// folder cannot be made, and the command line of the built program.

#include "ShellFixture.h"

#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/WordList.h"
#include "engine/OpenDatabase.h"
#include "platform/AppFolder.h"
#include "shell/StartUp.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace tolvane;

namespace {

class StartUpTest : public test::ShellFixture {
protected:
    StartUpTest() {
        shipped = QDir(dir.path()).filePath(QStringLiteral("prefix/share/tolvane"));
        QDir().mkpath(shipped);
        QDir().mkpath(QDir(dir.path()).filePath(QStringLiteral("prefix/bin")));
        for (const auto* config : data::allConfigs())
            test::writeDictionary(shipped, *config, headwordsOf(*config));
        places.executableFolder = QDir(dir.path()).filePath(QStringLiteral("prefix/bin"));
        places.userFolder = QDir(dir.path()).filePath(QStringLiteral("home/tolvane"));
        places.shippedFolders = {shipped};
        places.fileNames = shell::dictionaryFileNames();
    }
    ~StartUpTest() override { engine::setOpenEveryFileReadOnly(false); }

    QString shippedKjv() const { return QDir(shipped).filePath(data::kingJamesConfig().fileName); }

    // Opens the King James window from the menu, chooses its first word and saves a new
    // definition through the window's editor.
    void editFirstKingJamesEntry() {
        startProgram();
        choose(QStringLiteral("mnuDictionariesKJV"));
        auto& kjv = forms->dictionaryWindow(data::kingJamesConfig());
        auto* list = kjv.controls().lstdata;
        ASSERT_GT(list->ListCount(), 0);
        const QModelIndex first = list->model()->index(0, 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(first).center());
        kjv.controls().cmdEdit->click();
        kjv.controls().txtSurname->setPlainText(QStringLiteral("changed by the user"));
        kjv.controls().cmdsave->click();
    }

    QString shipped;
    platform::DictionaryFolderPlaces places;
};

TEST_F(StartUpTest, EditsGoToTheUsersCopyAndLeaveTheShippedFileAsItWas) {
    const QByteArray shippedBefore = test::sha256(shippedKjv());
    const platform::DictionaryFolder folder = shell::useDictionaryFolder(places);
    EXPECT_EQ(platform::applicationFolder(), places.userFolder);
    EXPECT_EQ(folder.copied.size(), 3);
    const QString userKjv = QDir(places.userFolder).filePath(data::kingJamesConfig().fileName);
    const QByteArray userBefore = test::sha256(userKjv);

    editFirstKingJamesEntry();
    EXPECT_TRUE(fakes.messages->calls.empty());
    EXPECT_NE(test::sha256(userKjv), userBefore);
    EXPECT_EQ(test::sha256(shippedKjv()), shippedBefore);
}

TEST_F(StartUpTest, AnUnusableUserFolderGivesOneMessageAndAReadOnlyStart) {
    test::writeFile(QDir(dir.path()).filePath(QStringLiteral("home")), "a file, not a folder");
    const QByteArray shippedBefore = test::sha256(shippedKjv());

    shell::useDictionaryFolder(places);
    ASSERT_EQ(fakes.messages->calls.size(), 1u);
    EXPECT_TRUE(fakes.messages->calls[0].text.contains(places.userFolder));
    EXPECT_EQ(platform::applicationFolder(), shipped);

    // The dictionaries open and list their words; a save is refused, naming the file.
    editFirstKingJamesEntry();
    ASSERT_EQ(fakes.messages->calls.size(), 2u);
    EXPECT_TRUE(fakes.messages->calls[1].text.contains(QStringLiteral("read-only")))
        << fakes.messages->calls[1].text.toStdString();
    EXPECT_EQ(test::sha256(shippedKjv()), shippedBefore);
}

// The same on an installed copy (scripts/check-install.sh installs one into a temporary
// prefix and names it in TOLVANE_INSTALL_PREFIX): its shipped sample dictionaries populate a
// new user folder, one opens, and an edit reaches the user's copy only.
TEST_F(StartUpTest, InstalledCopyPopulatesTheUserFolderAndKeepsItsShippedFiles) {
    const QString prefix = qEnvironmentVariable("TOLVANE_INSTALL_PREFIX");
    if (prefix.isEmpty())
        GTEST_SKIP() << "no installed copy: run scripts/check-install.sh";
    shipped = QDir(prefix).filePath(QStringLiteral("share/tolvane"));
    places.executableFolder = QDir(prefix).filePath(QStringLiteral("bin"));
    places.shippedFolders = {shipped};
    const QByteArray shippedBefore = test::sha256(shippedKjv());

    EXPECT_EQ(shell::useDictionaryFolder(places).copied, places.fileNames);
    const QString userKjv = QDir(places.userFolder).filePath(data::kingJamesConfig().fileName);
    EXPECT_EQ(test::sha256(userKjv), shippedBefore);
    editFirstKingJamesEntry();
    EXPECT_TRUE(fakes.messages->calls.empty());
    EXPECT_NE(test::sha256(userKjv), shippedBefore);
    EXPECT_EQ(test::sha256(shippedKjv()), shippedBefore);
}

// The built program, with no window system at all: --help and --version must not need one.
struct CommandLineCase {
    const char* name;
    QStringList arguments;
    int exitCode;
    const char* out;
    const char* err;
};

class ProgramCommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(ProgramCommandLine, EndsWithItsExitCodeAndNoWindow) {
    const CommandLineCase& c = GetParam();
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(env);
    program.start(test::appDir() + QStringLiteral("/tolvane"), c.arguments);
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), c.exitCode);
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    const QString err = QString::fromUtf8(program.readAllStandardError());
    EXPECT_TRUE(out.contains(QString::fromUtf8(c.out))) << out.toStdString();
    EXPECT_TRUE(err.contains(QString::fromUtf8(c.err))) << err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Tolvane, ProgramCommandLine,
    ::testing::Values(
        CommandLineCase{"Help", {"--help"}, 0, "Dictionary folder in use: ", ""},
        CommandLineCase{"HelpNamesTheRequestedFolder",
                        {"--dictionaries", "/srv/words", "--help"},
                        0,
                        "Dictionary folder in use: /srv/words",
                        ""},
        CommandLineCase{"Version", {"--version"}, 0, "Tolvane 1.0.0\n", ""},
        CommandLineCase{"QtOptionsAreLeftToQt",
                        {"-platform", "offscreen", "-style", "fusion", "--version"},
                        0,
                        "Tolvane 1.0.0\n",
                        ""},
        CommandLineCase{"UnknownOption", {"--colour"}, 2, "", "Unknown option '--colour'."},
        CommandLineCase{"UnknownOptionAsTyped", {"-bogus=1"}, 2, "", "Unknown option '-bogus'."},
        CommandLineCase{"UsageOnStderr", {"--colour"}, 2, "", "--dictionaries <DIR>"},
        CommandLineCase{"StrayArgument", {"db2.mdb"}, 2, "", "Unexpected argument: db2.mdb"}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
