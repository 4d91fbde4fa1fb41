#include "engine/QueryParser.h"

#include "engine/EngineError.h"

#include <vector>

namespace tolvane::engine {

namespace {

struct Token {
    enum class Kind { Name, Text, Star, Ampersand, Equals, Semicolon, End };
    Kind kind;
    QString value;
    bool bracketed = false; // a [name] is never a keyword
    qsizetype position = 0;
};

class Parser {
public:
    explicit Parser(const QString& text) : m_text(text) { tokenize(); }

    ParsedQuery parse() {
        ParsedQuery query;
        // A bare table name, as OpenRecordset also accepts one without a query around it.
        if (m_tokens.size() >= 2 && m_tokens[0].kind == Token::Kind::Name &&
            !isKeyword(m_tokens[0], "SELECT")) {
            query.table = m_tokens[0].value;
            m_index = 1;
            acceptSemicolonAndEnd();
            return query;
        }
        expectKeyword("SELECT");
        expect(Token::Kind::Star, "'*' after SELECT");
        expectKeyword("FROM");
        query.table = expectName("a table name after FROM");
        if (isKeyword(current(), "WHERE")) {
            ++m_index;
            QueryCondition condition;
            condition.column = expectName("a column name after WHERE");
            if (isKeyword(current(), "LIKE")) {
                condition.op = QueryCondition::Op::Like;
                ++m_index;
            } else if (current().kind == Token::Kind::Equals) {
                condition.op = QueryCondition::Op::Equal;
                ++m_index;
            } else {
                fail(QStringLiteral("expected LIKE or = after the column name"));
            }
            condition.value = expression();
            query.where = condition;
        }
        acceptSemicolonAndEnd();
        return query;
    }

private:
    [[noreturn]] void fail(const QString& detail) const {
        throw EngineError(
            err::SyntaxError,
            QStringLiteral("Syntax error in query expression '%1': %2.").arg(m_text, detail));
    }

    void tokenize() {
        const qsizetype n = m_text.size();
        qsizetype i = 0;
        while (true) {
            while (i < n && m_text[i].isSpace())
                ++i;
            if (i >= n)
                break;
            const QChar c = m_text[i];
            const qsizetype start = i;
            if (c == u'\'' || c == u'"') {
                // Empty, never null: '' is the empty text, which `=` must find, while a null
                // would be bound as NULL and find nothing.
                QString value = QLatin1String("");
                ++i;
                bool closed = false;
                while (i < n) {
                    if (m_text[i] == c) {
                        if (i + 1 < n && m_text[i + 1] == c) { // doubled quote: one quote
                            value += c;
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    value += m_text[i++];
                }
                if (!closed)
                    fail(QStringLiteral("the text starting at position %1 has no closing quote")
                             .arg(start + 1));
                m_tokens.push_back({Token::Kind::Text, value, false, start});
            } else if (c == u'[') {
                const qsizetype close = m_text.indexOf(u']', i + 1);
                if (close < 0)
                    fail(QStringLiteral("the name starting at position %1 has no closing ']'")
                             .arg(start + 1));
                const QString name = m_text.mid(i + 1, close - i - 1);
                if (name.trimmed().isEmpty())
                    fail(QStringLiteral("empty name in brackets at position %1").arg(start + 1));
                m_tokens.push_back({Token::Kind::Name, name, true, start});
                i = close + 1;
            } else if (c.isLetterOrNumber() || c == u'_') {
                while (i < n &&
                       (m_text[i].isLetterOrNumber() || m_text[i] == u'_' || m_text[i].isMark()))
                    ++i;
                m_tokens.push_back({Token::Kind::Name, m_text.mid(start, i - start), false, start});
            } else if (c == u'*') {
                m_tokens.push_back({Token::Kind::Star, QStringLiteral("*"), false, i++});
            } else if (c == u'&') {
                m_tokens.push_back({Token::Kind::Ampersand, QStringLiteral("&"), false, i++});
            } else if (c == u'=') {
                m_tokens.push_back({Token::Kind::Equals, QStringLiteral("="), false, i++});
            } else if (c == u';') {
                m_tokens.push_back({Token::Kind::Semicolon, QStringLiteral(";"), false, i++});
            } else {
                fail(QStringLiteral("unexpected character '%1' at position %2")
                         .arg(QString(c), QString::number(i + 1)));
            }
        }
        m_tokens.push_back({Token::Kind::End, {}, false, n});
    }

    const Token& current() const { return m_tokens[m_index]; }

    static bool isKeyword(const Token& token, const char* keyword) {
        return token.kind == Token::Kind::Name && !token.bracketed &&
               token.value.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
    }

    QString describeCurrent() const {
        const Token& token = current();
        if (token.kind == Token::Kind::End)
            return QStringLiteral("the end of the text");
        return QStringLiteral("'%1' at position %2")
            .arg(token.value, QString::number(token.position + 1));
    }

    void expectKeyword(const char* keyword) {
        if (!isKeyword(current(), keyword))
            fail(QStringLiteral("expected %1 but found %2")
                     .arg(QLatin1String(keyword), describeCurrent()));
        ++m_index;
    }

    void expect(Token::Kind kind, const char* what) {
        if (current().kind != kind)
            fail(QStringLiteral("expected %1 but found %2")
                     .arg(QLatin1String(what), describeCurrent()));
        ++m_index;
    }

    QString expectName(const char* what) {
        const Token& token = current();
        if (token.kind != Token::Kind::Name)
            fail(QStringLiteral("expected %1 but found %2")
                     .arg(QLatin1String(what), describeCurrent()));
        ++m_index;
        return token.value;
    }

    QString expression() {
        QString value = QLatin1String("");
        while (true) {
            const Token& token = current();
            if (token.kind != Token::Kind::Text)
                fail(QStringLiteral("expected a quoted text but found %1").arg(describeCurrent()));
            value += token.value;
            ++m_index;
            if (current().kind != Token::Kind::Ampersand)
                return value;
            ++m_index;
        }
    }

    void acceptSemicolonAndEnd() {
        if (current().kind == Token::Kind::Semicolon)
            ++m_index;
        if (current().kind != Token::Kind::End)
            fail(QStringLiteral("unexpected %1").arg(describeCurrent()));
    }

    const QString& m_text;
    std::vector<Token> m_tokens;
    size_t m_index = 0;
};

} // namespace

ParsedQuery parseQuery(const QString& text) {
    return Parser(text).parse();
}

bool looksLikeQuery(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.startsWith(QLatin1String("select"), Qt::CaseInsensitive) &&
           (trimmed.size() == 6 || !(trimmed[6].isLetterOrNumber() || trimmed[6] == u'_'));
}

} // namespace tolvane::engine
