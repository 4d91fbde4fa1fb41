#pragma once
// The verses asked for by the windows, looked up away from the UI thread: a hover or a click
// sends its request and goes on; the answer comes later, on the thread that asked, through the
// callback given. The helper's waits (its start, a slow or hung helper given up after its
// timeout) are the lookup thread's, so the windows keep painting and answering input.
//
// Requests of one channel (the tooltips, the Scripture window) supersede each other: a request
// not yet begun when a later one of its channel comes is never sent, and an earlier answer
// that comes after a later request is dropped; its callback is never called.

#include "scripture/VerseService.h"

#include <QObject>
#include <array>
#include <functional>
#include <memory>

QT_BEGIN_NAMESPACE
class QThread;
QT_END_NAMESPACE

namespace tolvane::scripture {

class VerseLookups : public QObject {
public:
    enum class Channel { Tip, Window, Bibles, Count };

    // As VerseService's: the helper (empty: found as the program finds it) and its timeout.
    explicit VerseLookups(QString helper = {}, int timeoutMs = 5000, QObject* parent = nullptr);
    // Gives up a lookup under way (within a tenth of a second) and ends the helper.
    ~VerseLookups() override;

    void passage(Channel channel, const references::VerseRange& range, int most,
                 const QString& module, std::function<void(const Passage&)> done);
    void bibles(Channel channel, std::function<void(const std::vector<Bible>&)> done);

    // The Bible chosen for the tooltips and the Scripture window alike (a module's name;
    // empty: the KJV, else the first installed).
    QString bible() const { return m_bible; }
    void setBible(const QString& name) { m_bible = name; }

private:
    // Runs `lookup` on the lookup thread, then `answer` with its result on this one, unless a
    // later request of the channel came meanwhile.
    template <typename Result>
    void send(Channel channel, std::function<Result(VerseService&)> lookup,
              std::function<void(const Result&)> answer);

    QString m_helper;
    QString m_bible;
    int m_timeoutMs;
    QThread* m_thread;
    QObject* m_worker;                       // lives on m_thread; owns the service there
    std::unique_ptr<VerseService> m_service; // made, used and ended on m_thread
    std::atomic<bool> m_stop{false};
    std::array<std::atomic<quint64>, std::size_t(Channel::Count)> m_latest{}; // last of each
    quint64 m_serial = 0;
};

} // namespace tolvane::scripture
