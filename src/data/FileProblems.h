#pragma once
// What is wrong with a dictionary's file, said in plain words for the user with what to do
// about it: a file that is gone, one that is no database (a picture saved under its name), a
// damaged one, one without the dictionary's table of entries.
//
// The check is cheap (the file's first bytes, then for an SQLite file its list of tables), so
// the dictionary folder can be looked over whenever its list is read; it never writes.

#include "data/DictionaryConfig.h"
#include "engine/EngineError.h"

#include <QString>

namespace tolvane::engine::sqlite {
class Connection;
}

namespace tolvane::data {

struct FileCheck {
    enum class Fault {
        None,       // usable, as far as a cheap look tells
        Missing,    // no such file
        Foreign,    // not a database of this program: a picture, a text, a folder...
        Damaged,    // a database that is cut short, broken, or lacks the dictionary's table
        Unreadable, // may not be read
    };
    Fault fault = Fault::None;
    QString why; // completes "<file> ...": "is not a dictionary file (it is a PNG image)"

    bool ok() const { return fault == Fault::None; }
};

// Looks at the dictionary's file at `path`.
FileCheck checkDictionaryFile(const QString& path, const DictionaryConfig& config);
// Its first bytes alone: None for a database, which only a look inside can judge (a Jet file
// counts as foreign for an added dictionary, which must be Tolvane's own kind of file).
FileCheck checkFileKind(const QString& path, bool added);
// Whether the open database holds the dictionary's table with its columns (None when it
// does). Throws the engine's error when the file cannot be read.
FileCheck checkDictionaryTable(engine::sqlite::Connection& connection,
                               const DictionaryConfig& config);

// Throws err::TableNotFound, naming the file, unless checkDictionaryTable finds it whole.
void requireDictionaryTable(engine::sqlite::Connection& connection, const DictionaryConfig& config);

// Find's note when the dictionary's file could not be prepared for searching on a full disk.
QString diskFullSearchNote(const DictionaryConfig& config, const QString& path);

// The message for a dictionary whose file has `check`'s fault: what happened, what to do.
QString faultMessage(const DictionaryConfig& config, const QString& path, const FileCheck& check);

// For an added dictionary about to be opened (its file may have gone, or been damaged, since
// the menu was made): what is wrong and what to do; empty when nothing is.
QString addedDictionaryProblem(const DictionaryConfig& config, const QString& folder);

// For a file in the dictionary folder that cannot be an added dictionary, listed as such:
// `title` is the one it records, when that could be read.
QString unusableFileMessage(const QString& fileName, const QString& title, const FileCheck& check);

// A failure to open the dictionary's file, told in plain words: the file is looked at again
// to say what is wrong with it. A failure that is not about the file itself (a lock held by
// another program, a full disk) keeps its number and message.
engine::EngineError openingFailure(const DictionaryConfig& config, const QString& path,
                                   const NumberedError& error);

// The same for Find, in one line: "<title> could not be searched: <file> <why>. <remedy>".
QString searchFailure(const DictionaryConfig& config, const QString& path,
                      const NumberedError& error);

// The dictionary's name as the user knows it: "Easton's Bible Dictionary", an added title.
QString dictionaryTitle(const DictionaryConfig& config);

} // namespace tolvane::data
