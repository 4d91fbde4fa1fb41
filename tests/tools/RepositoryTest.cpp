// The SWORD repositories from the command line, against a repository the test builds
// (imp2ld modules, mods.d.tar.gz, modules/...) and serves over HTTP on 127.0.0.1: add a
// repository, list what it offers, install (into ~/.sword, then into Tolvane), update and
// uninstall; the faults (a 404, a server fault, a dropped connection, a garbled mods.d.tar.gz,
// a stalled or trickling server, a full disk) and a hostile repository (a DataPath that climbs
// out or is absolute, mods.d.tar.gz members that climb out, are absolute or links, a
// decompression bomb, a link already on the way in ~/.sword) each give one message, and nothing
// anywhere but libsword's copy of the repository's list changes.

#include "data/AddedDictionaries.h"
#include "import/ImportTool.h"
#include "support/FileSizeLimit.h"
#include "support/SwordModuleMaker.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace tolvane;

namespace {

struct Fault {
    const char* name;
    QStringList server;         // the server's options; "@DIR@" stands for the test's folder
    const char* says;           // in the one message
    bool list = false;          // --sword-available rather than --sword-install
    const char* link = nullptr; // a link made first in ~/.sword, leading out to @DIR@/outside
    QByteArray env = {};        // set for the tool, NAME=VALUE
};

class RepositoryTest : public ::testing::TestWithParam<Fault> {
protected:
    RepositoryTest() {
        for (const char* name :
             {"SWORD_PATH", "HOME", "XDG_DATA_HOME", "TOLVANE_SWORD_STALL_S",
              "TOLVANE_SWORD_FILE_LIMIT_KB", "TOLVANE_SWORD_RATE_WINDOW_S", "TOLVANE_SWORDINSTALL"})
            m_saved.push_back({name, qgetenv(name)});
        QDir().mkpath(m_dir.filePath("library"));
        qputenv("SWORD_PATH", QFile::encodeName(m_dir.filePath("library")));
        qputenv("HOME", QFile::encodeName(home()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath("data")));
        qputenv("TOLVANE_SWORD_STALL_S", "3");
    }
    ~RepositoryTest() override {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.kill();
            m_server.waitForFinished();
        }
        for (const auto& [name, value] : m_saved)
            qputenv(name, value);
    }
    QString home() const { return m_dir.filePath("home"); }
    QString repository() const { return m_dir.filePath("served/repo"); }
    QString dictionaryFolder() const { return m_dir.filePath("data/tolvane"); }

    // The repository holds `module`, at `version`, and its list; `more` entries beside the
    // two.
    void publish(const QString& version, int more = 0) {
        test::SwordTestModule module{"Topics",
                                     "Test Topical Bible",
                                     "ThML",
                                     "RawLD",
                                     {{"Faith", "Trust.<br/>Hope."}, {"Grace", "Favour."}},
                                     version};
        for (int i = 0; i < more; ++i)
            module.entries.push_back(
                {QString("Word %1").arg(i),
                 QString("Entry %1 in many words: alpha%1 beta%1 gamma%1 delta%1").arg(i)});
        ASSERT_EQ(test::makeSwordModule(repository(), module), "");
        QProcess tar;
        tar.setWorkingDirectory(repository());
        tar.start("tar", {"czf", "mods.d.tar.gz", "mods.d"});
        ASSERT_TRUE(tar.waitForFinished() && tar.exitCode() == 0);
    }
    // Starts the server with `faults` and adds it as the repository "Test".
    void serve(const QStringList& faults = {}) {
        const QString portFile = m_dir.filePath("port");
        QFile::remove(portFile);
        m_server.start("/usr/bin/python3",
                       QStringList{test::sourceDir() + "/tests/tools/repository_server.py",
                                   m_dir.filePath("served"), portFile} +
                           faults);
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(portFile); }, 10000));
        const QString url = "http://127.0.0.1:" + test::readFile(portFile) + "/repo";
        ASSERT_EQ(run({"--sword-add-source", "Test", url}), import::ExitOk) << err.toStdString();
    }
    int run(const QStringList& arguments) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        return import::runImportTool(QStringList{"tolvane-import"} + arguments, o, e);
    }
    // Every entry under the test's folder but the served repository and libsword's copy of
    // the repository's list: path, kind, size; links are listed, not followed.
    QStringList everything() {
        QStringList entries;
        QDirIterator it(m_dir.path(),
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString name = QDir(m_dir.path()).relativeFilePath(path);
            const QFileInfo info = it.fileInfo();
            if (name.startsWith("served") || name.startsWith("port") ||
                name.startsWith("home/.sword/InstallMgr/Test"))
                continue;
            entries << name + (info.isSymLink() ? " -> " + info.symLinkTarget()
                               : info.isDir()   ? "/"
                                                : " " + QString::number(info.size()));
        }
        entries.sort();
        return entries;
    }
    // Every file under ~/.sword but libsword's own InstallMgr cache.
    QStringList libraryFiles() {
        QStringList files;
        QDirIterator it(home() + "/.sword", QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            if (!file.contains("/InstallMgr/"))
                files << file;
        }
        return files;
    }

    QTemporaryDir m_dir;
    QProcess m_server;
    std::vector<std::pair<const char*, QByteArray>> m_saved;
    QString out, err;
};

