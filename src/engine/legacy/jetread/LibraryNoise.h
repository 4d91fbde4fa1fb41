#pragma once
// libmdb reports trouble only by printing to stdout and stderr (and sometimes prints a great
// deal). The helper's own stdout carries the data stream, so the library's prints must go
// elsewhere. They go into a pipe whose both ends are non-blocking: a flood of warnings fills
// it and is then dropped instead of blocking or eating memory, and what arrived first is kept
// as evidence that a table was not read cleanly.

#include <string>

namespace tolvane::jetread {

class LibraryNoise {
public:
    // Moves the process's stdout to a new descriptor (returned by dataFd()) and points
    // descriptors 1 and 2 at the capture pipe. Returns false when the descriptors could not
    // be set up.
    bool capture();
    int dataFd() const { return m_dataFd; }

    // Everything the library printed since the last call (at most a few kilobytes), with
    // the first line kept whole; empty when it printed nothing.
    std::string take();

    // The first non-empty line of a text taken with take().
    static std::string firstLine(const std::string& text);

private:
    int m_dataFd = -1;
    int m_readFd = -1;
};

} // namespace tolvane::jetread
