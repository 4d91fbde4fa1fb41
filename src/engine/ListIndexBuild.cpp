#include "engine/ListIndexBuild.h"

#include "engine/ListCollation.h"
#include "engine/ListOrder.h"
#include "engine/RowIds.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QFile>
#include <QtEndian>
#include <functional>
#include <sqlite3.h>

namespace tolvane::engine {

namespace {

// SQLite asks whether to go on every this many of its steps: often enough for a stop to take
// effect at once, seldom enough to cost nothing.
constexpr int kStepsPerTick = 4096;
constexpr qsizetype kRowsPerShare = 65536; // rows read between two progress updates

// The shares of the work: reading, ordering in memory, and the index (measured at a million
// rows: the index costs about as much as the other two together, twice over).
constexpr double kReadShare = 0.15;
constexpr double kOrderShare = 0.15;

int onTick(void* build) {
    auto* tick = static_cast<std::function<bool()>*>(build);
    return (*tick)() ? 0 : 1;
}

// How many steps SQLite takes to add a list index, a row: counted once on a small table in
// memory (the program depends on the SQLite version, not on the file).
double indexStepsPerRow() {
    static const double perRow = [] {
        constexpr int kRows = 2000;
        sqlite::Connection memory(QString(), sqlite::OpenMode::Memory);
        memory.exec(QStringLiteral("CREATE TABLE t (x TEXT); WITH RECURSIVE n(i) AS (SELECT 1 "
                                   "UNION ALL SELECT i + 1 FROM n WHERE i < %1) INSERT INTO t "
                                   "SELECT 'w' || i FROM n")
                        .arg(kRows));
        qint64 steps = 0;
        std::function<bool()> count = [&steps] { return ++steps, true; };
        sqlite3_progress_handler(memory.handle(), 1, onTick, &count);
        memory.exec(QStringLiteral("CREATE INDEX i ON t (x COLLATE %1)")
                        .arg(QLatin1String(kListCollation)));
        sqlite3_progress_handler(memory.handle(), 0, nullptr, nullptr);
        return std::max(1.0, double(steps) / kRows);
    }();
    return perRow;
}

} // namespace

quint32 fileChangeCounter(const QString& path) {
    QFile file(path);
    uchar header[28];
    if (!file.open(QIODevice::ReadOnly) || file.read(reinterpret_cast<char*>(header), 28) != 28)
        return 0;
    return qFromBigEndian<quint32>(header + 24);
}

ListIndexBuild::ListIndexBuild(Target target, quint64 stamp)
    : m_target(std::move(target)), m_stamp(stamp) {
    m_thread = std::thread([this] {
        run();
        m_finished = true;
    });
}

ListIndexBuild::~ListIndexBuild() {
    stop();
}

void ListIndexBuild::stop() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

std::shared_ptr<const TextBlock> ListIndexBuild::sortedTexts() const {
    const std::lock_guard lock(m_mutex);
    return m_sorted;
}

std::optional<EngineError> ListIndexBuild::failure() const {
    const std::lock_guard lock(m_mutex);
    return m_failure;
}

void ListIndexBuild::setShare(double done) {
    m_percent = std::clamp(int(done * 100), 0, 99); // 100 only once all is done
}

bool ListIndexBuild::tick() {
    m_steps += kStepsPerTick;
    setShare(m_shareBefore + m_shareOfSteps * std::min(1.0, double(m_steps) / m_expectedSteps));
    return !m_stop.load();
}

void ListIndexBuild::run() {
    std::function<bool()> tickHere = [this] { return tick(); };
    try {
        sqlite::Connection db(m_target.path,
                              m_target.addIndex ? sqlite::OpenMode::ReadWrite
                                                : sqlite::OpenMode::ReadOnly,
                              m_target.displayName);
        sqlite3_progress_handler(db.handle(), kStepsPerTick, onTick, &tickHere);
        // One transaction from the first text read to the index: nobody else commits between.
        std::optional<sqlite::Transaction> writing;
        if (m_target.addIndex && !db.isReadOnly()) {
            try {
                writing.emplace(db);
            } catch (const EngineError&) {
                // Another program is writing: this time the list is only ordered in memory.
            }
        }
        if (!writing)
            db.exec(QStringLiteral("BEGIN"));
        const double readShare = writing ? kReadShare : 0.5;
        const double orderShare = writing ? kOrderShare : 0.5;

        const QString table = quoteIdentifier(m_target.table);
        const QString column = quoteIdentifier(m_target.column);
        sqlite::Statement rowCount(
            db, QStringLiteral("SELECT max(rowid) - min(rowid) + 1 FROM %1").arg(table));
        const qint64 expectedRows =
            rowCount.step() ? std::max<qint64>(rowCount.columnInt64(0), 1) : 1;
        TextBlock texts;
        RowIds rowids;
        sqlite::Statement read(
            db, QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %1 IS NOT NULL").arg(column, table));
        while (read.step()) {
            rowids.push_back(read.columnInt64(0));
            texts.append(read.columnUtf8(1));
            if (texts.size() % kRowsPerShare == 0)
                setShare(readShare * std::min(1.0, double(texts.size()) / double(expectedRows)));
        }
        setShare(readShare);
        const std::vector<quint32> order = listOrder(texts, rowids, &m_stop);
        if (m_stop)
            return;
        rowids.release();
        texts.permute(order);
        {
            const std::lock_guard lock(m_mutex);
            m_sorted = std::make_shared<const TextBlock>(std::move(texts));
        }
        setShare(readShare + orderShare);
        if (!writing) {
            db.exec(QStringLiteral("COMMIT"));
        } else {
            m_shareBefore = readShare + orderShare;
            m_shareOfSteps = 1 - m_shareBefore;
            m_expectedSteps = qint64(indexStepsPerRow() * double(expectedRows)) + 1;
            m_steps = 0;
            createListIndex(db, m_target.table, m_target.column);
            writing->commit();
            m_changeCounter = fileChangeCounter(m_target.path);
            m_indexAdded = true;
        }
        m_percent = 100;
    } catch (const EngineError& e) {
        // A stop interrupts SQLite: no failure then. Texts already handed over stay good even
        // when the index could not be added (the transaction is rolled back).
        const std::lock_guard lock(m_mutex);
        if (!m_stop && !m_sorted)
            m_failure = e;
    }
}

} // namespace tolvane::engine