TEST_F(RepositoryTest, AddListInstallUpdateAndUninstallFromTheCommandLine) {
    TOLVANE_REQUIRE_IMP2LD();
    publish("1.0");
    serve();
    // The repository is libsword's own configuration, seen by every SWORD program.
    EXPECT_TRUE(test::readFile(home() + "/.sword/InstallMgr/InstallMgr.conf").contains("|/repo"));
    ASSERT_EQ(run({"--sword-sources"}), import::ExitOk) << err.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression("\nTest +HTTP +127\\.0\\.0\\.1:[0-9]+/repo")))
        << out.toStdString();

    ASSERT_EQ(run({"--sword-available", "Test"}), import::ExitOk) << err.toStdString();
    EXPECT_TRUE(out.contains(
        QRegularExpression("\nTopics +Test Topical Bible +1\\.0 +Public Domain +new +Test\n")))
        << out.toStdString();

    ASSERT_EQ(run({"--sword-install", "Topics", "--source", "Test"}), import::ExitOk)
        << err.toStdString();
    EXPECT_EQ(err, ""); // no terminal: no progress, scripts' output stays clean
    EXPECT_TRUE(QFile::exists(home() + "/.sword/mods.d/topics.conf"));
    const auto facts = data::readAddedFacts(dictionaryFolder() + "/Topics.sqlite");
    ASSERT_TRUE(facts.has_value()) << out.toStdString();
    EXPECT_EQ(facts->title, "Test Topical Bible");

    ASSERT_EQ(run({"--sword-available"}), import::ExitOk) << err.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression("\nTopics .* installed +Test\n")))
        << out.toStdString();
    publish("2.0");
    ASSERT_EQ(run({"--sword-available", "Test"}), import::ExitOk) << err.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression("\nTopics .*2\\.0 .* update +Test\n")))
        << out.toStdString();
    // The update, its progress for a program: the module's bytes counted up to the total the
    // repository's listing gives, then "adding".
    ASSERT_EQ(run({"--quiet", "--progress-lines", "--sword-install", "Topics", "--source", "Test"}),
              import::ExitOk)
        << err.toStdString();
    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2) << out.toStdString();
    EXPECT_EQ(lines.last(), "adding");
    const QStringList last = lines.at(lines.size() - 2).split('\t');
    const qint64 moduleBytes =
        QFileInfo(repository() + "/modules/lexdict/rawld/topics/topics.dat").size() +
        QFileInfo(repository() + "/modules/lexdict/rawld/topics/topics.idx").size();
    EXPECT_EQ(last.value(0), "progress");
    EXPECT_GE(last.value(1).toLongLong(), moduleBytes) << out.toStdString();
    EXPECT_EQ(last.value(1), last.value(2)) << out.toStdString();

    ASSERT_EQ(run({"--sword-uninstall", "Topics"}), import::ExitOk) << err.toStdString();
    EXPECT_EQ(libraryFiles(), QStringList());
}

