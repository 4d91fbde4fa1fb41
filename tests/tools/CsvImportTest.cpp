// The import: a well-formed CSV becomes a dictionary file holding exactly its rows; anything
// malformed is refused with its line, and then no file is left behind and an existing output
// is not touched.
#include "ImportTestSupport.h"
#include "support/TestSupport.h"

#include "engine/Schema.h"
#include "import/CsvImport.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace tolvane;
using import::ImportError;
using test::Row;

namespace {

class CsvImport : public test::ImportFolderTest {
protected:
    // Runs an import that must be refused; returns the error.
    ImportError refused(const data::DictionaryConfig& dictionary, const QString& input,
                        const QString& output) {
        try {
            test::runImport(dictionary, input, output);
        } catch (const ImportError& e) {
            return e;
        }
        ADD_FAILURE() << "import of " << input.toStdString() << " was accepted";
        return ImportError({}, 0, {});
    }
};

} // namespace

TEST_F(CsvImport, StoresEveryRowByteForByteInTheDictionaryTable) {
    const QByteArray text = "field1,field2,field3\r\n"
                            "ABASE,\"To humble, to lower.\",\"{\\rtf1 Gen. 1:1\\par\r\n}\"\r\n"
                            "Lord,\"line one\r\nline \"\"two\"\"\",=\r\n"
                            "Chald\u00e6an,,   spaced   \r\n";
    const auto result =
        test::runImport(data::kingJamesConfig(), csv("k.csv", text), path("db2.mdb"));
    EXPECT_EQ(result.rows, 3);
    EXPECT_EQ(result.columns, (QStringList{"field1", "field2", "field3"}));

    const auto rows = test::storedRows(path("db2.mdb"), "data1", {"field1", "field2", "field3"});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (Row{"ABASE", "To humble, to lower.", "{\\rtf1 Gen. 1:1\\par\r\n}"}));
    EXPECT_EQ(rows[1], (Row{"Lord", "line one\r\nline \"two\"", "="}));
    EXPECT_EQ(rows[2], (Row{"Chald\u00e6an", "", "   spaced   "}));
}

TEST_F(CsvImport, CreatesTheHeaderColumnsAndTheHeadwordIndex) {
    // Header in another order and letter case, with a column the program never reads.
    const QByteArray text = "Notes,DBDESC,dbword\r\nn1,Alpha.,A\r\n";
    test::runImport(data::eastonsConfig(), csv("e.csv", text), path("data.mdb"));
    EXPECT_EQ(test::storedColumns(path("data.mdb"), "dbwords"),
              (QStringList{"Notes", "DBDESC", "dbword"}));
    EXPECT_TRUE(test::storedIndexes(path("data.mdb"), "dbwords")
                    .contains(engine::headwordIndexName("dbwords", "dbword")));
    EXPECT_EQ(test::storedRows(path("data.mdb"), "dbwords", {"dbword", "dbdesc", "notes"}),
              (std::vector<Row>{{"A", "Alpha.", "n1"}}));
}

TEST_F(CsvImport, ReplacesAnExistingOutputOnlyWhenItSucceeds) {
    const QString output = path("names.mdb");
    test::runImport(data::hitchcockConfig(), csv("first.csv", "field1,field2\r\nAbel,breath\r\n"),
                    output);
    QFile::setPermissions(output, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadGroup);
    const auto permissions = QFileInfo(output).permissions();
    const QByteArray before = test::sha256(output);

    refused(data::hitchcockConfig(), csv("bad.csv", "field1,field2\r\nAdam,red\r\nEve\r\n"),
            output);
    EXPECT_EQ(test::sha256(output), before);

    test::runImport(data::hitchcockConfig(),
                    csv("second.csv", "field1,field2\r\nAdam,red\r\nEve,life\r\n"), output);
    EXPECT_EQ(test::storedRows(output, "hitchcock", {"field1"}),
              (std::vector<Row>{{"Adam"}, {"Eve"}}));
    // The new file keeps the permissions of the one it replaced, not the private ones of
    // a temporary file.
    EXPECT_EQ(QFileInfo(output).permissions(), permissions);
    EXPECT_EQ(test::folderEntries(dir.path()),
              (QStringList{"bad.csv", "first.csv", "names.mdb", "second.csv"}));
}

