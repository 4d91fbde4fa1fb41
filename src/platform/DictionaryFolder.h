#pragma once
// Which folder the dictionary files are read from and written to, chosen once at start:
//
//   1. the folder named on the command line (--dictionaries DIR), when given;
//   2. the executable's own folder, when it holds at least one of the dictionary files (a
//      build tree, a portable copy, or the files a user of the original keeps beside it);
//   3. otherwise the user's data folder ($XDG_DATA_HOME/tolvane), created when missing and
//      given a copy of each shipped dictionary (<prefix>/share/tolvane) it lacks, so that
//      edits go to the user's own copy. A file the user already has is never replaced.
//
// When the user's folder cannot be created or written, the shipped folder is used instead,
// read-only, and `problem` says why in one message that names the folder.

#include <QString>
#include <QStringList>

namespace tolvane::platform {

struct DictionaryFolderPlaces {
    QString requested;          // --dictionaries DIR; empty when not given
    QString executableFolder;   // the folder that holds the running program
    QString userFolder;         // $XDG_DATA_HOME/tolvane
    QStringList shippedFolders; // where <prefix>/share/tolvane may be; the first that exists
    QStringList fileNames;      // the dictionary files (db2.mdb, data.mdb, names.mdb)
};

struct DictionaryFolder {
    enum class Source { Requested, Executable, User, Shipped };
    QString path;
    Source source = Source::User;
    bool readOnly = false; // the shipped files stand in for an unusable user folder
    QString problem;       // why the user folder could not be used; empty when it could
    QStringList copied;    // the files copied into the user folder by this start
};

// The places of the running program: its folder, $XDG_DATA_HOME/tolvane, and the shipped
// folder relative to the program and at the configured install path.
DictionaryFolderPlaces standardDictionaryFolderPlaces(const QString& requested,
                                                      const QStringList& fileNames);

// The folder the lookup chooses, without creating or copying anything (for --help).
DictionaryFolder locateDictionaryFolder(const DictionaryFolderPlaces& places);

// Chooses the folder and, for the user folder, creates it and copies in the shipped files it
// lacks. Falls back to the shipped folder, read-only, when that fails.
DictionaryFolder prepareDictionaryFolder(const DictionaryFolderPlaces& places);

} // namespace tolvane::platform
