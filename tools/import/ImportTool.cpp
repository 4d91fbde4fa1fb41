#include "import/ImportTool.h"

#include "data/AddedDictionaries.h"
#include "import/CsvExportTool.h"
#include "import/CsvImport.h"
#include "import/ImportDestination.h"
#include "import/JetImport.h"
#include "import/JetImportTool.h"
#include "import/SwordImportTool.h"
#include "import/SwordInstallTool.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace tolvane::import {

namespace {

const QString kToolName = QStringLiteral("tolvane-import");

struct ShortName {
    const char* name;
    const data::DictionaryConfig& (*config)();
};
constexpr ShortName kShortNames[] = {
    {"kjv", &data::kingJamesConfig},
    {"eastons", &data::eastonsConfig},
    {"hitchcock", &data::hitchcockConfig},
};

QString knownNames() {
    QStringList names;
    for (const auto& s : kShortNames)
        names << QString::fromLatin1(s.name);
    for (const auto* config : data::allConfigs())
        names << config->fileName;
    return names.join(QStringLiteral(", "));
}

int usageError(QTextStream& err, const QString& message) {
    err << kToolName << ": " << message << "\n"
        << "usage: " << kToolName << " [--dictionary NAME] [--quiet] INPUT.csv OUTPUT\n"
        << "       " << kToolName << " --dictionary NAME [--quiet] INPUT.csv\n"
        << "       " << kToolName << " --title TEXT [--quiet] INPUT.csv [OUTPUT]\n"
        << "       " << kToolName
        << " [--dictionary NAME] [--codepage CP] [--table NAME]... LEGACY.mdb [OUTPUT]\n"
        << "       " << kToolName << " --sword MODULE [--dictionary NAME] [OUTPUT]\n"
        << "       " << kToolName << " --sword-list\n"
        << "       " << kToolName << " --export NAME OUTPUT.csv\n"
        << "Try '" << kToolName << " --help' for more.\n";
    err.flush();
    return ExitUsage;
}

int runTitledCsvImport(const QStringList& files, const QString& title, bool dictionaryGiven,
                       bool quiet, QTextStream& out, QTextStream& err) {
    if (dictionaryGiven)
        return usageError(err, QStringLiteral("--title makes a dictionary of its own; it "
                                              "cannot be given with --dictionary"));
    if (title.trimmed().isEmpty())
        return usageError(err, QStringLiteral("--title needs a text"));
    if (files.isEmpty() || files.size() > 2)
        return usageError(err,
                          QStringLiteral("--title expects INPUT.csv [OUTPUT], got %1 file name(s)")
                              .arg(files.size()));
    CsvImportRequest request;
    request.input = files.at(0);
    const QString source = QStringLiteral("CSV file ") + QFileInfo(request.input).fileName();
    if (files.size() == 2) {
        request.dictionary =
            &data::addedConfig(data::addedFileName(title.trimmed()), title.trimmed(), source);
        request.output = files.at(1);
    } else {
        // The same title replaces its dictionary; another whose name makes the same file
        // name gets a file of its own.
        const AddedDestination destination =
            addedDictionaryDestination(title.trimmed(), source, [&](const data::AddedFacts& facts) {
                return facts.title == title.trimmed();
            });
        if (!destination.config) {
            err << kToolName << ": " << destination.error << "\n";
            err.flush();
            return ExitFailed;
        }
        request.dictionary = destination.config;
        request.output = destination.path;
    }
    try {
        const ImportResult result = importCsv(request);
        if (!quiet)
            out << kToolName << ": " << result.rows << " rows into " << request.output
                << ", titled \"" << request.dictionary->menuCaption << "\"\n";
        out.flush();
        return ExitOk;
    } catch (const ImportError& e) {
        return reportImportFailure(err, e, request.output, false);
    }
}

} // namespace

const data::DictionaryConfig* dictionaryByName(const QString& name) {
    for (const auto& s : kShortNames)
        if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0)
            return &s.config();
    return data::configByFileName(name);
}

