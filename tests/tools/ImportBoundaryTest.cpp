// The import at its edges: headers wider than a table can be, inputs that are no regular
// file, paths holding "%1", and the hidden temporary file when the tool is stopped or killed.
#include "ImportTestSupport.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

using namespace tolvane;

namespace {

class ImportBoundary : public test::ImportFolderTest {
protected:
    const data::DictionaryConfig& names = data::hitchcockConfig();

    // The message of the ImportError importing `input` raises, or the empty text.
    QString refusal(const QString& input, const QString& output) {
        try {
            test::runImport(names, input, output);
        } catch (const import::ImportError& e) {
            return e.describe();
        }
        return {};
    }

    QStringList temporaries() const {
        return test::folderEntries(dir.path()).filter(".names.mdb.import-");
    }
};

TEST_F(ImportBoundary, AWideHeaderIsRefusedAtOnceNamingTheCount) {
    QByteArray header = "field1,field2";
    for (int i = 0; i < 100000; ++i)
        header += ",c" + QByteArray::number(i);
    const auto started = std::chrono::steady_clock::now();
    const QString message = refusal(csv("wide.csv", header + "\r\nA,b\r\n"), path("names.mdb"));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_TRUE(message.contains("the header names 100002 columns; a dictionary table holds at "
                                 "most "))
        << message.left(300).toStdString();
    EXPECT_LT(message.size(), 400);
}

TEST_F(ImportBoundary, MessagesAboutWideTablesStayShort) {
    QByteArray header = "field1,field2";
    for (int i = 0; i < 1500; ++i)
        header += ",column_with_a_long_name_" + QByteArray::number(i);
    const QString rowWidth = refusal(csv("w.csv", header + "\r\nA,b\r\n"), path("names.mdb"));
    EXPECT_TRUE(rowWidth.contains(":2: 2 fields where the header names 1502 (field1, field2, "))
        << rowWidth.left(300).toStdString();
    EXPECT_LT(rowWidth.size(), 600);
    const QString twice = refusal(csv("t.csv", header + ",FIELD1\r\n"), path("names.mdb"));
    EXPECT_TRUE(twice.contains("column 'FIELD1' is named twice")) << twice.toStdString();
    EXPECT_TRUE(temporaries().isEmpty());
}

TEST_F(ImportBoundary, InputsThatAreNoRegularFileAreRefusedSayingWhatTheyAre) {
    const QString fifo = path("pipe.csv");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir(dir.path()).mkdir("folder.csv");
    struct Case {
        QString input;
        const char* says;
    };
    for (const Case& c : {Case{fifo, "it is a FIFO (named pipe), not a regular file"},
                          Case{path("folder.csv"), "it is a folder, not a regular file"},
                          Case{"/dev/zero", "it is a character device, not a regular file"}}) {
        auto refused =
            std::async(std::launch::async, [&] { return refusal(c.input, path("names.mdb")); });
        if (refused.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "the import waits on " << c.input.toStdString();
            ::close(::open(QFile::encodeName(fifo).constData(), O_RDWR)); // lets it go on
        }
        const QString message = refused.get();
        EXPECT_TRUE(message.contains(c.says)) << message.toStdString();
        EXPECT_FALSE(message.contains("Unknown error"));
    }
    EXPECT_FALSE(QFileInfo::exists(path("names.mdb")));
}

TEST_F(ImportBoundary, PathsHoldingPlaceholdersAreReportedAsTheyAre) {
    const QString input = csv("in%1%2.csv", "field1,field2\r\nAbel\r\n");
    const QString message = refusal(input, path("names.mdb"));
    EXPECT_TRUE(message.startsWith(input + ":2: 1 fields where the header names 2"))
        << message.toStdString();
    const QString missing = refusal(path("no%1.csv"), path("names.mdb"));
    EXPECT_TRUE(missing.startsWith(path("no%1.csv") + ": cannot read the file"))
        << missing.toStdString();
}

// A run of the program on a large input, stopped by `signal` once its temporary file is there.
class ImportStopped : public ImportBoundary, public ::testing::WithParamInterface<int> {};

TEST_P(ImportStopped, RemovesItsTemporaryFile) {
    QByteArray text = "field1,field2\r\n";
    text.reserve(40 << 20);
    for (int i = 0; text.size() < (40 << 20); ++i)
        text += "name" + QByteArray::number(i) + ",a meaning long enough to take some time\r\n";
    const QString input = csv("big.csv", text);
    QProcess tool;
    tool.start(test::binDir() + "/tolvane-import", {"-q", input, path("names.mdb")});
    ASSERT_TRUE(tool.waitForStarted());
    while (temporaries().isEmpty() && tool.state() == QProcess::Running)
        QThread::usleep(200);
    if (tool.state() != QProcess::Running)
        GTEST_SKIP() << "the import ended before it could be stopped";
    ::kill(static_cast<pid_t>(tool.processId()), GetParam());
    ASSERT_TRUE(tool.waitForFinished(30000));
    EXPECT_EQ(tool.exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(temporaries().isEmpty()) << temporaries().join(' ').toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("names.mdb")));
}

