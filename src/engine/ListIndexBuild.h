#pragma once
// The list of a file without a trusted list index, made on a thread of its own so that the
// window showing it never waits: a file made before list indexes existed (an older file), a
// read-only file, a file whose list index was built with other Unicode tables.
//
// The thread opens a connection of its own and takes the file's write lock (BEGIN IMMEDIATE; a
// read-only file, or one another program is writing, is only read). Where the file's collation
// indexes are stale (an older file: no versions recorded), it rebuilds them first in the same
// transaction. While it adds the list
// index to a large table, a second thread reads the column's texts on a connection of its
// own, orders them in memory (ListOrder.h) and hands them over (sortedTexts). Nobody else can
// commit while the write lock is held, so the texts handed over are exactly what the new index
// lists. Stopped before its commit (stop(), the window closed, the program killed), the
// transaction is rolled back: the file is as it was, and the next open builds again from the
// start.
//
// Threading: made, asked and stopped on one thread (the user-interface thread); the work runs
// on its own.

#include "engine/EngineError.h"
#include "engine/TextBlock.h"

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace tolvane::engine {

namespace sqlite {
class Connection;
}

class ListIndexBuild {
public:
    struct Target {
        QString path;        // the file
        QString displayName; // for messages
        QString table;
        QString column;
        bool addIndex = false; // the file may be written: add the list index
        // The file may be written and its collation indexes are stale: rebuild them (and
        // record this build's versions) first, in the same transaction.
        bool rebuild = false;
    };
    // What the build is doing: tests stop it in the middle of each part.
    enum class Stage { Reading, Rebuilding, AddingIndex };
    // `stamp` is the caller's mark for the file as it is now, given back by startStamp().
    ListIndexBuild(Target target, quint64 stamp);
    ~ListIndexBuild();
    ListIndexBuild(const ListIndexBuild&) = delete;
    ListIndexBuild& operator=(const ListIndexBuild&) = delete;

    const Target& target() const { return m_target; }
    quint64 startStamp() const { return m_stamp; }

    // Interrupts the work and waits for the thread (a moment: SQLite is interrupted within a
    // few thousand of its steps). An index not yet committed is not added.
    void stop();
    // How much of the whole work is done, 0 to 100.
    int percent() const { return m_percent.load(); }
    bool isRunning() const { return !m_finished.load(); }
    // The column's texts in list order, null texts left out; null until they are read.
    std::shared_ptr<const TextBlock> sortedTexts() const;
    // Lets go of them (the index lists them now); a reader that took them keeps its own.
    void dropTexts();
    // The build's work (the list index, the rebuilt indexes) was committed to the file; the
    // file's change counter right after.
    bool indexAdded() const { return m_indexAdded.load(); }
    quint32 committedChangeCounter() const { return m_changeCounter.load(); }
    // Why the texts could not be read (the index not being added is no failure: the list is
    // ordered in memory then, as for a read-only file).
    std::optional<EngineError> failure() const;

    // Where the index is added, the texts are also ordered in memory (and handed over before
    // the index is done) only for tables of at least this many rows: a smaller index is done
    // in a few tenths of a second, sooner than a second thread would earn its cost. Tests set
    // it to 0 to have the texts of a small table; it holds for builds started after.
    static void setOrderInMemoryFromRows(qint64 rows);
    // Tests: builds started after hold in the middle of `stage` (inside SQLite's statement)
    // until they are stopped or released with std::nullopt.
    static void holdIn(std::optional<Stage> stage);
    // Whether a build is holding so now.
    static bool held();
    Stage stage() const { return m_stage.load(); }

private:
    void run();
    void readInOrder(sqlite::Connection& db, bool showShare);
    void fail(const EngineError& e);
    EngineError unexpected() const;
    qint64 rowSpan(sqlite::Connection& db) const;
    bool tick();
    void setShare(double done);

    Target m_target;
    quint64 m_stamp;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::atomic<int> m_percent{0};
    std::atomic<bool> m_indexAdded{false};
    std::atomic<quint32> m_changeCounter{0};
    std::atomic<Stage> m_stage{Stage::Reading};
    std::atomic<bool> m_readEnded{false}; // the texts are read: the index may be committed
    mutable std::mutex m_mutex;           // guards the two below
    std::shared_ptr<const TextBlock> m_sorted;
    std::optional<EngineError> m_failure;
    // Worker thread only: SQLite's steps counted against those the index is expected to take.
    qint64 m_rows = 1; // about
    qint64 m_steps = 0;
    qint64 m_expectedSteps = 1;
    std::thread m_thread;
};

// Whether a list build of this process holds the write lock of the file at `path`: a writer
// that finds the file locked can wait for it rather than give up (it ends by itself).
bool listBuildHoldsWriteLock(const QString& path);

// Marks the file at `path` as write-locked by a list build for as long as it lives.
class ListBuildWriteLock {
public:
    explicit ListBuildWriteLock(const QString& path);
    ~ListBuildWriteLock();
    ListBuildWriteLock(const ListBuildWriteLock&) = delete;
    ListBuildWriteLock& operator=(const ListBuildWriteLock&) = delete;

private:
    QString m_path;
};

// The change counter in the header of an SQLite file in rollback-journal mode (it goes up with
// every commit); 0 when it cannot be read.
quint32 fileChangeCounter(const QString& path);

} // namespace tolvane::engine
