#include "InstallLibrary.h"

#include <filemgr.h>
#include <installmgr.h>
#include <remotetrans.h>
#include <swconfig.h>
#include <swmgr.h>
#include <swmodule.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tolvane::swordinstall {

namespace {

// Progress of a transfer, one line "P <done> <total>" on stdout for the caller, in bytes of
// the whole transfer. libsword announces each file of a module with the bytes of the files
// before it and the total from the repository's folder listing (preStatus), then reports
// only that file's bytes (update); the two are added up here. A listing without sizes gives
// no total: then the module's InstallSize, when the repository tells it, else 0 (unknown).
class Progress final : public sword::StatusReporter {
public:
    void update(unsigned long fileTotal, unsigned long fileDone) override {
        m_fileDone = long(fileDone);
        const long done = m_before + m_fileDone;
        long total = m_inBatch ? std::max(m_listedTotal, m_expected) : long(fileTotal);
        if (total > 0 && total < done)
            total = done; // a listing that rounds sizes ("12K") can fall short
        std::printf("P\t%ld\t%ld\n", done, total);
        std::fflush(stdout);
    }
    void preStatus(long total, long, const char*) override {
        // The file before this one has come whole.
        m_before += m_fileDone;
        m_fileDone = 0;
        m_inBatch = true;
        m_listedTotal = std::max(0L, total);
    }
    // A module's transfer begins; `expected` its InstallSize (0 when unknown).
    void beginModule(long expected) {
        m_before = m_fileDone = m_listedTotal = 0;
        m_expected = expected;
        m_inBatch = false;
    }

private:
    long m_before = 0, m_fileDone = 0, m_listedTotal = 0, m_expected = 0;
    bool m_inBatch = false;
};

// Running this helper is the user's consent to use the network (the window asks first, with
// libsword's own caution); a stalled transfer is given up after the stall time.
class Installer final : public sword::InstallMgr {
public:
    Installer(const char* path, sword::StatusReporter* progress, long stallMs)
        : sword::InstallMgr(path, progress) {
        setTimeoutMillis(stallMs);
    }
    bool isUserDisclaimerConfirmed() const override { return true; }
};

std::string home() {
    const char* h = std::getenv("HOME");
    return h && *h ? h : ".";
}

std::string library() {
    return home() + "/.sword";
}

bool processRuns(long pid) {
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

// Staging folders ".tolvane-install-<pid>" of runs that are gone.
void removeStaleStaging() {
    DIR* dir = ::opendir(library().c_str());
    if (!dir)
        return;
    const std::string prefix = ".tolvane-install-";
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.rfind(prefix, 0) != 0)
            continue;
        const long pid = std::atol(name.c_str() + prefix.size());
        if (pid > 0 && !processRuns(pid))
            sword::FileMgr::removeDir((library() + "/" + name).c_str());
    }
    ::closedir(dir);
}

// Moves every file under `from` to the same place under `to`, noting each in `moved`; false
// at the first failure.
bool moveTree(const std::string& from, const std::string& to, std::vector<std::string>& moved) {
    DIR* dir = ::opendir(from.c_str());
    if (!dir)
        return false;
    bool ok = true;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string source = from + "/" + name, target = to + "/" + name;
        struct stat st {};
        if (::stat(source.c_str(), &st) != 0) {
            ok = false;
            break;
        }
        if (S_ISDIR(st.st_mode)) {
            ::mkdir(target.c_str(), 0755);
            ok = moveTree(source, target, moved);
        } else {
            ok = std::rename(source.c_str(), target.c_str()) == 0;
            if (ok)
                moved.push_back(target);
        }
        if (!ok)
            break;
    }
    ::closedir(dir);
    return ok;
}

