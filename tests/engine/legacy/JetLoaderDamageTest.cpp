// Damaged files and a misbehaving reading helper: every case must end in one clear error
// naming the file, quickly, with nothing returned. This suite also runs under
// AddressSanitizer (scripts/test.sh).

#include "LegacyCorpus.h"
#include "engine/EngineError.h"
#include "engine/legacy/JetLoader.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace tolvane::engine;
using namespace tolvane::engine::legacy;

namespace {

// Runs the load and returns the error it must raise.
EngineError loadFailure(const QString& path, const JetLoadOptions& options = {}) {
    try {
        const LegacyDatabase db = loadJetDatabase(path, options);
        ADD_FAILURE() << "read " << db.tables.size() << " tables from " << path.toStdString();
    } catch (const EngineError& e) {
        return e;
    }
    return EngineError(0, QString());
}

class DamagedCorpusFile : public ::testing::TestWithParam<const char*> {};

TEST_P(DamagedCorpusFile, IsRefusedWithAnErrorNamingTheFile) {
    const QString name = QLatin1String(GetParam());
    TOLVANE_REQUIRE_SHARED(path, "corpus/mdb/" + name);
    const EngineError e = loadFailure(path);
    EXPECT_EQ(e.number(), err::UnrecognizedFormat);
    EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot read the legacy database '%1': ").arg(path)))
        << e.message().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Corpus, DamagedCorpusFile,
                         ::testing::Values("corrupt__empty.mdb", "corrupt__not_an_mdb.mdb",
                                           "corrupt__testV1997_truncated_8KiB.mdb",
                                           "corrupt__nwind_truncated_1MiB.mdb"));

TEST(DamagedFiles, ATruncatedFileIsRefusedEvenForATableThatItStillHolds) {
    // The library can list Orders in the cut-off Northwind and count its rows; a file with
    // a damaged table list is refused all the same rather than read in part.
    TOLVANE_REQUIRE_SHARED(path, "corpus/mdb/corrupt__nwind_truncated_1MiB.mdb");
    JetLoadOptions options;
    options.tables = {QStringLiteral("Orders")};
    EXPECT_EQ(loadFailure(path, options).number(), err::UnrecognizedFormat);
}

// Cut a real database after every page: each cut is either refused or, once everything the
// tables need is still there, read exactly as the whole file. Never a shorter table, never
// an empty catalog passed off as a database without tables.
void expectEveryCutRefusedOrWhole(const QString& source, int pageSize) {
    const LegacyDatabase whole = loadJetDatabase(source);
    const QByteArray bytes = tolvane::test::readFile(source);
    QTemporaryDir dir;
    const QString cut = dir.filePath(QStringLiteral("cut.mdb"));
    int refused = 0;
    for (qsizetype size = pageSize; size < bytes.size(); size += pageSize) {
        tolvane::test::writeFile(cut, bytes.left(size));
        try {
            const LegacyDatabase db = loadJetDatabase(cut);
            ASSERT_EQ(db.tables.size(), whole.tables.size()) << "cut at " << size;
            for (std::size_t t = 0; t < db.tables.size(); ++t) {
                EXPECT_EQ(db.tables[t].columns, whole.tables[t].columns) << "cut at " << size;
                EXPECT_EQ(db.tables[t].rows, whole.tables[t].rows) << "cut at " << size;
            }
        } catch (const EngineError& e) {
            ++refused;
            EXPECT_EQ(e.number(), err::UnrecognizedFormat);
            EXPECT_TRUE(e.message().contains(cut)) << e.message().toStdString();
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(DamagedFiles, Jet3FileCutAtAnyPageIsRefusedOrReadWhole) {
    TOLVANE_REQUIRE_SHARED(source, "corpus/mdb/jet3__compIndexTestV1997.mdb");
    expectEveryCutRefusedOrWhole(source, 2048);
}

TEST(DamagedFiles, Jet4FileCutAtAnyPageIsRefusedOrReadWhole) {
    TOLVANE_REQUIRE_SHARED(source, "corpus/mdb/jet4__compIndexTestV2000.mdb");
    expectEveryCutRefusedOrWhole(source, 4096);
}

TEST(DamagedFiles, TheLibraryRunningAwayOnACutFileIsStopped) {
    // Cut after 705 pages, this file sends libmdb into a loop that eats about 100 MB a
    // second. The helper's memory limit or the time limit ends it.
    TOLVANE_REQUIRE_SHARED(source, "corpus/mdb/jet4__testV2000.mdb");
    QTemporaryDir dir;
    const QString cut = dir.filePath(QStringLiteral("data.mdb"));
    tolvane::test::writeFile(cut, tolvane::test::readFile(source).left(705 * 4096));
    JetLoadOptions options;
    options.timeoutMs = 1'500;
    options.memoryLimitMb = 100;
    const EngineError e = loadFailure(cut, options);
    EXPECT_EQ(e.number(), err::UnrecognizedFormat);
    EXPECT_TRUE(e.message().contains(QLatin1String("did not finish")) ||
                e.message().contains(QLatin1String("stopped abnormally")))
        << e.message().toStdString();
}

TEST(DamagedFiles, MissingFileAndFolderAreReportedAsSuch) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("data.mdb"));
    const EngineError notThere = loadFailure(missing);
    EXPECT_EQ(notThere.number(), err::FileNotFound);
    EXPECT_TRUE(notThere.message().contains(missing));

    EXPECT_EQ(loadFailure(dir.path()).number(), err::UnrecognizedFormat);
}

// A stand-in for the helper: a shell script that misbehaves in one particular way.
class FakeHelper : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_database = m_dir.filePath(QStringLiteral("names.mdb"));
        tolvane::test::writeFile(m_database, QByteArray("Standard Jet DB"));
    }

