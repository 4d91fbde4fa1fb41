#include "import/ImportDestination.h"

#include "platform/DictionaryFolder.h"

#include <QDir>
#include <QFileInfo>

namespace tolvane::import {

ImportDestination dictionaryFolderDestination(const data::DictionaryConfig& config) {
    QStringList fileNames;
    for (const auto* known : data::allConfigs())
        fileNames << known->fileName;
    const platform::DictionaryFolder folder =
        platform::prepareDictionaryFolder(platform::standardDictionaryFolderPlaces({}, fileNames));
    if (folder.readOnly)
        return {{}, folder.problem};
    return {QDir(folder.path).filePath(config.fileName), {}};
}

AddedDestination
addedDictionaryDestination(const QString& title, const QString& source,
                           const std::function<bool(const data::AddedFacts&)>& same) {
    AddedDestination added;
    static_cast<ImportDestination&>(added) =
        dictionaryFolderDestination(data::addedConfig(data::addedFileName(title), title, source));
    if (added.path.isEmpty())
        return added;
    const QString folder = QFileInfo(added.path).path();
    const QString file = data::addedFileFor(folder, title, same);
    added.config = &data::addedConfig(file, title, source);
    added.path = QDir(folder).filePath(file);
    return added;
}

} // namespace tolvane::import
