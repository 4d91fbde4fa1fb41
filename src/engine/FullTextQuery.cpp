#include "engine/FullTextQuery.h"

#include <QList>
#include <algorithm>
#include <QSet>
#include <QStringList>
#include <span>

namespace tolvane::engine {

namespace {

using CodePoints = std::span<const char32_t>;

QString unclosedQuote() {
    return QStringLiteral("A quotation mark is not closed.");
}
QString misplacedStar() {
    return QStringLiteral("Put * at the end of a word, as in bless*.");
}
QString tooManyWords() {
    return QStringLiteral("Search for at most %1 different words at once.")
        .arg(kMostFullTextWords);
}

// What the index's tokenizer keeps as (part of) a word: letters, numbers, marks and private
// use characters, judged by code point, so a word beyond U+FFFF counts as one.
bool isWordCharacter(char32_t c) {
    return QChar::isLetterOrNumber(c) || QChar::isMark(c) ||
           QChar::category(c) == QChar::Other_PrivateUse;
}

// Control characters (a pasted NUL or tab) part words as spaces do: FTS5 reads a quoted
// string only up to a NUL.
bool isSeparator(char32_t c) {
    return QChar::isSpace(c) || QChar::category(c) == QChar::Other_Control;
}

// How many words the tokenizer makes of the text.
int wordCount(CodePoints text) {
    int words = 0;
    bool inWord = false;
    for (char32_t c : text) {
        const bool word = isWordCharacter(c);
        words += word && !inWord;
        inWord = word;
    }
    return words;
}

// The distinct terms so far; a term typed again (in any letter case) adds nothing.
class Terms {
public:
    void add(CodePoints text, bool prefix) {
        QString body;
        body.reserve(qsizetype(text.size()));
        for (char32_t c : text) {
            if (isSeparator(c))
                body += QLatin1Char(' ');
            else if (c == U'"')
                body += QLatin1String("\"\"");
            else
                body += QString::fromUcs4(&c, 1);
        }
        const QString term = QLatin1Char('"') + body + QLatin1Char('"') +
                             (prefix ? QStringLiteral("*") : QString());
        const QString key = term.toCaseFolded();
        if (m_seen.contains(key))
            return;
        m_seen.insert(key);
        m_terms << term;
        m_words += wordCount(text);
    }
    int words() const { return m_words; }
    QString match() const { return m_terms.join(QLatin1Char(' ')); }

private:
    QStringList m_terms;
    QSet<QString> m_seen;
    int m_words = 0;
};

bool hasWordCharacter(CodePoints text) {
    for (char32_t c : text)
        if (isWordCharacter(c))
            return true;
    return false;
}

bool endsWithStar(CodePoints text) {
    return !text.empty() && text.back() == U'*';
}

} // namespace

FullTextQuery translateFullTextQuery(QStringView typed) {
    FullTextQuery result;
    const QList<uint> ucs4 = typed.toUcs4(); // invalid UTF-16 becomes U+FFFD
    const CodePoints text(reinterpret_cast<const char32_t*>(ucs4.constData()),
                          size_t(ucs4.size()));
    Terms terms;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        if (isSeparator(text[i])) {
            ++i;
            continue;
        }
        if (text[i] == U'"') {
            size_t close = i + 1;
            while (close < n && text[close] != U'"')
                ++close;
            if (close == n) {
                result.problem = unclosedQuote();
                return result;
            }
            const CodePoints phrase = text.subspan(i + 1, close - i - 1);
            i = close + 1;
            bool prefix = false;
            while (i < n && text[i] == U'*') {
                prefix = true;
                ++i;
            }
            if (hasWordCharacter(phrase))
                terms.add(phrase, prefix);
            else if (prefix) {
                result.problem = misplacedStar();
                return result;
            }
            continue;
        }
        size_t end = i;
        while (end < n && !isSeparator(text[end]) && text[end] != U'"')
            ++end;
        CodePoints word = text.subspan(i, end - i);
        i = end;
        bool prefix = false;
        while (endsWithStar(word)) {
            prefix = true;
            word = word.first(word.size() - 1);
        }
        if (std::find(word.begin(), word.end(), U'*') != word.end() ||
            (prefix && !hasWordCharacter(word))) {
            result.problem = misplacedStar();
            return result;
        }
        if (hasWordCharacter(word))
            terms.add(word, prefix);
    }
    if (terms.words() > kMostFullTextWords) {
        result.problem = tooManyWords();
        return result;
    }
    result.match = terms.match();
    return result;
}

} // namespace tolvane::engine
