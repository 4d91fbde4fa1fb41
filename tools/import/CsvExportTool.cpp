#include "import/CsvExportTool.h"

#include "data/AddedDictionaries.h"
#include "data/DictionaryCsv.h"
#include "import/ImportTool.h"
#include "platform/DictionaryFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace tolvane::import {

namespace {

// The dictionary NAME stands for, among the dictionary folder's files.
const data::DictionaryConfig* findDictionary(const QString& name, const QString& folder) {
    if (const data::DictionaryConfig* known = dictionaryByName(name))
        return known;
    for (const data::DictionaryConfig* added : data::rescanAddedDictionaries(folder))
        if (added->fileName.compare(name, Qt::CaseInsensitive) == 0 ||
            added->menuCaption.compare(name, Qt::CaseInsensitive) == 0 ||
            added->fileName.compare(name + QLatin1String(data::kAddedSuffix),
                                    Qt::CaseInsensitive) == 0)
            return added;
    return nullptr;
}

} // namespace

int runCsvExport(const QString& name, const QStringList& files, bool quiet, QTextStream& out,
                 QTextStream& err) {
    const auto fail = [&](const QString& message, int status) {
        err << "tolvane-import: " << message << "\n";
        err.flush();
        return status;
    };
    if (files.size() != 1)
        return fail(QStringLiteral("--export NAME needs one OUTPUT.csv, got %1 file name(s)")
                        .arg(files.size()),
                    ExitUsage);
    QStringList fileNames;
    for (const auto* known : data::allConfigs())
        fileNames << known->fileName;
    const platform::DictionaryFolder folder =
        platform::prepareDictionaryFolder(platform::standardDictionaryFolderPlaces({}, fileNames));
    const QString shownFolder = QDir::toNativeSeparators(folder.path);
    const data::DictionaryConfig* config = findDictionary(name, folder.path);
    if (!config)
        return fail(QStringLiteral("no dictionary \"%1\" in %2; name kjv, eastons, hitchcock, "
                                   "a file of that folder or an added dictionary's title")
                        .arg(name, shownFolder),
                    ExitFailed);
    const QString database = QDir(folder.path).filePath(config->fileName);
    if (!QFileInfo::exists(database))
        return fail(QStringLiteral("%1 is not in %2").arg(config->fileName, shownFolder),
                    ExitFailed);
    const data::CsvExportResult result = data::exportDictionaryCsv(database, *config, files.at(0));
    if (!result.error.isEmpty())
        return fail(result.error, ExitFailed);
    if (!quiet)
        out << "tolvane-import: " << result.rows << " rows of " << config->menuCaption << " into "
            << files.at(0) << "\n";
    out.flush();
    return ExitOk;
}

} // namespace tolvane::import
