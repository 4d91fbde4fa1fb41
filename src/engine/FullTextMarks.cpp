#include "engine/FullTextMarks.h"

#include "engine/FullTextIndex.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

namespace tolvane::engine {

namespace {

// FTS5's highlight() puts these around each match; a text's own are replaced by a character
// of the same length that the tokenizer also takes for a space, so no place moves.
constexpr QChar kOpen = QChar(0x02);
constexpr QChar kClose = QChar(0x03);

QString withoutMarkers(QString text) {
    text.replace(kOpen, QChar(0xFFFD));
    text.replace(kClose, QChar(0xFFFD));
    return text;
}

void readMarks(const QString& highlighted, int text, std::vector<TextMark>& marks) {
    qsizetype at = 0; // in the text without the markers
    qsizetype start = -1;
    for (QChar c : highlighted) {
        if (c == kOpen) {
            start = at;
        } else if (c == kClose) {
            if (start >= 0 && at > start)
                marks.push_back({text, start, at - start});
            start = -1;
        } else {
            ++at;
        }
    }
}

} // namespace

std::vector<TextMark> fullTextMarks(const QString& match, const QStringList& texts) {
    std::vector<TextMark> marks;
    if (match.isEmpty() || texts.isEmpty())
        return marks;
    sqlite::Connection memory(QString(), sqlite::OpenMode::Memory,
                              QStringLiteral("the entry shown"));
    QStringList columns, values, highlights;
    for (int i = 0; i < texts.size(); ++i) {
        columns << QStringLiteral("c%1").arg(i);
        values << QStringLiteral("?%1").arg(i + 1);
        highlights << QStringLiteral("highlight(entry, %1, char(2), char(3))").arg(i);
    }
    memory.exec(QStringLiteral("CREATE VIRTUAL TABLE entry USING fts5(%1, tokenize = '%2')")
                    .arg(columns.join(QStringLiteral(", ")), QLatin1String(kFullTextTokenizer)));
    sqlite::Statement insert = memory.prepare(
        QStringLiteral("INSERT INTO entry VALUES (%1)").arg(values.join(QStringLiteral(", "))));
    for (int i = 0; i < texts.size(); ++i)
        insert.bind(i + 1, withoutMarkers(texts[i]));
    insert.run();
    sqlite::Statement select =
        memory.prepare(QStringLiteral("SELECT %1 FROM entry WHERE entry MATCH ?1")
                           .arg(highlights.join(QStringLiteral(", "))));
    select.bind(1, match);
    if (select.step())
        for (int i = 0; i < texts.size(); ++i)
            readMarks(select.columnText(i), i, marks);
    return marks;
}

} // namespace tolvane::engine
