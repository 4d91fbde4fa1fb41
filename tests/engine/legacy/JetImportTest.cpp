// Converting legacy Jet files with tolvane-import: every corpus table converts to rows equal
// to the library's own export, in place the legacy file is kept as NAME.mdb.jet and never
// overwritten, and a failed conversion leaves nothing behind.

#include "LegacyCorpus.h"
#include "MdbExportCsv.h"
#include "engine/EngineError.h"
#include "engine/legacy/JetLoader.h"
#include "engine/FileSniffer.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "import/ImportTool.h"
#include "import/JetImport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

using namespace tolvane;
using tolvane::import::ImportError;
using tolvane::import::JetImportRequest;
using Value = std::optional<QString>;
using Rows = std::vector<std::vector<Value>>;

namespace {

Rows storedRows(const QString& file, const QString& table, const QStringList& columns) {
    engine::sqlite::Connection connection(file, engine::sqlite::OpenMode::ReadOnly);
    QStringList quoted;
    for (const QString& c : columns)
        quoted << engine::quoteIdentifier(c);
    auto select = connection.prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                                         .arg(quoted.join(QStringLiteral(", ")), engine::quoteIdentifier(table)));
    Rows rows;
    while (select.step()) {
        std::vector<Value> row;
        for (int i = 0; i < columns.size(); ++i)
            row.push_back(select.isNull(i) ? Value() : Value(select.columnText(i)));
        rows.push_back(std::move(row));
    }
    return rows;
}

QStringList storedTables(const QString& file) {
    engine::sqlite::Connection connection(file, engine::sqlite::OpenMode::ReadOnly);
    auto select = connection.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    QStringList names;
    while (select.step())
        names << select.columnText(0);
    return names;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool lessValue(const Value& a, const Value& b) {
    if (a.has_value() != b.has_value())
        return !a.has_value();
    return a.has_value() && *a < *b;
}

Rows sorted(Rows rows) {
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lessValue);
    });
    return rows;
}

QString sanitized(QString name) {
    return name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
}