// The caller's stall timer counts only time the helper waits on the network: a helper that
// says it works on this computer (unpacking, copying) for longer is waited for, one that falls
// silent after a transfer is given up. A stand-in helper plays both.
TEST_F(RepositoryTest, TimeTheHelperSpendsWorkingIsNoStall) {
    const QString helper = m_dir.filePath("helper.sh");
    for (const QByteArray working : {"W", ""}) {
        test::writeFile(helper,
                        "#!/bin/sh\nprintf 'P\\t10\\t100\\n" + working +
                            "\\n'\nsleep 4\nprintf 'A\\tTopics\\tTest\\t1.0\\t\\t\\tnew\\n'\n");
        QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("TOLVANE_SWORDINSTALL", QFile::encodeName(helper));
        qputenv("TOLVANE_SWORD_STALL_S", "1"); // given up 3 s after the last progress
        const int status = run({"--sword-available", "Test"});
        if (working.isEmpty()) {
            EXPECT_EQ(status, import::ExitFailed);
            EXPECT_TRUE(err.contains("The list of modules of the repository \"Test\" stalled"))
                << err.toStdString();
        } else {
            EXPECT_EQ(status, import::ExitOk) << err.toStdString();
            EXPECT_TRUE(out.contains("\nTopics ")) << out.toStdString();
        }
    }
}

TEST_P(RepositoryTest, AFaultGivesOneMessageAndLeavesEverythingAsItWas) {
    TOLVANE_REQUIRE_IMP2LD();
    const Fault& f = GetParam();
    const bool disk = QString(f.name) == "DiskFull";
    publish("1.0", disk ? 1000 : 10);
    if (QString(f.name) == "Garbled")
        test::writeFile(repository() + "/mods.d.tar.gz", "not a tar file at all");
    QDir().mkpath(dictionaryFolder());
    QDir().mkpath(m_dir.filePath("outside"));
    test::writeFile(dictionaryFolder() + "/Other.sqlite", "the user's");
    if (f.link) {
        QDir().mkpath(QFileInfo(home() + "/.sword/" + f.link).path());
        ASSERT_TRUE(QFile::link(m_dir.filePath("outside"), home() + "/.sword/" + f.link));
    }
    // Where a DataPath that climbs out leads on the server, so that following it would write.
    QDir().mkpath(m_dir.filePath("served/.config/autostart"));
    QDir().mkpath(m_dir.filePath("served/outside"));
    test::writeFile(m_dir.filePath("served/.config/autostart/evil.desktop"), "[Desktop Entry]");
    test::writeFile(m_dir.filePath("served/outside/evil.dat"), "evil");
    QStringList options = f.server;
    options.replaceInStrings("@DIR@", m_dir.path());
    serve(options);
    if (disk) // room for the repository's list, none for the module's data
        qputenv("TOLVANE_SWORD_FILE_LIMIT_KB", "16");
    if (!f.env.isEmpty())
        qputenv(f.env.split('=').first(), f.env.split('=').last());
    const QStringList before = everything();

    EXPECT_EQ(run(f.list ? QStringList{"--sword-available", "Test"}
                         : QStringList{"--sword-install", "Topics", "--source", "Test"}),
              import::ExitFailed);
    EXPECT_TRUE(err.contains(f.says)) << err.toStdString();
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    EXPECT_TRUE(err.contains("\"Test\"")) << err.toStdString(); // names the repository
    if (!f.list) {
        EXPECT_TRUE(err.contains("Topics")) << err.toStdString(); // and the module
    }
    EXPECT_EQ(everything(), before);
    if (f.list) { // a refused list leaves nothing of itself
        QDirIterator cache(home() + "/.sword/InstallMgr/Test", QDir::Files | QDir::System,
                           QDirIterator::Subdirectories);
        EXPECT_EQ(cache.hasNext() ? cache.next() : QString(), "");
    }
    EXPECT_EQ(test::readFile(dictionaryFolder() + "/Other.sqlite"), "the user's");
}

