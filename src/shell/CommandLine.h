#pragma once
// The program's command line:
//
//   tolvane [--dictionaries DIR] [--fresh]
//   tolvane --help | --version
//
// Read before the window system starts, so that --help and --version work without a
// display. Qt's own window-system options (-platform, -style, ...) are let through to
// QApplication. Exit status when the program ends here: 0 after --help or --version, 2 for
// an unknown option or a stray argument (the usage goes to stderr).

#include <QString>
#include <QStringList>
#include <optional>

QT_BEGIN_NAMESPACE
class QTextStream;
QT_END_NAMESPACE

namespace tolvane::shell {

struct CommandLine {
    std::optional<int> exitCode; // set: the program ends with it, without a window
    QString dictionaries;        // --dictionaries DIR; empty when not given
    bool fresh = false;          // --fresh: forget what earlier runs remembered
};

// Needs a QCoreApplication (the help names the dictionary folder the program would use).
CommandLine readCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

// Reads the command line of main(argc, argv) with a short-lived QCoreApplication of its own,
// printing to stdout and stderr.
CommandLine readProgramCommandLine(int argc, char** argv);

} // namespace tolvane::shell
