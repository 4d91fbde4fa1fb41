#pragma once
// Dictionary files for tests, written with the engine's own schema helpers (table and
// headword index), so they are what the import tool makes.

#include "data/DictionaryConfig.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace tolvane::test {

// One row of a dictionary table; a null QVariant stands for a missing value.
struct DictRow {
    QVariant headword;
    QVariant definition;
    QVariant scripture = QString(); // ignored for dictionaries without a scripture column
};

// Writes `config.fileName` (e.g. "db2.mdb") in `folder` holding the configuration's table and
// rows, replacing any file of that name. An added dictionary's file records its title and
// source too.
void writeDictionaryFile(const QString& folder, const data::DictionaryConfig& config,
                         const std::vector<DictRow>& rows);

} // namespace tolvane::test
