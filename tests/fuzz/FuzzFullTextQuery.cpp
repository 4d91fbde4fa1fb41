// libFuzzer target: what the Find box's text becomes as a full-text query, for any text at
// all (NUL and other control characters, lone surrogates, words beyond U+FFFF). A text is
// either refused with a note and nothing to search, or becomes a query that FTS5 always
// accepts, holding no control character and at most kMostFullTextWords words; and when the
// text is plain ASCII (where every program agrees on what a letter is), a row holding the
// typed text, quotes and stars aside, is found by it.

#include "FuzzRequire.h"
#include "engine/FullTextQuery.h"

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace tolvane;

namespace {

// An in-memory index tokenized as the dictionaries' indexes are.
sqlite3* index() {
    static sqlite3* db = [] {
        sqlite3* opened = nullptr;
        require(sqlite3_open(":memory:", &opened) == SQLITE_OK);
        require(sqlite3_exec(opened,
                             "CREATE VIRTUAL TABLE words USING fts5(definition, tokenize = "
                             "'unicode61 remove_diacritics 2')",
                             nullptr, nullptr, nullptr) == SQLITE_OK);
        return opened;
    }();
    return db;
}

// How many rows of the index hold `row` and match `match`; FTS5 must accept the query.
int found(const QString& row, const QString& match) {
    sqlite3* db = index();
    require(sqlite3_exec(db, "DELETE FROM words", nullptr, nullptr, nullptr) == SQLITE_OK);
    sqlite3_stmt* insert = nullptr;
    require(sqlite3_prepare_v2(db, "INSERT INTO words VALUES (?1)", -1, &insert, nullptr) ==
            SQLITE_OK);
    const QByteArray text = row.toUtf8();
    sqlite3_bind_text(insert, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    require(sqlite3_step(insert) == SQLITE_DONE);
    sqlite3_finalize(insert);
    sqlite3_stmt* select = nullptr;
    require(sqlite3_prepare_v2(db, "SELECT count(*) FROM words WHERE words MATCH ?1", -1, &select,
                               nullptr) == SQLITE_OK);
    const QByteArray query = match.toUtf8();
    sqlite3_bind_text(select, 1, query.constData(), int(query.size()), SQLITE_TRANSIENT);
    require(sqlite3_step(select) == SQLITE_ROW); // never "unterminated string" or the like
    const int count = sqlite3_column_int(select, 0);
    sqlite3_finalize(select);
    return count;
}

bool isAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0x7f)
            return false;
    return true;
}

void check(const QString& typed) {
    const engine::FullTextQuery query = engine::translateFullTextQuery(typed);
    if (!query.isValid()) {
        require(query.isEmpty());
        return;
    }
    if (query.isEmpty())
        return;
    int terms = 0;
    for (QChar c : query.match) {
        require(c.category() != QChar::Other_Control);
        terms += c == u'"';
    }
    require(terms / 2 <= engine::kMostFullTextWords); // at least one word in every term
    QString row = typed;
    row.replace(QLatin1Char('"'), QLatin1Char(' ')).replace(QLatin1Char('*'), QLatin1Char(' '));
    const int count = found(row, query.match);
    require(count == 1 || !isAscii(typed));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    check(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    // Any UTF-16 text, lone surrogates included, as a text box can hold it.
    QString asUtf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(asUtf16.data(), data, size / 2 * 2);
    check(asUtf16);
    return 0;
}
