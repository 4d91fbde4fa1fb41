#include "engine/BuiltListPages.h"

#include "engine/Schema.h"
#include "engine/SqliteListPages.h"
#include "engine/sqlite/Statement.h"

#include <chrono>
#include <thread>

namespace tolvane::engine {

BuiltListPages::BuiltListPages(std::shared_ptr<DatabaseCore> core, TableInfo table, int column)
    : m_core(std::move(core)), m_table(std::move(table)), m_column(column) {
    m_core->listBuild(m_table, m_column); // starts it, if it is not running yet
}

bool BuiltListPages::hasRows() {
    sqlite::StatementLease any = m_core->connection().reuse(
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(quoteIdentifier(m_table.name)));
    return any->step() && any->columnInt64(0) != 0;
}

qint64 BuiltListPages::textCount() {
    if (useIndex())
        return m_indexed->textCount();
    if (takeTexts())
        return m_texts->size();
    m_countedNone = true; // none known yet: the texts bring their count
    return 0;
}

// The build's texts are counted as they come: the count is known once they are.
ListPages::Step BuiltListPages::countSome(qsizetype rows) {
    if (!lookForChanges())
        return Step::Pending;
    if (useIndex())
        return m_indexed->countSome(rows);
    if (!takeTexts())
        return Step::Pending;
    return m_core->changeStamp() != m_stamp ? Step::Changed : Step::End;
}

bool BuiltListPages::takeTexts() {
    if (m_texts)
        return true;
    ListIndexBuild& build = m_core->listBuild(m_table, m_column);
    if (std::optional<EngineError> failure = build.failure())
        throw *failure;
    m_texts = build.sortedTexts();
    if (!m_texts)
        return false;
    m_stamp = build.startStamp();
    m_next = 0;
    return true;
}

bool BuiltListPages::useIndex() {
    if (!m_indexed && !m_texts) {
        if (const std::optional<QString> index = m_core->listIndex(m_table, m_column)) {
            m_indexed = std::make_unique<SqliteListPages>(m_core, m_table, m_column, *index);
            m_indexed->setWaitForLocks(waitsForLocks());
        }
    }
    return m_indexed != nullptr;
}

bool BuiltListPages::lookForChanges() {
    if (waitsForLocks()) {
        m_core->checkExternalChanges();
        return true;
    }
    const sqlite::NoBusyWait noWait(m_core->connection());
    try {
        m_core->checkExternalChanges();
    } catch (const EngineError& e) {
        if (e.number() == err::FileInUse)
            return false;
        throw;
    }
    return true;
}

void BuiltListPages::setWaitForLocks(bool wait) {
    ListPages::setWaitForLocks(wait);
    if (m_indexed)
        m_indexed->setWaitForLocks(wait);
}

ListPages::Step BuiltListPages::readAt(qsizetype first, qsizetype rows, TextBlock& into) {
    if (!lookForChanges())
        return Step::Pending;
    if (useIndex())
        return m_indexed->readAt(first, rows, into);
    if (!m_texts)
        return Step::Pending; // the pages have not taken the texts: nothing counted yet
    if (m_core->changeStamp() != m_stamp)
        return Step::Changed;
    const qsizetype end = std::min(m_texts->size(), first + rows);
    for (qsizetype i = first; i < end; ++i)
        into.append(m_texts->utf8(i));
    return end < m_texts->size() ? Step::More : Step::End;
}

ListPages::Step BuiltListPages::next(TextBlock& into, qsizetype rows) {
    if (!lookForChanges())
        return Step::Pending;
    if (useIndex())
        return m_indexed->next(into, rows);
    if (!m_texts) {
        if (!takeTexts())
            return Step::Pending;
        // Whoever counted before the texts came counted none: the list takes its count again.
        if (m_countedNone)
            return Step::Changed;
    }
    if (m_core->changeStamp() != m_stamp)
        return Step::Changed;
    const qsizetype end = std::min(m_texts->size(), m_next + rows);
    for (; m_next < end; ++m_next)
        into.append(m_texts->utf8(m_next));
    return m_next < m_texts->size() ? Step::More : Step::End;
}

void BuiltListPages::restart() {
    lookForChanges(); // the change that brought the restart is known already
    m_next = 0;
    m_countedNone = false;
    if (m_texts && m_core->changeStamp() != m_stamp)
        m_texts.reset(); // the file changed: the index now, or another build
    if (m_indexed)
        m_indexed->restart();
}

void BuiltListPages::waitUntilReady() {
    for (;;) {
        if (useIndex() || m_texts)
            return;
        ListIndexBuild& build = m_core->listBuild(m_table, m_column);
        if (build.sortedTexts() || build.failure() || !build.isRunning())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace tolvane::engine
