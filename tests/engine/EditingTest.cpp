// Adding, changing and deleting rows through recordsets: each change is in the file when the
// call returns, and a call that cannot act (no current row, no AddNew or Edit) changes
// nothing.

#include "EngineTestFiles.h"
#include "engine/Schema.h"
#include "engine/SqliteDatabase.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "support/TestSupport.h"

using namespace tolvane::engine;
using namespace tolvane::test;

namespace {

const std::vector<EngineRow> kWords{
    {"ABATE", "to lessen"}, {"abase", "to lower"}, {"BAT", "an animal"}, {"cat", "another"}};

TEST(Editing, AddNewThroughAPrefixQueryAddsToTheTable) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("SELECT * FROM words WHERE headword LIKE 'ab'& '*'");
    ASSERT_EQ(rs->RecordCount(), 2);
    const QString current = rs->Fields("headword").Value().toString();
    rs->AddNew();
    rs->Fields("headword").SetValue("ZEAL");
    rs->Fields("definition").SetValue("ardour");
    rs->Update(dbUpdateRegular, false);

    std::vector<EngineRow> expected = kWords;
    expected.push_back({"ZEAL", "ardour"});
    EXPECT_EQ(file.rowsOnDisk(), expected); // on disk at once, though it does not match 'ab*'
    EXPECT_EQ(rs->RecordCount(), 3);        // and it joins this set at its end
    EXPECT_EQ(rs->Fields("headword").Value().toString(), current); // current row unchanged
    rs->MoveLast();
    EXPECT_EQ(rs->Fields("definition").Value().toString(), "ardour");
    EXPECT_EQ(db->OpenRecordset("words", dbOpenTable)->RecordCount(), 5);
}

TEST(Editing, AddNewToAnEmptySetKeepsItWithoutCurrentRow) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("SELECT * FROM words WHERE headword = 'ZEAL'");
    ASSERT_EQ(rs->RecordCount(), 0);
    rs->AddNew();
    rs->Fields("headword").SetValue("ZEAL");
    rs->Fields("definition").SetValue("");
    rs->Update();
    EXPECT_EQ(rs->RecordCount(), 1);
    EXPECT_TRUE(rs->isEOF());
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields("headword").Value().toString(), "ZEAL");
    EXPECT_EQ(file.rowsOnDisk().back(), (EngineRow{"ZEAL", ""}));
}

TEST(Editing, EditThroughHeadwordQueryChangesThatRowOnly) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("Select * from words where headword = 'ABASE'");
    rs->MoveFirst();
    rs->Edit();
    rs->Fields("headword").SetValue("abase");
    rs->Fields("definition").SetValue("to bring low\r\nto humble");
    EXPECT_EQ(rs->Fields("definition").Value().toString(), "to bring low\r\nto humble"); // pending
    rs->Update(dbUpdateRegular, false);
    std::vector<EngineRow> expected = kWords;
    expected[1].definition = "to bring low\r\nto humble";
    EXPECT_EQ(file.rowsOnDisk(), expected);
    EXPECT_EQ(rs->Fields("definition").Value().toString(), "to bring low\r\nto humble");
}

TEST(Editing, DeleteRemovesTheRowAndLeavesTheSetOnADeletedRow) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("SELECT * FROM words WHERE headword LIKE 'ab*'");
    ASSERT_EQ(rs->RecordCount(), 2);
    const QString first = rs->Fields("headword").Value().toString();
    rs->Delete();
    EXPECT_EQ(file.rowsOnDisk().size(), kWords.size() - 1);
    EXPECT_EQ(rs->RecordCount(), 1);
    for (const EngineRow& row : file.rowsOnDisk())
        EXPECT_NE(row.headword, first);
    // Standing on the deleted row: nothing can be done there, and nothing changes.
    const QByteArray before = sha256(file.path());
    EXPECT_EQ(errorNumber([&] { rs->Fields("headword").Value(); }), err::RecordDeleted);
    EXPECT_EQ(errorNumber([&] { rs->Edit(); }), err::RecordDeleted);
    EXPECT_EQ(errorNumber([&] { rs->Delete(); }), err::RecordDeleted);
    EXPECT_EQ(sha256(file.path()), before);
    // Moving on skips it.
    rs->MoveNext();
    EXPECT_NE(rs->Fields("headword").Value().toString(), first);
    rs->MoveFirst();
    EXPECT_NE(rs->Fields("headword").Value().toString(), first);
    rs->MoveNext();
    EXPECT_TRUE(rs->isEOF());
}

