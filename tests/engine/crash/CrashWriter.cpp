// The writing side of the crash tests: a process that changes a dictionary file through the
// engine and is killed in the middle of it. Usage:
//   tolvane_crash_writer FILE TABLE HEADWORD DEFINITION page1
//       grows the first row's definition by a large text and kills itself with SIGKILL right
//       after SQLite has written page 1 of the file, before any page past the old end of the
//       file: the header then counts more pages than the file holds, and only the hot
//       journal beside it can put it right.
//   tolvane_crash_writer FILE TABLE HEADWORD DEFINITION churn RANDOM-START NEXT-ID
//       adds, edits and deletes rows until killed. Each change is announced on standard
//       output as "try <op> <id> <version> <length>" before it starts and acknowledged with
//       "ok" once Update or Delete has returned. Row "W<id>" holds crashRowText(id, version,
//       length) as its definition, so a half-written row shows.

#include "CrashRows.h"
#include "engine/Dao.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <csignal>
#include <cstdio>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace tolvane::engine;
using tolvane::test::crashHeadword;
using tolvane::test::crashRowText;

namespace {

// --- The page-1 kill: SQLite's own hook for replacing the system calls of its Unix layer.

dev_t g_device = 0;
ino_t g_inode = 0;
bool g_armed = false;
sqlite3_syscall_ptr g_pwrite = nullptr;
sqlite3_syscall_ptr g_pwrite64 = nullptr;
sqlite3_syscall_ptr g_write = nullptr;

bool isTheDictionary(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 && info.st_dev == g_device && info.st_ino == g_inode;
}

void afterWrite(int fd, off_t offset) {
    if (g_armed && offset == 0 && isTheDictionary(fd))
        ::kill(::getpid(), SIGKILL);
}

ssize_t killingPwrite(int fd, const void* data, size_t size, off_t offset) {
    const ssize_t written = reinterpret_cast<ssize_t (*)(int, const void*, size_t, off_t)>(
        g_pwrite)(fd, data, size, offset);
    afterWrite(fd, offset);
    return written;
}

ssize_t killingPwrite64(int fd, const void* data, size_t size, off64_t offset) {
    const ssize_t written = reinterpret_cast<ssize_t (*)(int, const void*, size_t, off64_t)>(
        g_pwrite64)(fd, data, size, offset);
    afterWrite(fd, static_cast<off_t>(offset));
    return written;
}

ssize_t killingWrite(int fd, const void* data, size_t size) {
    const off_t offset = ::lseek(fd, 0, SEEK_CUR);
    const ssize_t written =
        reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(g_write)(fd, data, size);
    afterWrite(fd, offset);
    return written;
}

void installKillAfterPageOne(const char* path) {
    struct stat info {};
    if (::stat(path, &info) != 0)
        std::exit(2);
    g_device = info.st_dev;
    g_inode = info.st_ino;
    sqlite3_initialize();
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    g_pwrite = vfs->xGetSystemCall(vfs, "pwrite");
    g_pwrite64 = vfs->xGetSystemCall(vfs, "pwrite64");
    g_write = vfs->xGetSystemCall(vfs, "write");
    if (g_pwrite)
        vfs->xSetSystemCall(vfs, "pwrite", reinterpret_cast<sqlite3_syscall_ptr>(killingPwrite));
    if (g_pwrite64)
        vfs->xSetSystemCall(vfs, "pwrite64",
                            reinterpret_cast<sqlite3_syscall_ptr>(killingPwrite64));
    if (g_write)
        vfs->xSetSystemCall(vfs, "write", reinterpret_cast<sqlite3_syscall_ptr>(killingWrite));
}

int pageOne(const QString& path, const QString& table, const QString& definition) {
    installKillAfterPageOne(QFile::encodeName(path).constData());
    auto db = DBEngine::instance().Workspaces(0)->OpenDatabase(path);
    auto rs = db->OpenRecordset(table, dbOpenTable);
    rs->MoveFirst();
    rs->Edit();
    rs->Fields(definition).SetValue(QString(200000, QLatin1Char('g')));
    g_armed = true;
    rs->Update();
    return 3; // not killed: the write at offset 0 never came
}

// --- The churn.

void say(const std::string& line) {
    const std::string text = line + '\n';
    // Straight to the descriptor: nothing may sit in a buffer when the kill comes.
    ssize_t done = 0;
    while (done < static_cast<ssize_t>(text.size())) {
        const ssize_t n = ::write(1, text.data() + done, text.size() - static_cast<size_t>(done));
        if (n <= 0)
            std::exit(4);
        done += n;
    }
}

int churn(const QString& path, const QString& table, const QString& headword,
          const QString& definition, quint32 randomStart, int nextId) {
    QRandomGenerator random(randomStart);
    auto db = DBEngine::instance().Workspaces(0)->OpenDatabase(path);
    std::vector<int> ids;
    {
        auto all = db->OpenRecordset(table, dbOpenTable);
        for (int n = all->RecordCount(), i = 0; i < n; ++i) {
            if (i == 0)
                all->MoveFirst();
            ids.push_back(all->Fields(headword).Value().toString().mid(1).toInt());
            all->MoveNext();
        }
    }
    say("ready");
    while (true) {
        const int choice = static_cast<int>(random.bounded(10));
        const int length = static_cast<int>(random.bounded(32, 12000));
        const int version = static_cast<int>(random.bounded(1, 1000000));
        if (choice < 4 || ids.size() < 5) {
            const int id = nextId++;
            say("try add " + std::to_string(id) + ' ' + std::to_string(version) + ' ' +
                std::to_string(length));
            auto rs = db->OpenRecordset(table, dbOpenTable);
            rs->AddNew();
            rs->Fields(headword).SetValue(crashHeadword(id));
            rs->Fields(definition).SetValue(crashRowText(id, version, length));
            rs->Update();
            ids.push_back(id);
        } else {
            const auto at = static_cast<size_t>(random.bounded(static_cast<quint32>(ids.size())));
            const int id = ids[at];
            const bool remove = choice >= 8;
            say(std::string(remove ? "try delete " : "try edit ") + std::to_string(id) + ' ' +
                std::to_string(version) + ' ' + std::to_string(length));
            // As the window does it: the headword query, then Edit or Delete on its row.
            auto rs = db->OpenRecordset(
                QStringLiteral("Select * from ") + table + QStringLiteral(" where ") + headword +
                QStringLiteral(" = '") + crashHeadword(id) + QLatin1Char('\''));
            rs->MoveFirst();
            if (remove) {
                rs->Delete();
                ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(at));
            } else {
                rs->Edit();
                rs->Fields(definition).SetValue(crashRowText(id, version, length));
                rs->Update();
            }
        }
        say("ok");
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 6) {
        std::fprintf(stderr, "usage: %s FILE TABLE HEADWORD DEFINITION page1|churn ...\n", argv[0]);
        return 2;
    }
    try {
        if (args[5] == QLatin1String("page1"))
            return pageOne(args[1], args[2], args[4]);
        if (args[5] == QLatin1String("churn") && args.size() == 8)
            return churn(args[1], args[2], args[3], args[4], args[6].toUInt(), args[7].toInt());
    } catch (const EngineError& error) {
        std::fprintf(stderr, "%d %s\n", error.number(), qPrintable(error.message()));
        return 1;
    }
    return 2;
}
