// The list order (ICU root collation, secondary strength, equal texts by row id) on headwords
// chosen to tell it from code-point and case-only orders, whether it comes from a list index
// or from memory; and the collation versions recorded in a file: stale indexes are rebuilt in
// a writable file and passed over in a read-only one.

#include "EngineTestFiles.h"

#include "engine/CollationIndexes.h"
#include "engine/FileMetadata.h"
#include "engine/Schema.h"
#include "engine/SqliteDatabase.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tolvane::test {
namespace {

using namespace tolvane::engine;

// In row order; the comments give each row's place in the list.
const std::vector<EngineRow> kRows = {
    {"Zuzims", "18"},       {"Éphrata", "10"}, {"ABEL", "1"},   {"Ærugo", "5"},
    {"Straße", "17"},       {"Straw", "18"},   {"Ωμέγα", "20"}, {"Алеф", "21"},
    {"אלף", "22"},          {"abel", "2"},     {"Abel", "3"},   {"Jacob’s Well", "13"},
    {"Jacob's well", "14"}, {"Jacobs", "15"},  {"éden", "7"},   {"Eden", "6"},
    {"Aeneas", "4"},        {"ﬁg", "11"},      {"Fig", "12"},   {"Strasse", "16"},
    {"Ephah", "9"},
};
const QStringList kListOrder = {
    "ABEL",    "abel",    "Abel",  "Aeneas", "Ærugo",        "Eden",         "éden",
    "Ephah",   "Éphrata", "ﬁg",    "Fig",    "Jacob’s Well", "Jacob's well", "Jacobs",
    "Strasse", "Straße",  "Straw", "Zuzims", "Ωμέγα",        "Алеф",         "אלף"};

std::shared_ptr<Database> openReadOnly(const QString& path) {
    return databaseFromConnection(
        std::make_unique<sqlite::Connection>(path, sqlite::OpenMode::ReadOnly), path, true);
}

QStringList listed(Database& db, const QString& source) {
    auto rs = db.OpenRecordsetInListOrder(source, QStringLiteral("headword"));
    return readColumn(*rs, QStringLiteral("headword"));
}

QString prefix(QString text) {
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("SELECT * FROM words WHERE headword LIKE '%1' & '*'").arg(text);
}

enum class Opened { WritableGainsListIndex, ReadOnlyWithoutListIndex, WithoutAnyIndex };

class ListOrderTest : public ::testing::TestWithParam<Opened> {
protected:
    std::shared_ptr<Database> open() {
        switch (GetParam()) {
        case Opened::WritableGainsListIndex:
            return file.open();
        case Opened::ReadOnlyWithoutListIndex:
            return openReadOnly(file.path());
        case Opened::WithoutAnyIndex:
            return bare.open();
        }
        return {};
    }
    DictionaryFile file{kRows};
    DictionaryFile bare{kRows, false};
};

TEST_P(ListOrderTest, WholeTableAndPrefixesComeInListOrder) {
    auto db = open();
    if (GetParam() == Opened::WritableGainsListIndex) {
        sqlite::Connection check(file.path(), sqlite::OpenMode::ReadOnly);
        EXPECT_TRUE(findListIndex(check, QStringLiteral("words"), QStringLiteral("headword")));
    }
    EXPECT_EQ(listed(*db, QStringLiteral("words")), kListOrder);
    EXPECT_EQ(listed(*db, prefix("a")), (QStringList{"ABEL", "abel", "Abel", "Aeneas"}));
    EXPECT_EQ(listed(*db, prefix("e")), (QStringList{"Eden", "Ephah"})) << "É is not E";
    EXPECT_EQ(listed(*db, prefix("st")), (QStringList{"Strasse", "Straße", "Straw"}));
    // Typographic and straight apostrophes are one character, typed or stored.
    for (const char* typed : {"jacob's", "JACOB’S", "jacobʼs"})
        EXPECT_EQ(listed(*db, prefix(QString::fromUtf8(typed))),
                  (QStringList{"Jacob’s Well", "Jacob's well"}))
            << typed;
    EXPECT_EQ(listed(*db, prefix("?a*")), (QStringList{"Jacob’s Well", "Jacob's well", "Jacobs"}));
    // The table's own order is untouched for plain recordsets.
    EXPECT_EQ(readColumn(*db->OpenRecordset(QStringLiteral("words"), dbOpenTable),
                         QStringLiteral("headword"))
                  .first(),
              QStringLiteral("Zuzims"));
}

INSTANTIATE_TEST_SUITE_P(Files, ListOrderTest,
                         ::testing::Values(Opened::WritableGainsListIndex,
                                           Opened::ReadOnlyWithoutListIndex,
                                           Opened::WithoutAnyIndex));

TEST(ListOrder, APrefixTheListIndexCannotServeIsOrderedInMemory) {
    // U+FFFF sorts after every letter, so "b\uFFFFz" lies beyond the list index's range for
    // the prefix "b" although it begins with b: the count check must catch it.
    DictionaryFile file{{QString::fromUtf16(u"b\uFFFFz"), "1"}, {"Bb", "2"}, {"ba", "3"}};
    auto db = file.open();
    EXPECT_EQ(listed(*db, prefix("b")), (QStringList{"ba", "Bb", QString::fromUtf16(u"b\uFFFFz")}));
}

// A file whose indexes were built by "another version" of the collations (here: the reverse
// order) and that records an older version, as a newer ICU or Qt would leave it.
class StaleIndexTest : public ::testing::Test {
protected:
    StaleIndexTest() {
        sqlite::Connection db(file.path(), sqlite::OpenMode::ReadWrite);
        db.exec(QStringLiteral("DROP INDEX words_headword_nocase"));
        for (const char* collation : {"TOLVANE_NOCASE", "TOLVANE_LIST"})
            sqlite3_create_collation_v2(db.handle(), collation, SQLITE_UTF8, nullptr, reversed,
                                        nullptr);
        db.exec(QStringLiteral("CREATE INDEX words_headword_nocase ON words (headword COLLATE "
                               "TOLVANE_NOCASE); CREATE INDEX words_headword_list ON words "
                               "(headword COLLATE TOLVANE_LIST)"));
        writeMetadata(db, kCaseFoldVersionKey, QStringLiteral("case folding rule 1, Unicode 13"));
        writeMetadata(db, kListVersionKey, QStringLiteral("ICU 67.1, root collation 153.100"));
    }
    static int reversed(void*, int na, const void* a, int nb, const void* b) {
        return -QByteArrayView(static_cast<const char*>(a), na)
                    .compare(QByteArrayView(static_cast<const char*>(b), nb));
    }
    QString integrity() {
        sqlite::Connection db(file.path(), sqlite::OpenMode::ReadOnly);
        sqlite::Statement check(db, QStringLiteral("PRAGMA integrity_check"));
        return check.step() ? check.columnText(0) : QString();
    }
    QString recorded(const char* key) {
        sqlite::Connection db(file.path(), sqlite::OpenMode::ReadOnly);
        return readMetadata(db, QString::fromLatin1(key)).value_or(QString());
    }
    void expectRightAnswers(Database& db) {
        EXPECT_EQ(listed(db, QStringLiteral("words")), kListOrder);
        EXPECT_EQ(listed(db, prefix("ab")), (QStringList{"ABEL", "abel", "Abel"}));
        EXPECT_EQ(db.OpenRecordset(QStringLiteral("SELECT * FROM words WHERE headword = 'eden'"))
                      ->RecordCount(),
                  1);
    }
    DictionaryFile file{kRows};
};

TEST_F(StaleIndexTest, AWritableFileHasItsIndexesRebuiltAndTheVersionsRecorded) {
    ASSERT_NE(integrity(), QStringLiteral("ok")) << "the faked index must be out of order";
    auto db = file.open();
    expectRightAnswers(*db);
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
    EXPECT_NE(recorded(kListVersionKey), QStringLiteral("ICU 67.1, root collation 153.100"));
    EXPECT_TRUE(recorded(kCaseFoldVersionKey).startsWith(QStringLiteral("case folding rule 2")));
    EXPECT_EQ(file.rowsOnDisk(), kRows);
}

TEST_F(StaleIndexTest, AReadOnlyFileIsAnsweredWithoutItsStaleIndexes) {
    auto db = openReadOnly(file.path());
    expectRightAnswers(*db);
    EXPECT_EQ(recorded(kListVersionKey), QStringLiteral("ICU 67.1, root collation 153.100"));
}

TEST(OldFile, GainsTheListIndexOnFirstOpenAndKeepsEveryRow) {
    DictionaryFile file{kRows};
    {
        // As files were before the list order: a headword index and no recorded versions.
        sqlite::Connection db(file.path(), sqlite::OpenMode::ReadWrite);
        db.exec(QStringLiteral("DROP TABLE tolvane_metadata"));
        ASSERT_FALSE(findListIndex(db, QStringLiteral("words"), QStringLiteral("headword")));
    }
    auto db = file.open();
    EXPECT_EQ(listed(*db, QStringLiteral("words")), kListOrder);
    sqlite::Connection check(file.path(), sqlite::OpenMode::ReadOnly);
    EXPECT_TRUE(findListIndex(check, QStringLiteral("words"), QStringLiteral("headword")));
    EXPECT_EQ(file.rowsOnDisk(), kRows);
}

} // namespace
} // namespace tolvane::test
