#include "engine/ListIndexBuild.h"

#include "engine/CollationIndexes.h"
#include "engine/ListCollation.h"
#include "engine/ListOrder.h"
#include "engine/RowIds.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <chrono>
#include <functional>
#include <set>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

namespace tolvane::engine {

namespace {

// SQLite asks whether to go on every this many of its steps: often enough for a stop to take
// effect at once, seldom enough to cost nothing.
constexpr int kStepsPerTick = 4096;
constexpr qsizetype kRowsPerShare = 65536; // rows read between two progress updates

// The share of reading in a build that only orders the texts (no index).
constexpr double kReadShare = 0.5;

// Measured: 200,000 short headwords are indexed in about 0.25 s on one core; below that the
// second thread mostly takes the other core from the index (1.3x its time at 100,000 rows).
std::atomic<qint64> g_orderInMemoryFromRows{200000};
std::atomic<int> g_holdIn{-1}; // a Stage, for tests
std::atomic<bool> g_held{false};

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

// The build's threads yield to the window's: on a busy machine the window goes on answering
// and the build takes longer, not the other way round.
void yieldToTheWindow() {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 5);
}

std::mutex g_lockedMutex;
std::multiset<QString> g_locked; // canonical paths

QString canonical(const QString& path) {
    const QString found = QFileInfo(path).canonicalFilePath();
    return found.isEmpty() ? path : found;
}

} // namespace

ListBuildWriteLock::ListBuildWriteLock(const QString& path) : m_path(canonical(path)) {
    const std::lock_guard lock(g_lockedMutex);
    g_locked.insert(m_path);
}

ListBuildWriteLock::~ListBuildWriteLock() {
    const std::lock_guard lock(g_lockedMutex);
    g_locked.erase(g_locked.find(m_path));
}

bool listBuildHoldsWriteLock(const QString& path) {
    const QString key = canonical(path);
    const std::lock_guard lock(g_lockedMutex);
    return g_locked.count(key) > 0;
}

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

void ListIndexBuild::dropTexts() {
    const std::lock_guard lock(m_mutex);
    m_sorted.reset();
}

void ListIndexBuild::setOrderInMemoryFromRows(qint64 rows) {
    g_orderInMemoryFromRows = rows;
}

void ListIndexBuild::holdIn(std::optional<Stage> stage) {
    g_holdIn = stage ? int(*stage) : -1;
}