// SQLite allows any 64-bit row id. A set holding ids beyond 32 bits, negative or large, reads,
// changes and deletes their own rows, ordered by an index or in memory alike.
TEST(Editing, RowIdsBeyond32BitsReachTheirOwnRows) {
    DictionaryFile file(kWords);
    sqlite::Connection(file.path(), sqlite::OpenMode::ReadWrite)
        .exec("UPDATE words SET rowid = -7 WHERE headword = 'BAT';"
              "UPDATE words SET rowid = 5000000000 WHERE headword = 'abase'");
    // A read-only file without the list index: put into list order in memory.
    auto readOnly = databaseFromConnection(
        std::make_unique<sqlite::Connection>(file.path(), sqlite::OpenMode::ReadOnly), file.path(),
        true);
    EXPECT_EQ(readColumn(*readOnly->OpenRecordsetInListOrder("words", "headword", dbOpenTable),
                         "headword"),
              QStringList({"abase", "ABATE", "BAT", "cat"}));
    auto db = file.open();
    auto listed = db->OpenRecordsetInListOrder("words", "headword", dbOpenTable);
    EXPECT_EQ(readColumn(*listed, "headword"), QStringList({"abase", "ABATE", "BAT", "cat"}));
    listed->MoveFirst();
    listed->Edit();
    listed->Fields("definition").SetValue("to humble");
    listed->Update();
    listed->MoveNext();
    listed->MoveNext();
    listed->Delete(); // BAT
    listed->AddNew();
    listed->Fields("headword").SetValue("ZEAL");
    listed->Update();
    EXPECT_EQ(readColumn(*listed, "headword"), QStringList({"abase", "ABATE", "cat", "ZEAL"}));
    EXPECT_EQ(
        file.rowsOnDisk(),
        (std::vector<EngineRow>{
            {"ABATE", "to lessen"}, {"cat", "another"}, {"abase", "to humble"}, {"ZEAL", ""}}));
}

TEST(Editing, NoCurrentRowRefusesEditDeleteAndReadsChangingNothing) {
    DictionaryFile file(kWords);
    auto db = file.open();
    const QByteArray before = sha256(file.path());
    auto empty = db->OpenRecordset("SELECT * FROM words WHERE headword = 'none'");
    EXPECT_EQ(errorNumber([&] { empty->Edit(); }), err::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { empty->Delete(); }), err::NoCurrentRecord);

    auto rs = db->OpenRecordset("words", dbOpenTable);
    rs->MoveLast();
    rs->MoveNext(); // after the last row
    EXPECT_EQ(errorNumber([&] { rs->Fields("headword").Value(); }), err::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->Edit(); }), err::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->Delete(); }), err::NoCurrentRecord);
    const QString message = errorMessage([&] { rs->Delete(); });
    EXPECT_TRUE(message.contains("words")) << message.toStdString();
    rs->MoveFirst();
    rs->MovePrevious(); // before the first row
    EXPECT_EQ(errorNumber([&] { rs->Delete(); }), err::NoCurrentRecord);
    EXPECT_EQ(sha256(file.path()), before);
    EXPECT_EQ(file.rowsOnDisk(), kWords);
}

TEST(Editing, UpdateAndAssignmentNeedAddNewOrEdit) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("words", dbOpenTable);
    EXPECT_EQ(errorNumber([&] { rs->Update(); }), err::UpdateWithoutEdit);
    EXPECT_EQ(errorNumber([&] { rs->Fields("headword").SetValue("X"); }), err::UpdateWithoutEdit);
    EXPECT_EQ(errorNumber([&] { rs->CancelUpdate(); }), err::UpdateWithoutEdit);
    // A second Update after a successful one has nothing left to store.
    rs->Edit();
    rs->Fields("definition").SetValue("changed");
    rs->Update();
    EXPECT_EQ(errorNumber([&] { rs->Update(); }), err::UpdateWithoutEdit);
    EXPECT_EQ(file.rowsOnDisk()[0].definition, "changed");
}

