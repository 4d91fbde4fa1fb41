#include "StagingFiles.h"

#include <swconfig.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane::swordinstall {

namespace {

bool processRuns(long pid) {
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

} // namespace

void removeStaleStaging(const std::string& library) {
    DIR* dir = ::opendir(library.c_str());
    if (!dir)
        return;
    const std::string prefix = ".tolvane-install-";
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.rfind(prefix, 0) != 0)
            continue;
        const long pid = std::atol(name.c_str() + prefix.size());
        std::error_code error;
        if (pid > 0 && !processRuns(pid))
            std::filesystem::remove_all(library + "/" + name, error);
    }
    ::closedir(dir);
}

// The staging library holds only folders and regular files (strayIn): anything else fails.
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
        if (::lstat(source.c_str(), &st) != 0) {
            ok = false;
            break;
        }
        if (S_ISDIR(st.st_mode)) {
            ::mkdir(target.c_str(), 0755);
            ok = moveTree(source, target, moved);
        } else {
            ok = S_ISREG(st.st_mode) && std::rename(source.c_str(), target.c_str()) == 0;
            if (ok)
                moved.push_back(target);
        }
        if (!ok)
            break;
    }
    ::closedir(dir);
    return ok;
}

// After a failed copy: whether the folder has no room left, which libsword does not tell
// apart from other faults. A megabyte is written there and taken away again.
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

ConfCopy copyConf(const std::string& from, const std::string& to, const std::string& module,
                  std::string& shared) {
    ConfCopy outcome = ConfCopy::Failed;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(from, error)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name.size() < 6 ||
            name.compare(name.size() - 5, 5, ".conf") != 0)
            continue;
        sword::SWConfig config(entry.path().c_str());
        if (config.getSections().find(module.c_str()) == config.getSections().end())
            continue;
        if (config.getSections().size() != 1) {
            shared = name;
            return ConfCopy::Shared;
        }
        std::filesystem::copy_file(entry.path(), to + "/" + name,
                                   std::filesystem::copy_options::overwrite_existing, error);
        if (error)
            return ConfCopy::Failed;
        outcome = ConfCopy::Copied;
    }
    return outcome;
}

void empty(const std::string& folder) {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    std::filesystem::create_directories(folder, error);
}

} // namespace tolvane::swordinstall
