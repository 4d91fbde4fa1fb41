// Preloaded into the import tool by its tests: fsync fails with EIO on regular files when
// TOLVANE_FAIL_FSYNC is "file", on folders when it is "folder", and works otherwise, so that
// a disk failing at the very last step can be seen to be reported.

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

extern "C" __attribute__((visibility("default"))) int fsync(int fd) {
    const char* mode = std::getenv("TOLVANE_FAIL_FSYNC");
    struct stat info {};
    if (mode && ::fstat(fd, &info) == 0 &&
        ((std::strcmp(mode, "file") == 0 && S_ISREG(info.st_mode)) ||
         (std::strcmp(mode, "folder") == 0 && S_ISDIR(info.st_mode)))) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}
