#include "EngineTestFiles.h"

#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

namespace tolvane::test {

using namespace tolvane::engine;

DictionaryFile::DictionaryFile(const std::vector<EngineRow>& rows, bool withIndex) {
    m_path = m_dir.filePath(QStringLiteral("words.db"));
    sqlite::Connection db(m_path, sqlite::OpenMode::ReadWriteCreate);
    createTextTable(db, QStringLiteral("words"),
                    {QStringLiteral("headword"), QStringLiteral("definition")});
    if (withIndex)
        createHeadwordIndex(db, QStringLiteral("words"), QStringLiteral("headword"));
    sqlite::Transaction transaction(db);
    sqlite::Statement insert(db, QStringLiteral("INSERT INTO words VALUES (?1, ?2)"));
    for (const EngineRow& row : rows) {
        insert.bind(1, row.headword);
        insert.bind(2, row.definition);
        insert.run();
        insert.reset();
    }
    transaction.commit();
}

std::shared_ptr<Database> DictionaryFile::open() const {
    return DBEngine::instance().Workspaces(0)->OpenDatabase(m_path);
}

std::vector<EngineRow> DictionaryFile::rowsOnDisk() const {
    sqlite::Connection db(m_path, sqlite::OpenMode::ReadOnly);
    sqlite::Statement select(
        db, QStringLiteral("SELECT headword, definition FROM words ORDER BY rowid"));
    std::vector<EngineRow> rows;
    while (select.step())
        rows.push_back({select.columnText(0), select.columnText(1)});
    return rows;
}

QStringList readColumn(Recordset& rs, const QString& column) {
    QStringList values;
    const int count = rs.RecordCount();
    if (count == 0)
        return values;
    rs.MoveLast();
    rs.MoveFirst();
    for (int i = 0; i < count; ++i) {
        values << rs.Fields(column).Value().toString();
        rs.MoveNext();
    }
    return values;
}

QStringList textsOf(const engine::TextBlock& block) {
    QStringList texts;
    for (qsizetype i = 0; i < block.size(); ++i)
        texts << block.text(i);
    return texts;
}

QStringList listedWhole(engine::Database& db) {
    auto rs = db.OpenRecordsetInListOrder(QStringLiteral("words"), QStringLiteral("headword"),
                                          engine::dbOpenTable);
    engine::TextBlock block = rs->takeRemainingText(rs->columnIndex(QStringLiteral("headword")));
    block.removeNulls();
    return textsOf(block);
}

} // namespace tolvane::test