bool ListIndexBuild::held() {
    return g_held.load();
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
    setShare(std::min(1.0, double(m_steps) / double(m_expectedSteps)));
    while (g_holdIn.load() == int(m_stage.load()) && !m_stop.load()) {
        g_held = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    g_held = false;
    return !m_stop.load();
}

// Reads the column's texts in one read transaction of `db` (ended before they are ordered, so a
// writer waiting to commit waits no longer than the read), orders them and hands them over.
void ListIndexBuild::readInOrder(sqlite::Connection& db, bool showShare) {
    const QString table = quoteIdentifier(m_target.table);
    const QString column = quoteIdentifier(m_target.column);
    TextBlock texts;
    RowIds rowids;
    {
        db.exec(QStringLiteral("BEGIN"));
        sqlite::Statement read(
            db, QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %1 IS NOT NULL").arg(column, table));
        while (read.step()) {
            rowids.push_back(read.columnInt64(0));
            texts.append(read.columnUtf8(1));
            if (showShare && texts.size() % kRowsPerShare == 0)
                setShare(kReadShare * std::min(1.0, double(texts.size()) / double(m_rows)));
        }
        read.reset();
        db.exec(QStringLiteral("COMMIT"));
    }
    m_readEnded = true;
    const std::vector<quint32> order = listOrder(texts, rowids, &m_stop);
    if (m_stop)
        return;
    rowids.release();
    texts.permute(order);
    const std::lock_guard lock(m_mutex);
    m_sorted = std::make_shared<const TextBlock>(std::move(texts));
}

// Anything but an engine error (memory running out) must not escape a thread either.
EngineError ListIndexBuild::unexpected() const {
    return EngineError(err::InvalidOperation,
                       QStringLiteral("The word list of '%1' could not be made (out of memory?).")
                           .arg(m_target.displayName));
}

void ListIndexBuild::fail(const EngineError& e) {
    // A stop interrupts SQLite: no failure then. Texts already handed over stay good even
    // when the index could not be added (its transaction is rolled back).
    const std::lock_guard lock(m_mutex);
    if (!m_stop && !m_sorted && !m_failure)
        m_failure = e;
}

qint64 ListIndexBuild::rowSpan(sqlite::Connection& db) const {
    return std::max<qint64>(tableRowSpan(db, m_target.table), 1);
}

// Where the index is added to a large table, the texts are read and ordered on a second thread
// with a connection of its own while this one makes the index: the two take about as long as
// the index alone. The write lock is taken first, so that both see the same rows.
void ListIndexBuild::run() {
    yieldToTheWindow();
    std::function<bool()> goOn = [this] { return !m_stop.load(); };
    std::function<bool()> tickHere = [this] { return tick(); };
    try {
        sqlite::Connection db(m_target.path,
                              m_target.addIndex ? sqlite::OpenMode::ReadWrite
                                                : sqlite::OpenMode::ReadOnly,
                              m_target.displayName);
        std::optional<ListBuildWriteLock> held; // ends after the transaction
        std::optional<sqlite::Transaction> writing;
        if ((m_target.addIndex || m_target.rebuild) && !db.isReadOnly()) {
            try {
                writing.emplace(db);
                held.emplace(m_target.path);
            } catch (const EngineError&) {
                // Another program is writing: this time the list is only ordered in memory.
            }
        }
        m_rows = rowSpan(db);
        if (!writing) {
            sqlite3_progress_handler(db.handle(), kStepsPerTick, onTick, &goOn);
            readInOrder(db, true);
            if (!m_stop)
                m_percent = 100;
            return;
        }
        // On one core the ordering would only delay the index it runs beside.
        const bool orderToo =
            m_rows >= g_orderInMemoryFromRows.load() && std::thread::hardware_concurrency() != 1;
        m_readEnded = !orderToo;
        std::thread order([this, &goOn, orderToo] {
            if (!orderToo)
                return;
            yieldToTheWindow();
            try {
                sqlite::Connection reader(m_target.path, sqlite::OpenMode::ReadOnly,
                                          m_target.displayName);
                sqlite3_progress_handler(reader.handle(), kStepsPerTick, onTick, &goOn);
                readInOrder(reader, false);
            } catch (const EngineError& e) {
                fail(e);
            } catch (...) {
                fail(unexpected());
            }
            m_readEnded = true;
        });
        try {
            const int indexes = int(m_target.rebuild) + int(m_target.addIndex);
            m_expectedSteps = qint64(indexStepsPerRow() * double(m_rows) * indexes) + 1;
            sqlite3_progress_handler(db.handle(), kStepsPerTick, onTick, &tickHere);
            if (m_target.rebuild) {
                m_stage = Stage::Rebuilding;
                recordCollationVersions(db); // rebuilds the stale indexes
            }
            if (m_target.addIndex) {
                m_stage = Stage::AddingIndex;
                createListIndex(db, m_target.table, m_target.column);
            }
            // The commit would wait for the other thread's read: it ends first.
            while (!m_readEnded && !m_stop)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            writing->commit();
            m_changeCounter = fileChangeCounter(m_target.path);
            m_indexAdded = true;
        } catch (const EngineError& e) {
            fail(e);
        } catch (...) {
            fail(unexpected());
        }
        order.join();
        if (!m_stop && (m_sorted || m_indexAdded))
            m_percent = 100;
    } catch (const EngineError& e) {
        fail(e);
    } catch (...) {
        fail(unexpected());
    }
}

} // namespace tolvane::engine
