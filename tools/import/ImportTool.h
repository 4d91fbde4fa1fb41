#pragma once
// The command line of tolvane-import:
//
//   tolvane-import [--dictionary NAME] [--quiet] INPUT.csv OUTPUT
//   tolvane-import --sword MODULE [--dictionary NAME] [OUTPUT]   (see SwordImportTool.h)
//   tolvane-import --sword-list
//   tolvane-import --export NAME OUTPUT.csv                         (see data/DictionaryCsv.h)
//
// NAME is kjv, eastons or hitchcock, or a dictionary's file name (db2.mdb, data.mdb,
// names.mdb). Without --dictionary the output's file name chooses the dictionary.
// Exit status: 0 done, 1 the import was refused or failed, 2 the command line is wrong.

#include "data/DictionaryConfig.h"

#include <QString>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QTextStream;
QT_END_NAMESPACE

namespace tolvane::import {

enum ExitCode : int { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

// The dictionary for a short name or a file name, any letter case; nullptr when unknown.
const data::DictionaryConfig* dictionaryByName(const QString& name);

struct ToolOptions {
    // Progress on `err` while rows are stored, redrawn in place: only for a terminal.
    bool errIsTerminal = false;
};

// Runs the tool on `arguments` (the program name first), writing results to `out` and
// progress and errors to `err`. Returns the exit status.
int runImportTool(const QStringList& arguments, QTextStream& out, QTextStream& err,
                  const ToolOptions& options = {});

class ImportError;

// Reports a failed import on `err` (ending a progress line first when one is shown), says
// that `output` is unchanged unless the failure came after it was replaced, and returns
// ExitFailed.
int reportImportFailure(QTextStream& err, const ImportError& error, const QString& output,
                        bool progressShown);

} // namespace tolvane::import
