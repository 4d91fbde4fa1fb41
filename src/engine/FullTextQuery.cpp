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
        if (typed[i] == u'"') {
            const qsizetype close = typed.indexOf(u'"', i + 1);
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
        while (end < n && !typed[end].isSpace() && typed[end] != u'"')
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