// A writable copy of a corpus file (the corpus itself is read-only).
QString copyOf(const QString& source, const QString& folder, const QString& name) {
    const QString path = QDir(folder).filePath(name);
    if (!QFile::copy(source, path))
        throw std::runtime_error("cannot copy " + source.toStdString());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

TEST(JetImport, EveryCorpusTableConvertsTableByTableToRowsEqualToTheExport) {
    TOLVANE_REQUIRE_SHARED(folder, "corpus/mdb");
    const auto exports = tolvane::test::corpusTableExports();
    ASSERT_FALSE(exports.empty());
    for (const auto& e : exports) {
        SCOPED_TRACE(e.csvPath.toStdString());
        QTemporaryDir dir;
        const QByteArray legacyHash = test::sha256(e.databasePath);
        QString table; // as the file spells it; the CSV's name has "_" for other characters
        JetImportRequest request;
        request.input = e.databasePath;
        request.output = dir.filePath(QStringLiteral("converted.db"));
        request.codepage = e.codepage;
        // First the whole file, to learn the table's name as the file spells it.
        const auto whole = import::importJet(request);
        for (const auto& [name, rows] : whole.tables)
            if (sanitized(name) == e.tableName)
                table = name;
        ASSERT_FALSE(table.isEmpty());
        // Then that table alone.
        QFile::remove(request.output);
        request.tables = {table};
        const auto one = import::importJet(request);
        ASSERT_EQ(one.tables.size(), 1u);
        EXPECT_EQ(storedTables(request.output), QStringList{table});

        const test::MdbExportCsv csv = test::readMdbExportCsv(e.csvPath);
        Rows expected = csv.rows;
        Rows stored = storedRows(request.output, table, csv.header);
        ASSERT_EQ(stored.size(), expected.size());
        // Binary columns the export left out ("" in every row) are not compared.
        for (std::size_t c = 0; c < std::size_t(csv.header.size()); ++c) {
            const bool stripped = !expected.empty() && std::all_of(expected.begin(), expected.end(), [c](const auto& r) {
                return r[c] && r[c]->isEmpty();
            });
            if (stripped)
                for (std::size_t r = 0; r < expected.size(); ++r)
                    expected[r][c] = stored[r][c] = std::nullopt;
        }
        EXPECT_EQ(sorted(stored), sorted(expected));
        EXPECT_EQ(test::sha256(e.databasePath), legacyHash);
    }
}

TEST(JetImport, InPlaceKeepsTheLegacyFileAsDotJetAndTheNewFileTakesItsName) {
    TOLVANE_REQUIRE_SHARED(source, "corpus/mdb/jet4__compIndexTestV2000.mdb");
    QTemporaryDir dir;
    const QString path = copyOf(source, dir.path(), QStringLiteral("words.mdb"));
    const QByteArray legacyHash = test::sha256(path);

    JetImportRequest request;
    request.input = path;
    const auto result = import::importJet(request);
    EXPECT_EQ(result.written, path);
    EXPECT_EQ(result.kept, path + QStringLiteral(".jet"));
    EXPECT_EQ(entries(dir.path()), (QStringList{"words.mdb", "words.mdb.jet"}));
    EXPECT_EQ(test::sha256(result.kept), legacyHash);
    EXPECT_EQ(engine::sniffDatabaseFile(path).kind, engine::FileKind::SQLite);
    EXPECT_EQ(storedRows(path, QStringLiteral("Table1"), {QStringLiteral("CD_AGENTE")}).size(), 512u);
    EXPECT_TRUE(QFileInfo(path).isWritable());

    // Converting again: the file is no longer a legacy one, and the kept one stays as it is.
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    EXPECT_EQ(import::runImportTool({"tolvane-import", path}, out, err), import::ExitUsage);
    EXPECT_TRUE(errText.contains(QLatin1String("not a legacy Jet database"))) << errText.toStdString();
    EXPECT_EQ(test::sha256(result.kept), legacyHash);
}

TEST(JetImport, AnExistingDotJetIsNeverOverwrittenAndNothingIsWritten) {
    TOLVANE_REQUIRE_SHARED(source, "corpus/mdb/jet3__delTestV1997.mdb");
    QTemporaryDir dir;
    const QString path = copyOf(source, dir.path(), QStringLiteral("names.mdb"));
    test::writeFile(path + QStringLiteral(".jet"), "an earlier conversion's legacy file");
    const QByteArray hash = test::sha256(path);
    JetImportRequest request;
    request.input = path;
    try {
        import::importJet(request);
        FAIL() << "converted over an existing .jet file";
    } catch (const ImportError& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("never overwritten"))) << e.describe().toStdString();
    }
    EXPECT_EQ(test::readFile(path + QStringLiteral(".jet")), "an earlier conversion's legacy file");
    EXPECT_EQ(test::sha256(path), hash);
    EXPECT_EQ(entries(dir.path()), (QStringList{"names.mdb", "names.mdb.jet"}));
}

TEST(JetImport, AFailedConversionLeavesNothingBehind) {
    TOLVANE_REQUIRE_SHARED(damaged, "corpus/mdb/corrupt__nwind_truncated_1MiB.mdb");
    const QString nwind = *test::sharedPath(QStringLiteral("corpus/mdb/jet3__nwind.mdb"));
    QTemporaryDir dir;
    const QString inPlace = copyOf(damaged, dir.path(), QStringLiteral("data.mdb"));
    const QString wrongTables = copyOf(nwind, dir.path(), QStringLiteral("nwind.mdb"));
    const QStringList before = entries(dir.path());
    const QByteArray hash = test::sha256(inPlace);

    struct Case {
        const char* what;
        JetImportRequest request;
    };
    std::vector<Case> cases;
    cases.push_back({"damaged, in place", {inPlace, {}, nullptr, {}, {}, {}}});
    cases.push_back({"damaged, elsewhere", {inPlace, dir.filePath(QStringLiteral("out.db")), nullptr, {}, {}, {}}});
    cases.push_back({"not the dictionary's table", {wrongTables, {}, import::dictionaryByName("eastons"), {}, {}, {}}});
    cases.push_back({"no such table", {wrongTables, {}, nullptr, {}, {QStringLiteral("Nonesuch")}, {}}});
    cases.push_back({"unknown code page", {wrongTables, {}, nullptr, QStringLiteral("no-such-charset"), {}, {}}});
    cases.push_back({"output is the legacy file", {wrongTables, wrongTables, nullptr, {}, {}, {}}});
    for (const Case& c : cases) {
        EXPECT_THROW(import::importJet(c.request), ImportError) << c.what;
        EXPECT_EQ(entries(dir.path()), before) << c.what;
    }
    EXPECT_EQ(test::sha256(inPlace), hash);
}

