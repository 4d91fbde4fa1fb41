// Find and faulty files: a disk that fills up while a file's full-text index is made leaves
// the file as it was and Find searches a copy in memory, saying so in plain words; files that
// are no dictionaries are named with what is wrong, and the others are still searched.

#include "data/AddedDictionaries.h"
#include "data/DataOperations.h"
#include "data/FileProblems.h"
#include "engine/FullTextQuery.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "find/FindService.h"
#include "support/DictionaryFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tolvane;

namespace {

// The files of one folder share what is left of a nearly full disk: a write that would make
// a file grow past it fails with ENOSPC, as the kernel's would, and shrinking or deleting a
// file gives its bytes back (SQLite's own hook for the system calls of its Unix layer, which
// writes with pwrite64 on Linux). Each
// connection on a file there gets a small page cache, so a fill writes its pages into the
// file before it commits, as the fill of a full-size dictionary does.
class NearlyFullDisk {
public:
    NearlyFullDisk(const QString& folder, qint64 freeBytes) {
        s_folder = QFile::encodeName(QDir(folder).canonicalPath() + QLatin1Char('/'));
        s_free = freeBytes;
        sqlite3_initialize();
        sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
        for (const Call& call : calls()) {
            *call.real = vfs->xGetSystemCall(vfs, call.name);
            vfs->xSetSystemCall(vfs, call.name, call.replacement);
        }
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&smallCache));
    }
    ~NearlyFullDisk() {
        sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&smallCache));
        sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
        for (const Call& call : calls())
            vfs->xSetSystemCall(vfs, call.name, nullptr); // SQLite's own again
    }

private:
    struct Call {
        const char* name;
        sqlite3_syscall_ptr* real;
        sqlite3_syscall_ptr replacement;
    };
    static const std::vector<Call>& calls() {
        static const std::vector<Call> all{
            {"pwrite64", &s_pwrite64, reinterpret_cast<sqlite3_syscall_ptr>(&fullPwrite64)},
            {"ftruncate", &s_ftruncate, reinterpret_cast<sqlite3_syscall_ptr>(&fullTruncate)},
            {"unlink", &s_unlink, reinterpret_cast<sqlite3_syscall_ptr>(&fullUnlink)}};
        return all;
    }
    static bool inFolder(const QByteArray& path) { return path.startsWith(s_folder); }
    static bool inFolder(int fd) {
        char target[4096];
        const ssize_t n = ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).data(),
                                     target, sizeof target);
        return n > 0 && inFolder(QByteArray(target, int(n)));
    }
    // Takes the bytes a file grows by when it reaches `end`, or gives back what it loses when
    // truncated there; false when they are not free.
    static bool room(int fd, qint64 end, bool truncating = false) {
        struct stat st {};
        if (!inFolder(fd) || ::fstat(fd, &st) != 0)
            return true;
        std::lock_guard lock(s_mutex);
        if (end < st.st_size) {
            if (truncating)
                s_free += st.st_size - end;
        } else if (end - st.st_size > s_free)
            return errno = ENOSPC, false;
        else
            s_free -= end - st.st_size;
        return true;
    }
    static ssize_t fullPwrite64(int fd, const void* data, size_t size, off64_t offset) {
        if (!room(fd, qint64(offset) + qint64(size)))
            return -1;
        return reinterpret_cast<ssize_t (*)(int, const void*, size_t, off64_t)>(s_pwrite64)(
            fd, data, size, offset);
    }
    static int fullTruncate(int fd, off_t length) {
        if (!room(fd, length, true))
            return -1;
        return reinterpret_cast<int (*)(int, off_t)>(s_ftruncate)(fd, length);
    }
    static int fullUnlink(const char* path) {
        struct stat st {};
        if (inFolder(QByteArray(path)) && ::stat(path, &st) == 0) {
            std::lock_guard lock(s_mutex);
            s_free += st.st_size;
        }
        return reinterpret_cast<int (*)(const char*)>(s_unlink)(path);
    }
    static int smallCache(sqlite3* db, const char**, const sqlite3_api_routines*) {
        const char* file = sqlite3_db_filename(db, "main");
        if (file && inFolder(QByteArray(file)))
            sqlite3_exec(db, "PRAGMA cache_size = 8", nullptr, nullptr, nullptr);
        return SQLITE_OK;
    }
    static inline QByteArray s_folder;
    static inline qint64 s_free = 0;
    static inline std::mutex s_mutex;
    static inline sqlite3_syscall_ptr s_pwrite64, s_ftruncate, s_unlink;
};

QString match(const QString& typed) {
    return engine::translateFullTextQuery(typed).match;
}

find::FindResults searched(find::FindService& service, const QString& typed,
                           const std::vector<const data::DictionaryConfig*>& dictionaries,
                           const QString& folder) {
    QSignalSpy finished(&service, &find::FindService::finished);
    service.search(match(typed), dictionaries, folder);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return !finished.isEmpty() &&
                   finished.back().front().value<find::FindResults>().complete;
        },
        30000));
    return finished.isEmpty() ? find::FindResults{}
                              : finished.back().front().value<find::FindResults>();
}

