#include "import/SwordImportTool.h"

#include "data/AddedDictionaries.h"
#include "import/ImportDestination.h"
#include "import/ImportTool.h"
#include "import/SwordImport.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace tolvane::import {

namespace {

const QString kToolName = QStringLiteral("tolvane-import");

int usage(QTextStream& err, const QString& message) {
    err << kToolName << ": " << message << "\n"
        << "usage: " << kToolName << " --sword MODULE [--dictionary NAME] [OUTPUT]\n"
        << "       " << kToolName << " --sword-list\n"
        << "Try '" << kToolName << " --help' for more.\n";
    err.flush();
    return ExitUsage;
}

// At most a handful of names, then how many more.
QString someOf(const QStringList& names) {
    constexpr int shown = 8;
    QString text = names.mid(0, shown).join(QStringLiteral(", "));
    if (names.size() > shown)
        text += QStringLiteral(" and %1 more").arg(names.size() - shown);
    return text;
}

void printNotes(const SwordImportResult& result, const data::DictionaryConfig& dictionary,
                QTextStream& out, QTextStream& err) {
    if (!result.repeatedKeys.isEmpty())
        out << kToolName << ": " << result.repeatedKeys.size()
            << " headword(s) have more than one entry, each a row of its own: "
            << someOf(result.repeatedKeys) << "\n";
    if (!result.emptyKeys.isEmpty())
        out << kToolName << ": " << result.emptyKeys.size()
            << " headword(s) have no text in the module and an empty definition: "
            << someOf(result.emptyKeys) << "\n";
    if (!result.leftOutKeys.isEmpty())
        err << kToolName << ": warning: " << result.leftOutKeys.size()
            << " entry(ies) left out: their key is empty or only spaces\n";
    if (!result.markupLeftKeys.isEmpty())
        err << kToolName << ": warning: libsword's plain text of " << result.markupLeftKeys.size()
            << " entry(ies) still looks like markup: " << someOf(result.markupLeftKeys) << "\n";
    if (dictionary.hasScripture())
        out << kToolName << ": the column " << dictionary.scriptureColumn
            << " is left empty: a SWORD entry keeps its scripture references in its text\n";
}

// The module is installed but not in Tolvane: one line saying so, and how to add it once the
// fault is mended. The download is kept: it is whole, other SWORD programs can use it, and
// after an update it is the only copy.
int reportNotAdded(QTextStream& err, const ImportError& e, const SwordCommand& command,
                   const QString& output, bool progressShown) {
    if (progressShown)
        err << "\n";
    const QString installed = QStringLiteral("SWORD module %1 was installed in %2, but")
                                  .arg(command.module, command.installedIn);
    const QString addLater = QStringLiteral("add it with \"Add to Tolvane\" in Get Dictionaries "
                                            "(or tolvane-import --sword %1).")
                                 .arg(command.module);
    if (e.diskFull())
        err << kToolName << ": The disk is full: " << installed
            << " there is no room to add it to Tolvane as " << output
            << ". Free some space on that disk, then " << addLater << "\n";
    else
        err << kToolName << ": " << installed << " it could not be added to Tolvane ("
            << e.describe() << "). Once that is mended, " << addLater << "\n";
    err.flush();
    return ExitFailed;
}

} // namespace

