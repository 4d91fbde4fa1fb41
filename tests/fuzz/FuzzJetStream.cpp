// libFuzzer target: the parser of the Jet reading helper's stream, which comes from a process
// running an unreliable library. Any bytes either parse into tables whose every row has one
// value per column, or are refused with JetStreamError; nothing else may happen.

#include "engine/legacy/JetStreamParser.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

using namespace tolvane::engine::legacy;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const ParsedJetStream parsed = parseJetStream(bytes);
        for (const LegacyTable& table : parsed.database.tables)
            for (const auto& row : table.rows)
                if (row.size() != size_t(table.columns.size()))
                    __builtin_trap();
    } catch (const JetStreamError&) {
    }
    return 0;
}
