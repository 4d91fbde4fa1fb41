#include "Installer.h"

#include <algorithm>
#include <cstdio>

namespace tolvane::swordinstall {

void Progress::update(unsigned long fileTotal, unsigned long fileDone) {
    m_fileDone = long(fileDone);
    const long done = m_before + m_fileDone;
    long total = m_inBatch ? std::max(m_listedTotal, m_expected) : long(fileTotal);
    if (total > 0 && total < done)
        total = done; // a listing that rounds sizes ("12K") can fall short
    std::printf("P\t%ld\t%ld\n", done, total);
    std::fflush(stdout);
}

void Progress::preStatus(long total, long, const char*) {
    // The file before this one has come whole.
    m_before += m_fileDone;
    m_fileDone = 0;
    m_inBatch = true;
    m_listedTotal = std::max(0L, total);
}

void Progress::beginModule(long expected) {
    m_before = m_fileDone = m_listedTotal = 0;
    m_expected = expected;
    m_inBatch = false;
}

void Progress::waiting() {
    std::printf("W\n");
    std::fflush(stdout);
}

} // namespace tolvane::swordinstall
