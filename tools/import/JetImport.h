#pragma once
// Converts a legacy Jet (Access 97 / 2000) database into the program's own format, keeping
// every table, row and value as the reading helper gives them (all text).
//
// In place (no output given): the new file is built under a temporary name beside NAME.mdb,
// the legacy file is kept as NAME.mdb.jet (which is never overwritten and never deleted),
// and only then does the new file take the name NAME.mdb. Elsewhere: the new file replaces
// the output and the legacy file is left alone. A failed conversion leaves nothing behind.

#include "data/DictionaryConfig.h"
#include "import/CsvImport.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace tolvane::import {

struct JetImportRequest {
    QString input;  // the legacy file
    QString output; // empty: convert in place
    // When set, the file must hold its table and columns, and gets its headword index and its
    // full-text index.
    const data::DictionaryConfig* dictionary = nullptr;
    QString codepage;   // for Access 97 text; empty: Windows-1252
    QStringList tables; // only these; empty: all
    QString helperPath; // the reading helper; empty: found as the program finds it
};

struct JetImportResult {
    QString written; // the new file
    QString kept;    // where the legacy file was kept (in place only)
    std::vector<std::pair<QString, qint64>> tables; // name, rows
};

// Throws ImportError naming the file at fault; nothing is written then.
JetImportResult importJet(const JetImportRequest& request);

// The name the legacy file is kept under when converted in place.
QString keptLegacyName(const QString& input);

// True when the file starts like a Jet database.
bool isJetFile(const QString& path);

} // namespace tolvane::import
