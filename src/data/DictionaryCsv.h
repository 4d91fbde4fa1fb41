#pragma once
// A whole dictionary written out as the CSV file tolvane-import reads back: UTF-8, RFC 4180,
// the first line naming the dictionary's own columns (field1,field2,field3 for the King James
// words; dbword,dbdesc for Easton's and every added dictionary; field1,field2 for
// Hitchcock's), then one line a row in the file's own order, every value exactly as stored
// (the King James scripture RTF too; a missing value as an empty field). Importing the CSV
// gives the same rows, so export, import and export again gives the same file. The output is
// written under a temporary name and takes its own only when complete.

#include "data/DictionaryConfig.h"

#include <QString>

namespace tolvane::data {

struct CsvExportResult {
    qint64 rows = 0;
    QString error; // empty when done; else what went wrong, naming the file, and what to do
};

// Writes the dictionary `config` held in the file `database` to `output`.
CsvExportResult exportDictionaryCsv(const QString& database, const DictionaryConfig& config,
                                    const QString& output);

} // namespace tolvane::data
