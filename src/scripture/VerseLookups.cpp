#include "scripture/VerseLookups.h"

#include <QPointer>
#include <QThread>

namespace tolvane::scripture {

VerseLookups::VerseLookups(QString helper, int timeoutMs, QObject* parent)
    : QObject(parent), m_helper(std::move(helper)), m_timeoutMs(timeoutMs),
      m_thread(new QThread(this)), m_worker(new QObject) {
    m_thread->setObjectName(QStringLiteral("verse lookups"));
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->start();
}

VerseLookups::~VerseLookups() {
    m_stop = true;
    // The service, and the helper's process with it, end on the thread they were made on.
    QMetaObject::invokeMethod(
        m_worker, [this] { m_service.reset(); }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
}

template <typename Result>
void VerseLookups::send(Channel channel, std::function<Result(VerseService&)> lookup,
                        std::function<void(const Result&)> answer) {
    const quint64 serial = ++m_serial;
    std::atomic<quint64>& latest = m_latest[std::size_t(channel)];
    latest = serial;
    QPointer<VerseLookups> self(this);
    QMetaObject::invokeMethod(m_worker, [this, self, serial, &latest, lookup, answer] {
        if (latest != serial || m_stop)
            return; // a later request came before this one began
        if (!m_service) {
            m_service = std::make_unique<VerseService>(m_helper, m_timeoutMs);
            m_service->setStopFlag(&m_stop);
        }
        Result result = lookup(*m_service);
        // Queued to this object: dropped with it when it is gone.
        QMetaObject::invokeMethod(
            this,
            [self, serial, &latest, answer, result = std::move(result)] {
                if (self && latest == serial)
                    answer(result);
            },
            Qt::QueuedConnection);
    });
}

void VerseLookups::passage(Channel channel, const references::VerseRange& range, int most,
                           const QString& module, std::function<void(const Passage&)> done) {
    send<Passage>(
        channel,
        [range, most, module](VerseService& verses) { return verses.passage(range, most, module); },
        std::move(done));
}

void VerseLookups::bibles(Channel channel, std::function<void(const std::vector<Bible>&)> done) {
    send<std::vector<Bible>>(
        channel, [](VerseService& verses) { return verses.bibles(); }, std::move(done));
}

} // namespace tolvane::scripture
