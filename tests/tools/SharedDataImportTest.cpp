// The reference CSV files (when present beside the checkout) import exactly: every row, and
// every value byte for byte. The check writes the stored rows back out as RFC 4180 text and
// compares that with the file itself, so it does not rest on the import's own reader.
#include "ImportTestSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace tolvane;

namespace {

// The dictionary whose columns the header names, in the files' order (headword, definition,
// scripture).
const data::DictionaryConfig* dictionaryForHeader(const test::Row& header) {
    for (const auto* config : data::allConfigs()) {
        test::Row columns{config->headwordColumn.toUtf8(), config->definitionColumn.toUtf8()};
        if (config->hasScripture())
            columns.push_back(config->scriptureColumn.toUtf8());
        if (columns == header)
            return config;
    }
    return nullptr;
}

// RFC 4180 as the reference files are written: quotes only where needed, CRLF after each.
QByteArray writeCsv(const std::vector<test::Row>& rows) {
    QByteArray out;
    for (const test::Row& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                out += ',';
            QByteArray value = row[i];
            if (value.contains(',') || value.contains('"') || value.contains('\r') ||
                value.contains('\n'))
                value = '"' + value.replace("\"", "\"\"") + '"';
            out += value;
        }
        out += "\r\n";
    }
    return out;
}

} // namespace

TEST(SharedDataImport, EveryReferenceCsvImportsExactly) {
    TOLVANE_REQUIRE_SHARED(folder, "data");
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty()) << "no CSV files in " << folder.toStdString();

    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QString input = folder + QLatin1Char('/') + name;
        const auto records = test::csvRecords(input);
        ASSERT_FALSE(records.empty());
        const data::DictionaryConfig* dictionary = dictionaryForHeader(records.front());
        ASSERT_NE(dictionary, nullptr) << "the header names no dictionary's columns";

        QTemporaryDir dir;
        const QString output = dir.filePath(dictionary->fileName);
        const auto result = test::runImport(*dictionary, input, output);
        EXPECT_EQ(result.rows, static_cast<qint64>(records.size() - 1));

        QStringList columns;
        for (const QByteArray& c : records.front())
            columns << QString::fromUtf8(c);
        auto stored = test::storedRows(output, dictionary->table, columns);
        EXPECT_EQ(stored.size(), records.size() - 1);
        stored.insert(stored.begin(), records.front());
        const QByteArray original = test::readFile(input);
        const QByteArray rewritten = writeCsv(stored);
        EXPECT_EQ(rewritten.size(), original.size());
        EXPECT_TRUE(rewritten == original) << "stored values differ from the file";
    }
}
