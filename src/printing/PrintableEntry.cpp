#include "printing/PrintableEntry.h"

#include <QStringList>
#include <QTextDocument>

namespace tolvane::printing {

namespace {

QString paragraphs(const QString& text) {
    QString html;
    const QStringList lines =
        QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    for (const QString& line : lines)
        html += QStringLiteral("<p>%1</p>").arg(line.toHtmlEscaped());
    return html;
}

} // namespace

QString entryHtml(const PrintableEntry& entry) {
    QString html = QStringLiteral("<html><body>");
    if (!entry.dictionary.isEmpty())
        html += QStringLiteral("<p><small>%1</small></p>").arg(entry.dictionary.toHtmlEscaped());
    html += QStringLiteral("<h2>%1</h2>").arg(entry.headword.toHtmlEscaped());
    html += paragraphs(entry.text);
    if (!entry.scripture.isEmpty())
        html += QStringLiteral("<h4>Scripture</h4>") + paragraphs(entry.scripture);
    return html + QStringLiteral("</body></html>");
}

QString entryPlainText(const PrintableEntry& entry) {
    QString text;
    if (!entry.dictionary.isEmpty())
        text += entry.dictionary + QStringLiteral("\n\n");
    text += entry.headword + QStringLiteral("\n\n") + entry.text;
    if (!entry.scripture.isEmpty())
        text += QStringLiteral("\n\nScripture\n") + entry.scripture;
    return text + QLatin1Char('\n');
}

void fillDocument(QTextDocument& document, const PrintableEntry& entry) {
    document.setHtml(entryHtml(entry));
    document.setMetaInformation(QTextDocument::DocumentTitle, entry.headword);
}

} // namespace tolvane::printing
