#pragma once
// A plain reference implementation of the LIKE pattern language (see engine/Pattern.h), for
// the differential fuzz targets: recursive matching straight from the pattern text, and
// case classes found by walking all of Unicode once. Slow and obvious on purpose; it shares
// nothing with the engine's matcher but Qt's simple case folding and the engine's one rule
// beyond it: the typographic apostrophes count as the straight one.

#include <QChar>
#include <QString>

#include <string>
#include <unordered_map>
#include <vector>

namespace tolvane::fuzz {

inline char32_t referenceFold(char32_t c) {
    if (c == 0x2019 || c == 0x2018 || c == 0x02BC || c == 0x2032)
        return U'\'';
    return QChar::toCaseFolded(c);
}

// Every code point folding to the same code point as `c` (`c` itself included).
inline std::vector<char32_t> caseClassOf(char32_t c) {
    static const std::unordered_map<char32_t, std::vector<char32_t>> shared = [] {
        std::unordered_map<char32_t, std::vector<char32_t>> byFolded;
        for (char32_t d = 0; d <= 0x10FFFF; ++d)
            byFolded[referenceFold(d)].push_back(d);
        std::erase_if(byFolded, [](const auto& entry) { return entry.second.size() < 2; });
        return byFolded;
    }();
    const auto found = shared.find(referenceFold(c));
    return found == shared.end() ? std::vector<char32_t>{c} : found->second;
}

inline std::u32string codePointsOf(const QString& text) {
    std::u32string out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.push_back(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else {
            out.push_back(c.unicode());
        }
    }
    return out;
}

// Matches `text` from `t` against `pattern` from `p`; `memo` holds the answers found so far
// (0 unknown, 1 no, 2 yes) so that runs of stars stay polynomial.
inline bool referenceMatch(const std::u32string& pattern, size_t p, const std::u32string& text,
                           size_t t, std::vector<char>& memo) {
    char& known = memo[p * (text.size() + 1) + t];
    if (known)
        return known == 2;
    bool result = false;
    if (p == pattern.size()) {
        result = t == text.size();
    } else if (pattern[p] == U'*') {
        result = referenceMatch(pattern, p + 1, text, t, memo) ||
                 (t < text.size() && referenceMatch(pattern, p, text, t + 1, memo));
    } else {
        const char32_t c = pattern[p];
        const size_t close = c == U'[' ? pattern.find(U']', p + 1) : std::u32string::npos;
        if (close != std::u32string::npos) {
            size_t start = p + 1;
            bool negated = false;
            if (start < close && pattern[start] == U'!' && start + 1 < close) {
                negated = true;
                ++start;
            }
            if (start == close) { // [] takes no character
                result = referenceMatch(pattern, close + 1, text, t, memo);
            } else if (t < text.size()) {
                bool inside = false;
                for (char32_t variant : caseClassOf(text[t])) {
                    for (size_t k = start; k < close; ++k) {
                        char32_t low = pattern[k];
                        char32_t high = low;
                        if (k + 2 < close && pattern[k + 1] == U'-') {
                            high = pattern[k + 2];
                            k += 2;
                        }
                        inside = inside || (variant >= low && variant <= high);
                    }
                }
                result = inside != negated && referenceMatch(pattern, close + 1, text, t + 1, memo);
            }
        } else if (t < text.size()) {
            bool one = false;
            if (c == U'?')
                one = true;
            else if (c == U'#')
                one = QChar::isDigit(text[t]);
            else
                one = referenceFold(c) == referenceFold(text[t]);
            result = one && referenceMatch(pattern, p + 1, text, t + 1, memo);
        }
    }
    known = result ? 2 : 1;
    return result;
}

inline bool referenceLike(const QString& text, const QString& pattern) {
    const std::u32string p = codePointsOf(pattern);
    const std::u32string t = codePointsOf(text);
    std::vector<char> memo((p.size() + 1) * (t.size() + 1), 0);
    return referenceMatch(p, 0, t, 0, memo);
}

} // namespace tolvane::fuzz
