#include "media/OssDevice.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <linux/soundcard.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

OssDevice::OssDevice(std::string path) : m_path(std::move(path)) {
    m_abortEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

OssDevice::~OssDevice() {
    close();
    if (m_abortEvent >= 0)
        ::close(m_abortEvent);
}

bool OssDevice::open(Direction direction) {
    close();
    if (m_abortEvent < 0) {
        errno = EMFILE;
        return false;
    }
    // A new transfer starts without the last one's abort.
    uint64_t drained;
    while (::read(m_abortEvent, &drained, sizeof drained) > 0) {
    }
    const int fd = ::open(m_path.c_str(), (direction == Direction::Record ? O_RDONLY : O_WRONLY) | O_CLOEXEC);
    if (fd < 0)
        return false;
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    m_fd = fd;
    return true;
}

void OssDevice::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int OssDevice::request(unsigned long code, int value) {
    if (m_fd < 0) {
        errno = EBADF;
        return -1;
    }
    int v = value;
    while (ioctl(m_fd, code, &v) < 0) {
        if (errno != EINTR)
            return -1;
        v = value;
    }
    return v;
}

int OssDevice::setFormat(int afmt) {
    return request(SNDCTL_DSP_SETFMT, afmt);
}

int OssDevice::setChannels(int channels) {
    return request(SNDCTL_DSP_CHANNELS, channels);
}

int OssDevice::setSpeed(int rate) {
    return request(SNDCTL_DSP_SPEED, rate);
}

bool OssDevice::sync() {
    return request(SNDCTL_DSP_SYNC, 0) >= 0;
}

bool OssDevice::reset() {
    return request(SNDCTL_DSP_RESET, 0) >= 0;
}

int OssDevice::blockSize() {
    return request(SNDCTL_DSP_GETBLKSIZE, 0);
}

bool OssDevice::bufferSpace(bool input, int& fragments, int& fragmentSize) {
    if (m_fd < 0) {
        errno = EBADF;
        return false;
    }
    audio_buf_info info{};
    while (ioctl(m_fd, input ? SNDCTL_DSP_GETISPACE : SNDCTL_DSP_GETOSPACE, &info) < 0)
        if (errno != EINTR)
            return false;
    // The byte count is not used: some drivers give -1 there.
    fragments = info.fragstotal;
    fragmentSize = info.fragsize;
    return true;
}

void OssDevice::abort() {
    const uint64_t one = 1;
    // Never blocks; a full counter still reads as aborted.
    [[maybe_unused]] ssize_t r = ::write(m_abortEvent, &one, sizeof one);
}

bool OssDevice::waitFor(short events) {
    pollfd fds[2] = {{m_fd, events, 0}, {m_abortEvent, POLLIN, 0}};
    for (;;) {
        const int r = poll(fds, 2, -1);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (fds[1].revents & POLLIN) {
            errno = ECANCELED;
            return false;
        }
        // Errors and hang-ups show in the next read or write.
        if (fds[0].revents)
            return true;
    }
}

bool OssDevice::read(void* buffer, size_t n) {
    auto* p = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < n) {
        if (m_fd < 0) {
            errno = EBADF;
            return false;
        }
        if (!waitFor(POLLIN))
            return false;
        const ssize_t r = ::read(m_fd, p + done, n - done);
        if (r > 0) {
            done += size_t(r);
        } else if (r == 0) {
            errno = ENODEV;
            return false;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return false;
        }
    }
    return true;
}

long OssDevice::readSome(void* buffer, size_t n) {
    for (;;) {
        if (m_fd < 0) {
            errno = EBADF;
            return -1;
        }
        if (!waitFor(POLLIN))
            return -1;
        const ssize_t r = ::read(m_fd, buffer, n);
        if (r > 0)
            return long(r);
        if (r == 0) {
            errno = ENODEV;
            return -1;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return -1;
    }
}

bool OssDevice::write(const void* buffer, size_t n) {
    const auto* p = static_cast<const uint8_t*>(buffer);
    size_t done = 0;
    while (done < n) {
        if (m_fd < 0) {
            errno = EBADF;
            return false;
        }
        if (!waitFor(POLLOUT))
            return false;
        const ssize_t r = ::write(m_fd, p + done, n - done);
        if (r > 0)
            done += size_t(r);
        else if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
    }
    return true;
}

OssMixer::OssMixer(std::string path) : m_path(std::move(path)) {}

OssMixer::~OssMixer() {
    close();
}

bool OssMixer::open() {
    close();
    m_fd = ::open(m_path.c_str(), O_WRONLY | O_CLOEXEC);
    return m_fd >= 0;
}

void OssMixer::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool OssMixer::setInputGain(int level) {
    int v = level | level << 8; // left in the low byte, right in the next
    return m_fd >= 0 ? ioctl(m_fd, SOUND_MIXER_WRITE_IGAIN, &v) >= 0 : (errno = EBADF, false);
}

bool OssMixer::setRecordSource(int mask) {
    int v = mask;
    return m_fd >= 0 ? ioctl(m_fd, SOUND_MIXER_WRITE_RECSRC, &v) >= 0 : (errno = EBADF, false);
}
