#pragma once
// The SWORD repositories, through the helper tolvane-swordinstall (libsword's InstallMgr in a
// process of its own, with limits): the repositories of libsword's own configuration, the
// dictionary modules one offers, installing one into ~/.sword and removing one. A transfer
// that makes no progress for `stallMs`, or (in the helper) comes slower than 1 KB a second
// over `rateWindowS`, is given up with a message naming the repository, the helper is
// stopped, and the library is left as it was (the helper installs through a staging folder).
// Time the helper spends on this computer (unpacking, copying) never counts as a stall.
// Every failure is one InstallError with one message.

#include <QString>
#include <functional>
#include <stdexcept>
#include <vector>

namespace tolvane::import {

class InstallError : public std::runtime_error {
public:
    explicit InstallError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

struct SwordSource {
    QString caption, type, host, directory;
};

struct SwordOffered {
    QString name, description, version, size, licence;
    QString status; // "new", "update" or "installed"
    QString source; // the repository's caption
};

struct SwordInstallOptions {
    // Nothing at all for this long while the helper waits on the network: stalled.
    int stallMs = 30'000; // $TOLVANE_SWORD_STALL_S overrides the default
    // Slower than 1 KB a second over this window: stalled too (the helper's own check).
    int rateWindowS = 30; // $TOLVANE_SWORD_RATE_WINDOW_S overrides the default
    int timeoutMs = 30 * 60'000;
    qint64 fileSizeLimitKb = 0; // the helper's (HelperLimits); $TOLVANE_SWORD_FILE_LIMIT_KB
    QString helperPath;         // empty: swordInstallerPath()
    // Bytes done and to do of the running transfer; return false to cancel.
    std::function<bool(qint64 done, qint64 total)> progress;
};

SwordInstallOptions defaultInstallOptions();

std::vector<SwordSource> swordSources(const SwordInstallOptions& options);
std::vector<SwordSource> refreshSwordSources(const SwordInstallOptions& options);
std::vector<SwordSource> addSwordSource(const QString& caption, const QString& url,
                                        const SwordInstallOptions& options);
// `source` empty: every repository in turn.
std::vector<SwordOffered> availableSwordModules(const QString& source,
                                                const SwordInstallOptions& options);
// `source` empty: the first repository that offers `module`. Returns the library folder.
QString installSwordModule(const QString& module, const QString& source,
                           const SwordInstallOptions& options);
void removeSwordModule(const QString& module, const SwordInstallOptions& options);

// $TOLVANE_SWORDINSTALL, or tolvane-swordinstall where the other helpers are looked for.
QString swordInstallerPath();

} // namespace tolvane::import
