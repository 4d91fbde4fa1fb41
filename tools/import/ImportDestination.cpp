#include "import/ImportDestination.h"

#include "platform/DictionaryFolder.h"

#include <QDir>

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

} // namespace tolvane::import