TEST_F(CsvImport, RefusesMalformedFilesWithTheirLineAndLeavesNothingBehind) {
    struct Case {
        const char* what;
        QByteArray text;
        int line;
        const char* says;
    };
    const std::vector<Case> cases{
        {"unterminated quote", "field1,field2\r\nA,1\r\nB,\"open\r\nC,3\r\n", 3, "never closed"},
        {"too few fields", "field1,field2\r\nA,1\r\nB\r\nC,3\r\n", 3,
         "1 fields where the header names 2"},
        {"too many fields", "field1,field2\r\nA,1,x\r\n", 2, "3 fields where the header names 2"},
        {"empty line", "field1,field2\r\nA,1\r\n\r\nC,3\r\n", 3, "empty line"},
        {"bad UTF-8", "field1,field2\r\nA,1\r\nB,caf\xE9\r\n", 3, "not UTF-8"},
        {"missing header column", "field1,meaning\r\nA,1\r\n", 1, "no column 'field2'"},
        {"column named twice", "field1,field2,FIELD2\r\nA,1,2\r\n", 1, "named twice"},
        {"unnamed column", "field1,,field2\r\nA,,1\r\n", 1, "has no name"},
        {"empty file", "", 1, "empty"},
        {"empty headword", "field1,field2\r\nA,1\r\n,2\r\n", 3, "headword is empty"},
        {"spaced headword", "field1,field2\r\nA,1\r\n\"B \",2\r\n", 3, "'B ' has spaces around it"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir scratch;
        const QString input = scratch.filePath("in.csv");
        test::writeFile(input, c.text);
        const ImportError e =
            refused(data::hitchcockConfig(), input, scratch.filePath("names.mdb"));
        EXPECT_EQ(e.file(), input);
        EXPECT_EQ(e.line(), c.line);
        EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.says))) << e.message().toStdString();
        EXPECT_EQ(e.describe(),
                  QStringLiteral("%1:%2: %3").arg(input).arg(c.line).arg(e.message()));
        EXPECT_EQ(test::folderEntries(scratch.path()), QStringList{"in.csv"});
    }
}

TEST_F(CsvImport, RefusesInputsAndOutputsItCannotUse) {
    const QString good = csv("ok.csv", "field1,field2\r\nA,1\r\n");
    EXPECT_EQ(refused(data::hitchcockConfig(), path("absent.csv"), path("names.mdb")).file(),
              path("absent.csv"));
    EXPECT_EQ(refused(data::hitchcockConfig(), good, path("no-such-folder/names.mdb")).file(),
              path("no-such-folder/names.mdb"));
    // Building over its own input would destroy the CSV.
    refused(data::hitchcockConfig(), good, good);
    EXPECT_EQ(test::readFile(good), QByteArray("field1,field2\r\nA,1\r\n"));
    // The King James table needs its scripture column.
    EXPECT_TRUE(refused(data::kingJamesConfig(), good, path("db2.mdb"))
                    .message()
                    .contains("field1, field2, field3"));
    EXPECT_EQ(test::folderEntries(dir.path()), QStringList{"ok.csv"});
}

TEST_F(CsvImport, ReportsProgressUpToTheLastRow) {
    QByteArray text = "field1,field2\r\n";
    for (int i = 0; i < 25; ++i)
        text += "word" + QByteArray::number(i) + ",meaning\r\n";
    import::CsvImportRequest request;
    request.dictionary = &data::hitchcockConfig();
    request.input = csv("p.csv", text);
    request.output = path("names.mdb");
    request.progressEvery = 10;
    std::vector<import::ImportProgress> seen;
    request.progress = [&](const import::ImportProgress& p) { seen.push_back(p); };
    import::importCsv(request);

    ASSERT_EQ(seen.size(), 3u); // after 10 and 20 rows, and once at the end
    EXPECT_EQ(seen[0].rows, 10);
    EXPECT_EQ(seen[1].rows, 20);
    EXPECT_EQ(seen[2].rows, 25);
    EXPECT_LT(seen[0].bytesRead, seen[1].bytesRead);
    EXPECT_EQ(seen[2].bytesRead, text.size());
    EXPECT_EQ(seen[2].bytesTotal, text.size());
}
