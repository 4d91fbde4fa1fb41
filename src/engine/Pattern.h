#pragma once
// The LIKE pattern language of the query dialect, matched without regard to letter case:
//   *        any run of characters (also none)
//   ?        any one character
//   #        any one digit
//   [abc]    any one of the listed characters; [a-z] a range; [!abc] none of them
//   [*] [?] [#] [[]  the character itself
// Anything else matches itself. A `[` without its `]` also matches itself, so whatever is
// typed into a search box forms a valid pattern: matching never fails. `[]` matches nothing
// (it takes no character) and a reversed range such as [z-a] matches no character.
// A class is matched without regard to case: a character is in it when any character that
// folds to the same code point lies in it as written, so [A-c] takes x (X lies in it) but
// not a backquote (nothing folding to it does).

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <string>
#include <vector>

namespace tolvane::engine {

class LikePattern {
public:
    explicit LikePattern(QStringView pattern);

    bool matches(QStringView text) const;
    // The same on UTF-8 bytes, without building a QString (used on every candidate row).
    bool matchesUtf8(QByteArrayView text) const;

    // The folded literal text every match starts with (up to the first wildcard or class).
    const QString& literalPrefix() const noexcept { return m_prefix; }
    // True when the pattern has no wildcard or class at all: it matches one text, up to case.
    bool isLiteral() const noexcept { return m_literal; }
    // True for "<literal>*": a plain prefix test.
    bool isPrefixOnly() const noexcept { return m_prefixOnly; }

private:
    enum class Kind { Literal, AnyRun, AnyOne, Digit, Class };
    struct Range {
        char32_t low;
        char32_t high;
    };
    struct Token {
        explicit Token(Kind k, char32_t foldedLiteral = 0) : kind(k), literal(foldedLiteral) {}
        Kind kind;
        char32_t literal = 0; // folded
        bool negated = false;
        std::vector<Range> ranges; // as written
    };

    bool tokenMatches(const Token& token, char32_t raw) const;
    bool matchCodePoints(const char32_t* text, size_t length) const;

    std::vector<Token> m_tokens;
    QString m_prefix;
    std::u32string m_prefixCodePoints;
    bool m_literal = true;
    bool m_prefixOnly = false;
};

} // namespace tolvane::engine
