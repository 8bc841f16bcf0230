#include "media/CBuilderSound.h"

#include "media/SoundClipStore.h"
#include "media/SoundEngineHost.h"
#include "store/Diagnostics.h"
#include "store/RegularFile.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
constexpr double RECORDING_LIMIT = 2147483647.0;
constexpr int PRODUCER = 1;
constexpr int CONSUMER = 2;

std::string withError(const char* text, int error) {
    return std::string(text) + strerror(error);
}
} // namespace

CBuilderSound::CBuilderSound(QObject* parent, const char* name)
    : QObject(parent), m_privileges(std::make_unique<SoundPrivileges>()) {
    setObjectName(QString::fromUtf8(name ? name : ""));
    const char* home = getenv("HOME");
    m_tempPath = std::string(home ? home : "") + "/zedaro/temp.snx";
    diag::print("\n\n\t TEMP FILE  = %s", m_tempPath.c_str());
    m_endEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

CBuilderSound::~CBuilderSound() {
    closeTempFile();
    if (m_endEvent >= 0)
        close(m_endEvent);
}

void CBuilderSound::setPrivileges(std::unique_ptr<SoundPrivileges> privileges) {
    m_privileges = privileges ? std::move(privileges) : std::make_unique<SoundPrivileges>();
}

void CBuilderSound::process_error(int code, const char* text) {
    diag::print("%s\n", text);
    if (m_host && (code == ERROR_CRITICAL || code == ERROR_WARNING))
        m_host->showSoundError(code, text);
}

void CBuilderSound::stop_all_sound() {
    if (m_busy)
        m_stopRequested.store(true);
    if (m_ring)
        m_ring->stop();
}

void CBuilderSound::forward_builder_audio() {
    stop_all_sound();
    if (m_busy) {
        m_deviceAborted.store(true);
        if (m_device.abort)
            m_device.abort();
    }
}

void CBuilderSound::rewind_builder_audio() {
    forward_builder_audio();
}

int CBuilderSound::initRingBuffer() {
    try {
        if (!m_ring)
            m_ring = std::make_unique<SoundRing>();
        m_ring->reset();
        // A stop that came while the transfer was being set up still holds.
        if (m_stopRequested.load())
            m_ring->stop();
        m_segmentCount = SoundRing::SEGMENT_COUNT;
    } catch (const std::bad_alloc&) {
        m_ring.reset();
        process_error(ERROR_CRITICAL, "Error in memory allocation");
        m_segmentCount = 0;
    }
    return m_segmentCount;
}

void CBuilderSound::ringbuf_close() {
    m_ring.reset();
    m_segmentCount = 0;
}

void CBuilderSound::closeTempFile() {
    if (m_tempFd >= 0)
        close(m_tempFd);
    m_tempFd = -1;
}

bool CBuilderSound::init_files(int mode) {
    closeTempFile();
    if (mode == RECORDING_MODE) {
        m_tempFd = regularfile::open(m_tempPath, O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (m_tempFd < 0) {
            const int error = errno;
            diag::error(m_tempPath.c_str());
            process_error(
                ERROR_CRITICAL,
                ("Unable to open temp file for recording\n" + m_tempPath + ": " + strerror(error)).c_str());
            return false;
        }
        return true;
    }
    if (!m_host || !m_store)
        return false;
    if (m_store->copyClip(m_host->currentFrame(), m_tempPath) < 0)
        return false;
    m_tempFd = regularfile::open(m_tempPath, O_RDONLY);
    struct stat st;
    if (m_tempFd < 0 || fstat(m_tempFd, &st) != 0) {
        process_error(ERROR_CRITICAL, withError("read of input file descriptor failed: ", errno).c_str());
        closeTempFile();
        return false;
    }
    m_clipSize = double(st.st_size);
    return true;
}

void CBuilderSound::recordClip() {
    if (m_busy)
        return;
    m_busy = true;
    m_stopRequested.store(false);
    m_deviceAborted.store(false);
    m_spec = m_host ? m_host->recordingSettings() : sAudioSpecStruct{};
    const int frame = m_host ? m_host->currentFrame() : 0;

    bool ready = open_sound_device(RECORDING_MODE);
    if (ready) {
        // A mixer that fails is shown; the recording goes on without it.
        if (open_mixer())
            setup_recording_source(m_spec.inputSource);
        ready = set_soundcard_params(m_spec) && init_files(RECORDING_MODE) && initRingBuffer() > 0;
    }
    if (ready) {
        m_widen = m_spec.bitsPerSample == 8;
        const bool ran = init_recordthread_structure();
        ringbuf_close();
        closeTempFile();
        m_clipLength = uint32_t(m_fileWorker.result.bytes) * (m_widen ? 2 : 1);
        if (ran && m_fileWorker.failure.empty()) {
            sAudioSpecStruct stored = m_spec;
            stored.bitsPerSample = 16;
            if (m_store)
                m_store->storeClip(frame, m_tempPath, m_clipLength, stored);
        }
        for (const Worker* w : {&m_deviceWorker, &m_fileWorker})
            if (!w->failure.empty())
                process_error(ERROR_CRITICAL, w->failure.c_str());
    }
    closeTempFile();
    close_mixer();
    close_sound_device();
    unlink(m_tempPath.c_str());
    m_busy = false;
}

void CBuilderSound::playClip() {
    if (m_busy)
        return;
    m_busy = true;
    m_stopRequested.store(false);
    m_deviceAborted.store(false);
    sAudioSpecStruct format = m_host ? m_host->clipFormat(m_host->currentFrame()) : sAudioSpecStruct{};
    format.inputSource = 0;
    m_spec = format;
    if (open_sound_device(PLAYING_MODE) && set_soundcard_params(format) && init_files(PLAYING_MODE) &&
        initRingBuffer() > 0) {
        m_widen = false;
        init_playthread_structure();
        ringbuf_close();
        for (const Worker* w : {&m_deviceWorker, &m_fileWorker})
            if (!w->failure.empty())
                process_error(ERROR_CRITICAL, w->failure.c_str());
    }
    close_sound_device();
    closeTempFile();
    unlink(m_tempPath.c_str());
    m_busy = false;
}

bool CBuilderSound::init_recordthread_structure() {
    const double limit = m_widen ? RECORDING_LIMIT / 2 : RECORDING_LIMIT;
    m_deviceWorker = Worker{PRODUCER, 1, limit, 1, {}, {}};
    m_fileWorker = Worker{CONSUMER, 1, limit, 1, {}, {}};
    return runWorkers(true);
}

bool CBuilderSound::init_playthread_structure() {
    m_deviceWorker = Worker{CONSUMER, 0, m_clipSize, 4, {}, {}};
    m_fileWorker = Worker{PRODUCER, 0, m_clipSize, 1, {}, {}};
    return runWorkers(false);
}

void* CBuilderSound::move_au(void* engine) {
    static_cast<CBuilderSound*>(engine)->readerthread();
    return nullptr;
}

void* CBuilderSound::move_fd(void* engine) {
    static_cast<CBuilderSound*>(engine)->writerthread();
    return nullptr;
}

bool CBuilderSound::runWorkers(bool recording) {
    const bool privileged = m_privileges->effectiveUserIsRoot();
    std::string lockFailure;
    if (privileged) {
        if (!m_privileges->becomeRoot()) {
            const char* text = recording ? " seteuid( (uid_t) 0 ) failed: " : "seteuid( (uid_t) 0 ) failed: ";
            process_error(ERROR_CRITICAL, withError(text, errno).c_str());
            return false;
        }
        // Memory that cannot be locked only slows the device worker down.
        if (recording && !m_privileges->lockMemory())
            lockFailure = withError("mlockall(MCL_CURRENT) failed: ", errno);
    }

    uint64_t stale;
    while (read(m_endEvent, &stale, sizeof stale) > 0) {
    }
    // Opening the device dropped an earlier Forward's or Rewind's wake-up.
    if (m_deviceAborted.load() && m_device.abort)
        m_device.abort();
    std::thread deviceThread, fileThread;
    std::string threadFailure;
    try {
        deviceThread = std::thread(&CBuilderSound::move_au, this);
        fileThread = std::thread(&CBuilderSound::move_fd, this);
    } catch (const std::system_error& e) {
        threadFailure = std::string("BUG: pthread_create failed: ") + e.what();
    }
    std::string dropFailure;
    if (privileged && !m_privileges->returnToRealUser())
        dropFailure = withError("seteuid( getuid() ) failed: ", errno);

    if (!threadFailure.empty() || !dropFailure.empty()) {
        m_ring->stop();
        if (!deviceThread.joinable()) {
            m_fileWorker.failure = threadFailure;
            process_error(ERROR_CRITICAL, threadFailure.c_str());
            return false;
        }
        if (!fileThread.joinable())
            move_fd(this); // stopped: ends within a segment and lets the device worker end
    }

    if (fileThread.joinable() && QCoreApplication::instance()) {
        uint64_t ended = 0;
        QEventLoop loop;
        QSocketNotifier notifier(m_endEvent, QSocketNotifier::Read);
        auto collect = [&] {
            uint64_t n;
            if (read(m_endEvent, &n, sizeof n) == ssize_t(sizeof n))
                ended += n;
            if (ended >= 2)
                loop.quit();
        };
        QObject::connect(&notifier, &QSocketNotifier::activated, &loop, collect);
        collect();
        if (ended < 2)
            loop.exec();
    }
    deviceThread.join();
    if (fileThread.joinable())
        fileThread.join();

    for (const std::string& text : {threadFailure, dropFailure, lockFailure})
        if (!text.empty())
            process_error(ERROR_CRITICAL, text.c_str());
    return threadFailure.empty();
}

// The device worker: the producer when recording, the consumer when playing.
void CBuilderSound::readerthread() {
    Worker& w = m_deviceWorker;
    if (w.role == PRODUCER) {
        w.result = m_ring->produce(
            [&](uint8_t* dst, size_t n) -> long { return fillFromDevice(dst, n, w.failure) ? long(n) : -1; },
            w.limit);
    } else {
        w.result =
            m_ring->consume([&](const uint8_t* src, size_t n) { return writeToDevice(src, n, w.failure); },
                            w.limit, w.frameSize);
        // What was written plays to its end unless the transfer was cut short.
        if (!w.result.failed && !m_ring->stopRequested() && m_device.drain)
            m_device.drain();
    }
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t r = write(m_endEvent, &one, sizeof one);
}

// The file worker: the consumer when recording, the producer when playing.
void CBuilderSound::writerthread() {
    Worker& w = m_fileWorker;
    if (w.role == CONSUMER) {
        w.result = m_ring->consume(
            [&](const uint8_t* src, size_t n) {
                if (writeToTempFile(src, n, w.failure))
                    return true;
                // The device worker must not wait on the device for a segment nobody takes.
                m_deviceAborted.store(true);
                if (m_device.abort)
                    m_device.abort();
                return false;
            },
            w.limit, w.frameSize);
    } else {
        w.result = m_ring->produce(
            [&](uint8_t* dst, size_t n) { return readFromTempFile(dst, n, w.failure); }, w.limit);
    }
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t r = write(m_endEvent, &one, sizeof one);
}

bool CBuilderSound::fillFromDevice(uint8_t* dst, size_t n, std::string& failure) {
    if (m_device.read && m_device.read(dst, n))
        return true;
    const int error = m_device.read ? errno : EBADF;
    if (!(error == ECANCELED && m_deviceAborted.load()))
        failure = withError("read syscall of dsp device failed: ", error);
    return false;
}

bool CBuilderSound::writeToDevice(const uint8_t* src, size_t n, std::string& failure) {
    if (m_device.write && m_device.write(src, n))
        return true;
    const int error = m_device.write ? errno : EBADF;
    if (!(error == ECANCELED && m_deviceAborted.load()))
        failure = withError(" write to audio device failed: ", error);
    return false;
}

bool CBuilderSound::writeToTempFile(const uint8_t* src, size_t n, std::string& failure) {
    std::vector<uint8_t> wide;
    if (m_widen) {
        // Unsigned 8-bit samples become signed 16-bit little-endian ones.
        wide.resize(n * 2);
        for (size_t i = 0; i < n; ++i) {
            const int16_t s = int16_t((int(src[i]) - 128) * 256);
            wide[2 * i] = uint8_t(uint16_t(s) & 0xff);
            wide[2 * i + 1] = uint8_t(uint16_t(s) >> 8);
        }
        src = wide.data();
        n = wide.size();
    }
    size_t done = 0;
    while (done < n) {
        const ssize_t r = write(m_tempFd, src + done, n - done);
        if (r > 0) {
            done += size_t(r);
        } else if (r < 0 && errno == EINTR) {
            continue;
        } else {
            failure = withError("write syscall to output failed: ", r < 0 ? errno : ENOSPC);
            return false;
        }
    }
    return true;
}

long CBuilderSound::readFromTempFile(uint8_t* dst, size_t n, std::string& failure) {
    size_t done = 0;
    while (done < n) {
        const ssize_t r = read(m_tempFd, dst + done, n - done);
        if (r > 0) {
            done += size_t(r);
        } else if (r == 0) {
            break;
        } else if (errno != EINTR) {
            failure = withError("read of input file descriptor failed: ", errno);
            return -1;
        }
    }
    return long(done);
}
