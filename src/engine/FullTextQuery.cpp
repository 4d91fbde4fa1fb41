#include "engine/FullTextQuery.h"

#include <QList>
#include <QSet>
#include <QStringList>
#include <algorithm>
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
    return QStringLiteral("Search for at most %1 different words at once.").arg(kMostFullTextWords);
}

// What makes a word to the index's tokenizer, judged by code point (a word beyond U+FFFF is
// one like any other): letters, numbers and private use characters. Combining marks belong
// to the word they follow but make none on their own (the tokenizer removes them).
bool isWordCharacter(char32_t c) {
    return QChar::isLetterOrNumber(c) || QChar::category(c) == QChar::Other_PrivateUse;
}

bool isPartOfWord(char32_t c) {
    return isWordCharacter(c) || QChar::category(c) == QChar::Mark_NonSpacing;
}

// Control characters (a pasted NUL or tab) part words as spaces do: FTS5 reads a quoted
// string only up to a NUL.
bool isSeparator(char32_t c) {
    return QChar::isSpace(c) || QChar::category(c) == QChar::Other_Control;
}

// How many words the tokenizer makes of the text.
int wordCount(CodePoints text) {
    int words = 0;
    bool counted = false; // the word under way has been counted
    for (char32_t c : text) {
        if (!isPartOfWord(c)) {
            counted = false;
            continue;
        }
        if (isWordCharacter(c) && !counted) {
            ++words;
            counted = true;
        }
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
        const QString term =
            QLatin1Char('"') + body + QLatin1Char('"') + (prefix ? QStringLiteral("*") : QString());
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

// A quotation mark as typed, or as pasted from a text set with typographic ones
// (“a phrase”, „a phrase“, «a phrase»): each opens or closes a phrase.
bool isQuote(char32_t c) {
    switch (c) {
    case U'"':
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

bool endsWithStar(CodePoints text) {
    return !text.empty() && text.back() == U'*';
}

} // namespace

FullTextQuery translateFullTextQuery(QStringView typed) {
    FullTextQuery result;
    const QList<uint> ucs4 = typed.toUcs4(); // invalid UTF-16 becomes U+FFFD
    const CodePoints text(reinterpret_cast<const char32_t*>(ucs4.constData()), size_t(ucs4.size()));
    Terms terms;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        if (isSeparator(text[i])) {
            ++i;
            continue;
        }
        if (isQuote(text[i])) {
            size_t close = i + 1;
            while (close < n && !isQuote(text[close]))
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
        while (end < n && !isSeparator(text[end]) && !isQuote(text[end]))
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
