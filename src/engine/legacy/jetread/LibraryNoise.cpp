#include "LibraryNoise.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tolvane::jetread {

namespace {
constexpr std::size_t kKeep = 4096;
}

bool LibraryNoise::capture() {
    std::fflush(stdout);
    std::fflush(stderr);
    m_dataFd = ::fcntl(1, F_DUPFD_CLOEXEC, 3);
    if (m_dataFd < 0)
        return false;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    if (::dup2(ends[1], 1) < 0 || ::dup2(ends[1], 2) < 0)
        return false;
    ::close(ends[1]);
    // dup2 clears close-on-exec but keeps the shared O_NONBLOCK status flag.
    m_readFd = ends[0];
    // Unbuffered, so a complaint is in the pipe by the time the call that printed it returns.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    return true;
}

std::string LibraryNoise::take() {
    std::string kept;
    if (m_readFd < 0)
        return kept;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(m_readFd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (kept.size() < kKeep)
            kept.append(chunk, static_cast<std::size_t>(n) < kKeep - kept.size()
                                   ? static_cast<std::size_t>(n)
                                   : kKeep - kept.size());
    }
    return kept;
}

std::string LibraryNoise::firstLine(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty())
            return line;
        start = end + 1;
    }
    return {};
}

} // namespace tolvane::jetread
