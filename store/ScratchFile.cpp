#include "store/ScratchFile.h"

#include "store/RegularFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ScratchFile::ScratchFile(std::string target) : m_target(std::move(target)), m_path(m_target + ".part") {}

ScratchFile::~ScratchFile() {
    discard();
}

std::FILE* ScratchFile::create() {
    m_error.clear();
    discard();
    ::unlink(m_path.c_str()); // a stale scratch; O_EXCL refuses whatever stays
    int fd;
    do
        fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        m_error = "cannot create " + m_path + ": " + std::strerror(errno);
        return nullptr;
    }
    m_created = true;
    std::FILE* f = fdopen(fd, "w+b");
    if (!f) {
        m_error = "cannot open " + m_path + ": " + std::strerror(errno);
        ::close(fd);
        discard();
    }
    return f;
}

bool ScratchFile::commit(Replace how) {
    if (!m_created) {
        if (m_error.empty())
            m_error = "cannot move " + m_path + " into place: it was not created";
        return false;
    }
    // A rename over a file makes ext4 write the new one out first; a swap
    // does not. Only a file or a link is swapped, never a folder.
    struct stat st {};
    if (how == Replace::Transient && ::lstat(m_target.c_str(), &st) == 0 &&
        (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) &&
        ::renameat2(AT_FDCWD, m_path.c_str(), AT_FDCWD, m_target.c_str(), RENAME_EXCHANGE) == 0) {
        ::unlink(m_path.c_str()); // the old target, under the scratch's name
        m_created = false;
        return true;
    }
    // No target, or a file system that cannot swap: a rename.
    if (std::rename(m_path.c_str(), m_target.c_str()) != 0) {
        m_error = "cannot move " + m_path + " to " + m_target + ": " + std::strerror(errno);
        discard();
        return false;
    }
    m_created = false;
    return true;
}

void ScratchFile::discard() {
    if (m_created) {
        const int saved = errno;
        ::unlink(m_path.c_str());
        errno = saved;
    }
    m_created = false;
}

bool copyFileWhole(const std::string& source, const std::string& target, int& error) {
    error = 0;
    std::FILE* in = regularfile::openStream(source, O_RDONLY, "rb");
    if (!in) {
        error = errno;
        return false;
    }
    ScratchFile scratch(target);
    std::FILE* out = scratch.create();
    bool ok = out != nullptr;
    if (!ok)
        error = errno;
    char buf[1 << 16];
    size_t n;
    errno = 0;
    while (ok && (n = std::fread(buf, 1, sizeof buf, in)) > 0)
        if (std::fwrite(buf, 1, n, out) != n) {
            error = errno ? errno : EIO;
            ok = false;
        }
    if (ok && std::ferror(in)) {
        error = errno ? errno : EIO;
        ok = false;
    }
    std::fclose(in);
    if (out && std::fclose(out) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (ok && !scratch.commit()) {
        error = errno;
        ok = false;
    }
    return ok;
}
