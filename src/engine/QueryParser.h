#pragma once
// The query dialect the dictionary windows send:
//   SELECT * FROM <table> [WHERE <column> (LIKE | =) <text> ('&' <text>)*] [;]
// or a bare table name. Keywords and names in any letter case; names may be written in
// brackets ([my table]); texts in single quotes ('' for a quote inside) or double quotes
// ("" inside); `&` joins texts. Anything else is a syntax error (err::SyntaxError) whose
// message quotes the whole query. The parser only produces names and values: names are
// later checked against the table, and values are bound as parameters, so nothing the user
// types ever reaches SQLite as SQL.

#include <QString>
#include <optional>

namespace tolvane::engine {

struct QueryCondition {
    enum class Op { Like, Equal };
    QString column;
    Op op = Op::Equal;
    QString value; // the texts joined
};

struct ParsedQuery {
    QString table;
    std::optional<QueryCondition> where;
};

ParsedQuery parseQuery(const QString& text);

// True when `text` reads as a query text rather than a table name (starts with SELECT).
bool looksLikeQuery(const QString& text);

} // namespace tolvane::engine
