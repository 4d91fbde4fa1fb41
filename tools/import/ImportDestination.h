#pragma once
// Where `tolvane-import --dictionary NAME INPUT.csv` writes when no OUTPUT is given: the
// dictionary's file in the folder the program itself reads (platform/DictionaryFolder.h),
// so that the next start of Tolvane shows the imported dictionary.

#include "data/AddedDictionaries.h"
#include "data/DictionaryConfig.h"

#include <QString>
#include <functional>

namespace tolvane::import {

struct ImportDestination {
    QString path;  // the file to write; empty when the folder cannot be used
    QString error; // why not, naming the folder
};

ImportDestination dictionaryFolderDestination(const data::DictionaryConfig& config);

// An added dictionary titled `title` from `source`, in the dictionary folder: the file one
// there that is the same dictionary (`same`) already has, else the first free file name the
// title makes (data::addedFileFor). `config` is null when the folder cannot be used.
struct AddedDestination : ImportDestination {
    const data::DictionaryConfig* config = nullptr;
};
AddedDestination
addedDictionaryDestination(const QString& title, const QString& source,
                           const std::function<bool(const data::AddedFacts&)>& same);

} // namespace tolvane::import
