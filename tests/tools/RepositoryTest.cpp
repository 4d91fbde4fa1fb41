// The SWORD repositories from the command line, against a repository the test builds
// (imp2ld modules, mods.d.tar.gz, modules/...) and serves over HTTP on 127.0.0.1: add a
// repository, list what it offers, install (into ~/.sword, then into Tolvane), update and
// uninstall; and the faults (a 404, a dropped connection, a garbled mods.d.tar.gz, a stalled
// server, a full disk) each give one message and leave libsword's folder and the dictionaries as
// they were.

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
    const char* option; // the server's fault option, "garble" for a damaged list, or "disk"
                        // for a disk with no room for the module (a file-size limit)
    const char* path;   // what the fault strikes
    const char* says;   // in the one message
};

class RepositoryTest : public ::testing::TestWithParam<Fault> {
protected:
    RepositoryTest() {
        for (const char* name : {"SWORD_PATH", "HOME", "XDG_DATA_HOME", "TOLVANE_SWORD_STALL_S",
                                 "TOLVANE_SWORD_FILE_LIMIT_KB"})
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

TEST_P(RepositoryTest, AFaultGivesOneMessageAndLeavesEverythingAsItWas) {
    TOLVANE_REQUIRE_IMP2LD();
    const Fault& f = GetParam();
    const bool disk = QString(f.option) == "disk";
    publish("1.0", disk ? 1000 : 0);
    if (QString(f.option) == "garble")
        test::writeFile(repository() + "/mods.d.tar.gz", "not a tar file at all");
    QDir().mkpath(dictionaryFolder());
    test::writeFile(dictionaryFolder() + "/Other.sqlite", "the user's");
    serve(QString(f.option) == "garble" || disk ? QStringList{} : QStringList{f.option, f.path});
    if (disk) // room for the repository's list, none for the module's data
        qputenv("TOLVANE_SWORD_FILE_LIMIT_KB", "16");
    const QStringList before = libraryFiles();

    EXPECT_EQ(run({"--sword-install", "Topics", "--source", "Test"}), import::ExitFailed);
    EXPECT_TRUE(err.contains(f.says)) << err.toStdString();
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    EXPECT_TRUE(err.contains("Test")) << err.toStdString(); // names the repository
    EXPECT_EQ(libraryFiles(), before);
    EXPECT_FALSE(QFile::exists(dictionaryFolder() + "/Topics.sqlite"));
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
    ::testing::Values(Fault{"NotFound", "--missing", "topics.dat", "could not be downloaded"},
                      Fault{"Dropped", "--drop", "topics.dat", "could not be downloaded"},
                      Fault{"Garbled", "garble", "", "lists no modules"},
                      Fault{"Stalled", "--stall", "topics.dat", "stalled"},
                      Fault{"DiskFull", "disk", "", "the disk is full"}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
