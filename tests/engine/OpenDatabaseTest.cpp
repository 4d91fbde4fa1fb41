// Opening database files: the engine object, and every kind of wrong file refused with a
// clear error naming it, the file left exactly as it was.

#include "engine/OpenDatabase.h"
#include "EngineTestFiles.h"
#include "engine/Schema.h"
#include "engine/SqliteDatabase.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace tolvane::engine;
using namespace tolvane::test;

namespace {

std::shared_ptr<Database> openPath(const QString& path) {
    return DBEngine::instance().Workspaces(0)->OpenDatabase(path);
}

// Opening `path` fails with `number`, names the file, and leaves it byte for byte the same.
void expectRefused(const QString& path, int number) {
    const QByteArray before = QFileInfo::exists(path) ? sha256(path) : QByteArray();
    try {
        openPath(path);
        ADD_FAILURE() << "opened " << path.toStdString();
    } catch (const EngineError& error) {
        EXPECT_EQ(error.number(), number) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains(QDir::toNativeSeparators(path)))
            << error.message().toStdString();
    }
    if (!before.isEmpty()) {
        EXPECT_EQ(sha256(path), before);
    }
    EXPECT_FALSE(QFileInfo::exists(path + "-journal"));
}

TEST(DBEngine, OneEngineWithDefaultWorkspace) {
    DBEngine& engine = DBEngine::instance();
    EXPECT_EQ(&engine, &DBEngine::instance());
    EXPECT_TRUE(DBEngine::exists());
    EXPECT_EQ(engine.Workspaces(0), engine.Workspaces(0));
    EXPECT_EQ(errorNumber([&] { engine.Workspaces(1); }), err::ItemNotFound);
}

TEST(OpenDatabase, OpensDictionaryFileReadWrite) {
    DictionaryFile file({{"ABASE", "to lower"}});
    auto db = file.open();
    EXPECT_FALSE(db->isReadOnly());
    EXPECT_EQ(db->Name(), QDir::toNativeSeparators(file.path()));
    EXPECT_EQ(db->OpenRecordset("words", dbOpenTable)->RecordCount(), 1);
}

TEST(OpenDatabase, MissingFileIsNotCreated) {
    QTemporaryDir dir;
    const QString path = dir.filePath("db2.mdb");
    expectRefused(path, err::FileNotFound);
    EXPECT_FALSE(QFileInfo::exists(path));
    expectRefused(dir.filePath("no/such/folder/data.mdb"), err::FileNotFound);
}

TEST(OpenDatabase, FolderIsRefused) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("names.mdb");
    expectRefused(dir.filePath("names.mdb"), err::FileNotFound);
}

TEST(OpenDatabase, FifoAndDevicesAreRefusedWithoutWaiting) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("db2.mdb");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    auto opening =
        std::async(std::launch::async, [&] { return errorMessage([&] { openPath(fifo); }); });
    if (opening.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "opening a FIFO blocks";
        // Let the blocked open go on: a reader and writer at once end its wait.
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_RDWR);
        ::close(fd);
    }
    const QString message = opening.get();
    EXPECT_TRUE(message.contains("FIFO")) << message.toStdString();
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(fifo))) << message.toStdString();
    EXPECT_TRUE(errorMessage([&] { openPath("/dev/zero"); }).contains("character device"));
}

TEST(OpenDatabase, EmptyFileIsRefusedAndStaysEmpty) {
    QTemporaryDir dir;
    const QString path = dir.filePath("empty.mdb");
    writeFile(path, {});
    expectRefused(path, err::UnrecognizedFormat);
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_TRUE(errorMessage([&] { openPath(path); }).contains("empty"));
}

TEST(OpenDatabase, GarbageIsRefused) {
    QTemporaryDir dir;
    const QString text = dir.filePath("text.mdb");
    writeFile(text, QByteArray("This is a plain text file, not a dictionary.\n").repeated(100));
    expectRefused(text, err::UnrecognizedFormat);

    const QString binary = dir.filePath("binary.mdb");
    QByteArray bytes;
    for (int i = 0; i < 8192; ++i)
        bytes.append(static_cast<char>((i * 7919) % 251));
    writeFile(binary, bytes);
    expectRefused(binary, err::UnrecognizedFormat);
}

TEST(OpenDatabase, TruncatedDatabaseIsRefused) {
    DictionaryFile file({{"ABASE", QString(3000, 'x')}, {"ABATE", QString(3000, 'y')}});
    const QByteArray whole = readFile(file.path());
    ASSERT_GT(whole.size(), 8192);
    QTemporaryDir dir;
    for (qsizetype length : {qsizetype(10), qsizetype(99), qsizetype(4096), whole.size() - 1}) {
        SCOPED_TRACE(length);
        const QString path = dir.filePath(QStringLiteral("cut%1.mdb").arg(length));
        writeFile(path, whole.left(length));
        expectRefused(path, err::UnrecognizedFormat);
    }
}