int runImportTool(const QStringList& arguments, QTextStream& out, QTextStream& err,
                  const ToolOptions& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Builds a dictionary file from a UTF-8 CSV file (RFC 4180) whose first "
                       "line names the columns. The output is replaced only when the whole "
                       "file has been imported.\n\n"
                       "A legacy Jet database (Access 97 / 2000 .mdb) as INPUT is converted "
                       "instead, every table and value kept as text. Without OUTPUT it is "
                       "converted in place: the legacy file is kept as INPUT.jet and the new "
                       "file takes its name."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help."));
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Show the version and exit."));
    const QCommandLineOption dictionaryOption(
        {QStringLiteral("d"), QStringLiteral("dictionary")},
        QStringLiteral("The dictionary to build: %1. Default: chosen by OUTPUT's file name.")
            .arg(knownNames()),
        QStringLiteral("NAME"));
    const QCommandLineOption quietOption({QStringLiteral("q"), QStringLiteral("quiet")},
                                         QStringLiteral("Print nothing but errors."));
    const QCommandLineOption codepageOption(
        QStringLiteral("codepage"),
        QStringLiteral("Legacy .mdb input only: the code page of Access 97 text (1252, 1251, "
                       "GBK ...). Default: 1252 (Windows Western)."),
        QStringLiteral("CP"));
    const QCommandLineOption tableOption(
        QStringLiteral("table"),
        QStringLiteral("Legacy .mdb input only: convert only this table (may be repeated)."),
        QStringLiteral("NAME"));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(dictionaryOption);
    parser.addOption(quietOption);
    parser.addOption(codepageOption);
    parser.addOption(tableOption);
    const QCommandLineOption swordOption(
        QStringLiteral("sword"),
        QStringLiteral("Read the installed SWORD dictionary module MODULE (see --sword-list) "
                       "instead of a file. Without OUTPUT the file goes into the dictionary "
                       "folder, as for a CSV file."),
        QStringLiteral("MODULE"));
    const QCommandLineOption swordListOption(
        QStringLiteral("sword-list"),
        QStringLiteral("List the installed SWORD dictionary modules: name, description, "
                       "entries and folder."));
    const QCommandLineOption titleOption(
        QStringLiteral("title"),
        QStringLiteral("CSV input only: build a dictionary of its own, beside the three, "
                       "titled TEXT in the Dictionaries menu. The CSV names the columns "
                       "dbword and dbdesc, as Easton's. Without OUTPUT the file goes into "
                       "the dictionary folder."),
        QStringLiteral("TEXT"));
    parser.addOption(swordOption);
    parser.addOption(swordListOption);
    parser.addOption(titleOption);
    const QCommandLineOption tsvOption(
        QStringLiteral("tsv"),
        QStringLiteral("With --sword-list or --sword-available: one module a line, its fields "
                       "separated by tabs, without a header (for programs)."));
    parser.addOption(tsvOption);
    // The SWORD repositories (SwordInstallTool.h).
    const QCommandLineOption sourcesOption(
        QStringLiteral("sword-sources"),
        QStringLiteral("List the SWORD repositories (libsword's InstallMgr.conf)."));
    const QCommandLineOption refreshSourcesOption(
        QStringLiteral("sword-refresh-sources"),
        QStringLiteral("Fetch the master list of SWORD repositories (uses the network)."));
    const QCommandLineOption addSourceOption(
        QStringLiteral("sword-add-source"),
        QStringLiteral("Add the repository at URL under the name NAME (given as NAME URL)."));
    const QCommandLineOption availableOption(
        QStringLiteral("sword-available"),
        QStringLiteral("List the dictionary modules the repositories offer, or one repository "
                       "SOURCE's (given as an argument); uses the network."));
    const QCommandLineOption installOption(
        QStringLiteral("sword-install"),
        QStringLiteral("Download MODULE into ~/.sword (uses the network), then add it to "
                       "Tolvane as --sword MODULE does."),
        QStringLiteral("MODULE"));
    const QCommandLineOption sourceOption(
        QStringLiteral("source"),
        QStringLiteral("With --sword-install: the repository to take the module from."),
        QStringLiteral("SOURCE"));
    const QCommandLineOption progressLinesOption(
        QStringLiteral("progress-lines"),
        QStringLiteral("With --sword-install: the download's progress on stdout, one line "
                       "\"progress DONE TOTAL\" (bytes, tab-separated; TOTAL 0 when not known), "
                       "for programs."));
    const QCommandLineOption uninstallOption(QStringLiteral("sword-uninstall"),
                                             QStringLiteral("Remove MODULE from ~/.sword."),
                                             QStringLiteral("MODULE"));
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("Write the dictionary NAME (kjv, eastons, hitchcock, a file of the "
                       "dictionary folder or an added dictionary's title) to OUTPUT.csv, in "
                       "the form this tool reads."),
        QStringLiteral("NAME"));
    parser.addOption(exportOption);
    for (const auto* o : {&sourcesOption, &refreshSourcesOption, &addSourceOption, &availableOption,
                          &installOption, &sourceOption, &uninstallOption, &progressLinesOption})
        parser.addOption(*o);
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The CSV file."));
    parser.addPositionalArgument(
        QStringLiteral("OUTPUT"),
        QStringLiteral("The dictionary file to create or replace. Without it, --dictionary "
                       "names the file, in the folder Tolvane reads its dictionaries from."));

    if (!parser.parse(arguments))
        return usageError(err, parser.errorText());
    if (parser.isSet(helpOption)) {
        out << parser.helpText();
        out.flush();
        return ExitOk;
    }
    if (parser.isSet(versionOption)) {
        out << kToolName << " " << TOLVANE_RELEASE << "\n";
        out.flush();
        return ExitOk;
    }
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(exportOption))
        return runCsvExport(parser.value(exportOption), files, parser.isSet(quietOption), out, err);
    const std::pair<const QCommandLineOption*, const char*> repositoryActions[] = {
        {&sourcesOption, "sources"},      {&refreshSourcesOption, "refresh-sources"},
        {&addSourceOption, "add-source"}, {&availableOption, "available"},
        {&installOption, "install"},      {&uninstallOption, "uninstall"}};
    for (const auto& [option, action] : repositoryActions)
        if (parser.isSet(*option)) {
            SwordInstallCommand command;
            command.action = QString::fromLatin1(action);
            command.module = parser.isSet(installOption) ? parser.value(installOption)
                                                         : parser.value(uninstallOption);
            command.source = parser.value(sourceOption);
            command.arguments = files;
            command.quiet = parser.isSet(quietOption);
            command.tsv = parser.isSet(tsvOption);
            command.errIsTerminal = options.errIsTerminal;
            command.progressLines = parser.isSet(progressLinesOption);
            return runSwordInstallCommand(command, out, err);
        }
    if (parser.isSet(swordListOption)) {
        if (parser.isSet(swordOption) || !files.isEmpty())
            return usageError(err, QStringLiteral("--sword-list takes no other arguments"));
        return runSwordList(out, err, parser.isSet(tsvOption));
    }
    if (parser.isSet(swordOption)) {
        SwordCommand command;
        command.module = parser.value(swordOption);
        command.files = files;
        command.dictionary = parser.value(dictionaryOption);
        command.quiet = parser.isSet(quietOption);
        command.errIsTerminal = options.errIsTerminal;
        return runSwordImport(command, out, err);
    }
    // A legacy Jet database (Access 97 / 2000) is converted rather than imported.
    if (!files.isEmpty() && isJetFile(files.at(0))) {
        JetCommand command;
        command.files = files;
        command.dictionary = parser.value(dictionaryOption);
        command.codepage = parser.value(codepageOption);
        command.tables = parser.values(tableOption);
        command.quiet = parser.isSet(quietOption);
        return runJetImport(command, out, err);
    }
    if (parser.isSet(codepageOption) || parser.isSet(tableOption))
        return usageError(err,
                          QStringLiteral("--codepage and --table apply to legacy .mdb files only"));
    if (parser.isSet(titleOption))
        return runTitledCsvImport(files, parser.value(titleOption), parser.isSet(dictionaryOption),
                                  parser.isSet(quietOption), out, err);
    // A CSV file and --dictionary without OUTPUT: into the folder the program reads.
    const bool intoDictionaryFolder = files.size() == 1 && parser.isSet(dictionaryOption);
    if (files.size() == 1 && !intoDictionaryFolder && QFileInfo(files.at(0)).isFile())
        return usageError(err, QStringLiteral("%1 is not a legacy Jet database (already "
                                              "converted?); a CSV file needs INPUT and OUTPUT, "
                                              "or --dictionary to write into the dictionary "
                                              "folder")
                                   .arg(files.at(0)));
    if (files.size() != 2 && !intoDictionaryFolder)
        return usageError(
            err,
            QStringLiteral("expected INPUT and OUTPUT, got %1 file name(s)").arg(files.size()));

    CsvImportRequest request;
    request.input = files.at(0);
    if (intoDictionaryFolder) {
        const data::DictionaryConfig* config = dictionaryByName(parser.value(dictionaryOption));
        if (config) {
            const ImportDestination destination = dictionaryFolderDestination(*config);
            if (destination.path.isEmpty()) {
                err << kToolName << ": " << destination.error << "\n";
                err.flush();
                return ExitFailed;
            }
            request.output = destination.path;
        }
    } else {
        request.output = files.at(1);
    }
    const QString chosen = parser.isSet(dictionaryOption) ? parser.value(dictionaryOption)
                                                          : QFileInfo(request.output).fileName();
    request.dictionary = dictionaryByName(chosen);
    if (!request.dictionary) {
        if (parser.isSet(dictionaryOption))
            return usageError(
                err,
                QStringLiteral("unknown dictionary '%1' (known: %2)").arg(chosen, knownNames()));
        return usageError(err, QStringLiteral("cannot tell the dictionary from the name '%1'; "
                                              "give --dictionary (%2)")
                                   .arg(chosen, knownNames()));
    }

    const bool quiet = parser.isSet(quietOption);
    if (!quiet && options.errIsTerminal) {
        request.progress = [&err](const ImportProgress& p) {
            const qint64 percent = p.bytesTotal > 0 ? p.bytesRead * 100 / p.bytesTotal : 100;
            err << "\r" << kToolName << ": " << p.rows << " rows (" << percent << "%)";
            err.flush();
        };
    }

    try {
        const ImportResult result = importCsv(request);
        if (request.progress)
            err << "\n";
        if (!quiet)
            out << kToolName << ": " << result.rows << " rows into table "
                << request.dictionary->table << " of " << request.output << "\n";
        out.flush();
        err.flush();
        return ExitOk;
    } catch (const ImportError& e) {
        return reportImportFailure(err, e, request.output, bool(request.progress));
    }
}

int reportImportFailure(QTextStream& err, const ImportError& error, const QString& output,
                        bool progressShown) {
    if (progressShown)
        err << "\n";
    if (error.diskFull() && !error.outputReplaced()) {
        err << kToolName << ": "
            << QStringLiteral("The disk is full: there is no room for the new dictionary file %1. "
                              "Free some space on that disk and try again; nothing was changed.")
                   .arg(output)
            << "\n";
        err.flush();
        return ExitFailed;
    }
    err << kToolName << ": " << error.describe() << "\n";
    if (!error.outputReplaced())
        err << kToolName << ": nothing written; " << output << " is unchanged\n";
    err.flush();
    return ExitFailed;
}

} // namespace tolvane::import
