#include "engine/FullTextFunctions.h"

#include <atomic>
#include <sqlite3.h>

namespace tolvane::engine {

namespace {

std::atomic<RichTextFlattener> g_flattener{nullptr};

void plainTextFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int length = sqlite3_value_bytes(argv[0]);
    const QString value = QString::fromUtf8(bytes, length);
    if (!looksLikeRichText(value)) {
        sqlite3_result_value(context, argv[0]);
        return;
    }
    const QByteArray plain = indexableText(value).toUtf8();
    sqlite3_result_text(context, plain.constData(), static_cast<int>(plain.size()),
                        SQLITE_TRANSIENT);
}

} // namespace

void setRichTextFlattener(RichTextFlattener flattener) {
    g_flattener.store(flattener);
}

bool looksLikeRichText(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    return text.mid(i).startsWith(u"{\\rtf");
}

QString indexableText(const QString& value) {
    const RichTextFlattener flattener = g_flattener.load();
    if (!flattener || !looksLikeRichText(value))
        return value;
    return flattener(value);
}

int registerFullTextFunctions(sqlite3* db) {
    // Innocuous: the triggers in a dictionary file may call it even where the schema is not
    // trusted; deterministic: the same value always gives the same text.
    return sqlite3_create_function_v2(db, kPlainTextFunction, 1,
                                      SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                      nullptr, plainTextFunction, nullptr, nullptr, nullptr);
}

} // namespace tolvane::engine
