// The data operations against a real dictionary file built by the import: each leaves the
// recordset the window relies on, and every change is in the file when it returns.
#include "data/DataOperations.h"
#include "data/WrittenContent.h"
#include "import/CsvImport.h"
#include "support/TestSupport.h"

#include "engine/EngineError.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace tolvane;
using engine::EngineError;
using Rs = std::shared_ptr<engine::Recordset>;

namespace {

// Table order matters: the duplicates LET, LET, Let come in this order.
const QByteArray kKingJames = "field1,field2,field3,notes\r\n"
                              "ABASE,To humble.,\"{\\rtf1\\ansi\\pard Ezek. 21:26\\par\r\n}\",n\r\n"
                              "abate,To lessen.,Lev. 27:18,n\r\n"
                              "Aaron's rod,The rod that budded.,=,n\r\n"
                              "LET,To hinder.,Rom. 1:13,n\r\n"
                              "LET,To allow.,Ex. 5:4,n\r\n"
                              "Let,\"Line one\r\nline two\",Gen. 1:3,n\r\n"
                              "ZEAL,Ardour.,Ps. 69:9,n\r\n";

int failureNumber(const std::function<void()>& step) {
    try {
        step();
    } catch (const EngineError& e) {
        return e.number();
    }
    return 0;
}

class DataOperations : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        test::writeFile(dir.filePath("kjv.csv"), kKingJames);
        import::CsvImportRequest request;
        request.dictionary = &config;
        request.input = dir.filePath("kjv.csv");
        request.output = data::dictionaryPath(config, dir.path());
        import::importCsv(request);
        opened = data::openDictionary(config, dir.path());
    }
    void TearDown() override {
        if (opened.db)
            data::closeDictionary(opened.db);
    }

    // The headword of every row of rs, walked from the first.
    QStringList headwords(const Rs& rs) {
        QStringList out;
        if (rs->RecordCount() == 0)
            return out;
        rs->MoveFirst();
        for (int i = rs->RecordCount(); i > 0; --i) {
            out << data::readText(rs, config.headwordColumn);
            rs->MoveNext();
        }
        return out;
    }
    QStringList tableHeadwords() { return headwords(data::openTable(config, opened.db)); }

    QTemporaryDir dir;
    const data::DictionaryConfig& config = data::kingJamesConfig();
    data::OpenedDictionary opened;
};

} // namespace

TEST_F(DataOperations, OpenTheDictionaryFileInTheFolderAndItsWholeTable) {
    EXPECT_EQ(opened.ws, engine::DBEngine::instance().Workspaces(0));
    EXPECT_EQ(opened.db->Name(), dir.path() + QStringLiteral("/db2.mdb"));
    EXPECT_FALSE(opened.db->isReadOnly());

    const Rs table = data::openTable(config, opened.db);
    EXPECT_EQ(table->Type(), engine::dbOpenTable);
    EXPECT_EQ(table->RecordCount(), 7);
    EXPECT_EQ(headwords(table),
              (QStringList{"ABASE", "abate", "Aaron's rod", "LET", "LET", "Let", "ZEAL"}));
}

TEST_F(DataOperations, SearchOpensTheTableWhenEmptyAndThePrefixQueryOtherwise) {
    EXPECT_EQ(data::openSearch(config, opened.db, "")->Type(), engine::dbOpenTable);

    const Rs prefix = data::openSearch(config, opened.db, "aB");
    EXPECT_EQ(prefix->Type(), engine::dbOpenDynaset);
    EXPECT_EQ(headwords(prefix), (QStringList{"ABASE", "abate"}));
    // The engine's pattern characters typed by the user stay pattern characters.
    EXPECT_EQ(headwords(data::openPrefix(config, opened.db, "a?a")),
              (QStringList{"ABASE", "abate"}));
    EXPECT_EQ(headwords(data::openPrefix(config, opened.db, "*t")),
              (QStringList{"abate", "LET", "LET", "Let"}));
    EXPECT_EQ(data::openPrefix(config, opened.db, "q")->RecordCount(), 0);
    // A quote typed in the search box is searched for, not a broken query.
    EXPECT_EQ(headwords(data::openPrefix(config, opened.db, "aaron's")),
              QStringList{"Aaron's rod"});
    EXPECT_EQ(data::openPrefix(config, opened.db, "x' OR 'a'='a")->RecordCount(), 0);
}

