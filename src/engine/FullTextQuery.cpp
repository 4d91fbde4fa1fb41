#include "engine/FullTextQuery.h"

#include <QStringList>

namespace tolvane::engine {

namespace {

QString unclosedQuote() {
    return QStringLiteral("A quotation mark is not closed.");
}
QString misplacedStar() {
    return QStringLiteral("Put * at the end of a word, as in bless*.");
}

// Whether the text holds anything the tokenizer keeps as (part of) a word.
bool hasWordCharacter(QStringView text) {
    for (QChar c : text)
        if (c.isLetterOrNumber() || c.isMark())
            return true;
    return false;
}

// A quotation mark as typed, or as pasted from a text set with typographic ones
// (“a phrase”, „a phrase“, «a phrase»): each opens or closes a phrase.
bool isQuote(QChar c) {
    switch (c.unicode()) {
    case u'"':
    case 0x201C: // “
    case 0x201D: // ”
    case 0x201E: // „
    case 0x201F: // ‟
    case 0x00AB: // «
    case 0x00BB: // »
    case 0xFF02: // ＂
        return true;
    default:
        return false;
    }
}

qsizetype nextQuote(QStringView text, qsizetype from) {
    for (qsizetype i = from; i < text.size(); ++i)
        if (isQuote(text[i]))
            return i;
    return -1;
}

QString quoted(QStringView text, bool prefix) {
    QString body = text.toString();
    body.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + body + QLatin1Char('"') + (prefix ? QStringLiteral("*") : QString());
}

} // namespace

FullTextQuery translateFullTextQuery(QStringView typed) {
    FullTextQuery result;
    QStringList terms;
    qsizetype i = 0;
    const qsizetype n = typed.size();
    while (i < n) {
        if (typed[i].isSpace()) {
            ++i;
            continue;
        }
        if (isQuote(typed[i])) {
            const qsizetype close = nextQuote(typed, i + 1);
            if (close < 0) {
                result.problem = unclosedQuote();
                return result;
            }
            const QStringView phrase = typed.mid(i + 1, close - i - 1);
            i = close + 1;
            bool prefix = false;
            if (i < n && typed[i] == u'*') {
                prefix = true;
                while (i < n && typed[i] == u'*')
                    ++i;
            }
            if (hasWordCharacter(phrase))
                terms << quoted(phrase, prefix);
            else if (prefix) {
                result.problem = misplacedStar();
                return result;
            }
            continue;
        }
        qsizetype end = i;
        while (end < n && !typed[end].isSpace() && !isQuote(typed[end]))
            ++end;
        QStringView word = typed.mid(i, end - i);
        i = end;
        bool prefix = false;
        while (word.endsWith(u'*')) {
            prefix = true;
            word.chop(1);
        }
        if (word.contains(u'*') || (prefix && !hasWordCharacter(word))) {
            result.problem = misplacedStar();
            return result;
        }
        if (hasWordCharacter(word))
            terms << quoted(word, prefix);
    }
    result.match = terms.join(QLatin1Char(' '));
    return result;
}

} // namespace tolvane::engine
