#pragma once
// Dictionary files for the engine tests, built in a temporary folder with the same
// Connection and Schema code the import tool uses.

#include "engine/Dao.h"

#include <QStringList>
#include <QTemporaryDir>
#include <ostream>
#include <utility>
#include <vector>

namespace tolvane::test {

struct EngineRow {
    QString headword;
    QString definition;
    friend bool operator==(const EngineRow&, const EngineRow&) = default;
};

inline void PrintTo(const EngineRow& row, std::ostream* os) {
    *os << '{' << row.headword.toStdString() << ", " << row.definition.toStdString() << '}';
}

class DictionaryFile {
public:
    // Table `words` (headword, definition) holding `rows` in that order.
    explicit DictionaryFile(const std::vector<EngineRow>& rows, bool withIndex = true);
    DictionaryFile(std::initializer_list<EngineRow> rows)
        : DictionaryFile(std::vector<EngineRow>(rows)) {}

    const QString& path() const { return m_path; }
    QString folder() const { return m_dir.path(); }
    std::shared_ptr<engine::Database> open() const;

    // Reads the table directly, in row id order, bypassing the engine.
    std::vector<EngineRow> rowsOnDisk() const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// The texts of `column` for every row of `rs`, walking it as the word list does.
QStringList readColumn(engine::Recordset& rs, const QString& column);

// The texts of a block, in order.
QStringList textsOf(const engine::TextBlock& block);
// The "headword" column of the table "words" in list order, read whole through a recordset,
// rows without a headword left out: what a list read in pages must equal.
QStringList listedWhole(engine::Database& db);

// Runs `call` and returns the number of the EngineError it throws (0 when none).
template <typename F> int errorNumber(F&& call) {
    try {
        std::forward<F>(call)();
    } catch (const engine::EngineError& error) {
        return error.number();
    }
    return 0;
}

// The message of the EngineError `call` throws (empty when none).
template <typename F> QString errorMessage(F&& call) {
    try {
        std::forward<F>(call)();
    } catch (const engine::EngineError& error) {
        return error.message();
    }
    return {};
}

} // namespace tolvane::test
