#include "data/Queries.h"

namespace tolvane::data {

QString quotedLiteralBody(const QString& text) {
    QString body = text;
    body.replace(QLatin1Char('\''), QLatin1String("''"));
    return body;
}

QString trimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString headwordQuery(const DictionaryConfig& config, const QString& chosenItem) {
    return QLatin1String("Select * from ") + config.table + QLatin1String(" where ") +
           config.headwordColumn + QLatin1String(" = '") +
           quotedLiteralBody(trimSpaces(chosenItem)) + QLatin1String("'");
}

QString prefixQuery(const DictionaryConfig& config, const QString& searchText) {
    return QLatin1String("SELECT * FROM ") + config.table + QLatin1String(" WHERE ") +
           config.headwordColumn + QLatin1String(" LIKE '") + quotedLiteralBody(searchText) +
           QLatin1String("'& '*'");
}

} // namespace tolvane::data
