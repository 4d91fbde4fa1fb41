#pragma once
// The legacy Jet test corpus under the shared folder: the databases and the CSV files
// mdb-export wrote for their tables.

#include <QString>
#include <QStringList>
#include <vector>

namespace tolvane::test {

struct CorpusTableExport {
    QString csvPath;
    QString databasePath;
    QString tableName;  // as the database names it
    QString codepage;   // the code page the CSV was made with ("" = default)
};

// The corpus folder, or "" when the shared material is absent.
QString legacyCorpusFolder();
// Every CSV of the corpus, matched with its database and table. Table names are matched the
// way the CSV file names were made (characters other than letters and digits became "_").
std::vector<CorpusTableExport> corpusTableExports();

} // namespace tolvane::test
