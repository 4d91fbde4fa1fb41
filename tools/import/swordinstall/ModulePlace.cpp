#include "ModulePlace.h"

#include "SafePath.h"

#include <swmgr.h>
#include <swmodule.h>

#include <filesystem>

namespace tolvane::swordinstall {

namespace {

bool inside(const std::string& folder, const std::string& path) {
    return path == folder || path.rfind(folder + "/", 0) == 0;
}

// The folder of the module's data relative to its library, as SWMgr computed it.
std::optional<std::string> dataFolder(const sword::ConfigEntMap& section) {
    const auto absolute = section.find("AbsoluteDataPath");
    const auto prefix = section.find("PrefixPath");
    if (absolute == section.end() || prefix == section.end())
        return std::nullopt;
    const std::string a = absolute->second.c_str(), p = prefix->second.c_str();
    if (a.compare(0, p.size(), p) != 0)
        return std::nullopt;
    return cleanRelative(a.substr(p.size()));
}

} // namespace

ModulePlace placeOf(const sword::ConfigEntMap& section) {
    ModulePlace place;
    std::string dataPath;
    for (auto it = section.lower_bound("DataPath"); it != section.upper_bound("DataPath"); ++it) {
        dataPath = it->second.c_str();
        // libsword drops a leading '/', but an absolute path is no module's.
        if (dataPath.empty() || dataPath.front() == '/' || !cleanRelative(dataPath)) {
            place.refused = dataPath;
            return place;
        }
    }
    const std::optional<std::string> folder = dataFolder(section);
    // Below modules/, in a folder of the module's own.
    if (!folder || folder->rfind("modules/", 0) != 0) {
        place.refused = dataPath.empty() ? "(no DataPath)" : dataPath;
        return place;
    }
    for (auto it = section.lower_bound("File"); it != section.upper_bound("File"); ++it) {
        const std::optional<std::string> file = cleanRelative(it->second.c_str());
        if (!file || !inside(*folder, *file)) {
            place.refused = it->second.c_str();
            return place;
        }
        place.files.push_back(*file);
    }
    place.folder = *folder;
    return place;
}

std::string sharedWith(const std::string& library, const std::string& folder,
                       const std::string& module) {
    sword::SWMgr installed(library.c_str(), true, nullptr, false, false);
    for (const auto& [name, mod] : installed.getModules()) {
        if (module == name.c_str())
            continue;
        const std::optional<std::string> other = dataFolder(mod->getConfig());
        if (other && (inside(*other, folder) || inside(folder, *other)))
            return name.c_str();
    }
    return {};
}

std::string strayIn(const std::string& staging, const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(staging, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const std::string path = it->path().lexically_relative(staging).string();
        const fs::file_status status = it->symlink_status();
        const bool conf = path.rfind("mods.d/", 0) == 0 && path.find('/', 7) == std::string::npos &&
                          path.size() > 12 && path.compare(path.size() - 5, 5, ".conf") == 0;
        if (fs::is_directory(status)) {
            if (!inside(path, folder) && !inside(folder, path) && path != "mods.d")
                return path;
        } else if (!fs::is_regular_file(status) || (!inside(folder, path) && !conf)) {
            return path;
        }
    }
    return error ? staging : std::string();
}

} // namespace tolvane::swordinstall
