// The user's settings file through the store, on a real file in a temporary home folder:
// everything read back as written, a damaged or hand-edited file read as "nothing remembered",
// and which remembered window places still suit the screens present.

#include "platform/UserSettings.h"
#include "platform/ScreenFit.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace tolvane;
using platform::UserSettings;

namespace {

class UserSettingsTest : public ::testing::Test {
protected:
    UserSettingsTest() {
        // The test run's own settings folder, put back afterwards.
        m_runFolder = QFileInfo(QFileInfo(UserSettings().fileName()).absolutePath()).absolutePath();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configFolder());
    }
    ~UserSettingsTest() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_runFolder);
    }
    QString configFolder() const { return home.filePath(QStringLiteral(".config")); }
    QString file() const { return configFolder() + QStringLiteral("/Kestrane/Tolvane.conf"); }

    QTemporaryDir home;

private:
    QString m_runFolder;
};

platform::RememberedHistory historyOf(int count, std::size_t current) {
    platform::RememberedHistory history;
    for (int i = 0; i < count; ++i)
        history.entries.push_back({QStringLiteral("data.mdb"), QString::number(i), i % 3});
    history.current = current;
    return history;
}

TEST_F(UserSettingsTest, WhatIsWrittenIsReadBackFromTheFileAndFreshForgetsAll) {
    {
        UserSettings none;
        EXPECT_FALSE(none.windowPlace(QStringLiteral("MainWindow")));
        EXPECT_EQ(none.openDictionary(), platform::RememberedDictionary{});
        EXPECT_EQ(none.find(), platform::RememberedFind{});
        EXPECT_TRUE(none.history().entries.empty());
    }
    EXPECT_FALSE(QFileInfo::exists(file())) << "reading writes no file";

    const platform::WindowPlace main{{-1200, 40, 700, 480}, {1, 20, 1, 5}, true};
    const platform::WindowPlace find{{900, 60, 480, 280}, {}, false};
    const platform::RememberedDictionary open{QStringLiteral("names.mdb"),
                                              QStringLiteral("Na, \"Ruth\" = 1"),
                                              QStringLiteral(" Naomi "), 2};
    const platform::RememberedFind words{QStringLiteral("\"a phrase\", bless*"), true};
    {
        UserSettings settings;
        QSettings(file(), QSettings::IniFormat)
            .setValue(QStringLiteral("EntryBoxes/zoomPercent"), 130);
        settings.setWindowPlace(QStringLiteral("MainWindow"), main);
        settings.setWindowPlace(QStringLiteral("FindWindow"), find);
        settings.setOpenDictionary(open);
        settings.setFind(words);
        settings.setHistory(historyOf(3, 1));
        EXPECT_TRUE(settings.flush());
    }
    UserSettings again;
    EXPECT_EQ(again.fileName(), file());
    EXPECT_EQ(again.windowPlace(QStringLiteral("MainWindow")), main);
    EXPECT_EQ(again.windowPlace(QStringLiteral("FindWindow")), find);
    EXPECT_EQ(again.openDictionary(), open);
    EXPECT_EQ(again.find(), words);
    EXPECT_EQ(again.history(), historyOf(3, 1));
    EXPECT_EQ(
        QSettings(file(), QSettings::IniFormat).value(QStringLiteral("EntryBoxes/zoomPercent")),
        130)
        << "the zoom kept beside";

    again.clear();
    EXPECT_TRUE(again.flush());
    EXPECT_TRUE(QSettings(file(), QSettings::IniFormat).allKeys().isEmpty());
    EXPECT_FALSE(UserSettings().windowPlace(QStringLiteral("MainWindow")));
}

TEST_F(UserSettingsTest, TheHundredEntriesKeptHoldTheCurrentOne) {
    UserSettings settings;
    settings.setHistory(historyOf(150, 149));
    platform::RememberedHistory read = settings.history();
    ASSERT_EQ(read.entries.size(), 100u);
    EXPECT_EQ(read.entries.front().headword, QStringLiteral("50"));
    EXPECT_EQ(read.current, 99u);

    settings.setHistory(historyOf(150, 10)); // far back: the entries around it
    read = settings.history();
    ASSERT_EQ(read.entries.size(), 100u);
    EXPECT_EQ(read.entries[read.current].headword, QStringLiteral("10"));
    EXPECT_EQ(read.entries.front().headword, QStringLiteral("0"));
}

