#pragma once
// Runs a handler of the user's edits without waiting for a database lock: where another
// connection holds the file (the full-text index committing a step, a list build, another
// program), the handler fails at once and is run again from the event loop a moment later, so
// that the window goes on answering. Should the file stay locked for as long as a lock is ever
// waited for, the handler runs once more waiting for it, and says so as any other failure.
//
// The handler must be one that can simply be run again (it starts its work over).

#include "engine/Dao.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace tolvane::dictwindow {

class LockRetry : public QObject {
public:
    using DatabaseOf = std::function<std::shared_ptr<engine::Database>()>;
    LockRetry(DatabaseOf database, std::function<void()> handler, QObject* parent = nullptr);

    // Runs the handler now, or again later while the file is locked.
    void run();
    // Forgets a run still to come (the handler ran some other way).
    void cancel() { m_timer.stop(); }
    bool isWaiting() const { return m_timer.isActive(); }

private:
    void attempt(bool wait);

    DatabaseOf m_database;
    std::function<void()> m_handler;
    QTimer m_timer;
    QElapsedTimer m_lockedFor; // since the first attempt that met the lock
};

} // namespace tolvane::dictwindow
