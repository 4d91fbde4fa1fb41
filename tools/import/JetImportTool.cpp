#include "import/JetImportTool.h"

#include "import/ImportTool.h"
#include "import/JetImport.h"

#include <QFileInfo>
#include <QTextStream>

namespace tolvane::import {

namespace {

const QString kToolName = QStringLiteral("tolvane-import");

int usage(QTextStream& err, const QString& message) {
    err << kToolName << ": " << message << "\n"
        << "usage: " << kToolName
        << " [--dictionary NAME] [--codepage CP] [--table NAME]... LEGACY.mdb [OUTPUT]\n"
        << "Try '" << kToolName << " --help' for more.\n";
    err.flush();
    return ExitUsage;
}

} // namespace

int runJetImport(const JetCommand& command, QTextStream& out, QTextStream& err) {
    if (command.files.isEmpty() || command.files.size() > 2)
        return usage(
            err, QStringLiteral("expected LEGACY.mdb and at most one OUTPUT, got %1 file name(s)")
                     .arg(command.files.size()));
    JetImportRequest request;
    request.input = command.files.at(0);
    request.output = command.files.value(1);
    request.codepage = command.codepage;
    request.tables = command.tables;
    request.helperPath = command.helperPath;
    if (!command.dictionary.isEmpty()) {
        request.dictionary = dictionaryByName(command.dictionary);
        if (!request.dictionary)
            return usage(err, QStringLiteral("unknown dictionary '%1'").arg(command.dictionary));
    } else {
        const QString named = request.output.isEmpty() ? request.input : request.output;
        request.dictionary = dictionaryByName(QFileInfo(named).fileName());
    }

    try {
        const JetImportResult result = importJet(request);
        if (!command.quiet) {
            for (const auto& [table, rows] : result.tables)
                out << kToolName << ": " << rows << " rows into table " << table << " of "
                    << result.written << "\n";
            if (!result.kept.isEmpty())
                out << kToolName << ": the legacy file is kept as " << result.kept << "\n";
        }
        out.flush();
        return ExitOk;
    } catch (const ImportError& e) {
        return reportImportFailure(
            err, e, request.output.isEmpty() ? request.input : request.output, false);
    }
}

} // namespace tolvane::import
