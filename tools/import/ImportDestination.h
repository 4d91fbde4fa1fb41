#pragma once
// Where `tolvane-import --dictionary NAME INPUT.csv` writes when no OUTPUT is given: the
// dictionary's file in the folder the program itself reads (platform/DictionaryFolder.h),
// so that the next start of Tolvane shows the imported dictionary.

#include "data/DictionaryConfig.h"

#include <QString>

namespace tolvane::import {

struct ImportDestination {
    QString path;  // the file to write; empty when the folder cannot be used
    QString error; // why not, naming the folder
};

ImportDestination dictionaryFolderDestination(const data::DictionaryConfig& config);

} // namespace tolvane::import
