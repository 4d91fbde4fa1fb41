// tolvane-import: builds dictionary files. All the work is in the tolvane_import library so
// that tests run it in-process.
#include "import/ImportTool.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    tolvane::import::ToolOptions options;
    options.errIsTerminal = ::isatty(STDERR_FILENO) != 0;
    return tolvane::import::runImportTool(QCoreApplication::arguments(), out, err, options);
}
