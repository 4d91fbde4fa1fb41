#include "SafePath.h"

#include <filesystem>
#include <vector>

namespace tolvane::swordinstall {

namespace fs = std::filesystem;

namespace {

// The parts of an absolute path without a trailing empty one ("/a/b/" -> "/", "a", "b").
std::vector<std::string> parts(const fs::path& path) {
    std::vector<std::string> list;
    for (const fs::path& p : path)
        if (!p.empty())
            list.push_back(p.string());
    return list;
}

bool within(const fs::path& folder, const fs::path& path) {
    const auto f = parts(folder), p = parts(path);
    return p.size() >= f.size() && std::equal(f.begin(), f.end(), p.begin());
}

} // namespace

std::optional<std::string> cleanRelative(const std::string& path) {
    if (!path.empty() && (path.front() == '/' || path.front() == '\\'))
        return std::nullopt;
    std::vector<std::string> kept;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (kept.empty())
                return std::nullopt;
            kept.pop_back();
        } else if (!part.empty() && part != ".") {
            kept.push_back(part);
        }
        start = end + 1;
    }
    std::string clean;
    for (const std::string& part : kept)
        clean += (clean.empty() ? "" : "/") + part;
    return clean;
}

bool staysInside(const std::string& folder, const std::string& path) {
    std::error_code error;
    const fs::path f = fs::absolute(folder, error).lexically_normal();
    const fs::path p = fs::absolute(path, error).lexically_normal();
    if (error || !within(f, p))
        return false;
    // The existing part of each resolved through its links; the rest as written.
    const fs::path realFolder = fs::weakly_canonical(f, error);
    if (error)
        return false;
    const fs::path realPath = fs::weakly_canonical(p, error);
    return !error && within(realFolder, realPath);
}

std::string shown(const std::string& text) {
    std::string out;
    for (const char c : text.substr(0, 120))
        out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
    return text.size() > 120 ? out + "..." : out;
}

} // namespace tolvane::swordinstall