TEST_F(DataOperations, HeadwordQueryStandsOnTheFirstMatchingRow) {
    const Rs rs = data::openHeadword(config, opened.db, "  let ");
    EXPECT_EQ(rs->Type(), engine::dbOpenDynaset);
    EXPECT_EQ(rs->RecordCount(), 3); // every letter case
    const data::Entry entry = data::readEntry(config, rs);
    EXPECT_EQ(entry.headword, QStringLiteral("LET"));
    EXPECT_EQ(entry.definition, QStringLiteral("To hinder."));
    EXPECT_EQ(entry.scripture, QStringLiteral("Rom. 1:13"));

    const data::Entry proper =
        data::readEntry(config, data::openHeadword(config, opened.db, "Aaron's rod"));
    EXPECT_EQ(proper.scripture, QStringLiteral("="));
    const data::Entry rich =
        data::readEntry(config, data::openHeadword(config, opened.db, "abase"));
    EXPECT_EQ(rich.scripture, QStringLiteral("{\\rtf1\\ansi\\pard Ezek. 21:26\\par\r\n}"));
    const data::Entry lines = data::readEntry(config, data::openHeadword(config, opened.db, "Let"));
    EXPECT_EQ(lines.headword, QStringLiteral("LET"));

    EXPECT_EQ(failureNumber([&] { data::openHeadword(config, opened.db, "NOWHERE"); }),
              engine::err::NoCurrentRecord);
}

TEST_F(DataOperations, AddPutsTheRowIntoTheTableWhateverSetIsCurrent) {
    const Rs rs = data::openPrefix(config, opened.db, "z");
    data::addRow(rs, config, "WIST", "Knew.", "{\\rtf1 Ex. 34:29\\par}");

    EXPECT_EQ(tableHeadwords().size(), 8);
    const Rs added = data::openHeadword(config, opened.db, "wist");
    const data::Entry entry = data::readEntry(config, added);
    EXPECT_EQ(entry.headword, QStringLiteral("WIST"));
    EXPECT_EQ(entry.definition, QStringLiteral("Knew."));
    EXPECT_EQ(entry.scripture, QStringLiteral("{\\rtf1 Ex. 34:29\\par}"));
    // A column the window never writes is left at the engine's default.
    EXPECT_TRUE(data::readColumn(added, "notes").isNull());
    EXPECT_EQ(data::readText(added, "notes"), QString());
    EXPECT_EQ(data::readText(data::openHeadword(config, opened.db, "ZEAL"), "notes"),
              QStringLiteral("n"));
}

TEST_F(DataOperations, ChangeAndDeleteActOnTheCurrentRowOnly) {
    data::changeRow(data::openHeadword(config, opened.db, "LET"), config, "LET", "To prevent.",
                    "{\\rtf1 Proper Name\\par}");
    const Rs all = data::openHeadword(config, opened.db, "LET");
    QStringList definitions;
    for (int i = 0; i < 3; ++i, all->MoveNext())
        definitions << data::readText(all, config.definitionColumn);
    EXPECT_EQ(definitions, (QStringList{"To prevent.", "To allow.", "Line one\r\nline two"}));

    data::deleteRow(data::openHeadword(config, opened.db, "let"));
    EXPECT_EQ(tableHeadwords(),
              (QStringList{"ABASE", "abate", "Aaron's rod", "LET", "Let", "ZEAL"}));
    EXPECT_EQ(data::readText(data::openHeadword(config, opened.db, "LET"), config.definitionColumn),
              QStringLiteral("To allow."));
}

TEST_F(DataOperations, ChangesAreInTheFileWhenTheyReturn) {
    data::addRow(data::openTable(config, opened.db), config, "HOLPEN", "Helped.", "Ps. 83:8");
    data::deleteRow(data::openHeadword(config, opened.db, "ZEAL"));

    // A second, independent opening of the file sees both.
    const auto other = engine::DBEngine::instance().Workspaces(0)->OpenDatabase(
        data::dictionaryPath(config, dir.path()));
    EXPECT_EQ(headwords(data::openTable(config, other)),
              (QStringList{"ABASE", "abate", "Aaron's rod", "LET", "LET", "Let", "HOLPEN"}));
    other->Close();
}