INSTANTIATE_TEST_SUITE_P(Signals, ImportStopped, ::testing::Values(SIGINT, SIGTERM));

TEST_F(ImportBoundary, TheNextRunRemovesWhatKilledRunsLeftButNotLiveOnes) {
    // A process that has ended, and one that still runs (standing in for another import).
    QProcess ended;
    ended.start("true");
    ASSERT_TRUE(ended.waitForFinished());
    const qint64 deadPid = ended.processId();
    QProcess live;
    live.start("sleep", {"60"});
    ASSERT_TRUE(live.waitForStarted());
    const QList<QByteArray> stat = [&] {
        QFile f(QStringLiteral("/proc/%1/stat").arg(live.processId()));
        f.open(QIODevice::ReadOnly);
        const QByteArray line = f.readAll();
        return line.mid(line.lastIndexOf(')') + 2).split(' ');
    }();
    ASSERT_GT(stat.size(), 19);
    const QString stale = path(".names.mdb.import-" + QString::number(deadPid) + "-1-AbCdEf");
    const QString running = path(".names.mdb.import-" + QString::number(live.processId()) + "-" +
                                 QString::fromLatin1(stat[19]) + "-XyZ123");
    const QString other = path(".names.mdb.import-notours");
    // Named by earlier versions, without a process: one untouched for two days, one just written.
    const QString oldStyleStale = path(".names.mdb.import-Ab12Cd");
    const QString oldStyleRecent = path(".names.mdb.import-Xy34Zw");
    for (const QString& file : {stale, running, other, oldStyleStale, oldStyleRecent})
        test::writeFile(file, "partial");
    QFile aged(oldStyleStale);
    ASSERT_TRUE(aged.open(QIODevice::ReadWrite));
    ASSERT_TRUE(aged.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                 QFileDevice::FileModificationTime));
    aged.close();

    test::runImport(names, csv("ok.csv", "field1,field2\r\nAbel,breath\r\n"), path("names.mdb"));
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_FALSE(QFileInfo::exists(oldStyleStale));
    EXPECT_TRUE(QFileInfo::exists(running));
    EXPECT_TRUE(QFileInfo::exists(other));
    EXPECT_TRUE(QFileInfo::exists(oldStyleRecent));
    live.kill();
    live.waitForFinished();
}

// The tool run with fsync failing on files or on folders, from a CSV file and from a SWORD
// module: none may pass for success, nor claim the output unchanged once it was replaced.
TEST_F(ImportBoundary, AFailedSyncIsReportedNotTakenForSuccess) {
    const QStringList fromCsv{"-q", csv("ok.csv", "field1,field2\r\nAbel,breath\r\n")};
    const bool navesInstalled = QFileInfo::exists("/usr/share/sword/mods.d/nave.conf");
    const QStringList fromSword{"-q", "--sword", "Nave"};
    struct Case {
        const char* failing;
        QStringList arguments;
        const char* says;
        bool replaced;
    };
    for (const Case& c :
         {Case{"file", fromCsv, "writing the new file to disk failed: Input/output error", false},
          Case{"folder", fromCsv, "the new file is in place, but writing the folder", true},
          Case{"folder", fromSword, "the new file is in place, but writing the folder", true}}) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString() + " with fsync failing on a " + c.failing);
        if (c.arguments == fromSword && !navesInstalled) {
            std::cout << "SWORD module Nave not installed (sword-dict-naves): its case left out\n";
            continue;
        }
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_PRELOAD", test::binDir() + "/libtolvane_failing_fsync.so");
        environment.insert("TOLVANE_FAIL_FSYNC", c.failing);
        // An AddressSanitizer build accepts the preloaded library ahead of its runtime.
        environment.insert("ASAN_OPTIONS",
                           environment.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        tool.setProcessEnvironment(environment);
        tool.start(test::binDir() + "/tolvane-import",
                   c.arguments + QStringList{path("names.mdb")});
        ASSERT_TRUE(tool.waitForFinished(60000));
        const QString err = QString::fromUtf8(tool.readAllStandardError());
        EXPECT_NE(tool.exitCode(), 0) << err.toStdString();
        EXPECT_TRUE(err.contains(c.says)) << err.toStdString();
        EXPECT_EQ(err.contains("is unchanged"), !c.replaced) << err.toStdString();
        EXPECT_EQ(QFileInfo::exists(path("names.mdb")), c.replaced);
        EXPECT_TRUE(temporaries().isEmpty());
        QFile::remove(path("names.mdb"));
    }
}

} // namespace