// The names in the file's schema, and its rows: what "as it was" is checked against.
QStringList contentsOf(const QString& path) {
    engine::sqlite::Connection db(path, engine::sqlite::OpenMode::ReadOnly);
    QStringList contents;
    engine::sqlite::Statement check(db, QStringLiteral("PRAGMA integrity_check"));
    contents << (check.step() ? check.columnText(0) : QStringLiteral("no answer"));
    engine::sqlite::Statement names(db, QStringLiteral("SELECT type, name FROM sqlite_master "
                                                       "ORDER BY name"));
    while (names.step())
        contents << names.columnText(0) + QLatin1Char(' ') + names.columnText(1);
    engine::sqlite::Statement rows(db, QStringLiteral("SELECT rowid, * FROM dbwords"));
    while (rows.step())
        contents << rows.columnText(0) + QLatin1Char(' ') + rows.columnText(1);
    return contents;
}

TEST(FullDiskDuringFind, TheFileStaysAsItWasFindSearchesInMemoryAndTheNextStartPreparesIt) {
    QTemporaryDir dir;
    const auto& eastons = data::eastonsConfig();
    const QString path = data::dictionaryPath(eastons, dir.path());
    std::vector<test::DictRow> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back({QStringLiteral("W%1").arg(i),
                        QStringLiteral("grace upon grace, number %1 of many words that fill "
                                       "a page of the index and then some more")
                            .arg(i)});
    test::writeDictionaryFile(dir.path(), eastons, rows);
    const QStringList before = contentsOf(path);
    {
        NearlyFullDisk full(dir.path(), 64 * 1024); // room to begin the index, not to fill it
        find::FindService service;
        const find::FindResults first = searched(service, "grace 17", {&eastons}, dir.path());
        EXPECT_EQ(first.problems, QStringList{data::diskFullSearchNote(eastons, path)});
        EXPECT_TRUE(first.problems.value(0).startsWith("The disk is full: Easton's Bible "
                                                       "Dictionary"));
        EXPECT_EQ(first.count, 1);
        EXPECT_FALSE(QFile::exists(path + "-journal"));
        EXPECT_EQ(contentsOf(path), before);
        // Find goes on in memory, and says it once.
        const find::FindResults next = searched(service, "grace 2999", {&eastons}, dir.path());
        EXPECT_TRUE(next.problems.isEmpty()) << next.problems.join('\n').toStdString();
        EXPECT_EQ(next.count, 1);
    }
    // Room again: the next start makes the index in the file.
    find::FindService service;
    const find::FindResults later = searched(service, "grace 42", {&eastons}, dir.path());
    EXPECT_TRUE(later.problems.isEmpty()) << later.problems.join('\n').toStdString();
    EXPECT_EQ(later.count, 1);
    EXPECT_TRUE(contentsOf(path).contains("table dbwords_fts"));
}

TEST(FindOverBrokenFiles, EachIsNamedWithWhatIsWrongAndTheOthersAreStillSearched) {
    QTemporaryDir dir;
    test::writeDictionaryFile(dir.path(), data::eastonsConfig(), {{"Grace", "favour"}});
    test::writeDictionaryFile(dir.path(), data::kingJamesConfig(),
                              {{"GRACIOUS", "full of grace", "Ps. 1:1"}});
    // An added dictionary without its entries (a picture in place of a file: FileProblemsTest).
    const auto& gloss = data::addedConfig("Gloss.sqlite", "Church Glossary");
    test::writeDictionaryFile(dir.path(), gloss, {{"Grace", "a prayer"}});
    {
        engine::sqlite::Connection db(QDir(dir.path()).filePath("Gloss.sqlite"),
                                      engine::sqlite::OpenMode::ReadWrite);
        db.exec("DROP TABLE dbwords");
    }
    const QByteArray glossBefore = test::readFile(QDir(dir.path()).filePath("Gloss.sqlite"));
    find::FindService service;
    const find::FindResults found = searched(
        service, "grace", {&data::kingJamesConfig(), &data::eastonsConfig(), &gloss}, dir.path());
    EXPECT_EQ(found.count, 2);
    ASSERT_EQ(found.problems.size(), 1) << found.problems.join('\n').toStdString();
    EXPECT_EQ(found.problems[0], "Church Glossary could not be searched: its file " +
                                     QDir(dir.path()).filePath("Gloss.sqlite") +
                                     " holds no entries of this dictionary (it has no table "
                                     "'dbwords'). Remove it in Get Dictionaries, then add it "
                                     "again.");
    // Nothing was written into the file that lacks the table.
    EXPECT_EQ(test::readFile(QDir(dir.path()).filePath("Gloss.sqlite")), glossBefore);

    // A dictionary removed since it was listed.
    QFile::remove(QDir(dir.path()).filePath("Gloss.sqlite"));
    const find::FindResults after =
        searched(service, "grace", {&data::eastonsConfig(), &gloss}, dir.path());
    EXPECT_EQ(after.count, 1);
    EXPECT_EQ(after.problems,
              QStringList{"Church Glossary could not be searched: that "
                          "dictionary was removed (" +
                          QDir(dir.path()).filePath("Gloss.sqlite") + " is not there)."});
}

} // namespace