TEST(OpenDatabase, DamagedPagesAreRefusedAtOpen) {
    DictionaryFile file({{"ABASE", "to lower"}});
    QByteArray bytes = readFile(file.path());
    for (qsizetype i = 100; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(0xA5);
    QTemporaryDir dir;
    const QString path = dir.filePath("damaged.mdb");
    writeFile(path, bytes);
    expectRefused(path, err::UnrecognizedFormat);
}

TEST(OpenDatabase, JetFileIsRefusedUnlessAReaderIsRegistered) {
    QTemporaryDir dir;
    const QString path = dir.filePath("db2.mdb");
    QByteArray jet("\x00\x01\x00\x00Standard Jet DB\x00", 20);
    jet.append(QByteArray(2048 - jet.size(), '\0'));
    writeFile(path, jet);
    expectRefused(path, err::UnrecognizedFormat);
    EXPECT_TRUE(errorMessage([&] { openPath(path); }).contains("Jet"));

    QString handedOver;
    setJetFileOpener([&](const QString& p) {
        handedOver = p;
        auto memory = std::make_unique<sqlite::Connection>(QString(), sqlite::OpenMode::Memory);
        createTextTable(*memory, "data1", {"field1"});
        memory->exec("INSERT INTO data1 VALUES ('ABASE')");
        return databaseFromConnection(std::move(memory), p, true);
    });
    auto db = openPath(path);
    setJetFileOpener({});
    EXPECT_EQ(handedOver, path);
    EXPECT_TRUE(db->isReadOnly());
    EXPECT_EQ(db->OpenRecordset("data1", dbOpenTable)->Fields("field1").Value().toString(),
              "ABASE");
}

TEST(OpenDatabase, ReadOnlyDatabaseRefusesEveryWriteNamingTheFile) {
    auto memory = std::make_unique<sqlite::Connection>(QString(), sqlite::OpenMode::Memory);
    createTextTable(*memory, "data1", {"field1", "field2"});
    memory->exec("INSERT INTO data1 VALUES ('ABASE', 'to lower')");
    auto db = databaseFromConnection(std::move(memory), "/apps/tolvane/db2.mdb", true);
    auto rs = db->OpenRecordset("SELECT * FROM data1 WHERE field1 LIKE 'a*'");
    for (auto write : std::initializer_list<std::function<void()>>{
             [&] { rs->AddNew(); }, [&] { rs->Edit(); }, [&] { rs->Delete(); }}) {
        try {
            write();
            ADD_FAILURE() << "a write succeeded";
        } catch (const EngineError& error) {
            EXPECT_EQ(error.number(), err::ReadOnly);
            EXPECT_TRUE(error.message().contains("/apps/tolvane/db2.mdb"));
        }
    }
    EXPECT_EQ(errorNumber([&] { rs->Update(); }), err::UpdateWithoutEdit);
    EXPECT_EQ(rs->Fields("field2").Value().toString(), "to lower");
    EXPECT_EQ(rs->RecordCount(), 1);
}

TEST(OpenDatabase, WriteProtectedFileOpensForReadingOnly) {
    DictionaryFile file({{"ABASE", "to lower"}});
    QFile::setPermissions(file.path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    if (QFileInfo(file.path()).isWritable())
        GTEST_SKIP() << "running with rights that ignore file permissions";
    auto db = file.open();
    EXPECT_TRUE(db->isReadOnly());
    auto rs = db->OpenRecordset("words", dbOpenTable);
    EXPECT_EQ(rs->Fields("definition").Value().toString(), "to lower");
    const QString message = errorMessage([&] { rs->AddNew(); });
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(file.path()))) << message.toStdString();
    EXPECT_EQ(errorNumber([&] { rs->Delete(); }), err::ReadOnly);
}

TEST(OpenDatabase, UnreadableFileIsRefused) {
    DictionaryFile file({{"ABASE", "to lower"}});
    QFile::setPermissions(file.path(), QFile::Permissions());
    if (QFileInfo(file.path()).isReadable())
        GTEST_SKIP() << "running with rights that ignore file permissions";
    expectRefused(file.path(), err::FileInUse);
    QFile::setPermissions(file.path(), QFile::ReadOwner | QFile::WriteOwner);
}

TEST(OpenDatabase, ClosedDatabaseAndItsRecordsetsFailClearly) {
    DictionaryFile file({{"ABASE", "to lower"}});
    auto db = file.open();
    auto rs = db->OpenRecordset("words", dbOpenTable);
    db->Close();
    EXPECT_EQ(errorNumber([&] { db->OpenRecordset("words", dbOpenTable); }), err::ObjectClosed);
    EXPECT_EQ(errorNumber([&] { rs->Fields("headword").Value(); }), err::ObjectClosed);
    EXPECT_EQ(errorNumber([&] { rs->MoveFirst(); }), err::ObjectClosed);
    // The file is really closed: another connection can take the write lock at once.
    sqlite::Connection other(file.path(), sqlite::OpenMode::ReadWrite);
    other.exec("BEGIN EXCLUSIVE; COMMIT;");
}

TEST(OpenDatabase, LockedFileWaitsThenFailsWithFileInUse) {
    DictionaryFile file({{"ABASE", "to lower"}, {"ABATE", "to lessen"}});
    auto db = file.open();
    auto rs = db->OpenRecordset("SELECT * FROM words WHERE headword = 'abase'");
    sqlite::Connection holder(file.path(), sqlite::OpenMode::ReadWrite);
    holder.exec("BEGIN IMMEDIATE"); // another program in the middle of a write
    rs->Edit();
    rs->Fields("definition").SetValue("changed");
    try {
        rs->Update();
        ADD_FAILURE() << "Update went through a locked file";
    } catch (const EngineError& error) {
        EXPECT_EQ(error.number(), err::FileInUse);
        EXPECT_TRUE(error.message().contains(QDir::toNativeSeparators(file.path())))
            << error.message().toStdString();
    }
    EXPECT_EQ(errorNumber([&] { rs->Delete(); }), err::FileInUse);
    holder.exec("COMMIT");
    const std::vector<EngineRow> unchanged{{"ABASE", "to lower"}, {"ABATE", "to lessen"}};
    EXPECT_EQ(file.rowsOnDisk(), unchanged);
    // Once the other program lets go, the same recordset works.
    rs->Edit();
    rs->Fields("definition").SetValue("changed");
    rs->Update();
    EXPECT_EQ(file.rowsOnDisk()[0].definition, "changed");
}

} // namespace
