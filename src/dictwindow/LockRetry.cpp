#include "dictwindow/LockRetry.h"

#include "engine/EngineError.h"
#include "engine/sqlite/Connection.h"
#include "platform/ErrorGuard.h"

#include <QScopeGuard>

namespace tolvane::dictwindow {

namespace {
// How soon a locked file is tried again: a step of the full-text index commits in about this.
constexpr int kRetryMs = 20;
} // namespace

LockRetry::LockRetry(DatabaseOf database, std::function<void()> handler, QObject* parent)
    : QObject(parent), m_database(std::move(database)), m_handler(std::move(handler)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(kRetryMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        const bool waitNow =
            m_lockedFor.isValid() &&
            m_lockedFor.elapsed() >= engine::sqlite::Connection::kBusyTimeout.count();
        platform::runGuarded([this, waitNow] { attempt(waitNow); });
    });
}

void LockRetry::run() {
    m_timer.stop();
    m_lockedFor.invalidate();
    attempt(false);
}

void LockRetry::attempt(bool wait) {
    const std::shared_ptr<engine::Database> db = m_database();
    if (!db || wait) {
        m_lockedFor.invalidate();
        m_handler();
        return;
    }
    db->setWaitForLocks(false);
    const auto waitAgain = qScopeGuard([&db] { db->setWaitForLocks(true); });
    try {
        m_handler();
        m_lockedFor.invalidate();
    } catch (const NumberedError& e) {
        if (e.number() != engine::err::FileInUse)
            throw;
        if (!m_lockedFor.isValid())
            m_lockedFor.start();
        m_timer.start();
    }
}

} // namespace tolvane::dictwindow
