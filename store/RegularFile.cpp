#include "store/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace regularfile {

int open(const std::string& path, int flags, mode_t mode) {
    int fd;
    do
        fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int e = S_ISREG(st.st_mode) ? errno : EINVAL;
        ::close(fd);
        errno = e;
        return -1;
    }
    const int status = fcntl(fd, F_GETFL);
    if (status != -1)
        fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    return fd;
}

std::FILE* openStream(const std::string& path, int flags, const char* streamMode, mode_t mode) {
    const int fd = open(path, flags, mode);
    if (fd < 0)
        return nullptr;
    std::FILE* f = fdopen(fd, streamMode);
    if (!f) {
        const int e = errno;
        ::close(fd);
        errno = e;
    }
    return f;
}

bool existsButNotRegular(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

} // namespace regularfile
