#include "LegacyCorpus.h"

#include "support/TestSupport.h"

#include <QDir>

namespace tolvane::test {

QString legacyCorpusFolder() { return sharedPath(QStringLiteral("corpus/mdb")).value_or(QString()); }

std::vector<CorpusTableExport> corpusTableExports() {
    std::vector<CorpusTableExport> exports;
    const QString folder = legacyCorpusFolder();
    if (folder.isEmpty())
        return exports;
    const QDir dir(folder);
    for (const QString& csv : dir.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name)) {
        // STEM.TABLE.csv or STEM.TABLE.MDB_JET3_CHARSET-CP.csv
        const QStringList parts = csv.split(u'.');
        if (parts.size() < 3)
            continue;
        CorpusTableExport e;
        e.csvPath = dir.filePath(csv);
        e.databasePath = dir.filePath(parts[0] + QStringLiteral(".mdb"));
        e.tableName = parts[1]; // the sanitised name; the test resolves it against the file
        if (parts.size() == 4 && parts[2].startsWith(QLatin1String("MDB_JET3_CHARSET-")))
            e.codepage = parts[2].mid(int(qstrlen("MDB_JET3_CHARSET-")));
        exports.push_back(e);
    }
    return exports;
}

} // namespace tolvane::test
