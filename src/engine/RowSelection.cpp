#include "engine/RowSelection.h"

#include "engine/CaseFold.h"
#include "engine/ListCollation.h"
#include "engine/NoCaseCollation.h"
#include "engine/Schema.h"
#include "engine/sqlite/Statement.h"

namespace tolvane::engine {

namespace {

// The smallest folded text above every text that starts with `foldedPrefix`: the prefix with
// its last character raised by one. None when that character would not be a folded code
// point of its own (the range would then be wrong), in which case the lookup scans from the
// lower bound onwards and the matcher alone decides.
std::optional<QString> upperBoundFor(const QString& foldedPrefix) {
    std::u32string cps;
    forEachCodePoint(foldedPrefix, [&](char32_t cp) { cps.push_back(cp); });
    if (cps.empty())
        return std::nullopt;
    const char32_t next = cps.back() + 1;
    if (next > 0x10FFFF || (next >= 0xD800 && next <= 0xDFFF) || foldCase(next) != next)
        return std::nullopt;
    cps.back() = next;
    return QString::fromUcs4(cps.data(), static_cast<qsizetype>(cps.size()));
}

QString collated(const QString& column, const char* collation) {
    return quoteIdentifier(column) + QStringLiteral(" COLLATE ") + QLatin1String(collation);
}

} // namespace

RowFilter RowFilter::of(const TableInfo& table, const std::optional<QueryCondition>& condition) {
    RowFilter filter;
    if (condition) {
        filter.column = table.columnIndex(condition->column);
        filter.op = condition->op;
        filter.value = condition->value;
        if (filter.op == QueryCondition::Op::Like)
            filter.pattern.emplace(filter.value);
    }
    return filter;
}

RowSelection::RowSelection(DatabaseCore& core, const TableInfo& table, const RowFilter& filter,
                           int listColumn)
    : m_core(core), m_table(table), m_filter(filter), m_listColumn(listColumn) {}

QString RowSelection::from() const {
    // Indexes built with other case tables than this build's would give wrong answers.
    return quoteIdentifier(m_table.name) +
           (m_core.caseFoldIndexesValid() ? QString() : QStringLiteral(" NOT INDEXED"));
}

RowSelection::Outcome RowSelection::run(int column, bool useListIndex, const Sink& sink) const {
    const QString wanted = quoteIdentifier(m_table.columns[column]);
    if (m_filter.column < 0)
        return runWholeTable(wanted, useListIndex, sink);
    if (useListIndex)
        if (const auto outcome = runListRange(wanted, sink))
            return *outcome;
    return runFiltered(column, sink, false);
}

bool RowSelection::any() const {
    if (m_filter.column < 0) {
        sqlite::StatementLease any = m_core.connection().reuse(
            QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(quoteIdentifier(m_table.name)));
        return any->step() && any->columnInt64(0) != 0;
    }
    bool found = false;
    runFiltered(
        m_filter.column, [&](qint64, const sqlite::Statement&, int) { found = true; }, true);
    return found;
}

RowSelection::Outcome RowSelection::runFiltered(int column, const Sink& sink,
                                                bool firstOnly) const {
    const QString wanted = quoteIdentifier(m_table.columns[column]);
    sqlite::Connection& db = m_core.connection();
    // Compared in the collation the headword index is sorted by, so SQLite can use it.
    const QString by = collated(m_table.columns[m_filter.column], kNoCaseCollation);
    QString where;
    QString low;
    std::optional<QString> high;
    const LikePattern* pattern = nullptr;
    bool equal = false; // else a range from low (up to high)
    if (m_filter.op == QueryCondition::Op::Equal) {
        where = QStringLiteral("WHERE %1 = ?1").arg(by);
        low = m_filter.value;
        equal = true;
    } else {
        pattern = &*m_filter.pattern;
        low = pattern->literalPrefix();
        if (pattern->isLiteral()) {
            where = QStringLiteral("WHERE %1 = ?1").arg(by);
            equal = true;
            pattern = nullptr; // equality in the collation is exactly this match
        } else if (!low.isEmpty()) {
            high = upperBoundFor(low);
            where = high ? QStringLiteral("WHERE %1 >= ?1 AND %1 < ?2").arg(by)
                         : QStringLiteral("WHERE %1 >= ?1").arg(by);
            // Texts between a prefix and its upper bound are exactly the texts that start
            // with it, so a plain prefix pattern needs no further test.
            if (high && pattern->isPrefixOnly())
                pattern = nullptr;
        } else {
            where = QStringLiteral("ORDER BY rowid"); // no prefix: every row is a candidate
        }
    }
    // The filter column is read for the matcher; when it is also the wanted column it is
    // read once.
    const bool sameColumn = column == m_filter.column;
    const QString columns = sameColumn ? wanted
                                       : quoteIdentifier(m_table.columns[m_filter.column]) +
                                             QStringLiteral(", ") + wanted;
    // Without an index to trust, every row is read and the bounds are tested here: SQLite would
    // call the collation for each row, which costs several times the read. Every entry of an
    // index is read too, whatever order it was built in, so SQLite may read the stale headword
    // index instead of the table where it holds the columns wanted (a fraction of the bytes);
    // rows of one text stay in row id order there.
    const bool bounded = where.startsWith(QLatin1String("WHERE"));
    const bool testHere = bounded && !m_core.caseFoldIndexesValid();
    if (testHere)
        where.clear();
    const QByteArray lowUtf8 = low.toUtf8();
    const QByteArray highUtf8 = high ? high->toUtf8() : QByteArray();
    const auto withinBounds = [&](QByteArrayView candidate) {
        if (!candidate.data())
            return false; // a null is never equal to, nor above, anything
        const int fromLow = compareFoldedUtf8(candidate, lowUtf8);
        if (equal)
            return fromLow == 0;
        return fromLow >= 0 && (!high || compareFoldedUtf8(candidate, highUtf8) < 0);
    };
    sqlite::StatementLease select =
        db.reuse(QStringLiteral("SELECT rowid, %1 FROM %2 %3")
                     .arg(columns, testHere ? quoteIdentifier(m_table.name) : from(), where));
    if (bounded && !testHere)
        select->bind(1, low);
    if (high && !testHere)
        select->bind(2, *high);
    const int valueColumn = sameColumn ? 1 : 2;
    while (select->step()) {
        if (testHere && !withinBounds(select->columnUtf8(1)))
            continue;
        if (pattern) {
            const QByteArrayView candidate = select->columnUtf8(1);
            if (!candidate.data() || !pattern->matchesUtf8(candidate))
                continue;
        }
        sink(select->columnInt64(0), *select, valueColumn);
        if (firstOnly)
            break;
    }
    return Outcome::InOtherOrder;
}

RowSelection::Outcome RowSelection::runWholeTable(const QString& wanted, bool useListIndex,
                                                  const Sink& sink) const {
    sqlite::Connection& db = m_core.connection();
    const std::optional<QString> index =
        useListIndex && m_listColumn >= 0 ? m_core.listIndex(m_table, m_listColumn) : std::nullopt;
    QString sql;
    if (index) {
        // Straight down the list index: its entries are in list order, equal texts in row id
        // order, and for the headword column it holds the values too.
        sql = QStringLiteral("SELECT rowid, %1 FROM %2 INDEXED BY %3 ORDER BY %4, rowid")
                  .arg(wanted, quoteIdentifier(m_table.name), quoteIdentifier(*index),
                       collated(m_table.columns[m_listColumn], kListCollation));
    } else {
        sql = QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                  .arg(wanted, quoteIdentifier(m_table.name));
    }
    sqlite::StatementLease all = db.reuse(sql);
    while (all->step())
        sink(all->columnInt64(0), *all, 1);
    return index ? Outcome::InListOrder : Outcome::InOtherOrder;
}

// A plain prefix in list order: the rows from the prefix up to the prefix followed by U+FFFF
// (which the collation puts after every other character) in the list index are the rows that
// start with the prefix in the list's sense; the engine's own matcher keeps those that start
// with it in its sense. The two senses differ only for rare texts (a character that folds to
// a letter the collation ranks elsewhere, a contraction across the prefix's end), so the
// headword index's count of the prefix confirms the result; should it differ, nothing is
// kept and the caller selects again and orders in memory.
std::optional<RowSelection::Outcome> RowSelection::runListRange(const QString& wanted,
                                                                const Sink& sink) const {
    if (m_filter.column != m_listColumn || m_filter.op != QueryCondition::Op::Like ||
        !m_filter.pattern->isPrefixOnly() || !m_core.caseFoldIndexesValid())
        return std::nullopt;
    const QString prefix = m_filter.pattern->literalPrefix();
    const std::optional<QString> high = upperBoundFor(prefix);
    const std::optional<QString> index = m_core.listIndex(m_table, m_listColumn);
    if (prefix.isEmpty() || !high || !index)
        return std::nullopt;
    const qint64 expected = countHeadwordRange(prefix, *high);

    const QString by = collated(m_table.columns[m_listColumn], kListCollation);
    const bool sameColumn = wanted == quoteIdentifier(m_table.columns[m_listColumn]);
    const QString columns =
        sameColumn ? wanted
                   : quoteIdentifier(m_table.columns[m_listColumn]) + QStringLiteral(", ") + wanted;
    // The upper end is tested here rather than in the query, and only on rows the matcher
    // rejects: SQLite would compare every row with it, in the collation. The scan stops as
    // soon as the count is reached.
    sqlite::StatementLease select = m_core.connection().reuse(
        QStringLiteral("SELECT rowid, %1 FROM %2 INDEXED BY %3 WHERE %4 >= ?1 ORDER BY %4, rowid")
            .arg(columns, quoteIdentifier(m_table.name), quoteIdentifier(*index), by));
    select->bind(1, prefix);
    const QByteArray rangeEnd = (prefix + QChar(0xFFFF)).toUtf8();
    const LikePattern& pattern = *m_filter.pattern;
    const int valueColumn = sameColumn ? 1 : 2;
    qint64 matched = 0;
    while (matched < expected && select->step()) {
        const QByteArrayView candidate = select->columnUtf8(1);
        if (candidate.data() && pattern.matchesUtf8(candidate)) {
            ++matched;
            sink(select->columnInt64(0), *select, valueColumn);
        } else if (!candidate.data() || compareListOrderUtf8(candidate, rangeEnd) > 0) {
            break; // past the prefix's range
        }
    }
    return matched == expected ? Outcome::InListOrder : Outcome::Incomplete;
}

qint64 RowSelection::countHeadwordRange(const QString& low, const QString& high) const {
    const QString by = collated(m_table.columns[m_filter.column], kNoCaseCollation);
    sqlite::StatementLease count = m_core.connection().reuse(
        QStringLiteral("SELECT count(*) FROM %1 WHERE %2 >= ?1 AND %2 < ?2")
            .arg(quoteIdentifier(m_table.name), by));
    count->bind(1, low);
    count->bind(2, high);
    return count->step() ? count->columnInt64(0) : 0;
}

} // namespace tolvane::engine
