#pragma once
// libsword as the helper uses it: its module manager, finding modules where libsword looks
// (SWORD_PATH, the DataPath of sword.conf, normally /usr/share/sword, and ~/.sword), with the
// plain-text filter chain, and a log that keeps what libsword reports instead of printing it.

#include <memory>
#include <string>
#include <vector>

namespace sword {
class SWModule;
}

namespace tolvane::swordread {

struct ModuleInfo {
    std::string name;
    std::string type; // libsword's type name, e.g. "Lexicons / Dictionaries"
    std::string description;
    std::string folder;           // the library folder it was found in
    long entries = -1;            // dictionaries only
    std::string version, licence; // the configuration's Version and DistributionLicense
    long long size = 0;           // bytes: the configuration's InstallSize, else its files' sizes
};

class SwordLibrary {
public:
    SwordLibrary();
    ~SwordLibrary();
    SwordLibrary(const SwordLibrary&) = delete;
    SwordLibrary& operator=(const SwordLibrary&) = delete;

    // The folders libsword looked in, as it names them.
    std::vector<std::string> searchedFolders() const;

    // Every module libsword found, in name order.
    std::vector<ModuleInfo> modules() const;
    bool isDictionary(const ModuleInfo& module) const;

    sword::SWModule* module(const std::string& name) const;
    ModuleInfo describe(sword::SWModule* module) const;

    // The current entry of `module` rendered to plain text. A module whose configuration
    // names no encoding is Latin-1 to libsword; such entries are taken as UTF-8 when they
    // are valid UTF-8, which most modules without the line are.
    std::string renderPlain(sword::SWModule* module) const;

    // The first error libsword reported since the last call, or empty; clears it.
    std::string takeError();

private:
    struct Parts;
    std::unique_ptr<Parts> m;
};

} // namespace tolvane::swordread
