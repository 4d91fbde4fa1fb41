#pragma once
// What a reader sees of a document, as one comparable text: each paragraph with its
// alignment and spacing, each run with its text and its effective character formatting
// (defaults resolved against the document's default font, adjacent equal runs merged).

#include <QString>

class QTextDocument;

namespace tolvane::test {

QString describeDocument(const QTextDocument& document);

// Collapses every run of white space to one blank and trims the ends.
QString normalizeWhiteSpace(const QString& text);

} // namespace tolvane::test
