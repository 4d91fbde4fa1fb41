#include "engine/Pattern.h"

#include "engine/CaseFold.h"

namespace tolvane::engine {

namespace {

std::u32string codePoints(QStringView text) {
    std::u32string out;
    out.reserve(static_cast<size_t>(text.size()));
    forEachCodePoint(text, [&](char32_t cp) { out.push_back(cp); });
    return out;
}

} // namespace

LikePattern::LikePattern(QStringView pattern) {
    const std::u32string cps = codePoints(pattern);
    const size_t n = cps.size();
    for (size_t i = 0; i < n; ++i) {
        const char32_t c = cps[i];
        if (c == U'*') {
            // Runs of stars are one star.
            if (m_tokens.empty() || m_tokens.back().kind != Kind::AnyRun)
                m_tokens.emplace_back(Kind::AnyRun);
            continue;
        }
        if (c == U'?') {
            m_tokens.emplace_back(Kind::AnyOne);
            continue;
        }
        if (c == U'#') {
            m_tokens.emplace_back(Kind::Digit);
            continue;
        }
        if (c == U'[') {
            // The class ends at the first `]`; without one the `[` is an ordinary character.
            size_t close = i + 1;
            while (close < n && cps[close] != U']')
                ++close;
            if (close >= n) {
                m_tokens.emplace_back(Kind::Literal, foldCase(c));
                continue;
            }
            size_t start = i + 1;
            bool negated = false;
            if (start < close && cps[start] == U'!' && start + 1 < close) {
                negated = true;
                ++start;
            }
            if (start == close) { // `[]`: takes no character
                i = close;
                continue;
            }
            Token token(Kind::Class);
            token.negated = negated;
            for (size_t k = start; k < close; ++k) {
                char32_t low = cps[k];
                char32_t high = low;
                if (k + 2 < close && cps[k + 1] == U'-') {
                    high = cps[k + 2];
                    k += 2;
                }
                if (low > high)
                    continue; // reversed range: no character
                token.ranges.push_back({low, high});
            }
            m_tokens.push_back(std::move(token));
            i = close;
            continue;
        }
        m_tokens.emplace_back(Kind::Literal, foldCase(c));
    }

    size_t literalCount = 0;
    while (literalCount < m_tokens.size() && m_tokens[literalCount].kind == Kind::Literal) {
        m_prefixCodePoints.push_back(m_tokens[literalCount].literal);
        ++literalCount;
    }
    m_prefix = QString::fromUcs4(m_prefixCodePoints.data(),
                                 static_cast<qsizetype>(m_prefixCodePoints.size()));
    m_literal = literalCount == m_tokens.size();
    m_prefixOnly = literalCount + 1 == m_tokens.size() && m_tokens.back().kind == Kind::AnyRun;
}

bool LikePattern::tokenMatches(const Token& token, char32_t raw) const {
    switch (token.kind) {
    case Kind::Literal:
        return foldCase(raw) == token.literal;
    case Kind::AnyOne:
        return true;
    case Kind::Digit:
        return QChar::isDigit(raw);
    case Kind::Class: {
        // Folding the range's bounds is not enough ([A-c] folds to [a-c] but holds X, and
        // [0-A] would take a backquote): every character of the same case class is tried
        // against the ranges as written.
        bool inside = false;
        forEachCaseVariant(raw, [&](char32_t variant) {
            for (const Range& range : token.ranges) {
                if (variant >= range.low && variant <= range.high) {
                    inside = true;
                    return false;
                }
            }
            return true;
        });
        return inside != token.negated;
    }
    case Kind::AnyRun:
        break;
    }
    return false;
}

bool LikePattern::matchCodePoints(const char32_t* text, size_t length) const {
    // Classic wildcard matching: every token but `*` takes exactly one character, so on a
    // mismatch it is enough to let the most recent `*` take one character more.
    const size_t m = m_tokens.size();
    size_t p = 0;
    size_t t = 0;
    size_t starToken = SIZE_MAX;
    size_t starText = 0;
    while (t < length) {
        if (p < m && m_tokens[p].kind == Kind::AnyRun) {
            starToken = p++;
            starText = t;
            continue;
        }
        if (p < m && tokenMatches(m_tokens[p], text[t])) {
            ++p;
            ++t;
            continue;
        }
        if (starToken != SIZE_MAX) {
            p = starToken + 1;
            t = ++starText;
            continue;
        }
        return false;
    }
    while (p < m && m_tokens[p].kind == Kind::AnyRun)
        ++p;
    return p == m;
}

bool LikePattern::matches(QStringView text) const {
    const std::u32string cps = codePoints(text);
    return matchCodePoints(cps.data(), cps.size());
}

bool LikePattern::matchesUtf8(QByteArrayView text) const {
    auto p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    if (m_prefixOnly) {
        // The common search-box case: compare the folded prefix and stop.
        for (char32_t expected : m_prefixCodePoints) {
            if (p >= end || foldCase(decodeUtf8(p, end)) != expected)
                return false;
        }
        return true;
    }
    thread_local std::u32string buffer;
    buffer.clear();
    while (p < end)
        buffer.push_back(decodeUtf8(p, end));
    return matchCodePoints(buffer.data(), buffer.size());
}

} // namespace tolvane::engine