// After a failed download: whether the folder has no room left, which libsword does not
// tell apart from a network fault. A megabyte is written there and taken away again.
bool diskFull(const std::string& folder) {
    const std::string probe = folder + "/.room";
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    if (!file)
        return errno == ENOSPC || errno == EDQUOT;
    static const std::vector<char> block(64 * 1024, '\0');
    bool full = false;
    for (int i = 0; i < 16 && !full; ++i)
        full = std::fwrite(block.data(), 1, block.size(), file) != block.size();
    full = std::fflush(file) != 0 || full;
    const int error = errno;
    std::fclose(file);
    std::remove(probe.c_str());
    return full && (error == ENOSPC || error == EFBIG || error == EDQUOT);
}

std::string conf(sword::SWModule* module, const char* key) {
    const char* value = module->getConfigEntry(key);
    return value ? value : "";
}

bool isDictionary(sword::SWModule* module) {
    const std::string type = module->getType();
    return type == "Lexicons / Dictionaries" || type == "Glossaries" ||
           conf(module, "Category") == "Glossaries";
}

std::string describe(int rc) {
    switch (rc) {
    case -1:
        return "not found on the server";
    case -2:
        return "the connection failed or stalled";
    case -3:
        return "stopped";
    default:
        return "error " + std::to_string(rc);
    }
}

} // namespace

struct InstallLibrary::Impl {
    Progress progress;
    Installer installer;
    explicit Impl(long stallMs)
        : installer((library() + "/InstallMgr").c_str(), &progress, stallMs) {}

    sword::InstallSource& source(const std::string& caption) {
        auto it = installer.sources.find(caption.c_str());
        if (it == installer.sources.end())
            throw Failure{"no repository named \"" + caption +
                          "\" (see tolvane-import --sword-sources)"};
        return *it->second;
    }
    static std::string where(const sword::InstallSource& is) {
        return "the repository \"" + std::string(is.caption.c_str()) + "\" (" + is.source.c_str() +
               is.directory.c_str() + ")";
    }
    void refresh(sword::InstallSource& is) {
        if (const int rc = installer.refreshRemoteSource(&is))
            throw Failure{where(is) + " could not be read: " + describe(rc)};
    }
};

InstallLibrary::InstallLibrary(long stallSeconds) {
    sword::FileMgr::createParent((library() + "/InstallMgr/x").c_str());
    sword::FileMgr::createParent((library() + "/mods.d/x").c_str());
    removeStaleStaging();
    m = new Impl(stallSeconds * 1000);
}

InstallLibrary::~InstallLibrary() {
    delete m;
}

std::vector<Source> InstallLibrary::sources() {
    std::vector<Source> list;
    for (const auto& [caption, is] : m->installer.sources)
        list.push_back(
            {is->caption.c_str(), is->type.c_str(), is->source.c_str(), is->directory.c_str()});
    return list;
}

void InstallLibrary::refreshSources() {
    if (const int rc = m->installer.refreshRemoteSourceConfiguration())
        throw Failure{"the master list of repositories could not be read: " + describe(rc)};
}

void InstallLibrary::addSource(const std::string& caption, const std::string& url) {
    static const std::regex form("^(https?|ftp)://([^/]+)(/.*)?$", std::regex::icase);
    std::smatch parts;
    if (!std::regex_match(url, parts, form))
        throw Failure{"\"" + url + "\" is no repository address (http://, https:// or ftp://)"};
    if (caption.empty() || caption.find('|') != std::string::npos)
        throw Failure{"a repository needs a name without '|'"};
    std::string scheme = parts[1].str();
    for (char& c : scheme)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    std::string directory = parts[3].str();
    while (directory.size() > 1 && directory.back() == '/')
        directory.pop_back();
    sword::InstallSource is(scheme.c_str());
    is.caption = caption.c_str();
    is.source = parts[2].str().c_str();
    is.directory = directory.c_str();
    is.uid = caption.c_str();
    sword::SWConfig& config = *m->installer.installConf;
    config["Sources"].insert(
        sword::ConfigEntMap::value_type((scheme + "Source").c_str(), is.getConfEnt()));
    config.save();
    m->installer.readInstallConf();
}

