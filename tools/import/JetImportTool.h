#pragma once
// The legacy-file form of tolvane-import's command line:
//
//   tolvane-import [--dictionary NAME] [--codepage CP] [--table NAME]... LEGACY.mdb [OUTPUT]
//
// Without OUTPUT the file is converted in place (the legacy file kept as LEGACY.mdb.jet).
// The dictionary is --dictionary, else the one whose file name OUTPUT (in place: LEGACY.mdb)
// has; a file of no dictionary is converted table by table as it is, without a headword
// index.

#include <QString>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QTextStream;
QT_END_NAMESPACE

namespace tolvane::import {

struct JetCommand {
    QStringList files;  // LEGACY.mdb [OUTPUT]
    QString dictionary; // --dictionary, empty when not given
    QString codepage;
    QStringList tables;
    bool quiet = false;
    QString helperPath; // tests only: the reading helper to run
};

// Returns the exit status (ExitOk, ExitFailed, ExitUsage of ImportTool.h).
int runJetImport(const JetCommand& command, QTextStream& out, QTextStream& err);

} // namespace tolvane::import
