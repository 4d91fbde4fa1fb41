#pragma once
// One run of tolvane-import as a child process, so that the window never waits on libsword
// or the disk: started, then finished() with the exit status and what it wrote. cancel()
// stops it with SIGTERM, on which the tool removes its unfinished file (ImportTemporary.h),
// so a cancelled import leaves the dictionary folder as it was. The tool's progress lines
// (--progress-lines) come as progress() and adding() while it runs and are not part of
// output().

#include <QObject>
#include <QProcess>
#include <QStringList>

namespace tolvane::getdictionaries {

class ImportRun : public QObject {
    Q_OBJECT
public:
    explicit ImportRun(QObject* parent = nullptr);
    ~ImportRun() override;

    // Where tolvane-import is: $TOLVANE_IMPORT, beside the program, or on the PATH.
    static QString toolPath();

    // Starts the tool with `arguments`; false (and `failed` set) when it cannot be started or
    // another run is still going.
    bool start(const QStringList& arguments);
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    void cancel();

    const QByteArray& output() const { return m_output; }
    // The tool's message on stderr, for the status line.
    QString problem() const;
    QString failed; // why the last start failed

Q_SIGNALS:
    // exitCode is -1 when the tool was stopped (cancelled or crashed).
    void finished(int exitCode);
    // Bytes of a download done and to do (0: not known).
    void progress(qint64 done, qint64 total);
    // The download is done; the module is being added to Tolvane.
    void adding();

private:
    void takeOutput(bool ended);

    QProcess m_process;
    QByteArray m_pending; // an unfinished line of output
    QByteArray m_output;
    QByteArray m_errors;
    bool m_cancelled = false;
};

} // namespace tolvane::getdictionaries
