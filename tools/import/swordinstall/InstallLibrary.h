#pragma once
// libsword's InstallMgr for tolvane-swordinstall: the repositories of
// ~/.sword/InstallMgr/InstallMgr.conf (shared with every other SWORD program), the dictionary
// modules a repository offers, and installing one into ~/.sword. An install is first made in
// a hidden staging folder inside ~/.sword and moved into place only once every file came, so
// a failed or stopped install leaves the library as it was; staging folders of dead runs are
// removed by the next run.

#include <string>
#include <vector>

namespace tolvane::swordinstall {

struct Source {
    std::string caption, type, host, directory;
};

struct Available {
    std::string name, description, version, size, licence;
    std::string status; // "new", "update" (newer than the installed one) or "installed"
};

// Thrown with a message naming the repository or module; the helper prints it and fails.
struct Failure {
    std::string message;
};

class InstallLibrary {
public:
    // A transfer slower than 1 KB a second over `rateWindowS` is given up as stalled, as is
    // one (or a connection) with nothing at all for `silentS`.
    InstallLibrary(long rateWindowS, long silentS);
    ~InstallLibrary();
    InstallLibrary(const InstallLibrary&) = delete;
    InstallLibrary& operator=(const InstallLibrary&) = delete;

    std::vector<Source> sources();
    // Fetches the master list of repositories into the configuration.
    void refreshSources();
    // Adds an HTTP, HTTPS or FTP repository by URL ("http://host/path").
    void addSource(const std::string& caption, const std::string& url);
    std::vector<Available> available(const std::string& source);
    // Installs (or updates) `module` from `source`; returns the folder it went into.
    std::string install(const std::string& module, const std::string& source);
    void remove(const std::string& module);

private:
    struct Impl;
    Impl* m;
};

} // namespace tolvane::swordinstall