    JetLoadOptions helperRunning(const QByteArray& script) {
        const QString path = m_dir.filePath(QStringLiteral("helper.sh"));
        tolvane::test::writeFile(path, "#!/bin/sh\n" + script + "\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        JetLoadOptions options;
        options.helperPath = path;
        options.timeoutMs = 2'000;
        return options;
    }

    QString failureText(const JetLoadOptions& options) {
        const EngineError e = loadFailure(m_database, options);
        EXPECT_EQ(e.number(), err::UnrecognizedFormat);
        EXPECT_TRUE(e.message().contains(m_database)) << e.message().toStdString();
        return e.message();
    }

    QTemporaryDir m_dir;
    QString m_database;
};

// The stream's opening mark and a format record, in printf's octal escapes.
const QByteArray kStreamStart = "printf 'TOLVJET\\001F\\004\\000\\000\\000JET4'";

TEST_F(FakeHelper, OneThatNeverFinishesIsStoppedAtTheTimeLimit) {
    JetLoadOptions options = helperRunning("exec sleep 60");
    options.timeoutMs = 300;
    EXPECT_TRUE(failureText(options).contains(QLatin1String("did not finish within 0.3 seconds")));
}

TEST_F(FakeHelper, OneThatFloodsItsOutputIsStopped) {
    EXPECT_TRUE(failureText(helperRunning("exec yes 'la la la la la la la'"))
                    .contains(QLatin1String("more output")));
}

TEST_F(FakeHelper, OneThatCrashesIsReportedAsStoppingAbnormally) {
    EXPECT_TRUE(failureText(helperRunning(kStreamStart + "; kill -SEGV $$"))
                    .contains(QLatin1String("stopped abnormally")));
}

TEST_F(FakeHelper, GarbageIsReportedAsAMalformedAnswer) {
    EXPECT_TRUE(failureText(helperRunning("echo 'Warning: mdb_col_to_string called on unsupported data type 0.'"))
                    .contains(QLatin1String("malformed")));
}

TEST_F(FakeHelper, AnAnswerCutShortIsNotTakenForTheWholeFile) {
    // A table announced and a row begun, then a clean exit: the library's habit of
    // stopping quietly with status 0.
    EXPECT_TRUE(failureText(helperRunning(kStreamStart +
                                          "; printf 'T\\011\\000\\000\\000\\001\\000\\000\\000data1'"))
                    .contains(QLatin1String("before it had read the whole file")));
}

TEST_F(FakeHelper, AFailureItReportsIsPassedOnWithTheFileName) {
    const QString text = failureText(
        helperRunning(kStreamStart + "; printf 'X\\020\\000\\000\\000table is damaged'; exit 2"));
    EXPECT_TRUE(text.endsWith(QLatin1String(": table is damaged."))) << text.toStdString();
}

TEST_F(FakeHelper, OneThatCannotBeStartedIsNamed) {
    JetLoadOptions options;
    options.helperPath = m_dir.filePath(QStringLiteral("no-such-helper"));
    EXPECT_TRUE(failureText(options).contains(QLatin1String("could not be started")));
}

} // namespace
