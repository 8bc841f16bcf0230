// Opening files the program reads or writes as data: only regular files. A
// FIFO, device, socket or directory in their place is refused without waiting
// on it (a FIFO opened plainly would block until a writer or reader comes).
#pragma once

#include <cstdio>
#include <string>
#include <sys/types.h>

namespace regularfile {

// open(2) with O_NONBLOCK and O_CLOEXEC added, kept only when fstat shows a
// regular file (O_NONBLOCK is then cleared again). -1 with errno set on
// failure; a file that is not regular gives EINVAL.
int open(const std::string& path, int flags, mode_t mode = 0644);

// The same as a stream of `streamMode` ("rb", "wb", ...); null with errno set.
std::FILE* openStream(const std::string& path, int flags, const char* streamMode, mode_t mode = 0644);

// True when `path` names something that is there but is not a regular file.
bool existsButNotRegular(const std::string& path);

} // namespace regularfile
