#pragma once
// What a dictionary's full-text index covers (engine/FullTextIndex.h): its table's headword
// and definition, and the scripture column where the dictionary has one.

#include "data/DictionaryConfig.h"
#include "engine/FullTextIndex.h"

namespace tolvane::data {

inline engine::FullTextSource fullTextSource(const DictionaryConfig& config) {
    return {config.table, config.headwordColumn, config.definitionColumn, config.scriptureColumn};
}

} // namespace tolvane::data