std::vector<Available> InstallLibrary::available(const std::string& source) {
    sword::InstallSource& is = m->source(source);
    m->refresh(is);
    sword::SWMgr installed;
    std::vector<Available> list;
    const auto status = sword::InstallMgr::getModuleStatus(installed, *is.getMgr());
    for (const auto& [module, flags] : status) {
        if (!isDictionary(module))
            continue;
        std::string state = "installed";
        if (flags & sword::InstallMgr::MODSTAT_NEW)
            state = "new";
        else if (flags & sword::InstallMgr::MODSTAT_UPDATED)
            state = "update";
        list.push_back({module->getName(), module->getDescription(), conf(module, "Version"),
                        conf(module, "InstallSize"), conf(module, "DistributionLicense"), state});
    }
    if (list.empty() && is.getMgr()->getModules().empty())
        throw Failure{Impl::where(is) +
                      " lists no modules: its mods.d.tar.gz is missing or damaged"};
    return list;
}

std::string InstallLibrary::install(const std::string& module, const std::string& source) {
    sword::InstallSource& is = m->source(source);
    m->refresh(is);
    if (is.getMgr()->getModules().empty())
        throw Failure{Impl::where(is) +
                      " lists no modules: its mods.d.tar.gz is missing or damaged"};
    sword::SWModule* offered = is.getMgr()->getModule(module.c_str());
    if (!offered)
        throw Failure{Impl::where(is) + " offers no module " + module};
    if (!isDictionary(offered))
        throw Failure{module + " is no dictionary module (" + offered->getType() + ")"};

    // Into a staging library first, then moved into place only when everything came.
    const std::string staging = library() + "/.tolvane-install-" + std::to_string(::getpid());
    sword::FileMgr::removeDir(staging.c_str());
    sword::FileMgr::createParent((staging + "/mods.d/x").c_str());
    const auto clean = [&] { sword::FileMgr::removeDir(staging.c_str()); };
    {
        sword::SWMgr stagingMgr(staging.c_str(), true, nullptr, false, false);
        m->progress.beginModule(std::atol(conf(offered, "InstallSize").c_str()));
        const int rc = m->installer.installModule(&stagingMgr, nullptr, module.c_str(), &is);
        if (rc != 0) {
            const bool full = diskFull(staging);
            clean();
            throw Failure{
                module + " could not be downloaded from " + Impl::where(is) + ": " +
                (full ? "the disk is full (no room in " + library() + ")" : describe(rc))};
        }
    }
    sword::SWMgr check(staging.c_str(), true, nullptr, false, false);
    if (!check.getModule(module.c_str())) {
        const bool full = diskFull(staging);
        clean();
        throw Failure{module + " from " + Impl::where(is) +
                      (full ? " could not be saved: the disk is full (no room in " + library() + ")"
                            : " arrived incomplete")};
    }
    // An update replaces the installed copy in ~/.sword.
    sword::SWMgr target(library().c_str(), true, nullptr, false, false);
    if (target.getModule(module.c_str()))
        m->installer.removeModule(&target, module.c_str());
    // The data files first, the configuration last: until it is there no program sees the
    // module, and should a move fail what was moved is taken out again.
    std::vector<std::string> moved;
    ::mkdir((library() + "/modules").c_str(), 0755);
    if (!moveTree(staging + "/modules", library() + "/modules", moved) ||
        !moveTree(staging + "/mods.d", library() + "/mods.d", moved)) {
        for (const std::string& file : moved)
            std::remove(file.c_str());
        clean();
        throw Failure{module + " could not be put into " + library() +
                      " (is the disk full or the folder read-only?)"};
    }
    clean();
    return library();
}

void InstallLibrary::remove(const std::string& module) {
    sword::SWMgr target(library().c_str(), true, nullptr, false, false);
    if (!target.getModule(module.c_str()))
        throw Failure{"no module " + module + " is installed in " + library()};
    if (m->installer.removeModule(&target, module.c_str()) != 0)
        throw Failure{module + " could not be removed from " + library()};
}

} // namespace tolvane::swordinstall
