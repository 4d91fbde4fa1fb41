#include "data/DataOperations.h"

#include "data/Queries.h"
#include "engine/DeferredRecordset.h"
#include "platform/AppFolder.h"

namespace tolvane::data {

QString dictionaryPath(const DictionaryConfig& config, const QString& appFolder) {
    // The suffix carries its own separator; nothing is added or removed between the two.
    return appFolder + config.pathSuffix;
}

OpenedDictionary openDictionary(const DictionaryConfig& config) {
    return openDictionary(config, platform::applicationFolder());
}

OpenedDictionary openDictionary(const DictionaryConfig& config, const QString& appFolder) {
    OpenedDictionary opened;
    opened.ws = engine::DBEngine::instance().Workspaces(0);
    opened.db = opened.ws->OpenDatabase(dictionaryPath(config, appFolder));
    return opened;
}

std::shared_ptr<engine::Recordset> openTable(const DictionaryConfig& config,
                                             const std::shared_ptr<engine::Database>& db) {
    return db->OpenRecordset(config.table, engine::dbOpenTable);
}

std::shared_ptr<engine::Recordset> openPrefix(const DictionaryConfig& config,
                                              const std::shared_ptr<engine::Database>& db,
                                              const QString& searchText) {
    return db->OpenRecordset(prefixQuery(config, searchText));
}

std::shared_ptr<engine::Recordset> openSearch(const DictionaryConfig& config,
                                              const std::shared_ptr<engine::Database>& db,
                                              const QString& searchText) {
    if (searchText.isEmpty())
        return openTable(config, db);
    return openPrefix(config, db, searchText);
}

std::shared_ptr<engine::Recordset> openListing(const DictionaryConfig& config,
                                               const std::shared_ptr<engine::Database>& db,
                                               const QString& searchText) {
    if (searchText.isEmpty())
        return db->OpenRecordsetInListOrder(config.table, config.headwordColumn,
                                            engine::dbOpenTable);
    return db->OpenRecordsetInListOrder(prefixQuery(config, searchText), config.headwordColumn);
}

bool hasListing(const DictionaryConfig& config, const std::shared_ptr<engine::Database>& db,
                const QString& searchText) {
    return db->HasRows(searchText.isEmpty() ? config.table : prefixQuery(config, searchText));
}

WholeListing openWholeListing(const DictionaryConfig& config,
                              const std::shared_ptr<engine::Database>& db) {
    WholeListing whole;
    whole.pages = db->OpenListPages(config.table, config.headwordColumn);
    if (!whole.pages) {
        whole.rs = openListing(config, db, QString());
        return whole;
    }
    const QString description =
        QStringLiteral("the recordset '%1' of '%2'").arg(config.table, db->Name());
    whole.rs = std::make_shared<engine::DeferredRecordset>(
        engine::dbOpenTable, description, [&config, db] {
            auto set = openListing(config, db, QString());
            if (set->RecordCount() > 0) {
                set->MoveLast();
                set->MoveNext();
            }
            return set;
        });
    return whole;
}

std::shared_ptr<engine::Recordset> openHeadword(const DictionaryConfig& config,
                                                const std::shared_ptr<engine::Database>& db,
                                                const QString& chosenItem) {
    auto rs = db->OpenRecordset(headwordQuery(config, chosenItem));
    rs->MoveFirst();
    return rs;
}

QVariant readColumn(const std::shared_ptr<engine::Recordset>& rs, const QString& column) {
    return rs->Fields(column).Value();
}

QString readText(const std::shared_ptr<engine::Recordset>& rs, const QString& column) {
    const QVariant value = readColumn(rs, column);
    return value.isNull() ? QString() : value.toString();
}

Entry readEntry(const DictionaryConfig& config, const std::shared_ptr<engine::Recordset>& rs) {
    Entry entry;
    entry.definition = readText(rs, config.definitionColumn);
    entry.headword = readText(rs, config.headwordColumn);
    if (config.hasScripture())
        entry.scripture = readText(rs, config.scriptureColumn);
    return entry;
}

static void assignColumns(const std::shared_ptr<engine::Recordset>& rs,
                          const DictionaryConfig& config, const QString& headword,
                          const QString& definition, const QString& scripture) {
    rs->Fields(config.headwordColumn).SetValue(headword);
    rs->Fields(config.definitionColumn).SetValue(definition);
    if (config.hasScripture())
        rs->Fields(config.scriptureColumn).SetValue(scripture);
}

void addRow(const std::shared_ptr<engine::Recordset>& rs, const DictionaryConfig& config,
            const QString& headword, const QString& definition, const QString& scripture) {
    rs->AddNew();
    assignColumns(rs, config, headword, definition, scripture);
    rs->Update(engine::dbUpdateRegular, false);
}

void changeRow(const std::shared_ptr<engine::Recordset>& rs, const DictionaryConfig& config,
               const QString& headword, const QString& definition, const QString& scripture) {
    rs->Edit();
    assignColumns(rs, config, headword, definition, scripture);
    rs->Update(engine::dbUpdateRegular, false);
}

void deleteRow(const std::shared_ptr<engine::Recordset>& rs) {
    rs->Delete();
}

void closeDictionary(const std::shared_ptr<engine::Database>& db) {
    db->Close();
}

} // namespace tolvane::data
