#pragma once
// Dictionaries beyond the three: any file in the dictionary folder named *.sqlite whose
// tolvane_metadata table records a title ("Nave's Topical Bible"). tolvane-import writes them
// (--sword MODULE, or --title TEXT for a CSV file). Each is read as Easton's is: one table
// dbwords(dbword, dbdesc), and its window is laid out as Easton's.
//
// Configurations live for the whole run: windows, the Find thread and history entries keep
// pointers to them. A rescan reuses the configuration of a file it knew (same file name and
// title), so a pointer taken before it stays good; a file gone is no longer listed.
//
// A file named as an added dictionary that cannot be one (no database at all, a damaged one,
// one recording a title but without the table of entries) is never listed as a dictionary:
// the rescan lists it apart, with what is wrong and what to do. An SQLite file without a
// title is some other program's database, and not listed at all.

#include "data/DictionaryConfig.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace tolvane::engine::sqlite {
class Connection;
}

namespace tolvane::data {

inline constexpr char kAddedSuffix[] = ".sqlite";
inline constexpr char kTitleKey[] = "dictionary.title";
inline constexpr char kSourceKey[] = "dictionary.source";
inline constexpr char kKeyDigitsKey[] = "dictionary.keyDigits";

// The configuration of an added dictionary stored as `fileName` in the folder. Not listed
// by addedConfigs() until a rescan finds the file.
const DictionaryConfig& addedConfig(const QString& fileName, const QString& title,
                                    const QString& source = {}, int keyDigits = 0);

// A file name for a new added dictionary from a module name or title: letters, digits, '-'
// and '_' kept, anything else '_', then ".sqlite" (so never one of the three files' names).
QString addedFileName(const QString& name);

struct AddedFacts;
// The file in `folder` for the added dictionary made from `name` (a module name or a title):
// addedFileName(name) when it is free or when the dictionary already there is this one
// (`same`: a file a user already has keeps its name and is replaced); else, since different
// names can make one file name ("Same.Name" and "Same_Name"), the first of NAME-2.sqlite,
// NAME-3.sqlite... that is free or this one's. A file there that is no added dictionary is
// never taken.
QString addedFileFor(const QString& folder, const QString& name,
                     const std::function<bool(const AddedFacts&)>& same);
// The source an added dictionary made from a SWORD module records.
QString swordModuleSource(const QString& module);

// Reads `folder` again; returns the added dictionaries found, in title order.
const std::vector<const DictionaryConfig*>& rescanAddedDictionaries(const QString& folder);
// The list of the last rescan, in title order (empty before the first).
const std::vector<const DictionaryConfig*>& addedConfigs();

struct UnusableFile {
    QString fileName;
    QString title;   // the title the file records, when that could be read
    QString state;   // "damaged", "not a dictionary" or "cannot be read"
    QString problem; // what is wrong and what to do, in plain words (FileProblems.h)
};
// The files of the last rescan that cannot be added dictionaries, by file name.
const std::vector<UnusableFile>& unusableAddedFiles();
// The three, then the added ones: what the Find window's "All dictionaries" searches.
std::vector<const DictionaryConfig*> everyConfig();

// The title and source a file records; none when it is no added dictionary (not a SQLite
// file, no metadata table, no title). Never throws.
struct AddedFacts {
    QString title;
    QString source;
    int keyDigits = 0;
};
std::optional<AddedFacts> readAddedFacts(const QString& path);

// Records the configuration's title and source in the file being written (an import).
void writeAddedFacts(engine::sqlite::Connection& connection, const DictionaryConfig& config);

} // namespace tolvane::data
