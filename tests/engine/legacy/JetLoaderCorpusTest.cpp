// Reading the real Jet 3 and Jet 4 databases of the corpus through the helper process and
// comparing with what Debian's mdb-export made of the same tables.

#include "LegacyCorpus.h"
#include "LongMemoFixture.h"
#include "MdbExportCsv.h"
#include "engine/EngineError.h"
#include "engine/legacy/JetLoader.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>

using namespace tolvane::engine;
using namespace tolvane::engine::legacy;
using tolvane::test::CorpusTableExport;

namespace {

constexpr int kOle = 0x0b;

QString sanitized(const QString& tableName) {
    QString s = tableName;
    s.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
    return s;
}

const LegacyTable* tableBySanitizedName(const LegacyDatabase& db, const QString& name) {
    for (const LegacyTable& t : db.tables)
        if (sanitized(t.name) == name)
            return &t;
    return nullptr;
}

bool lessValue(const LegacyValue& a, const LegacyValue& b) {
    if (a.has_value() != b.has_value())
        return !a.has_value();
    return a.has_value() && *a < *b;
}

bool lessRow(const LegacyRow& a, const LegacyRow& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lessValue);
}

std::string describe(const LegacyRow& row) {
    std::string s = "(";
    for (const LegacyValue& v : row)
        s += (v ? "\"" + v->left(60).toStdString() + "\"" : std::string("NULL")) + ", ";
    return s + ")";
}

class CorpusExport : public ::testing::TestWithParam<CorpusTableExport> {};

TEST_P(CorpusExport, RowsEqualTheLibraryExportWhenSorted) {
    const CorpusTableExport& e = GetParam();
    const tolvane::test::MdbExportCsv csv = tolvane::test::readMdbExportCsv(e.csvPath);
    JetLoadOptions options;
    options.codepage = e.codepage;
    const LegacyDatabase db = loadJetDatabase(e.databasePath, options);
    const LegacyTable* table = tableBySanitizedName(db, e.tableName);
    ASSERT_NE(table, nullptr) << "no table for " << e.tableName.toStdString();
    ASSERT_EQ(table->columns, csv.header);
    ASSERT_EQ(table->rows.size(), csv.rows.size());

    // Some exports left binary columns out (written as ""); those columns are not compared.
    std::vector<bool> compared(csv.header.size(), true);
    for (qsizetype c = 0; c < csv.header.size(); ++c) {
        const bool stripped = std::all_of(csv.rows.begin(), csv.rows.end(), [c](const auto& row) {
            return row[c] && row[c]->isEmpty();
        });
        compared[c] = !(table->columnTypes[c] == kOle && stripped);
    }
    auto project = [&compared](std::vector<LegacyRow> rows) {
        for (LegacyRow& row : rows)
            for (std::size_t c = 0; c < row.size(); ++c)
                if (!compared[c])
                    row[c] = std::nullopt;
        std::sort(rows.begin(), rows.end(), lessRow);
        return rows;
    };
    const std::vector<LegacyRow> ours = project(table->rows);
    const std::vector<LegacyRow> theirs = project(csv.rows);
    for (std::size_t r = 0; r < ours.size(); ++r)
        EXPECT_EQ(ours[r], theirs[r]) << "row " << r << "\n ours:   " << describe(ours[r])
                                      << "\n theirs: " << describe(theirs[r]);
}

std::string exportName(const ::testing::TestParamInfo<CorpusTableExport>& info) {
    QString name = QFileInfo(info.param.csvPath).completeBaseName();
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
    return name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusExport, ::testing::ValuesIn(tolvane::test::corpusTableExports()), exportName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CorpusExport);

TEST(CorpusExports, AllTwentyOneExportsAreFound) {
    TOLVANE_REQUIRE_SHARED(folder, "corpus/mdb");
    EXPECT_EQ(tolvane::test::corpusTableExports().size(), 21u) << folder.toStdString();
}

QString corpusFile(const char* name) {
    return tolvane::test::legacyCorpusFolder() + QLatin1Char('/') + QLatin1String(name);
}

QStringList tableNames(const LegacyDatabase& db) {
    QStringList names;
    for (const LegacyTable& t : db.tables)
        names << t.name;
    return names;
}

TEST(JetTables, Jet3NorthwindListsItsNineUserTablesWithTheirRowCounts) {
    TOLVANE_REQUIRE_SHARED(path, "corpus/mdb/jet3__nwind.mdb");
    const LegacyDatabase db = loadJetDatabase(path);
    EXPECT_EQ(db.format, "JET3");
    QStringList names = tableNames(db);
    names.sort();
    EXPECT_EQ(names, (QStringList{"Categories", "Customers", "Employees", "Order Details", "Orders",
                                  "Products", "Shippers", "Suppliers", QString::fromUtf8("Umsätze")}));
    const std::pair<const char*, std::size_t> counts[] = {
        {"Order Details", 2155}, {"Orders", 830},   {"Products", 77},   {"Shippers", 3},
        {"Categories", 8},       {"Customers", 91}, {"Employees", 9},   {"Suppliers", 29},
        {"Umsätze", 830}};
    for (const auto& [name, rows] : counts) {
        const LegacyTable* t = db.table(QString::fromUtf8(name));
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(t->rows.size(), rows) << name;
    }
}

TEST(JetTables, LinkedAndEmptyDatabasesHaveNoTablesAndAreNoError) {
    TOLVANE_REQUIRE_SHARED(linked, "corpus/mdb/jet4__linked.mdb");
    EXPECT_TRUE(loadJetDatabase(linked).tables.empty());
    const LegacyDatabase empty = loadJetDatabase(corpusFile("jet4__emptyJet4.mdb"));
    EXPECT_EQ(empty.format, "JET4");
    EXPECT_TRUE(empty.tables.empty());
}

