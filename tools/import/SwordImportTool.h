#pragma once
// The SWORD forms of tolvane-import's command line:
//
//   tolvane-import --sword MODULE [--dictionary NAME] [OUTPUT]
//   tolvane-import --sword-list
//
// The dictionary is --dictionary, else the one whose file name OUTPUT has; without OUTPUT the
// dictionary's file in the folder the program reads (as for CSV input) is written. With
// neither, the module becomes an added dictionary (data/AddedDictionaries.h), MODULE.sqlite
// in that folder, titled by the module's description.

#include <QString>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QTextStream;
QT_END_NAMESPACE

namespace tolvane::import {

struct SwordCommand {
    QString module;
    QStringList files;  // [OUTPUT]
    QString dictionary; // --dictionary, empty when not given
    bool quiet = false;
    bool errIsTerminal = false; // progress on err, redrawn in place
    // The folder the module was just installed in (--sword-install); a failure then says the
    // module stays installed there and how to add it later.
    QString installedIn;
};

// Both return the exit status (ExitOk, ExitFailed, ExitUsage of ImportTool.h).
int runSwordImport(const SwordCommand& command, QTextStream& out, QTextStream& err);
// `tsv`: one module a line, fields separated by tabs (tabs and line breaks in a field become
// spaces), no header, nothing when none is installed. The fields: name, description, entries,
// folder, version, size in bytes, licence.
int runSwordList(QTextStream& out, QTextStream& err, bool tsv = false);

} // namespace tolvane::import