TEST_F(UserSettingsTest, DamagedAndHandEditedValuesReadAsNotRemembered) {
    QDir().mkpath(QFileInfo(file()).absolutePath());
    test::writeFile(file(),
                    QByteArray("\xff\xfe\0garbage[[[\n=\n", 16) +
                        "[MainWindow]\nleft=abc\ntop=10\nwidth=-5\nheight=300\n"
                        "[FindWindow]\nleft=10\ntop=10\nwidth=99999999999\nheight=300\n"
                        "[OtherWindow]\nleft=10\ntop=10\nwidth=400\nheight=300\n"
                        "frameTop=9999\nframeLeft=x\n"
                        "[Dictionary]\nfile=data.mdb\nsearchText=" +
                        QByteArray(2000, 'a') +
                        "\nheadword=Ab, el\nduplicate=x\n"
                        "[Find]\ntext=one, two\nscope=sideways\n"
                        "[History]\nentries\\size=1000000\nentries\\1\\dictionary=data.mdb\n"
                        "entries\\1\\headword=Aaron\nentries\\1\\duplicate=0\ncurrent=-3\n");
    UserSettings settings;
    EXPECT_FALSE(settings.windowPlace(QStringLiteral("MainWindow")));
    EXPECT_FALSE(settings.windowPlace(QStringLiteral("FindWindow")));
    const platform::WindowPlace other{{10, 10, 400, 300}, {}, false};
    EXPECT_EQ(settings.windowPlace(QStringLiteral("OtherWindow")), other)
        << "a frame width out of range counts as none";
    const platform::RememberedDictionary open = settings.openDictionary();
    EXPECT_EQ(open.dictionary, QStringLiteral("data.mdb"));
    EXPECT_TRUE(open.searchText.isEmpty()) << "too long a text is dropped";
    EXPECT_TRUE(open.headword.isEmpty()) << "an entry without its number is dropped";
    EXPECT_EQ(settings.find().text, QStringLiteral("one, two")) << "an unquoted comma";
    EXPECT_FALSE(settings.find().allDictionaries);
    EXPECT_TRUE(settings.history().entries.size() <= UserSettings::kHistoryKept);

    // The file is usable again once written.
    settings.setOpenDictionary({QStringLiteral("db2.mdb"), QStringLiteral("ab"), {}, 0});
    settings.flush();
    EXPECT_EQ(UserSettings().openDictionary().searchText, QStringLiteral("ab"));
}