TEST(Editing, MovingOrCancellingDiscardsPendingChanges) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("words", dbOpenTable);
    rs->Edit();
    rs->Fields("definition").SetValue("never stored");
    rs->MoveNext();
    EXPECT_EQ(errorNumber([&] { rs->Update(); }), err::UpdateWithoutEdit);
    rs->AddNew();
    rs->Fields("headword").SetValue("NEVER");
    rs->CancelUpdate();
    EXPECT_EQ(file.rowsOnDisk(), kWords);
    EXPECT_EQ(rs->RecordCount(), 4);
}

TEST(Editing, RowDeletedElsewhereCannotBeEditedOrDeleted) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("SELECT * FROM words WHERE headword = 'bat'");
    auto other = db->OpenRecordset("SELECT * FROM words WHERE headword LIKE 'b*'");
    other->Delete();
    EXPECT_EQ(errorNumber([&] { rs->Edit(); }), err::RecordDeleted);
    EXPECT_EQ(errorNumber([&] { rs->Delete(); }), err::RecordDeleted);
    EXPECT_EQ(errorNumber([&] { rs->Fields("definition").Value(); }), err::RecordDeleted);
    EXPECT_EQ(file.rowsOnDisk().size(), kWords.size() - 1);
}

TEST(Editing, RowDeletedWhileBeingEditedStoresNothing) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("SELECT * FROM words WHERE headword = 'cat'");
    rs->Edit();
    rs->Fields("definition").SetValue("lost");
    db->OpenRecordset("SELECT * FROM words WHERE headword = 'CAT'")->Delete();
    EXPECT_EQ(errorNumber([&] { rs->Update(); }), err::RecordDeleted);
    EXPECT_EQ(file.rowsOnDisk().size(), kWords.size() - 1);
    for (const EngineRow& row : file.rowsOnDisk())
        EXPECT_NE(row.definition, "lost");
}

TEST(Editing, ValuesAreStoredAsGivenIncludingQuotesAndSql) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("words", dbOpenTable);
    const QString tricky = "O'Neil\"; DROP TABLE words; --";
    rs->AddNew();
    rs->Fields("headword").SetValue(tricky);
    rs->Fields("definition").SetValue(QString());
    rs->Update();
    EXPECT_EQ(file.rowsOnDisk().back(), (EngineRow{tricky, ""}));
    auto found =
        db->OpenRecordset("SELECT * FROM words WHERE headword = 'o''neil\"; drop table words; --'");
    EXPECT_EQ(found->RecordCount(), 1);
}

TEST(Editing, ColumnNamesHoldingPlaceholdersAreStoredToThemselves) {
    // "%1" in a column name must reach SQLite as written, in INSERT and UPDATE alike.
    QTemporaryDir dir;
    const QString path = dir.filePath("odd.db");
    {
        sqlite::Connection db(path, sqlite::OpenMode::ReadWriteCreate);
        createTextTable(db, "t%2", {"n%1", "%2\"x", "plain"});
        db.exec("INSERT INTO \"t%2\" VALUES ('a', 'b', 'c')");
    }
    auto db = DBEngine::instance().Workspaces(0)->OpenDatabase(path);
    auto rs = db->OpenRecordset("t%2", dbOpenTable);
    rs->Edit();
    rs->Fields("n%1").SetValue("one");
    rs->Fields("%2\"x").SetValue("two");
    rs->Update();
    rs->AddNew();
    rs->Fields("n%1").SetValue("three");
    rs->Fields("plain").SetValue("four");
    rs->Update();
    sqlite::Connection check(path, sqlite::OpenMode::ReadOnly);
    sqlite::Statement rows(check, "SELECT * FROM \"t%2\" ORDER BY rowid");
    QStringList stored;
    while (rows.step())
        stored << rows.columnText(0) + "|" + rows.columnText(1) + "|" + rows.columnText(2);
    EXPECT_EQ(stored, QStringList({"one|two|c", "three||four"}));
}

} // namespace
