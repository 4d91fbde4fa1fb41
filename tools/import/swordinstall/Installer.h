#pragma once
// libsword's InstallMgr as tolvane-swordinstall runs it: the user has consented (the window
// asks first, with libsword's own caution), its transfers go through GuardedTransport under
// the rules of the running step, and their progress goes to the caller.

#include "Transfer.h"

#include <installmgr.h>
#include <remotetrans.h>

namespace tolvane::swordinstall {

// Progress of a transfer, one line "P <done> <total>" on stdout for the caller, in bytes of
// the whole transfer, and "W" when a transfer has ended and the helper works on this computer
// (unpacking, copying), so that the caller does not count that time as a stall. libsword
// announces each file of a module with the bytes of the files before it and the total from
// the repository's folder listing (preStatus), then reports only that file's bytes (update);
// the two are added up here. A listing without sizes gives no total: then the module's
// InstallSize, when the repository tells it, else 0 (unknown).
class Progress final : public sword::StatusReporter {
public:
    void update(unsigned long fileTotal, unsigned long fileDone) override;
    void preStatus(long total, long, const char*) override;
    // A module's transfer begins; `expected` its InstallSize (0 when unknown).
    void beginModule(long expected);
    static void waiting();

private:
    long m_before = 0, m_fileDone = 0, m_listedTotal = 0, m_expected = 0;
    bool m_inBatch = false;
};

class Installer final : public sword::InstallMgr {
public:
    Installer(const char* path, sword::StatusReporter* progress, TransferRules& rules)
        : sword::InstallMgr(path, progress), m_rules(rules) {}
    bool isUserDisclaimerConfirmed() const override { return true; }

protected:
    sword::RemoteTransport* createHTTPTransport(const char* host,
                                                sword::StatusReporter* progress) override {
        return new GuardedTransport(host, progress, m_rules, false);
    }
    sword::RemoteTransport* createFTPTransport(const char* host,
                                               sword::StatusReporter* progress) override {
        return new GuardedTransport(host, progress, m_rules, true);
    }

private:
    TransferRules& m_rules;
};

} // namespace tolvane::swordinstall
