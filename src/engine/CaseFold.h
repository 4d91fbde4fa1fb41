#pragma once
// Letter case folding shared by everything that compares text without regard to case: the
// LIKE matcher, `=`, and the collation the headword index is sorted by. All three must agree,
// or the index would find rows the matcher rejects (or miss rows it accepts). Folding is per
// code point (Unicode simple case folding), so "É" and "é" compare equal, not only A-Z.
// Typographic apostrophes (U+2019, U+2018, U+02BC, U+2032) count as the straight one (U+0027):
// a reader who types "jacob's" means "Jacob’s Well" too.
//
// An index built on this folding is only as good as the rule and the Unicode tables it was
// built with; caseFoldVersion() names both, and CollationIndexes.h rebuilds the indexes of a
// file when it changes.

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <string>
#include <vector>

namespace tolvane::engine {

inline bool isApostropheVariant(char32_t cp) noexcept {
    return cp == 0x2019 || cp == 0x2018 || cp == 0x02BC || cp == 0x2032;
}

inline char32_t foldCase(char32_t cp) noexcept {
    if (cp < 0x80)
        return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
    if (isApostropheVariant(cp))
        return U'\'';
    return QChar::toCaseFolded(cp);
}

// The code points, other than `folded` itself, that fold to `folded`; null when there are
// none. The case classes of Unicode are small: a list holds at most a handful.
const std::vector<char32_t>* codePointsFoldingTo(char32_t folded);

// Calls f(char32_t) for every code point that folds to the same code point as `cp` (`cp`
// itself included) until f returns false.
template <typename F> void forEachCaseVariant(char32_t cp, F&& f) {
    const char32_t folded = foldCase(cp);
    if (foldCase(folded) == folded && !f(folded))
        return;
    if (const std::vector<char32_t>* others = codePointsFoldingTo(folded)) {
        for (char32_t other : *others) {
            if (!f(other))
                return;
        }
    }
}

// The folding rule's own number and the Unicode version of the case tables in use.
QString caseFoldVersion();

// Decodes one code point from UTF-8 at `p` (before `end`) and advances `p`. A malformed
// byte decodes to itself, as a code point in the range U+DC80..U+DCFF, so no input can make
// a comparison fail or read past the end.
char32_t decodeUtf8(const unsigned char*& p, const unsigned char* end) noexcept;

// Calls f(char32_t) for every code point of a UTF-16 text; a lone surrogate is passed as is.
template <typename F> void forEachCodePoint(QStringView text, F&& f) {
    const QChar* p = text.data();
    const QChar* end = p + text.size();
    while (p < end) {
        const char16_t unit = p->unicode();
        ++p;
        if (QChar::isHighSurrogate(unit) && p < end && p->isLowSurrogate()) {
            f(QChar::surrogateToUcs4(unit, p->unicode()));
            ++p;
        } else {
            f(char32_t(unit));
        }
    }
}

// Orders two UTF-8 texts by their folded code points (the collation's order). Negative,
// zero or positive like strcmp. Allocates nothing.
int compareFoldedUtf8(QByteArrayView a, QByteArrayView b) noexcept;

// The text folded code point by code point.
std::u32string foldedCodePoints(QStringView text);
QString foldedText(QStringView text);

// Case-insensitive equality with the same folding.
bool equalFolded(QStringView a, QStringView b);

} // namespace tolvane::engine
