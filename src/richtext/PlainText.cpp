#include "richtext/PlainText.h"

#include <QTextBlock>
#include <QTextDocument>

namespace tolvane::richtext {

QString plainText(const QTextDocument& document) {
    QString out;
    out.reserve(document.characterCount());
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            out.append(u'\n');
        out.append(block.text());
    }
    out.replace(QChar(QChar::LineSeparator), u'\n');
    return out;
}

void setPlainTextContent(QTextDocument& document, const QString& text) {
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(u'\r', u'\n');
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.setPlainText(normalized);
    document.setUndoRedoEnabled(undo);
}

} // namespace tolvane::richtext
