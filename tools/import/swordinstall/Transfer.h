#pragma once
// The transfers of tolvane-swordinstall. libsword's InstallMgr fetches a repository's files
// through a RemoteTransport of its choosing; ours does the transfer with libcurl itself, so
// that
//  - no file is written outside the folder the running step allows (a name in a repository's
//    folder listing that climbs out is refused, and a file is never opened through a link);
//  - a transfer slower than a minimum rate over a window counts as stalled (a server that
//    trickles a few bytes a second never ends otherwise);
//  - what went wrong is known (not found, a server fault, cut off, stalled, unreachable, no
//    room), where libsword gives one code for all.

#include <curlhttpt.h>
#include <filemgr.h>

#include <functional>
#include <string>

namespace tolvane::swordinstall {

enum class Fault {
    None,
    NotFound,
    ServerFault,
    CutOff,
    Stalled,
    Silent,
    Unreachable,
    NoRoom,
    Unwritable,
    Outside,
    TooLarge
};

// What the running step allows its transfers, and the first fault they met.
struct TransferRules {
    std::string root;              // every file written stays inside this folder
    long long maxBytes = 0;        // of one file; 0: no bound but the helper's file-size limit
    long windowS = 30;             // slower than minRate over this many seconds: stalled
    long silentS = 30;             // nothing at all for this long (connecting too): stalled
    long minRate = 1024;           // bytes a second
    std::function<void()> waiting; // each transfer ends: the helper works on this computer now

    Fault fault = Fault::None;
    std::string detail; // the path or name at fault

    // A new step: its folder and bound; the last fault forgotten.
    void arm(const std::string& folder, long long bound = 0);
    void note(Fault f, const std::string& what = {});
};

class GuardedTransport final : public sword::CURLHTTPTransport {
public:
    GuardedTransport(const char* server, sword::StatusReporter* progress, TransferRules& rules,
                     bool ftp);
    char getURL(const char* destPath, const char* sourceURL, sword::SWBuf* destBuf) override;
    std::vector<sword::DirEntry> getDirList(const char* dirURL) override;

private:
    TransferRules& m_rules;
    bool m_ftp;
};

} // namespace tolvane::swordinstall
