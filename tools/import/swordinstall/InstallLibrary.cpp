#include "InstallLibrary.h"

#include "FaultMessages.h"
#include "Installer.h"
#include "Listing.h"
#include "ModulePlace.h"
#include "SafePath.h"
#include "StagingFiles.h"

#include <filemgr.h>
#include <swconfig.h>
#include <swmgr.h>
#include <swmodule.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tolvane::swordinstall {

namespace {

std::string home() {
    const char* h = std::getenv("HOME");
    return h && *h ? h : ".";
}

std::string library() {
    return home() + "/.sword";
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

} // namespace

struct InstallLibrary::Impl {
    TransferRules rules;
    Progress progress;
    Installer installer;
    Impl(long windowS, long silentS)
        : installer((library() + "/InstallMgr").c_str(), &progress, rules) {
        rules.windowS = windowS;
        rules.silentS = silentS;
        rules.waiting = &Progress::waiting;
    }

    sword::InstallSource& source(const std::string& caption) {
        auto it = installer.sources.find(caption.c_str());
        if (it == installer.sources.end())
            throw Failure{"There is no repository named \"" + shown(caption) +
                          "\". See tolvane-import --sword-sources, or add it."};
        return *it->second;
    }
    static std::string where(const sword::InstallSource& is) {
        return "the repository \"" + shown(is.caption.c_str()) + "\" (" +
               shown(std::string(is.source.c_str()) + is.directory.c_str()) + ")";
    }
    // libsword's copy of the repository's list, and of a module while it comes.
    static std::string cache(const sword::InstallSource& is) {
        return library() + "/InstallMgr/" + is.uid.c_str();
    }

