#pragma once
// Helpers for the import tests: a scratch folder, CSV text written into it, and the rows of
// a built dictionary file read back as raw bytes (straight from SQLite, past the engine's
// object layer, so "byte for byte" means exactly that).

#include "data/DictionaryConfig.h"
#include "import/CsvImport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace tolvane::test {

using Row = std::vector<QByteArray>;

// Rows of `table` in the table's own order, the given columns of each, as stored bytes.
std::vector<Row> storedRows(const QString& file, const QString& table, const QStringList& columns);
// The column names of `table`, in the order they were created.
QStringList storedColumns(const QString& file, const QString& table);
// Names of the indexes on `table`.
QStringList storedIndexes(const QString& file, const QString& table);

// Every record of a CSV file (header included), read with the import's own reader.
std::vector<Row> csvRecords(const QString& file);

// The entries of a folder, hidden ones included (to see leftover temporary files).
QStringList folderEntries(const QString& folder);

// importCsv for `dictionary` from `input` to `output`.
import::ImportResult runImport(const data::DictionaryConfig& dictionary, const QString& input,
                               const QString& output);

// A temporary folder for a test's input and output files.
class ImportFolderTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    // Writes `text` as the file `name` in the folder and returns its path.
    QString csv(const QString& name, const QByteArray& text) const;
};

} // namespace tolvane::test
