#include "moredictionaries/TitleText.h"

#include <QFontMetrics>

namespace tolvane::moredictionaries {

namespace {

// No line is wider than this many characters' worth of pixels; measuring a longer text
// whole would cost time for nothing.
QString oneLine(const QString& title, qsizetype most) {
    QString line = title.left(most);
    for (QChar& c : line)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    return line;
}

} // namespace

QString shownTitle(const QString& title, const QFontMetrics& metrics, int pixels) {
    // Even the narrowest characters (about a third of the average) fill `pixels` well
    // before this many.
    const qsizetype most = 4 * pixels / qMax(1, metrics.averageCharWidth()) + 2;
    QString line = oneLine(title, most);
    if (title.size() > most)
        line += QChar(0x2026); // so that eliding cuts it even when it just fits
    return metrics.elidedText(line, Qt::ElideRight, pixels);
}

QString titleTooltip(const QString& title, const QFontMetrics& metrics, int pixels) {
    if (shownTitle(title, metrics, pixels) == oneLine(title, title.size()))
        return {};
    QString text = title.left(kTooltipCharacters);
    if (title.size() > kTooltipCharacters)
        text += QChar(0x2026);
    // As rich text a tooltip wraps its lines instead of running off the screen.
    return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

} // namespace tolvane::moredictionaries
