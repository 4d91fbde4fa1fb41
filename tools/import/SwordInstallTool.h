#pragma once
// The repository forms of tolvane-import's command line (running one is the user's consent to
// use the network):
//
//   tolvane-import --sword-sources                     the repositories libsword knows
//   tolvane-import --sword-refresh-sources             fetch the master list of repositories
//   tolvane-import --sword-add-source NAME URL         add a repository
//   tolvane-import --sword-available [SOURCE]          the dictionary modules offered
//   tolvane-import --sword-install MODULE [--source SOURCE] [OUTPUT]
//                                                      install into ~/.sword, then add it to
//                                                      Tolvane as --sword MODULE [OUTPUT] does
//   tolvane-import --sword-uninstall MODULE            remove from ~/.sword
//
// With --progress-lines, --sword-install writes the transfer's progress on stdout as it
// comes, one line "progress<TAB>DONE<TAB>TOTAL" (bytes; TOTAL 0 when not known), and once the
// module is in ~/.sword the line "adding", for a program that shows it (the Get Dictionaries
// window). On a terminal it is shown on stderr
// instead, redrawn in place; otherwise it is not shown, so scripts' output stays clean.
//
// The repositories are libsword's own (~/.sword/InstallMgr/InstallMgr.conf), shared with
// every other SWORD program.

#include <QString>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QTextStream;
QT_END_NAMESPACE

namespace tolvane::import {

struct SwordInstallCommand {
    QString action; // "sources", "refresh-sources", "add-source", "available", "install",
                    // "uninstall"
    QString module;
    QString source;
    QStringList arguments; // the positional ones (NAME URL, or [SOURCE])
    bool quiet = false;
    bool tsv = false;           // --sword-available: tab-separated, no header (for programs)
    bool errIsTerminal = false; // progress on err, redrawn in place
    bool progressLines = false; // progress on out, one line each (see above)
};

// Returns the exit status (ExitOk, ExitFailed, ExitUsage of ImportTool.h).
int runSwordInstallCommand(const SwordInstallCommand& command, QTextStream& out, QTextStream& err);

} // namespace tolvane::import
