#pragma once
// The plain-text view of a document, as the scripture box's Text gives and takes it.

#include <QString>

class QTextDocument;

namespace tolvane::richtext {

// The text of every paragraph, joined by "\n"; line breaks inside a paragraph are "\n" too.
// Unlike QTextDocument::toPlainText, no-break spaces stay what they are.
QString plainText(const QTextDocument& document);

// The plain text a stored value shows in the scripture box: RTF markup read as the box reads
// it, any other text as it is. Safe to call on any thread (it uses a document of its own);
// the full-text index stores this for the scripture column.
QString plainTextOfValue(const QString& value);

// Replaces the content with plain text. CR LF and lone CR count as one line end (Windows
// text keeps CR LF; QTextDocument would otherwise make two paragraphs of it).
void setPlainTextContent(QTextDocument& document, const QString& text);

} // namespace tolvane::richtext
