#pragma once
// The order of the word list: the Unicode Collation Algorithm's root order (ICU), letter case
// ignored and accents ordered after their base letter (secondary strength), the same whatever
// the user's locale. "É" sorts with "E", "æ" with "ae", "ß" with "ss". Typographic apostrophes
// count as the straight one, as they do in the engine's case rule (CaseFold.h).
//
// The collation "TOLVANE_LIST" gives SQLite this order, so an index on a headword column can
// hold the rows in list order (equal texts in row id order, as any index keeps them). Sort keys
// give the same order through memcmp, for ordering rows in memory.
//
// Threading: any thread (each has a collator of its own).

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <string>

struct sqlite3;

namespace tolvane::engine {

inline constexpr char kListCollation[] = "TOLVANE_LIST";

// Negative, zero or positive like strcmp, on UTF-8 texts.
int compareListOrderUtf8(QByteArrayView a, QByteArrayView b);
int compareListOrder(QStringView a, QStringView b);

// Appends the text's sort key to `out` and returns its length. Keys compare with memcmp over
// the shorter length, then the shorter first, exactly as compareListOrder compares the texts.
size_t appendListSortKey(QStringView text, std::string& out);
size_t appendListSortKeyUtf8(QByteArrayView text, std::string& out);

// Which Unicode tables the order comes from ("ICU 72.1, collation 153.120, Unicode 15.0" and
// the apostrophe rule): an index in this order is valid only while this stays the same.
QString listCollationVersion();

// Registers the collation on `db`; returns the SQLite result code.
int registerListCollation(sqlite3* db);

} // namespace tolvane::engine