TEST(JetImport, AHelperThatFloodsGarbageFailsTheConversionCleanly) {
    TOLVANE_REQUIRE_SHARED(source, "corpus/mdb/jet3__delTestV1997.mdb");
    QTemporaryDir dir;
    const QString path = copyOf(source, dir.path(), QStringLiteral("names.mdb"));
    const QString helper = dir.filePath(QStringLiteral("helper.sh"));
    test::writeFile(helper, "#!/bin/sh\nprintf 'TOLVJET\\001'\nexec yes garbage\n");
    QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList before = entries(dir.path());
    JetImportRequest request;
    request.input = path;
    request.helperPath = helper;
    EXPECT_THROW(import::importJet(request), ImportError);
    EXPECT_EQ(entries(dir.path()), before);
}

TEST(JetImportCommand, ConvertsElsewhereWithACodePageAndLeavesTheLegacyFileAlone) {
    TOLVANE_REQUIRE_SHARED(source, "corpus/mdb/jet3__charsetGBK.mdb");
    QTemporaryDir dir;
    const QString legacy = copyOf(source, dir.path(), QStringLiteral("chinese.mdb"));
    const QByteArray hash = test::sha256(legacy);
    const QString output = dir.filePath(QStringLiteral("chinese.db"));
    // The real program, as a user runs it.
    QProcess tool;
    tool.start(test::binDir() + QStringLiteral("/tolvane-import"),
               {QStringLiteral("--codepage"), QStringLiteral("GBK"), legacy, output});
    ASSERT_TRUE(tool.waitForFinished(60'000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(tool.readAllStandardOutput().contains("1 rows into table table1"));
    EXPECT_EQ(storedRows(output, QStringLiteral("table1"), {QStringLiteral("field1")}),
              (Rows{{QString::fromUtf8("GBK编码")}}));
    EXPECT_EQ(test::sha256(legacy), hash);
    EXPECT_FALSE(QFileInfo::exists(legacy + QStringLiteral(".jet")));
}

TEST(JetImportCommand, RefusesCodePageForACsvFileAndNamesTheFileOnFailure) {
    TOLVANE_REQUIRE_SHARED(damaged, "corpus/mdb/corrupt__testV1997_truncated_8KiB.mdb");
    QTemporaryDir dir;
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    test::writeFile(dir.filePath(QStringLiteral("words.csv")), "dbword,dbdesc\nA,b\n");
    EXPECT_EQ(import::runImportTool({"tolvane-import", "--codepage", "1251", dir.filePath("words.csv"),
                                     dir.filePath("data.mdb")},
                                    out, err),
              import::ExitUsage);
    const QString path = copyOf(damaged, dir.path(), QStringLiteral("db2.mdb"));
    errText.clear();
    EXPECT_EQ(import::runImportTool({"tolvane-import", path}, out, err), import::ExitFailed);
    EXPECT_TRUE(errText.contains(path + QStringLiteral(": Cannot read the legacy database"))) << errText.toStdString();
    EXPECT_TRUE(errText.contains(QStringLiteral("nothing written; %1 is unchanged").arg(path))) << errText.toStdString();
}

} // namespace