TEST(JetTables, EmptyTablesKeepTheirColumns) {
    TOLVANE_REQUIRE_SHARED(path, "corpus/mdb/jet4__testV2000.mdb");
    const LegacyDatabase db = loadJetDatabase(path);
    const LegacyTable* wide = db.table(QStringLiteral("Table2"));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->columns.size(), 89);
    EXPECT_TRUE(wide->rows.empty());
}

TEST(JetTables, ChosenTablesOnlyAndAMissingOneIsNamed) {
    TOLVANE_REQUIRE_SHARED(path, "corpus/mdb/jet3__nwind.mdb");
    JetLoadOptions options;
    options.tables = {QStringLiteral("Shippers")};
    const LegacyDatabase db = loadJetDatabase(path, options);
    EXPECT_EQ(tableNames(db), QStringList{"Shippers"});

    options.tables = {QStringLiteral("Nonesuch")};
    try {
        loadJetDatabase(path, options);
        FAIL() << "a table that is not there was read";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), err::UnrecognizedFormat);
        EXPECT_TRUE(e.message().contains(QLatin1String("'Nonesuch'"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
    }
}

TEST(JetText, Access97TextIsWindows1252UnlessAnotherCodePageIsChosen) {
    TOLVANE_REQUIRE_SHARED(path, "corpus/mdb/jet3__charsetGBK.mdb");
    // The reader's own environment must not change what a file reads as: not the library's
    // code page, output charset or debug switches.
    qputenv("MDB_JET3_CHARSET", "GBK");
    qputenv("MDBICONV", "ISO-8859-1");
    qputenv("MDBOPTS", "debug_all");
    const LegacyDatabase byDefault = loadJetDatabase(path);
    qunsetenv("MDB_JET3_CHARSET");
    qunsetenv("MDBICONV");
    qunsetenv("MDBOPTS");
    ASSERT_EQ(byDefault.tables.size(), 1u);
    EXPECT_EQ(byDefault.tables[0].rows.at(0).at(1), QString::fromUtf8("GBK±àÂë"));

    for (const char* codepage : {"GBK", "936"}) {
        JetLoadOptions options;
        options.codepage = QLatin1String(codepage);
        const LegacyDatabase chosen = loadJetDatabase(path, options);
        EXPECT_EQ(chosen.tables.at(0).rows.at(0).at(1), QString::fromUtf8("GBK编码")) << codepage;
    }
}

TEST(JetText, AnUnknownCodePageIsNamedInTheError) {
    TOLVANE_REQUIRE_SHARED(path, "corpus/mdb/jet3__charsetGBK.mdb");
    JetLoadOptions options;
    options.codepage = QStringLiteral("no-such-charset");
    try {
        loadJetDatabase(path, options);
        FAIL() << "an unknown code page was accepted";
    } catch (const EngineError& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("no-such-charset"))) << e.message().toStdString();
    }
}

TEST(JetText, Jet4CompressedUnicodeIgnoresTheCodePage) {
    TOLVANE_REQUIRE_SHARED(path, "corpus/mdb/jet4__testUnicodeCompV2003.mdb");
    JetLoadOptions options;
    options.codepage = QStringLiteral("GBK");
    const LegacyDatabase db = loadJetDatabase(path, options);
    const LegacyTable* t = db.table(QStringLiteral("Table"));
    ASSERT_NE(t, nullptr);
    QStringList texts;
    for (const LegacyRow& row : t->rows)
        texts << row.at(1).value_or(QString());
    // Polytonic Greek, written as escapes so that no editor normalises it.
    EXPECT_TRUE(texts.contains(QString::fromUtf16(
        u"\u03f0\u03b1\u1f76 \u03c4\u1f79\u03c4' \u1f10\u03b3\u1f7c \u039a\u1f7b\u03f0\u03bb\u03c9\u03c0\u03b1")));
    EXPECT_TRUE(texts.contains(QString::fromUtf8("漢字仮名交じり文")));
    EXPECT_TRUE(texts.contains(QString::fromUtf8("ääkkösiä")));
}

TEST(JetText, AMemoLongerThanTheLibrarysBufferComesThroughWhole) {
    TOLVANE_REQUIRE_SHARED(source, "corpus/mdb/jet3__test2V1997.mdb");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const tolvane::test::LongMemo memo = tolvane::test::writeLongMemoDatabase(source, dir.path(), 100'000);
    const LegacyDatabase db = loadJetDatabase(memo.path);
    const LegacyTable* t = db.table(QStringLiteral("MSP_PROJECTS"));
    ASSERT_NE(t, nullptr);
    const qsizetype column = t->columns.indexOf(QStringLiteral("PROJ_PROP_AUTHOR"));
    ASSERT_GE(column, 0);
    const LegacyValue& value = t->rows.at(0).at(std::size_t(column));
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->size(), memo.expected.size());
    EXPECT_EQ(*value, memo.expected);
    // More than the library's default 16 KB buffer and the helper's own 64 KB one.
    EXPECT_GT(value->toUtf8().size(), 64 * 1024);
}

TEST(JetFiles, ReadingLeavesTheFileByteForByteUnchanged) {
    TOLVANE_REQUIRE_SHARED(source, "corpus/mdb/jet4__compIndexTestV2000.mdb");
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("data.mdb"));
    ASSERT_TRUE(QFile::copy(source, copy));
    QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray before = tolvane::test::sha256(copy);
    const QDateTime modified = QFileInfo(copy).lastModified();
    EXPECT_EQ(loadJetDatabase(copy).tables.at(0).rows.size(), 512u);
    EXPECT_EQ(tolvane::test::sha256(copy), before);
    EXPECT_EQ(QFileInfo(copy).lastModified(), modified);
}

} // namespace
