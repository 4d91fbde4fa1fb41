#include "shell/StartUp.h"

#include "data/DictionaryConfig.h"
#include "engine/OpenDatabase.h"
#include "platform/AppFolder.h"
#include "platform/MessageBox.h"

#include <cstdio>

namespace tolvane::shell {

QStringList dictionaryFileNames() {
    QStringList names;
    for (const auto* config : data::allConfigs())
        names << config->fileName;
    return names;
}

platform::DictionaryFolder useDictionaryFolder(const platform::DictionaryFolderPlaces& places) {
    platform::DictionaryFolder folder = platform::prepareDictionaryFolder(places);
    platform::setApplicationFolder(folder.path);
    engine::setOpenEveryFileReadOnly(folder.readOnly);
    if (!folder.problem.isEmpty()) {
        std::fprintf(stderr, "tolvane: %s\n", qPrintable(folder.problem));
        platform::msgBox(folder.problem, platform::OkOnly, QStringLiteral("Tolvane"));
    }
    return folder;
}

platform::DictionaryFolder useDictionaryFolder(const QString& requested) {
    return useDictionaryFolder(
        platform::standardDictionaryFolderPlaces(requested, dictionaryFileNames()));
}

} // namespace tolvane::shell
