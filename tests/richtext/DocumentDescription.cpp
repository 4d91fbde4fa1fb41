#include "richtext/DocumentDescription.h"

#include <QFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace tolvane::test {

namespace {

QString describeFormat(const QTextCharFormat& f, const QFont& defaults) {
    QFont font = defaults;
    font = f.font().resolve(defaults);
    QString d = QStringLiteral("%1 %2pt").arg(font.family()).arg(font.pointSizeF());
    if (font.bold())
        d += QStringLiteral(" bold");
    if (font.italic())
        d += QStringLiteral(" italic");
    if (font.underline())
        d += QStringLiteral(" underline");
    if (font.strikeOut())
        d += QStringLiteral(" strike");
    if (f.foreground().style() != Qt::NoBrush)
        d += QStringLiteral(" fg") + f.foreground().color().name();
    if (f.background().style() != Qt::NoBrush)
        d += QStringLiteral(" bg") + f.background().color().name();
    return d;
}

QString describeBlock(const QTextBlockFormat& f) {
    QString align = QStringLiteral("left");
    const Qt::Alignment h = f.alignment() & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignJustify)
        align = QStringLiteral("justify");
    else if (h & Qt::AlignHCenter)
        align = QStringLiteral("center");
    else if (h & Qt::AlignRight)
        align = QStringLiteral("right");
    return QStringLiteral("%1 l%2 r%3 i%4 t%5 b%6")
        .arg(align)
        .arg(f.leftMargin())
        .arg(f.rightMargin())
        .arg(f.textIndent())
        .arg(f.topMargin())
        .arg(f.bottomMargin());
}

} // namespace

QString describeDocument(const QTextDocument& document) {
    QString out;
    const QFont defaults = document.defaultFont();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out += QStringLiteral("[") + describeBlock(block.blockFormat()) + QStringLiteral("]\n");
        QString runText;
        QString runFormat;
        auto flush = [&] {
            if (!runText.isEmpty())
                out += QStringLiteral("  \"") + runText + QStringLiteral("\" ") + runFormat + u'\n';
            runText.clear();
        };
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QString format = describeFormat(fragment.charFormat(), defaults);
            if (format != runFormat)
                flush();
            runFormat = format;
            runText += fragment.text();
        }
        flush();
    }
    return out;
}

QString normalizeWhiteSpace(const QString& text) { return text.simplified(); }

} // namespace tolvane::test
