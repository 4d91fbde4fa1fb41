// A legacy Jet file opened as a dictionary: a configuration pointed at a real table (the
// Northwind customers, company name as headword) must answer exactly as the same rows in the
// program's own format, and must refuse every write without touching the file.

#include "data/DataOperations.h"
#include "data/DictionaryConfig.h"
#include "engine/EngineError.h"
#include "engine/OpenDatabase.h"
#include "engine/Schema.h"
#include "engine/legacy/JetDatabase.h"
#include "engine/legacy/LegacyCopy.h"
#include "engine/sqlite/Connection.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

using namespace tolvane;
using namespace tolvane::engine;

namespace {

data::DictionaryConfig customersConfig() {
    data::DictionaryConfig c;
    c.windowName = QStringLiteral("frmEastons");
    c.fileName = QStringLiteral("data.mdb");
    c.pathSuffix = QStringLiteral("/data.mdb");
    c.table = QStringLiteral("Customers");
    c.headwordColumn = QStringLiteral("CompanyName");
    c.definitionColumn = QStringLiteral("Address");
    return c;
}

using Listing = std::vector<std::pair<QString, QString>>; // headword, definition

// Walks a recordset the way the word list fills: RecordCount rows from the first.
Listing listing(const data::DictionaryConfig& c, const std::shared_ptr<Recordset>& rs) {
    Listing rows;
    if (rs->RecordCount() == 0)
        return rows;
    rs->MoveLast();
    rs->MoveFirst();
    const int count = rs->RecordCount();
    for (int i = 0; i < count; ++i) {
        rows.emplace_back(data::readText(rs, c.headwordColumn), data::readText(rs, c.definitionColumn));
        rs->MoveNext();
    }
    return rows;
}

class LegacyDictionary : public ::testing::Test {
protected:
    void SetUp() override {
        auto source = test::sharedPath(QStringLiteral("corpus/mdb/jet3__nwind.mdb"));
        if (!source)
            GTEST_SKIP() << "shared reference material not found: corpus/mdb/jet3__nwind.mdb";
        ASSERT_TRUE(m_legacyDir.isValid() && m_convertedDir.isValid());
        m_legacyPath = m_legacyDir.filePath(QStringLiteral("data.mdb"));
        ASSERT_TRUE(QFile::copy(*source, m_legacyPath));
        QFile::setPermissions(m_legacyPath, QFile::ReadOwner | QFile::WriteOwner);

        // The same rows in the program's own format, with the headword index a dictionary
        // file has.
        const legacy::LegacyDatabase rows = legacy::loadJetDatabase(m_legacyPath);
        sqlite::Connection file(m_convertedDir.filePath(QStringLiteral("data.mdb")),
                                sqlite::OpenMode::ReadWriteCreate);
        legacy::copyLegacyTables(rows, file);
        createHeadwordIndex(file, m_config.table, m_config.headwordColumn);

        legacy::enableLegacyJetFiles();
        m_legacy = data::openDictionary(m_config, m_legacyDir.path()).db;
        m_converted = data::openDictionary(m_config, m_convertedDir.path()).db;
    }
    void TearDown() override { setJetFileOpener({}); }

