#pragma once
// The SQL function the full-text index calls for the King James scripture column:
// tolvane_plain_text(value) gives the words a rich-text value shows, without its markup, and
// any other value unchanged. Every connection the engine opens registers it (Connection.cpp),
// because the index's triggers call it whenever a row is stored.
//
// The engine cannot read rich text itself (the reader sits above it), so the program installs
// the reader's plain-text view once at start with setRichTextFlattener. Until one is
// installed, rich text is indexed as it is stored.

#include <QString>
#include <QStringView>

struct sqlite3;

namespace tolvane::engine {

inline constexpr char kPlainTextFunction[] = "tolvane_plain_text";

// Must be safe to call from any thread: the Find window builds indexes in the background.
using RichTextFlattener = QString (*)(const QString& rtf);
void setRichTextFlattener(RichTextFlattener flattener);

// True for rich-text markup: "{\rtf" after optional white space.
bool looksLikeRichText(QStringView text);

// What the index holds for a stored value: its plain text when it is rich text.
QString indexableText(const QString& value);

// Registers the function on `db`; returns the SQLite result code.
int registerFullTextFunctions(sqlite3* db);

} // namespace tolvane::engine
