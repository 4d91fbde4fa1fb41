#include "engine/NoCaseCollation.h"

#include "engine/CaseFold.h"

#include <sqlite3.h>

namespace tolvane::engine {

namespace {

int compareNoCase(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return compareFoldedUtf8(QByteArrayView(static_cast<const char*>(a), lengthA),
                             QByteArrayView(static_cast<const char*>(b), lengthB));
}

} // namespace

int registerNoCaseCollation(sqlite3* db) {
    return sqlite3_create_collation_v2(db, kNoCaseCollation, SQLITE_UTF8, nullptr, compareNoCase,
                                       nullptr);
}

} // namespace tolvane::engine