// The module comes whole, but the disk has no room for its dictionary: one message saying so
// and what to do. The module stays installed in ~/.sword, nothing is left in the dictionary
// folder, and adding it once there is room makes the dictionary.
TEST_F(RepositoryTest, AFullDiskWhileAddingKeepsTheModuleInstalledAndSaysHowToAddIt) {
    TOLVANE_REQUIRE_IMP2LD();
    publish("1.0", 3000);
    QDir().mkpath(dictionaryFolder());
    test::writeFile(dictionaryFolder() + "/Other.sqlite", "the user's");
    serve();
    {
        // Room for each of the module's files, none for its dictionary.
        const test::FileSizeLimit full(300 * 1024 + 123);
        EXPECT_EQ(run({"--sword-install", "Topics", "--source", "Test"}), import::ExitFailed);
    }
    EXPECT_TRUE(err.startsWith("tolvane-import: The disk is full: SWORD module Topics was "
                               "installed in " +
                               home() + "/.sword, but there is no room to add it"))
        << err.toStdString();
    EXPECT_TRUE(err.contains("Free some space on that disk, then add it with \"Add to Tolvane\""))
        << err.toStdString();
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    EXPECT_TRUE(QFile::exists(home() + "/.sword/mods.d/topics.conf"));
    EXPECT_EQ(QDir(dictionaryFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Other.sqlite"});
    EXPECT_EQ(test::readFile(dictionaryFolder() + "/Other.sqlite"), "the user's");

    ASSERT_EQ(run({"--sword", "Topics"}), import::ExitOk) << err.toStdString();
    EXPECT_TRUE(data::readAddedFacts(dictionaryFolder() + "/Topics.sqlite").has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RepositoryTest,
    ::testing::Values(Fault{"NotFound", {"--missing", "topics.dat"}, "lacks one of its files"},
                      Fault{"ServerFault", {"--fail", "topics.dat"}, "its server reported a fault"},
                      Fault{"Dropped", {"--drop", "topics.dat"}, "was cut off"},
                      Fault{"Garbled", {}, "is damaged", true},
                      Fault{"Stalled", {"--stall", "topics.dat"}, "stalled"},
                      Fault{"Trickle",
                            {"--trickle", "topics.dat"},
                            "less than 1 KB a second came for 2 s",
                            false,
                            nullptr,
                            "TOLVANE_SWORD_RATE_WINDOW_S=2"},
                      Fault{"DiskFull", {}, "the disk is full"}),
    [](const auto& p) { return std::string(p.param.name); });

// A repository that tries to write outside where its files belong. The hostile module's data
// is served where its DataPath leads, so that an install that followed it would write there.
INSTANTIATE_TEST_SUITE_P(
    Hostile, RepositoryTest,
    ::testing::Values(
        Fault{"ClimbingDataPath",
              {"--set", "DataPath=../../.config/autostart/x"},
              "\"../../.config/autostart/x\", outside"},
        Fault{"DeeperClimb", {"--set", "DataPath=./../../../../outside/x"}, "was refused"},
        Fault{"AbsoluteDataPath", {"--set", "DataPath=@DIR@/outside/x"}, "was refused"},
        Fault{"DataPathOfModules", {"--set", "DataPath=./modules/x"}, "was refused"},
        Fault{"LinkOnTheWay", {}, "was refused", false, "modules/lexdict"},
        Fault{"SharedConfiguration", {"--tar", "shared"}, "describes other modules too"},
        Fault{"ClimbingMember", {"--tar", "climb"}, "escaped-climb.conf\", which", true},
        Fault{"AbsoluteMember", {"--tar", "absolute"}, "escaped-absolute.conf\", which", true},
        Fault{"SymlinkMember", {"--tar", "symlink"}, "\"mods.d/link.conf\", which", true},
        Fault{"HardlinkMember", {"--tar", "hardlink"}, "\"mods.d/hard.conf\", which", true},
        Fault{"Bomb", {"--tar", "bomb"}, "unpacks to more than 8 MB", true}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