int runSwordImport(const SwordCommand& command, QTextStream& out, QTextStream& err) {
    if (command.files.size() > 1)
        return usage(err, QStringLiteral("--sword takes at most one OUTPUT, got %1 file names")
                              .arg(command.files.size()));
    SwordImportRequest request;
    request.module = command.module;
    request.output = command.files.value(0);
    if (!command.dictionary.isEmpty()) {
        request.dictionary = dictionaryByName(command.dictionary);
        if (!request.dictionary)
            return usage(err, QStringLiteral("unknown dictionary '%1'").arg(command.dictionary));
    } else if (!request.output.isEmpty()) {
        const QString fileName = QFileInfo(request.output).fileName();
        request.dictionary = dictionaryByName(fileName);
        // OUTPUT named *.sqlite: an added dictionary written there (the program's window
        // names the folder it reads).
        if (!request.dictionary && fileName.endsWith(QLatin1String(data::kAddedSuffix)))
            request.dictionary = &data::addedConfig(fileName, command.module,
                                                    data::swordModuleSource(command.module));
        if (!request.dictionary)
            return usage(err, QStringLiteral("cannot tell the dictionary from the name '%1'; give "
                                             "--dictionary")
                                  .arg(request.output));
    } else {
        // Neither: a dictionary of its own, beside the three, named after the module.
        const QString source = data::swordModuleSource(command.module);
        const AddedDestination destination =
            addedDictionaryDestination(command.module, source, [&](const data::AddedFacts& facts) {
                return facts.source == source;
            });
        if (!destination.config) {
            err << kToolName << ": " << destination.error << "\n";
            err.flush();
            return ExitFailed;
        }
        request.dictionary = destination.config;
        request.output = destination.path;
    }
    if (request.output.isEmpty()) {
        const ImportDestination destination = dictionaryFolderDestination(*request.dictionary);
        if (destination.path.isEmpty()) {
            err << kToolName << ": " << destination.error << "\n";
            err.flush();
            return ExitFailed;
        }
        request.output = destination.path;
    }

    bool progressShown = false; // a progress line waits for its line break
    if (!command.quiet && command.errIsTerminal) {
        err << kToolName << ": reading SWORD module " << request.module << "\n";
        err.flush();
        request.progress = [&err, &progressShown](const ImportProgress& p) {
            progressShown = true;
            const qint64 percent = p.bytesTotal > 0 ? p.bytesRead * 100 / p.bytesTotal : 100;
            err << "\r" << kToolName << ": " << p.rows << " rows (" << percent << "%)   ";
            err.flush();
        };
    }
    try {
        const SwordImportResult result = importSword(request);
        if (progressShown) {
            err << "\n";
            err.flush();
        }
        if (!command.quiet) {
            out << kToolName << ": " << result.rows << " rows into table "
                << request.dictionary->table << " of " << request.output << " from SWORD module "
                << result.module.name << " (" << result.module.description << ", "
                << result.module.entries << " entries)\n";
            printNotes(result, *request.dictionary, out, err);
        }
        out.flush();
        err.flush();
        return ExitOk;
    } catch (const ImportError& e) {
        if (command.installedIn.isEmpty() || e.outputReplaced())
            return reportImportFailure(err, e, request.output, progressShown);
        return reportNotAdded(err, e, command, request.output, progressShown);
    }
}

int runSwordList(QTextStream& out, QTextStream& err, bool tsv) {
    try {
        const SwordListing listing = listSwordDictionaries();
        if (tsv) {
            const auto field = [](QString text) {
                return text.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
            };
            for (const SwordModule& m : listing.dictionaries)
                out << field(m.name) << '\t' << field(m.description) << '\t' << m.entries << '\t'
                    << field(m.folder) << '\t' << field(m.version) << '\t' << m.size << '\t'
                    << field(m.licence) << '\n';
            out.flush();
            return ExitOk;
        }
        if (listing.dictionaries.empty()) {
            out << kToolName << ": no SWORD dictionary module is installed; searched "
                << (listing.searched.isEmpty() ? QStringLiteral("no folder")
                                               : listing.searched.join(QStringLiteral(", ")))
                << "\n";
            out.flush();
            return ExitOk;
        }
        qsizetype nameWidth = 4;
        qsizetype descriptionWidth = 11;
        for (const SwordModule& m : listing.dictionaries) {
            nameWidth = qMax(nameWidth, m.name.size());
            descriptionWidth = qMax(descriptionWidth, m.description.size());
        }
        out << QStringLiteral("NAME").leftJustified(nameWidth) << "  "
            << QStringLiteral("DESCRIPTION").leftJustified(descriptionWidth) << "  "
            << QStringLiteral("ENTRIES").rightJustified(7) << "  FOLDER\n";
        for (const SwordModule& m : listing.dictionaries)
            out << m.name.leftJustified(nameWidth) << "  "
                << m.description.leftJustified(descriptionWidth) << "  "
                << QString::number(m.entries).rightJustified(7) << "  " << m.folder << "\n";
        out.flush();
        return ExitOk;
    } catch (const ImportError& e) {
        err << kToolName << ": " << e.describe() << "\n";
        err.flush();
        return ExitFailed;
    }
}

} // namespace tolvane::import
