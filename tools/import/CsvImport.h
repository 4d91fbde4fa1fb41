#pragma once
// Builds one dictionary file from a UTF-8 CSV file whose header row names the columns. The
// dictionary's table is created with every column of the header (all text), the rows are
// stored exactly as the CSV holds them, and the headword index the queries use and the
// full-text index the Find window uses are created.
//
// Nothing is half-written: the file is built under a temporary name in the output's folder
// and renamed over the output only when every row has been stored. A failed import leaves
// the output as it was (absent, or the previous file).

#include "data/DictionaryConfig.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

namespace tolvane::import {

// A refused import: the file at fault, the line (0 when the fault is not on a line) and what
// is wrong. what() is "file:line: message", the way compilers report.
class ImportError : public std::runtime_error {
public:
    ImportError(const QString& file, int line, const QString& message);
    const QString& file() const noexcept { return m_file; }
    int line() const noexcept { return m_line; }
    const QString& message() const noexcept { return m_message; }
    QString describe() const;
    // True when the new file had already taken the output's name when the step failed (the
    // folder could not be synced): the output is not unchanged then.
    bool outputReplaced() const noexcept { return m_outputReplaced; }
    ImportError& markOutputReplaced() noexcept {
        m_outputReplaced = true;
        return *this;
    }
    // True when the disk (or the user's share of it) had no room for the new file.
    bool diskFull() const noexcept { return m_diskFull; }
    ImportError& markDiskFull() noexcept {
        m_diskFull = true;
        return *this;
    }

private:
    QString m_file;
    int m_line;
    QString m_message;
    bool m_outputReplaced = false;
    bool m_diskFull = false;
};

struct ImportProgress {
    qint64 rows = 0;       // rows stored so far
    qint64 bytesRead = 0;  // of the CSV file
    qint64 bytesTotal = 0; // size of the CSV file
};

struct CsvImportRequest {
    const data::DictionaryConfig* dictionary = nullptr;
    QString input;  // the CSV file
    QString output; // the dictionary file to create or replace
    // Called every `progressEvery` rows and once at the end.
    std::function<void(const ImportProgress&)> progress;
    int progressEvery = 1000;
};

struct ImportResult {
    qint64 rows = 0;
    QStringList columns; // as created, in the header's order
};

// Throws ImportError for any refusal: unreadable input, malformed CSV, a header that does not
// name the dictionary's columns, a row with the wrong number of fields, a failure to write.
ImportResult importCsv(const CsvImportRequest& request);

} // namespace tolvane::import
