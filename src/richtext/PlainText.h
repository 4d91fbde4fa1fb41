#pragma once
// The plain-text view of a document, as the scripture box's Text gives and takes it.

#include <QString>

class QTextDocument;

namespace tolvane::richtext {

// The text of every paragraph, joined by "\n"; line breaks inside a paragraph are "\n" too.
// Unlike QTextDocument::toPlainText, no-break spaces stay what they are.
QString plainText(const QTextDocument& document);

// Replaces the content with plain text. CR LF and lone CR count as one line end (Windows
// text keeps CR LF; QTextDocument would otherwise make two paragraphs of it).
void setPlainTextContent(QTextDocument& document, const QString& text);

} // namespace tolvane::richtext
