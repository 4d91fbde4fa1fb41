#include "import/SwordInstallTool.h"

#include "import/ImportTool.h"
#include "import/SwordImportTool.h"
#include "import/SwordInstall.h"

#include <QLocale>
#include <QTextStream>

namespace tolvane::import {

namespace {

const QString kToolName = QStringLiteral("tolvane-import");

// Rows of text in columns as wide as their widest cell, the header first.
void printTable(QTextStream& out, const std::vector<QStringList>& rows) {
    std::vector<qsizetype> widths;
    for (const QStringList& row : rows)
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (widths.size() <= size_t(i))
                widths.push_back(0);
            widths[size_t(i)] = std::max(widths[size_t(i)], row.at(i).size());
        }
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row.at(i).leftJustified(widths[size_t(i)] + 2) : row.at(i);
        out << line << "\n";
    }
}

void printSources(QTextStream& out, const std::vector<SwordSource>& sources) {
    std::vector<QStringList> rows{{"NAME", "TYPE", "ADDRESS"}};
    for (const SwordSource& s : sources)
        rows.push_back({s.caption, s.type, s.host + s.directory});
    if (sources.empty())
        out << kToolName << ": no repository is configured; try --sword-refresh-sources or "
            << "--sword-add-source NAME URL\n";
    else
        printTable(out, rows);
}

int usage(QTextStream& err, const QString& message) {
    err << kToolName << ": " << message << "\n"
        << "Try '" << kToolName << " --help' for more.\n";
    err.flush();
    return ExitUsage;
}

} // namespace

int runSwordInstallCommand(const SwordInstallCommand& command, QTextStream& out, QTextStream& err) {
    SwordInstallOptions options = defaultInstallOptions();
    bool progressShown = false;
    if (command.progressLines)
        options.progress = [&out](qint64 done, qint64 total) {
            out << "progress\t" << done << '\t' << total << '\n';
            out.flush();
            return true;
        };
    else if (!command.quiet && command.errIsTerminal)
        options.progress = [&err, &progressShown](qint64 done, qint64 total) {
            progressShown = true;
            const QLocale locale;
            const auto size = [&locale](qint64 bytes) {
                return locale.formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
            };
            err << "\r" << kToolName << ": " << size(done);
            if (total > 0)
                err << " of " << size(total);
            err << "      ";
            err.flush();
            return true;
        };
    const QStringList& args = command.arguments;
    // NAME URL for add-source; SOURCE for available; OUTPUT for install.
    const qsizetype allowed = command.action == u"add-source"                                  ? 2
                              : command.action == u"available" || command.action == u"install" ? 1
                                                                                               : 0;
    if (args.size() > allowed || (command.action == u"add-source" && args.size() != 2))
        return usage(err, QStringLiteral("--sword-%1 takes %2 file or name argument(s), got %3")
                              .arg(command.action)
                              .arg(allowed)
                              .arg(args.size()));
    try {
        if (command.action == u"sources")
            printSources(out, swordSources(options));
        else if (command.action == u"refresh-sources")
            printSources(out, refreshSwordSources(options));
        else if (command.action == u"add-source")
            printSources(out, addSwordSource(args.at(0), args.at(1), options));
        else if (command.action == u"available") {
            std::vector<QStringList> rows{
                {"NAME", "DESCRIPTION", "VERSION", "SIZE", "LICENCE", "STATUS", "REPOSITORY"}};
            for (const SwordOffered& m : availableSwordModules(args.value(0), options))
                rows.push_back(
                    {m.name, m.description, m.version, m.size, m.licence, m.status, m.source});
            if (command.tsv)
                for (std::size_t i = 1; i < rows.size(); ++i)
                    out << rows[i].join(u'\t') << "\n";
            else
                printTable(out, rows);
        } else if (command.action == u"uninstall") {
            removeSwordModule(command.module, options);
            if (!command.quiet)
                out << kToolName << ": SWORD module " << command.module << " removed\n";
        } else if (command.action == u"install") {
            const QString folder = installSwordModule(command.module, command.source, options);
            if (progressShown)
                err << "\n";
            if (command.progressLines)
                out << "adding\n";
            if (!command.quiet)
                out << kToolName << ": SWORD module " << command.module << " installed in "
                    << folder << "\n";
            out.flush();
            // Then into Tolvane, exactly as --sword MODULE.
            SwordCommand import;
            import.module = command.module;
            import.files = args;
            import.quiet = command.quiet;
            import.errIsTerminal = command.errIsTerminal;
            import.installedIn = folder;
            return runSwordImport(import, out, err);
        }
    } catch (const InstallError& e) {
        if (progressShown)
            err << "\n";
        err << kToolName << ": " << e.message() << "\n";
        err.flush();
        return ExitFailed;
    }
    out.flush();
    return ExitOk;
}

} // namespace tolvane::import
