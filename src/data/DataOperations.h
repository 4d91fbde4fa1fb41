#pragma once
// The data operations of a dictionary window. The window keeps ws, db and rs itself; these
// functions form every path, query text and column name from its configuration and do the
// engine calls in the order the window relies on. None keeps state.
//
// Usage in a window (cfg is the window's DictionaryConfig):
//
//   auto opened = data::openDictionary(cfg);          // Form_Load
//   ws = opened.ws; db = opened.db;
//   rs = data::openTable(cfg, db);
//
//   rs = data::openSearch(cfg, db, txtSearch.text());  // txtSearch_Change: empty -> whole
//                                                      // table, otherwise the prefix query
//   rs = data::openHeadword(cfg, db, item);             // lstdata_Click; rs stands on row 1
//   QString definition = data::readText(rs, cfg.definitionColumn);
//
//   data::addRow(rs, cfg, headword, definition, scriptureRtf);     // Save while adding
//   data::changeRow(rs, cfg, headword, definition, scriptureRtf);  // Save while editing
//   data::deleteRow(rs);                                            // Delete confirmed
//   data::closeDictionary(db);                                      // End button
//
// Every failure is an engine::EngineError (a NumberedError) naming the file, table, column
// or query at fault; nothing here catches.

#include "data/DictionaryConfig.h"
#include "engine/Dao.h"

#include <QString>
#include <QVariant>
#include <memory>

namespace tolvane::data {

struct OpenedDictionary {
    std::shared_ptr<engine::Workspace> ws; // the engine's default workspace
    std::shared_ptr<engine::Database> db;  // the dictionary file, shared and read-write
};

// The application folder followed directly by the configuration's path suffix.
QString dictionaryPath(const DictionaryConfig& config, const QString& appFolder);

// Workspaces(0) of the program-wide engine (created on first use), then OpenDatabase on the
// dictionary's file in appFolder (by default the folder that holds the executable).
OpenedDictionary openDictionary(const DictionaryConfig& config);
OpenedDictionary openDictionary(const DictionaryConfig& config, const QString& appFolder);

// The whole table as a table-type recordset, in the table's own order.
std::shared_ptr<engine::Recordset> openTable(const DictionaryConfig& config,
                                             const std::shared_ptr<engine::Database>& db);

// The rows whose headword begins with searchText (any letter case), as an updatable dynaset.
std::shared_ptr<engine::Recordset> openPrefix(const DictionaryConfig& config,
                                              const std::shared_ptr<engine::Database>& db,
                                              const QString& searchText);

// The search-box rule: the whole table for an empty text, otherwise the prefix query.
std::shared_ptr<engine::Recordset> openSearch(const DictionaryConfig& config,
                                              const std::shared_ptr<engine::Database>& db,
                                              const QString& searchText);

// The whole table for the word list. Where the file can give the headwords in list order a page
// at a time, `pages` does, and `rs` (the table-type set openListing gives, standing after its
// last row as a listed set does) is opened only when it is first used; otherwise `pages` is
// null and `rs` is opened now, to be listed whole.
struct WholeListing {
    std::shared_ptr<engine::Recordset> rs;
    std::unique_ptr<engine::ListPages> pages;
};
WholeListing openWholeListing(const DictionaryConfig& config,
                              const std::shared_ptr<engine::Database>& db);

// Whether openListing would list any row for searchText; none of the rows is read.
bool hasListing(const DictionaryConfig& config, const std::shared_ptr<engine::Database>& db,
                const QString& searchText);

// What the word list shows for searchText, by the search-box rule (the whole table as a
// table-type recordset for an empty text, otherwise the prefix query's dynaset), its rows in
// the list's order of the headword column (engine/ListCollation.h) rather than the table's or
// the index's, so that the list is filled without a sort.
std::shared_ptr<engine::Recordset> openListing(const DictionaryConfig& config,
                                               const std::shared_ptr<engine::Database>& db,
                                               const QString& searchText);

// Order among equal headwords: every recordset here (table, prefix query, listing, headword
// query) gives rows with one headword in row id order, and the word list keeps that order
// among equal items, so the dictionary window matches the k-th equal list item with the k-th
// row of the headword query (DictionaryWindow::chooseListItem).
//
// The rows whose headword equals the chosen item (spaces around it removed, any letter
// case), standing on the first of them. Fails with err::NoCurrentRecord when there is none;
// the recordset has been opened by then, so a caller that assigns the result keeps nothing.
std::shared_ptr<engine::Recordset> openHeadword(const DictionaryConfig& config,
                                                const std::shared_ptr<engine::Database>& db,
                                                const QString& chosenItem);

// Fields(column).Value of the current row: a QString, or a null QVariant for a missing value.
QVariant readColumn(const std::shared_ptr<engine::Recordset>& rs, const QString& column);
// The same as text; a missing value reads as the empty text.
QString readText(const std::shared_ptr<engine::Recordset>& rs, const QString& column);

// One entry, read in the window's order: definition, headword, then scripture (empty for a
// dictionary without a scripture column).
struct Entry {
    QString definition;
    QString headword;
    QString scripture;
};
Entry readEntry(const DictionaryConfig& config, const std::shared_ptr<engine::Recordset>& rs);

// AddNew on rs (whatever set it holds; the row goes into the table), then headword,
// definition and, if the dictionary has one, scripture; then Update(dbUpdateRegular, false).
void addRow(const std::shared_ptr<engine::Recordset>& rs, const DictionaryConfig& config,
            const QString& headword, const QString& definition, const QString& scripture);

// Edit on the current row of rs, the same assignments in the same order, then Update.
void changeRow(const std::shared_ptr<engine::Recordset>& rs, const DictionaryConfig& config,
               const QString& headword, const QString& definition, const QString& scripture);

// Delete on the current row of rs.
void deleteRow(const std::shared_ptr<engine::Recordset>& rs);

// db.Close: the file is closed and the recordsets over it stop working.
void closeDictionary(const std::shared_ptr<engine::Database>& db);

} // namespace tolvane::data
