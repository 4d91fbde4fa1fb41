#pragma once
// What is printed, saved as PDF or copied of an entry: the dictionary's title, the headword,
// the text as the reader sees it (references and pointers as plain text) and, for the King
// James words, the scripture box's text.

#include <QString>

class QTextDocument;

namespace tolvane::printing {

struct PrintableEntry {
    QString dictionary; // "Easton's Bible Dictionary"; the Scripture window's Bible
    QString headword;   // or the passage's name
    QString text;
    QString scripture; // empty when there is none
    bool isEmpty() const { return headword.isEmpty() && text.isEmpty(); }
};

// The entry as HTML: the title small above, the headword as a heading, the text in
// paragraphs as its lines stand.
QString entryHtml(const PrintableEntry& entry);
// The same as plain text, for programs that take no rich text.
QString entryPlainText(const PrintableEntry& entry);
// A document of the entry for printing, owned by the caller.
void fillDocument(QTextDocument& document, const PrintableEntry& entry);

} // namespace tolvane::printing
