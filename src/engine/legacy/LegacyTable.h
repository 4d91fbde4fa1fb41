#pragma once
// What a legacy Jet database holds once it has been read: its user tables, every column as
// text, in the order the library returned the rows.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tolvane::engine::legacy {

using LegacyValue = std::optional<QString>; // nullopt: the column holds no value
using LegacyRow = std::vector<LegacyValue>;

struct LegacyTable {
    QString name;
    QStringList columns;
    // libmdb's type code per column (10 text, 12 memo, 11 OLE, ...), for callers that care
    // whether a column held text or was turned into text.
    std::vector<int> columnTypes;
    std::vector<LegacyRow> rows;
};

struct LegacyDatabase {
    QString path;
    QString format; // "JET3" or "JET4"
    std::vector<LegacyTable> tables;

    // The table of that name in any letter case, or nullptr.
    const LegacyTable* table(const QString& name) const;
};

} // namespace tolvane::engine::legacy
