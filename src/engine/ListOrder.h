#pragma once
// Rows put into list order in memory, for sets that no trusted list index delivers in order
// (read-only files, legacy Jet files, patterns the index cannot serve): each text's sort key
// is made once (ListCollation.h), and the keys are compared with memcmp.

#include "engine/RowIds.h"
#include "engine/TextBlock.h"

#include <atomic>
#include <vector>

namespace tolvane::engine {

// The places of `texts` in list order: null texts first, equal texts by row id.
// `rowids` holds one row id per text. Once `stop` turns true the result is of no use (the work
// ends early).
std::vector<quint32> listOrder(const TextBlock& texts, const RowIds& rowids,
                               const std::atomic<bool>* stop = nullptr);

} // namespace tolvane::engine
