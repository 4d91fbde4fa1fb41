#pragma once
// Reads the CSV files Debian's mdb-export wrote for the corpus tables: a header row, values
// in double quotes (quotes doubled, line breaks raw inside them), numbers bare, and a null
// value as an empty field without quotes, which a general CSV reader would take for "".

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tolvane::test {

struct MdbExportCsv {
    QStringList header;
    std::vector<std::vector<std::optional<QString>>> rows;
};

// Throws std::runtime_error when the file cannot be read or is not in that form.
MdbExportCsv readMdbExportCsv(const QString& path);

} // namespace tolvane::test