    // Fetches the repository's list of modules into its cache, unpacked by us.
    void refresh(sword::InstallSource& is) {
        const std::string root = cache(is);
        const Subject subject{{}, where(is), root};
        // The folder is named by the repository's uid (from the master list too): a plain
        // name, and not one of libsword's own files beside it.
        const std::optional<std::string> uid = cleanRelative(is.uid.c_str());
        std::error_code error;
        const auto status = std::filesystem::symlink_status(root, error);
        if (!uid || uid->empty() || uid->find('/') != std::string::npos ||
            !staysInside(library() + "/InstallMgr", root) ||
            (std::filesystem::exists(status) && !std::filesystem::is_directory(status) &&
             !std::filesystem::is_symlink(status)))
            throw Failure{outsideMessage(subject, root)};
        empty(root); // what an earlier run left there
        empty(root + "/mods.d");
        const std::string archive = root + "/mods.d.tar.gz";
        rules.arm(root, kListingArchiveMaxBytes);
        int rc = installer.remoteCopy(&is, "mods.d.tar.gz", archive.c_str(), false);
        if (rc == 0) {
            const ListingResult listed = unpackListing(archive, root + "/mods.d");
            if (listed.outcome != ListingResult::Unpacked) {
                std::filesystem::remove(archive, error);
                is.flush();
                throw Failure{listingMessage(subject, listed)};
            }
        } else if (rules.fault == Fault::NotFound) {
            // A repository without the archive: its mods.d folder, .conf files only.
            rules.arm(root + "/mods.d");
            rc = installer.remoteCopy(&is, "mods.d", (root + "/mods.d").c_str(), true, ".conf");
        }
        is.flush();
        if (rc != 0) {
            empty(root + "/mods.d");
            throw Failure{transferMessage(subject, rules)};
        }
    }
    void listsModules(sword::InstallSource& is) {
        if (is.getMgr()->getModules().empty())
            throw Failure{"The list of modules of " + where(is) +
                          " names no module. Check the repository's address, or choose "
                          "another repository."};
    }
};

InstallLibrary::InstallLibrary(long rateWindowS, long silentS) {
    sword::FileMgr::createParent((library() + "/InstallMgr/x").c_str());
    sword::FileMgr::createParent((library() + "/mods.d/x").c_str());
    removeStaleStaging(library());
    m = new Impl(rateWindowS, silentS);
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
    m->rules.arm(library() + "/InstallMgr", kListingArchiveMaxBytes);
    if (m->installer.refreshRemoteSourceConfiguration() != 0)
        throw Failure{"The master list of repositories could not be fetched from CrossWire "
                      "(ftp.crosswire.org). Check the connection and try again, or add a "
                      "repository by its address."};
}

void InstallLibrary::addSource(const std::string& caption, const std::string& url) {
    static const std::regex form("^(https?|ftp)://([^/]+)(/.*)?$", std::regex::icase);
    std::smatch parts;
    if (!std::regex_match(url, parts, form))
        throw Failure{"\"" + shown(url) +
                      "\" is no repository address. Give one that starts with http://, "
                      "https:// or ftp://."};
    if (caption.empty() || caption.find('|') != std::string::npos ||
        cleanRelative(caption).value_or("") != caption || caption.find('/') != std::string::npos)
        throw Failure{"A repository needs a name without '|' or '/'. Choose another name."};
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
    m->listsModules(is);
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
    return list;
}

std::string InstallLibrary::install(const std::string& module, const std::string& source) {
    sword::InstallSource& is = m->source(source);
    m->refresh(is);
    m->listsModules(is);
    sword::SWModule* offered = is.getMgr()->getModule(module.c_str());
    if (!offered)
        throw Failure{capital(Impl::where(is)) + " offers no module " + shown(module) +
                      ". See tolvane-import --sword-available."};
    if (!isDictionary(offered))
        throw Failure{shown(module) + " is no dictionary module (" + offered->getType() +
                      "). Choose a dictionary."};

    // Before anything is fetched: the module's files go into a folder of its own, and no
    // link on the way leads them elsewhere.
    Subject subject{module, Impl::where(is), library() + "/modules"};
    const ModulePlace place = placeOf(offered->getConfig());
    if (place.folder.empty())
        throw Failure{outsideMessage(subject, place.refused)};
    subject.folder = library() + "/" + place.folder;
    for (const std::string& path : {subject.folder, library() + "/mods.d"})
        if (!staysInside(library(), path))
            throw Failure{outsideMessage(subject, path)};
    const std::string other = sharedWith(library(), place.folder, offered->getName());
    if (!other.empty())
        throw Failure{module + " from " + Impl::where(is) + " was refused: its folder " +
                      shown(place.folder) + " holds or lies in that of " + other +
                      ", installed already. Nothing was written. Choose another repository."};

    // Into a staging library first, then moved into place only when everything came.
    const std::string staging = library() + "/.tolvane-install-" + std::to_string(::getpid());
    empty(staging);
    empty(staging + "/mods.d");
    const auto clean = [&] {
        std::error_code error;
        std::filesystem::remove_all(staging, error);
    };
    // libsword's installModule would build its view of the repository over ~/.sword too (an
    // installed copy then sends the update's files straight into ~/.sword), so its two steps
    // are taken here: the module's configuration copied from the repository's list, then its
    // folder (or its File entries) fetched into the staging library.
    std::string shared;
    const ConfCopy copied =
        copyConf(Impl::cache(is) + "/mods.d", staging + "/mods.d", offered->getName(), shared);
    if (copied == ConfCopy::Shared) {
        clean();
        throw Failure{module + " from " + Impl::where(is) + " was refused: its configuration " +
                      shown(shared) +
                      " describes other modules too. Nothing was written. Choose another "
                      "repository."};
    }
    m->rules.arm(staging + "/" + place.folder);
    if (copied == ConfCopy::Failed)
        m->rules.note(diskFull(staging) ? Fault::NoRoom : Fault::Unwritable);
    m->progress.beginModule(std::atol(conf(offered, "InstallSize").c_str()));
    int rc = copied == ConfCopy::Copied ? 0 : -1;
    if (rc == 0 && place.files.empty())
        rc = m->installer.remoteCopy(&is, place.folder.c_str(),
                                     (staging + "/" + place.folder).c_str(), true);
    for (const std::string& file : place.files)
        if (rc == 0)
            rc = m->installer.remoteCopy(&is, file.c_str(), (staging + "/" + file).c_str());
    if (rc != 0)
        m->rules.note(Fault::NotFound); // a folder listing that names no file, when no other
    if (rc != 0 || m->rules.fault != Fault::None) {
        clean();
        throw Failure{transferMessage(subject, m->rules)};
    }
    if (const std::string stray = strayIn(staging, place.folder); !stray.empty()) {
        clean();
        throw Failure{outsideMessage(subject, stray)};
    }
    sword::SWMgr check(staging.c_str(), true, nullptr, false, false);
    if (!check.getModule(module.c_str())) {
        const bool full = diskFull(staging);
        clean();
        throw Failure{full ? module + " could not be saved: the disk is full (no room in " +
                                 library() + "). Make room and try again."
                           : module + " from " + Impl::where(is) +
                                 " arrived incomplete. Try again later, or choose another "
                                 "repository."};
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
                      ". Check that the disk has room and the folder can be written, and try "
                      "again."};
    }
    clean();
    return library();
}

void InstallLibrary::remove(const std::string& module) {
    sword::SWMgr target(library().c_str(), true, nullptr, false, false);
    if (!target.getModule(module.c_str()))
        throw Failure{"no module " + module + " is installed in " + library()};
    // libsword deletes the module's whole data folder: never one outside a folder of its own
    // (a configuration from before these checks may name any).
    sword::SWModule* installed = target.getModule(module.c_str());
    const ModulePlace place = placeOf(installed->getConfig());
    if (place.folder.empty() || !staysInside(library(), library() + "/" + place.folder) ||
        !sharedWith(library(), place.folder, installed->getName()).empty())
        throw Failure{module + " was not removed: its configuration names \"" +
                      shown(place.folder.empty() ? place.refused : place.folder) +
                      "\", which is no folder of its own in " + library() +
                      "/modules. Remove its files by hand if you are sure of them."};
    if (m->installer.removeModule(&target, module.c_str()) != 0)
        throw Failure{module + " could not be removed from " + library()};
}

} // namespace tolvane::swordinstall
