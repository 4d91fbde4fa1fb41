#pragma once
// A disk "full" without root: for as long as the object lives, this process and every program
// it starts may not write a file beyond `bytes`. A write past it fails (EFBIG; SIGXFSZ, which
// would end the writer instead, is ignored) as one on a full disk fails. Choose a size that is
// no multiple of SQLite's page size: the write that crosses it then comes back short, which
// SQLite reports as a full disk, as it does ENOSPC.

#include <csignal>
#include <sys/resource.h>

namespace tolvane::test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = SIG_DFL;
};

} // namespace tolvane::test