// A settings file that is not the user's own is neither read (a FIFO would stop the start)
// nor written through; the run's settings go to a folder of its own and the note says so once.
TEST_F(UserSettingsTest, WhatIsNotTheUsersOwnFileIsLeftAloneAndSaidOnce) {
    const QString elsewhere = home.filePath(QStringLiteral("elsewhere"));
    QDir().mkpath(elsewhere);
    QDir().mkpath(QFileInfo(file()).absolutePath());
    const auto target = [&](const char* name) { return elsewhere + u'/' + QLatin1String(name); };
    const auto link = [&](const QString& to) { return QFile::link(to, file()); };
    const auto giveAway = [](const QString& path) {
        return ::chown(qPrintable(path), 65534, 65534) == 0;
    };
    struct Case {
        const char* name;
        bool needsRoot; // only root can give a file to another user
        std::function<bool()> make;
    };
    const std::vector<Case> cases{
        {"a link to a FIFO", false,
         [&] { return ::mkfifo(qPrintable(target("fifo")), 0600) == 0 && link(target("fifo")); }},
        {"a link to nothing", false, [&] { return link(target("missing")); }},
        {"a link to a folder", false, [&] { return link(elsewhere); }},
        {"a FIFO itself", false, [&] { return ::mkfifo(qPrintable(file()), 0600) == 0; }},
        {"a link to another user's file", true,
         [&] {
             test::writeFile(target("theirs"), "[Dictionary]\nfile=names.mdb\n");
             return giveAway(target("theirs")) && link(target("theirs"));
         }},
        {"a file in another user's folder", true, [&] {
             test::writeFile(file(), "[Dictionary]\nfile=names.mdb\n");
             return giveAway(QFileInfo(file()).path());
         }}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && ::geteuid() != 0) {
            std::printf("passed over, it needs root: %s\n", c.name);
            continue;
        }
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configFolder());
        QFile::remove(file());
        ASSERT_TRUE(c.make());
        const QFileInfo before(file());
        const QStringList there = QDir(elsewhere).entryList(QDir::AllEntries | QDir::System);
        {
            UserSettings settings;
            EXPECT_NE(settings.openDictionary().dictionary, QStringLiteral("names.mdb"))
                << "not read";
            const platform::RememberedDictionary open{QStringLiteral("data.mdb"), {}, {}, 0};
            settings.setOpenDictionary(open);
            QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kestrane"),
                      QStringLiteral("Tolvane"))
                .setValue(QStringLiteral("EntryBoxes/zoomPercent"), 130); // as the zoom does
            EXPECT_TRUE(settings.flush());
            EXPECT_EQ(settings.openDictionary(), open) << "kept for the run";
            const QString note = settings.takeNote();
            EXPECT_TRUE(note.startsWith(QStringLiteral("The settings file ") + file()) &&
                        note.contains(QStringLiteral(", so settings are not kept. ")))
                << note.toStdString();
            settings.flush();
            EXPECT_TRUE(settings.takeNote().isEmpty()) << "said once";
        }
        const QFileInfo after(file());
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        EXPECT_EQ(after.symLinkTarget(), before.symLinkTarget());
        EXPECT_EQ(after.size(), before.size());
        EXPECT_EQ(QDir(elsewhere).entryList(QDir::AllEntries | QDir::System), there);
        EXPECT_FALSE(QFileInfo::exists(target("missing")));
    }
}

TEST_F(UserSettingsTest, ALinkToAFileOfTheUsersIsWrittenThroughAndKept) {
    const QString mine = home.filePath(QStringLiteral("dotfiles/Tolvane.conf"));
    QDir().mkpath(QFileInfo(mine).absolutePath());
    QDir().mkpath(QFileInfo(file()).absolutePath());
    test::writeFile(mine, "[Find]\ntext=grace\n");
    ASSERT_TRUE(QFile::link(mine, file()));
    {
        UserSettings settings;
        EXPECT_EQ(settings.find().text, QStringLiteral("grace"));
        settings.setFind({QStringLiteral("mercy"), true});
        EXPECT_TRUE(settings.flush());
        EXPECT_TRUE(settings.takeNote().isEmpty());
    }
    EXPECT_TRUE(QFileInfo(file()).isSymLink());
    EXPECT_EQ(QSettings(mine, QSettings::IniFormat).value(QStringLiteral("Find/text")), "mercy");
}

TEST(ScreenFit, AWindowFitsOnlyWhollyOnTheScreensPresent) {
    const QRect left(0, 0, 1600, 870);
    const QRect right(1600, 0, 1280, 1024);
    const QSize smallest(120, 80);
    EXPECT_TRUE(platform::fitsScreens({100, 100, 600, 400}, {left}, smallest));
    EXPECT_TRUE(platform::fitsScreens({1400, 100, 600, 400}, {left, right}, smallest))
        << "across two screens side by side";
    EXPECT_FALSE(platform::fitsScreens({1700, 100, 600, 400}, {left}, smallest))
        << "on a screen that is gone";
    EXPECT_FALSE(platform::fitsScreens({1400, 100, 600, 400}, {left}, smallest)) << "partly off";
    EXPECT_FALSE(platform::fitsScreens({1000, 800, 800, 200}, {left, right}, smallest))
        << "in the corner no screen covers";
    EXPECT_FALSE(platform::fitsScreens({100, 100, 60, 40}, {left}, smallest)) << "too small";
    EXPECT_FALSE(platform::fitsScreens({}, {left}, smallest));
    EXPECT_FALSE(platform::fitsScreens({100, 100, 600, 400}, {}, smallest)) << "no screen";
}

} // namespace
