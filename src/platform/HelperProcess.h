#pragma once
// A helper program that runs a library which may crash, loop forever or grow without bound on
// a damaged file, in a process of its own. The helper is told its limits on the command line
// (--memory-limit-mb N --cpu-limit-s N, before the caller's arguments; it sets them on itself,
// see HelperLimits.h), the whole run has a wall-clock limit, and its output is capped. Each
// way the run can go wrong is a Failure, which the caller words for the file it was reading.
//
// The output is handed over as it comes, so that the caller can work on it while the helper
// is still reading.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace tolvane::platform {

struct HelperLimits {
    // Wall clock for the whole run; the helper's processor time is limited to as many whole
    // seconds, plus one, as a second guard should the wall clock fail.
    qint64 timeoutMs = 120'000;
    int memoryLimitMb = 512;
    qint64 outputLimit = 1ll << 30; // bytes
    // The largest file the helper may write, in KiB; 0: no limit. A write beyond it fails as
    // on a full disk (HelperLimits.h), which is how the full-disk paths are tried.
    qint64 fileSizeLimitKb = 0;
};

// Where the helper program `name` is: the path in the environment variable `pathVariable` if
// set, else beside the running program, in the installed helper folder (libexec/tolvane,
// looked for from the program's folder first, so that a copy installed under another prefix
// works), in the folder the environment variable `folderVariable` names, or on the PATH.
// Empty when it is nowhere.
QString findHelper(const QString& name, const char* pathVariable, const char* folderVariable);

class HelperProcess {
public:
    enum class Fault {
        NotStarted,        // detail: why, as the system says it
        TooMuchOutput,     // more than outputLimit bytes
        TimedOut,          // the wall clock ran out
        StoppedAbnormally, // the helper crashed or was killed (by its own limits, say)
    };
    struct Failure {
        Fault fault;
        QString detail;
    };

    // Starts `program`; throws Failure (NotStarted).
    HelperProcess(const QString& program, const QStringList& arguments, const HelperLimits& limits);
    // Kills a helper that still runs.
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // Waits a moment for more output and puts what came (perhaps nothing) in `chunk`. Returns
    // false, with `chunk` empty, once the helper has ended and all of its output was handed
    // over. Throws Failure (TooMuchOutput, TimedOut) after killing the helper.
    bool read(QByteArray& chunk);

    // All of the output to the end; throws as read() does, and StoppedAbnormally when the
    // helper did not end by itself.
    QByteArray readAll();

    // Once read() has returned false.
    bool stoppedAbnormally() const { return m_process.exitStatus() == QProcess::CrashExit; }
    int exitCode() const { return m_process.exitCode(); }
    qint64 timeoutMs() const { return m_limits.timeoutMs; }

private:
    [[noreturn]] void stop(Fault fault);

    QProcess m_process;
    HelperLimits m_limits;
    QDeadlineTimer m_deadline;
    qint64 m_received = 0;
    bool m_ended = false;
};

} // namespace tolvane::platform
