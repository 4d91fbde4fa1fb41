// The dictionary folder lookup: which folder wins, what the user's folder receives from the
// shipped files (never replacing one of the user's), and the read-only fallback when the
// user's folder cannot be made.
#include "platform/DictionaryFolder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace tolvane;
using Source = platform::DictionaryFolder::Source;

namespace {

const QStringList kFiles{QStringLiteral("db2.mdb"), QStringLiteral("data.mdb"),
                         QStringLiteral("names.mdb")};

class DictionaryFolderTest : public ::testing::Test {
protected:
    DictionaryFolderTest() {
        for (const char* sub : {"exe", "requested", "shipped"})
            QDir(dir.path()).mkpath(QString::fromLatin1(sub));
        for (const QString& name : kFiles)
            test::writeFile(shipped(name), "shipped " + name.toUtf8());
        places.executableFolder = at("exe");
        places.userFolder = at("home/tolvane");
        places.shippedFolders = {at("no-such-prefix/share/tolvane"), at("shipped")};
        places.fileNames = kFiles;
    }
    QString at(const QString& relative) const { return QDir(dir.path()).filePath(relative); }
    QString shipped(const QString& name) const { return at("shipped/" + name); }
    QString user(const QString& name) const { return places.userFolder + "/" + name; }

    QTemporaryDir dir;
    platform::DictionaryFolderPlaces places;
};

struct WinnerCase {
    const char* name;
    bool requested;
    bool executableHoldsOne;
    Source expected;
};

class DictionaryFolderWinner : public DictionaryFolderTest,
                               public ::testing::WithParamInterface<WinnerCase> {};

TEST_P(DictionaryFolderWinner, ChoosesByTheOrderOfTheLookup) {
    const WinnerCase& c = GetParam();
    if (c.requested)
        places.requested = at("requested");
    if (c.executableHoldsOne)
        test::writeFile(at("exe/names.mdb"), "the user's own names");

    const platform::DictionaryFolder chosen = platform::prepareDictionaryFolder(places);
    EXPECT_EQ(chosen.source, c.expected);
    EXPECT_FALSE(chosen.readOnly);
    EXPECT_TRUE(chosen.problem.isEmpty());
    const QString expectedPath = c.expected == Source::Requested    ? at("requested")
                                 : c.expected == Source::Executable ? at("exe")
                                                                    : places.userFolder;
    EXPECT_EQ(chosen.path, expectedPath);
    EXPECT_EQ(platform::locateDictionaryFolder(places).path, expectedPath);
    // Only the user's folder is created and given copies.
    EXPECT_EQ(QDir(places.userFolder).exists(), c.expected == Source::User);
}

INSTANTIATE_TEST_SUITE_P(
    Lookup, DictionaryFolderWinner,
    ::testing::Values(WinnerCase{"ExecutableFolderHoldingADictionary", false, true,
                                 Source::Executable},
                      WinnerCase{"RequestedOverExecutableFolder", true, true, Source::Requested},
                      WinnerCase{"RequestedOverUserFolder", true, false, Source::Requested},
                      WinnerCase{"UserFolderOtherwise", false, false, Source::User}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(DictionaryFolderTest, CopiesOnlyWhatTheUserLacksAndNeverReplacesAFile) {
    QDir().mkpath(places.userFolder);
    test::writeFile(user("db2.mdb"), "edited by the user");
    QFile::setPermissions(shipped("data.mdb"), QFile::ReadOwner | QFile::ReadGroup);

    const platform::DictionaryFolder first = platform::prepareDictionaryFolder(places);
    EXPECT_EQ(first.source, Source::User);
    EXPECT_EQ(first.copied, (QStringList{"data.mdb", "names.mdb"}));
    EXPECT_EQ(test::readFile(user("db2.mdb")), "edited by the user");
    EXPECT_EQ(test::readFile(user("data.mdb")), "shipped data.mdb");
    // The copy is the user's to change, even when the shipped file is write-protected.
    EXPECT_TRUE(QFile::permissions(user("data.mdb")) & QFile::WriteOwner);

    test::writeFile(user("names.mdb"), "changed since");
    const platform::DictionaryFolder again = platform::prepareDictionaryFolder(places);
    EXPECT_TRUE(again.copied.isEmpty());
    EXPECT_EQ(test::readFile(user("names.mdb")), "changed since");
    EXPECT_EQ(test::readFile(shipped("names.mdb")), "shipped names.mdb");
}

TEST_F(DictionaryFolderTest, AnUnusableUserFolderFallsBackToTheShippedFilesReadOnly) {
    // A file where the folder's parent should be: the folder cannot be created, not even by
    // root, for whom permission bits mean nothing.
    test::writeFile(at("home"), "not a folder");

    const platform::DictionaryFolder chosen = platform::prepareDictionaryFolder(places);
    EXPECT_EQ(chosen.source, Source::Shipped);
    EXPECT_TRUE(chosen.readOnly);
    EXPECT_EQ(chosen.path, at("shipped"));
    EXPECT_TRUE(chosen.problem.contains(places.userFolder)) << chosen.problem.toStdString();
    EXPECT_TRUE(chosen.problem.contains("cannot be created"));
    EXPECT_TRUE(chosen.problem.contains(at("shipped")));
    EXPECT_TRUE(chosen.problem.contains("read-only"));
}

// Two first starts at once: whichever copies a file first, both use the user's folder.
TEST_F(DictionaryFolderTest, StartsAtTheSameMomentAllUseTheUserFolder) {
    test::writeFile(shipped("data.mdb"), QByteArray(4 << 20, 'x')); // a copy takes a while
    for (int round = 0; round < 10; ++round) {
        QDir(places.userFolder).removeRecursively();
        std::vector<platform::DictionaryFolder> chosen(4);
        std::atomic<int> ready{0};
        std::vector<std::thread> starts;
        for (auto& folder : chosen)
            starts.emplace_back([&] {
                for (++ready; ready < int(chosen.size());) {
                }
                folder = platform::prepareDictionaryFolder(places);
            });
        for (auto& start : starts)
            start.join();
        for (const auto& folder : chosen) {
            EXPECT_EQ(folder.source, Source::User) << folder.problem.toStdString();
            EXPECT_FALSE(folder.readOnly);
        }
        EXPECT_EQ(QFileInfo(user("data.mdb")).size(), 4 << 20);
        EXPECT_EQ(QDir(places.userFolder).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }
}

// A relative $XDG_DATA_HOME is invalid: the folder is ~/.local/share/tolvane, whatever the
// working folder.
TEST_F(DictionaryFolderTest, ARelativeDataHomeIsIgnored) {
    const QByteArray home = qgetenv("HOME"), data = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", QFile::encodeName(at("home")));
    qputenv("XDG_DATA_HOME", "relative/share");
    const QString chosen = platform::standardDictionaryFolderPlaces({}, kFiles).userFolder;
    qputenv("XDG_DATA_HOME", QFile::encodeName(at("data")));
    const QString absolute = platform::standardDictionaryFolderPlaces({}, kFiles).userFolder;
    qputenv("HOME", home);
    qputenv("XDG_DATA_HOME", data);
    EXPECT_EQ(chosen, at("home/.local/share/tolvane"));
    EXPECT_EQ(absolute, at("data/tolvane"));
}

} // namespace
