#include "richtext/PlainText.h"

#include "richtext/RtfReader.h"

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

QString plainTextOfValue(const QString& value) {
    if (!isRtf(value))
        return value;
    QTextDocument document;
    readRtf(value, document);
    return plainText(document);
}

void setPlainTextContent(QTextDocument& document, const QString& text) {
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Characters QTextDocument keeps for itself (frames, objects) or would drop on the way to
    // and from RTF are made plain: every line end is a paragraph end, NUL goes, markers are U+FFFD.
    for (qsizetype i = 0; i < normalized.size(); ++i) {
        QChar& c = normalized[i];
        if (c.isHighSurrogate() && i + 1 < normalized.size() &&
            normalized.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate()) {
            c = QChar(0xFFFD); // a lone half of a pair is not a character
            continue;
        }
        switch (c.unicode()) {
        case u'\r':
        case 0x0B:
        case 0x0C:
        case 0x2029:
            c = u'\n';
            break;
        case 0xFDD0:
        case 0xFDD1:
        case 0xFFFC:
            c = QChar(0xFFFD);
            break;
        default:
            break;
        }
    }
    normalized.remove(QChar(0));
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.setPlainText(normalized);
    document.setUndoRedoEnabled(undo);
}

} // namespace tolvane::richtext
