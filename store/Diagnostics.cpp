#include "store/Diagnostics.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace diag {

void writeAll(const char* text, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(STDERR_FILENO, text, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        text += n;
        size -= size_t(n);
    }
}

void print(const char* format, ...) {
    const int saved = errno;
    char small[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int size = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (size >= 0 && size_t(size) < sizeof small) {
        std::fflush(stderr);
        writeAll(small, size_t(size));
    } else if (size >= 0) {
        std::string text(size_t(size) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, again);
        std::fflush(stderr);
        writeAll(text.data(), size_t(size));
    }
    va_end(again);
    errno = saved;
}

void error(const char* what) {
    const int saved = errno;
    print("%s: %s\n", what, std::strerror(saved));
    errno = saved;
}

} // namespace diag
