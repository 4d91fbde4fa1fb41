#pragma once
// Where a module from a repository may put its files: its own folder under the library
// ("modules/lexdict/rawld/topics"), taken from its configuration as libsword's InstallMgr takes
// it (the folder of its DataPath, or its File entries), and checked before anything is
// fetched; and, after the transfer into the staging library, that nothing else came.

#include <swconfig.h>

#include <string>
#include <vector>

namespace tolvane::swordinstall {

struct ModulePlace {
    std::string folder;             // relative to the library; empty when refused
    std::vector<std::string> files; // its File entries (in the folder), when it names them
    std::string refused;            // the configuration's path that would leave its folder
};

// From the module's section in a manager over the repository's list.
ModulePlace placeOf(const sword::ConfigEntMap& section);

// The installed module (other than `module`) in `library` whose folder holds `folder` or lies
// in it; empty when none.
std::string sharedWith(const std::string& library, const std::string& folder,
                       const std::string& module);

// The first entry of the staging library that is no folder or regular file, or lies outside
// `folder` and mods.d/*.conf; empty when none.
std::string strayIn(const std::string& staging, const std::string& folder);

} // namespace tolvane::swordinstall