TEST_F(DataOperations, DictionaryWithoutScriptureWritesTwoColumns) {
    const data::DictionaryConfig& eastons = data::eastonsConfig();
    test::writeFile(dir.filePath("e.csv"), "dbword,dbdesc\r\nAbba,Father.\r\n");
    import::CsvImportRequest request;
    request.dictionary = &eastons;
    request.input = dir.filePath("e.csv");
    request.output = data::dictionaryPath(eastons, dir.path());
    import::importCsv(request);

    const auto e = data::openDictionary(eastons, dir.path());
    data::addRow(data::openTable(eastons, e.db), eastons, "Abel", "Breath.", "ignored");
    const data::Entry entry = data::readEntry(eastons, data::openHeadword(eastons, e.db, "abel"));
    EXPECT_EQ(entry.headword, QStringLiteral("Abel"));
    EXPECT_EQ(entry.definition, QStringLiteral("Breath."));
    EXPECT_EQ(entry.scripture, QString());
    data::closeDictionary(e.db);
}

TEST_F(DataOperations, CloseEndsTheDatabaseAndItsRecordsets) {
    const Rs rs = data::openTable(config, opened.db);
    data::closeDictionary(opened.db);
    EXPECT_EQ(failureNumber([&] { rs->MoveFirst(); }), engine::err::ObjectClosed);
    EXPECT_EQ(failureNumber([&] { data::openTable(config, opened.db); }),
              engine::err::ObjectClosed);
    opened.db.reset();
}

TEST(DataOperationsOpen, AMissingFileIsReportedWithItsPath) {
    QTemporaryDir empty;
    try {
        data::openDictionary(data::hitchcockConfig(), empty.path());
        FAIL() << "opened a missing file";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), engine::err::FileNotFound);
        EXPECT_TRUE(e.message().contains(empty.path() + QStringLiteral("/names.mdb")))
            << e.message().toStdString();
    }
    EXPECT_EQ(QDir(empty.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
}

// Replacing a dictionary asks first only when the user's own entries could be lost: the
// import's record tells a file as written from one whose table was changed since.
TEST_F(DataOperations, WrittenContentTellsTheUsersEditsFromWhatTheImportWrote) {
    const QString file = data::dictionaryPath(config, dir.path());
    using data::WrittenContent;
    EXPECT_EQ(data::writtenContentOf(file, config), WrittenContent::AsWritten);
    data::changeRow(data::openHeadword(config, opened.db, "ZEAL"), config, "ZEAL", "Zeal.",
                    "Ps. 69:9");
    EXPECT_EQ(data::writtenContentOf(file, config), WrittenContent::Changed);
    data::changeRow(data::openHeadword(config, opened.db, "ZEAL"), config, "ZEAL", "Ardour.",
                    "Ps. 69:9");
    EXPECT_EQ(data::writtenContentOf(file, config), WrittenContent::AsWritten); // undone
    data::addRow(data::openTable(config, opened.db), config, "ZEAL", "Ardour.", "Ps. 69:9");
    EXPECT_EQ(data::writtenContentOf(file, config), WrittenContent::Changed);
    const Rs added = data::openHeadword(config, opened.db, "ZEAL");
    added->MoveNext();
    data::deleteRow(added);
    EXPECT_EQ(data::writtenContentOf(file, config), WrittenContent::AsWritten);
    // An empty value is not a missing one.
    data::changeRow(data::openHeadword(config, opened.db, "ABASE"), config, "ABASE", "To humble.",
                    "");
    EXPECT_EQ(data::writtenContentOf(file, config), WrittenContent::Changed);

    EXPECT_EQ(data::writtenContentOf(dir.filePath("none.mdb"), config), WrittenContent::Missing);
    test::writeFile(dir.filePath("legacy.mdb"), QByteArray(4096, '\x01'));
    EXPECT_EQ(data::writtenContentOf(dir.filePath("legacy.mdb"), config), WrittenContent::Unknown);
}