    data::DictionaryConfig m_config = customersConfig();
    QTemporaryDir m_legacyDir;
    QTemporaryDir m_convertedDir;
    QString m_legacyPath;
    std::shared_ptr<Database> m_legacy;
    std::shared_ptr<Database> m_converted;
};

TEST_F(LegacyDictionary, OpensReadOnlyUnderItsOwnPath) {
    EXPECT_TRUE(m_legacy->isReadOnly());
    EXPECT_EQ(m_legacy->Name(), m_legacyPath);
    EXPECT_FALSE(m_converted->isReadOnly());
}

TEST_F(LegacyDictionary, TableRecordsetListsEveryRowInTheFilesOrder) {
    const Listing legacy = listing(m_config, data::openTable(m_config, m_legacy));
    EXPECT_EQ(legacy.size(), 91u);
    EXPECT_EQ(legacy, listing(m_config, data::openTable(m_config, m_converted)));
}

TEST_F(LegacyDictionary, PrefixQueriesAnswerAsOnTheConvertedFile) {
    for (const char* typed : {"a", "A", "al", "ALFREDS", "b", "la", "a?a", "*", "s*a", "Fr", "z",
                              "zzz", "ü", " ", "Berkeley"}) {
        const QString text = QString::fromUtf8(typed);
        const Listing legacy = listing(m_config, data::openSearch(m_config, m_legacy, text));
        EXPECT_EQ(legacy, listing(m_config, data::openSearch(m_config, m_converted, text))) << typed;
    }
    // Letter case is ignored, and the pattern characters work.
    const Listing alfreds = listing(m_config, data::openSearch(m_config, m_legacy, QStringLiteral("alfreds")));
    ASSERT_EQ(alfreds.size(), 1u);
    EXPECT_EQ(alfreds[0].first, QStringLiteral("Alfreds Futterkiste"));
    EXPECT_FALSE(listing(m_config, data::openSearch(m_config, m_legacy, QStringLiteral("a?a"))).empty());
}

TEST_F(LegacyDictionary, HeadwordQueriesAnswerAsOnTheConvertedFile) {
    const Listing all = listing(m_config, data::openTable(m_config, m_legacy));
    for (const auto& [headword, definition] : all) {
        for (const QString& chosen : {headword, QStringLiteral("  ") + headword.toUpper() + QStringLiteral(" ")}) {
            const data::Entry legacy = data::readEntry(m_config, data::openHeadword(m_config, m_legacy, chosen));
            const data::Entry converted = data::readEntry(m_config, data::openHeadword(m_config, m_converted, chosen));
            EXPECT_EQ(legacy.headword, converted.headword) << chosen.toStdString();
            EXPECT_EQ(legacy.definition, converted.definition) << chosen.toStdString();
            EXPECT_EQ(legacy.headword, headword);
        }
    }
    // The address with a line break and a trailing blank inside comes through as it is.
    const data::Entry consh =
        data::readEntry(m_config, data::openHeadword(m_config, m_legacy, QStringLiteral("Consolidated Holdings")));
    EXPECT_EQ(consh.definition, QStringLiteral("Berkeley Gardens\r\n12  Brewery "));
}

TEST_F(LegacyDictionary, StoreAndDeleteAreRefusedAndTheFileIsUntouched) {
    const QByteArray before = test::sha256(m_legacyPath);
    auto rs = data::openHeadword(m_config, m_legacy, QStringLiteral("Alfreds Futterkiste"));
    const std::vector<std::pair<const char*, std::function<void()>>> writes = {
        {"add", [&] { data::addRow(rs, m_config, QStringLiteral("New"), QStringLiteral("Entry"), QString()); }},
        {"change", [&] { data::changeRow(rs, m_config, QStringLiteral("Alfreds"), QStringLiteral("Changed"), QString()); }},
        {"delete", [&] { data::deleteRow(rs); }},
        {"assign", [&] { rs->Fields(m_config.definitionColumn).SetValue(QStringLiteral("x")); }},
        {"update", [&] { rs->Update(); }},
    };
    for (const auto& [what, write] : writes) {
        try {
            write();
            ADD_FAILURE() << what << " succeeded";
        } catch (const EngineError& e) {
            EXPECT_EQ(e.number(), err::ReadOnly) << what;
            EXPECT_TRUE(e.message().contains(
                QStringLiteral("'%1' is a legacy Jet database and is opened read-only. Convert it "
                               "with: tolvane-import %1").arg(m_legacyPath)))
                << e.message().toStdString();
        }
    }
    // Nothing happened: the row still reads as before, the table still has its rows.
    EXPECT_EQ(data::readText(rs, m_config.definitionColumn), QStringLiteral("Obere Str. 57"));
    EXPECT_EQ(data::openTable(m_config, m_legacy)->RecordCount(), 91);
    m_legacy->Close();
    EXPECT_EQ(test::sha256(m_legacyPath), before);
}

TEST(LegacyFiles, APathWithBlanksIsQuotedInTheConversionCommand) {
    TOLVANE_REQUIRE_SHARED(source, "corpus/mdb/jet4__V2003_with-password.mdb");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Bob's dictionaries/names.mdb"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    ASSERT_TRUE(QFile::copy(source, path));
    auto db = legacy::openJetDatabase(path);
    auto rs = db->OpenRecordset(QStringLiteral("Table1"), dbOpenTable);
    try {
        rs->Delete();
        FAIL() << "deleted a row of a legacy file";
    } catch (const EngineError& e) {
        const QString quoted = QStringLiteral("'%1'").arg(path).replace(QStringLiteral("Bob's"), QStringLiteral("Bob'\\''s"));
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("tolvane-import ") + quoted)) << e.message().toStdString();
    }
}

TEST(LegacyFiles, DamagedOrMissingFilesAreRefusedThroughTheWorkspace) {
    TOLVANE_REQUIRE_SHARED(damaged, "corpus/mdb/corrupt__nwind_truncated_1MiB.mdb");
    legacy::enableLegacyJetFiles();
    auto ws = DBEngine::instance().Workspaces(0);
    try {
        ws->OpenDatabase(damaged);
        ADD_FAILURE() << "opened a damaged file";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), err::UnrecognizedFormat);
        EXPECT_TRUE(e.message().contains(damaged)) << e.message().toStdString();
    }
    setJetFileOpener({});
}

} // namespace
