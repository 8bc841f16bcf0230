#include "media/CVLSound.h"

#include "media/SoundEngineHost.h"
#include "media/SoundPrivileges.h"
#include "media/SoundRing.h"
#include "media/SoundWorkingFile.h"
#include "store/Diagnostics.h"
#include "store/ProjectTables.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <linux/soundcard.h>
#include <pthread.h>
#include <sched.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const char* const kExitTexts[] = {"Terminated without errors",
                                  "Terminated due to previous errors",
                                  "Invalid time value",
                                  "Invalid frequency value",
                                  "Invalid parameter",
                                  "Invalid Wave-File",
                                  "Unsupported Wave-File-Format",
                                  "Read Error",
                                  "Write Error",
                                  "Out of Memory",
                                  "Invalid syntax",
                                  "Too many arguments"};

constexpr uint32_t tag(const char (&t)[5]) {
    return uint32_t(uint8_t(t[0])) | uint32_t(uint8_t(t[1])) << 8 | uint32_t(uint8_t(t[2])) << 16 |
           uint32_t(uint8_t(t[3])) << 24;
}

// One little-endian word; false at the end of the file or on an error.
bool getWord(std::FILE* f, uint32_t& v) {
    uint8_t b[4];
    if (std::fread(b, 1, 4, f) != 4)
        return false;
    v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}

bool putWords(std::FILE* f, const uint32_t* words, size_t n) {
    std::vector<uint8_t> b(n * 4);
    for (size_t i = 0; i < n; ++i)
        for (int k = 0; k < 4; ++k)
            b[i * 4 + size_t(k)] = uint8_t(words[i] >> (8 * k));
    return std::fwrite(b.data(), 1, b.size(), f) == b.size();
}

std::string withError(const char* text, int err) {
    return std::string(text) + std::strerror(err);
}

} // namespace

CVLSound::CVLSound(QWidget* parent, const char* name)
    : QObject(parent), m_privileges(std::make_unique<SoundPrivileges>()) {
    setObjectName(name);
    m_spec = sAudioSpecStruct{sAudioSpecStruct::SOURCE_MICROPHONE, 44100, 1, 16};
}

CVLSound::~CVLSound() {
    stopAudio();
    if (m_workFile)
        std::fclose(m_workFile);
}

void CVLSound::setPrivileges(std::unique_ptr<SoundPrivileges> privileges) {
    m_privileges = privileges ? std::move(privileges) : std::make_unique<SoundPrivileges>();
}

std::string CVLSound::errorText(int code) {
    switch (code) {
    case 0:
        return "Unable to open the sound device";
    case 1:
        return "Recording Supported only in OSS Card!";
    case 2:
        return "Sound Card doesnot support supplied            \t\t\t parameters\t";
    default:
        return "";
    }
}

void CVLSound::processError(int code) {
    const std::string text = errorText(code);
    diag::print("\n\tRecord Audio Warning: %s\n", text.c_str());
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox box(QMessageBox::Information, "Record Audio Warning", QString::fromStdString(text));
        box.exec();
    }
}

int CVLSound::errexit(int code) {
    const char* text = code >= 0 && code < int(std::size(kExitTexts)) ? kExitTexts[code] : "";
    std::fprintf(stderr, "%s.\n", text);
    return code;
}

int CVLSound::detectSoundCardType() {
    struct stat st {};
    m_cardKind = stat("/dev/sndstat", &st) == 0 && S_ISCHR(st.st_mode) ? OSS_CARD : NO_CARD;
    if (stat("/proc/asound/sndstat", &st) == 0 && S_ISREG(st.st_mode))
        m_cardKind = ALSA_CARD;
    std::printf("\n\tSoundCard = %d", m_cardKind);
    std::printf("\n[90=oss ,91 =alsa ,92 = nocard]\n");
    std::fflush(stdout);
    return m_cardKind;
}

bool CVLSound::initSoundCardandMixer(int mode, sAudioSpecStruct spec) {
    if (mode == MODE_RECORD) {
        diag::print("\n\tRequested: source %d rate %d channels %d bits %d\n", spec.inputSource,
                    spec.samplingRate, spec.channels, spec.bitsPerSample);
        if (!m_device.open(OssDevice::Direction::Record)) {
            processError(0);
            return false;
        }
        if (!m_mixer.open()) {
            processError(0);
        } else {
            if (!m_mixer.setRecordSource(spec.inputSource == 100 ? SOUND_MASK_CD : SOUND_MASK_MIC))
                processError(3);
            m_mixer.close();
        }
        // Recorded as 16-bit mono at 44100 Hz whatever the settings say.
        if (m_device.setFormat(AFMT_S16_LE) < 0 || m_device.setChannels(1) < 0 ||
            m_device.setSpeed(44100) < 0)
            processError(2);
        m_spec = sAudioSpecStruct{spec.inputSource, 44100, 1, 16};
        return true;
    }
    if (!m_device.open(OssDevice::Direction::Play)) {
        processError(0);
        return false;
    }
    // Played in the clip's own format.
    if (m_device.setSpeed(spec.samplingRate) < 0 || m_device.setChannels(spec.channels) < 0 ||
        m_device.setFormat(spec.bitsPerSample == 16 ? AFMT_S16_LE : AFMT_U8) < 0)
        processError(2);
    return true;
}

int CVLSound::initRingBuffer(long size, int segment) {
    if (segment <= 0 || size < 0) {
        processError(5);
        return 0;
    }
    int count = int((size + segment - 1) / segment);
    if (count < 3)
        count = 3;
    try {
        if (!m_ring)
            m_ring = std::make_unique<SoundRing>();
        m_ring->reset();
    } catch (const std::bad_alloc&) {
        processError(6);
        return 0;
    }
    m_segments = count;
    return count;
}

void CVLSound::ringbuf_close() {
    m_ring.reset();
    m_segments = 0;
}

int CVLSound::get_au_blksz(OssDevice& device) {
    const int size = device.blockSize();
    if (size < 0)
        diag::print("%s\n", withError("SNDCTL_DSP_GETBLKSIZE ioctl failed: ", errno).c_str());
    return size;
}

std::string CVLSound::workingFilePath() const {
    return (m_host ? m_host->soundDataDirectory() : std::string(".")) + "/vlsound.tmp";
}

bool CVLSound::initFileForAudio(int mode) {
    if (m_workFile)
        std::fclose(m_workFile);
    m_workFile = std::fopen(workingFilePath().c_str(), "w+b");
    if (!m_workFile) {
        diag::print("\n\tcannot open %s: %s\n", workingFilePath().c_str(), std::strerror(errno));
        return false;
    }
    // The workers write by the descriptor, behind the header.
    return mode != MODE_RECORD || (writeWaveHeader(m_workFile, 0) && std::fflush(m_workFile) == 0);
}

bool CVLSound::writeWaveHeader(std::FILE* file, uint32_t dataLength) {
    const uint32_t h[11] = {tag("RIFF"), dataLength + 36, tag("WAVE"),     tag("fmt "), 16,        65537,
                            44100,       88200,           (16u << 16) | 2, tag("data"), dataLength};
    return std::fseek(file, 0, SEEK_SET) == 0 && putWords(file, h, 11);
}

// ---- WAV ----------------------------------------------------------------

int CVLSound::wavfin(wavfile& w, const char* path) {
    w.file = std::fopen(path, "rb");
    if (!w.file)
        return errexit(7);
    return readheader(w);
}

int CVLSound::readheader(wavfile& w) {
    uint32_t word = 0;
    if (!getWord(w.file, word))
        return errexit(7);
    if (word != tag("RIFF"))
        return errexit(5);
    if (!getWord(w.file, word)) // the RIFF length
        return errexit(7);
    if (!getWord(w.file, word))
        return errexit(7);
    if (word != tag("WAVE"))
        return errexit(5);
    if (!getWord(w.file, word))
        return errexit(7);
    if (word == tag("LIST")) {
        uint32_t length = 0;
        if (!getWord(w.file, length))
            return errexit(7);
        if (std::fseek(w.file, long(length), SEEK_CUR) != 0)
            return errexit(7);
        if (!getWord(w.file, word))
            return errexit(7);
    }
    if (word != tag("fmt "))
        return errexit(5);
    uint32_t h[7];
    for (uint32_t& x : h)
        if (!getWord(w.file, x))
            return errexit(7);
    if (std::ferror(w.file))
        return errexit(7);
    if (h[0] != 16 || h[5] != tag("data"))
        return errexit(5);
    if (h[1] != 65537) // PCM, one channel
        return errexit(6);
    w.rate = long(h[2]);
    w.bytesPerSample = int(h[4] & 0xffff);
    w.bits = int(h[4] >> 16);
    if (w.bytesPerSample < 1 || w.bytesPerSample > 4)
        return errexit(6);
    w.samples = h[6] / uint32_t(w.bytesPerSample);
    w.position = 0;
    w.overflowReported = w.underflowReported = false;
    return 0;
}

int CVLSound::wavfout(wavfile& w) {
    return writeheader(w);
}

int CVLSound::writeheader(wavfile& w) {
    const uint32_t bytes = uint32_t(w.bytesPerSample);
    const uint32_t data = uint32_t(w.samples) * bytes;
    const uint32_t h[11] = {tag("RIFF"),
                            data + 36,
                            tag("WAVE"),
                            tag("fmt "),
                            16,
                            65537,
                            uint32_t(w.rate),
                            uint32_t(w.rate) * bytes,
                            uint32_t(w.bits) << 16 | bytes,
                            tag("data"),
                            data};
    std::printf("h[7]=%ld", long(h[7]));
    std::fflush(stdout);
    if (!w.file || !putWords(w.file, h, 11))
        return errexit(7);
    w.position = 0;
    w.overflowReported = w.underflowReported = false;
    return 0;
}

int CVLSound::wavbinget(wavfile& w, unsigned long& value) {
    value = 0;
    for (int i = 0; i < w.bytesPerSample; ++i) {
        const int c = std::fgetc(w.file);
        if (c == EOF)
            return errexit(7);
        value |= (unsigned long)(c) << (8 * i);
    }
    ++w.position;
    return 0;
}

int CVLSound::wavbinput(wavfile& w, unsigned long value) {
    for (int i = 0; i < w.bytesPerSample; ++i)
        if (std::fputc(int((value >> (8 * i)) & 0xff), w.file) == EOF)
            return errexit(8);
    ++w.position;
    return 0;
}

int CVLSound::wavget(wavfile& w, float& value) {
    unsigned long raw = 0;
    if (const int r = wavbinget(w, raw))
        return r;
    if (w.bytesPerSample == 1) {
        value = float(double(raw) / 128.0 - 1.0);
        return 0;
    }
    const int bits = 8 * w.bytesPerSample;
    long long s = (long long)(raw);
    if (raw & (1ul << (bits - 1)))
        s -= 1ll << bits;
    value = float(double(s) / double(1ll << (bits - 1)));
    return 0;
}

int CVLSound::wavput(wavfile& w, float value) {
    double v = value;
    if (v > 1) {
        v = 0.99999;
        if (!w.overflowReported)
            std::fprintf(stderr, "Overflow: maximum value set.\n");
        w.overflowReported = true;
    } else if (v < -1) {
        v = -0.99999;
        if (!w.underflowReported)
            std::fprintf(stderr, "Underflow: minimum value set.\n");
        w.underflowReported = true;
    }
    const long long half = 1ll << (8 * w.bytesPerSample - 1);
    long long s = (long long)(std::floor(v * double(half)));
    // Exactly 1 would wrap to the most negative sample.
    if (s > half - 1)
        s = half - 1;
    if (w.bytesPerSample == 1)
        s += half;
    return wavbinput(w, (unsigned long)(s));
}

// ---- The filter -----------------------------------------------------------

int CVLSound::applySoundFilter() {
    wavfile in;
    if (const int r = wavfin(in, workingFilePath().c_str())) {
        if (in.file)
            std::fclose(in.file);
        return r;
    }
    std::vector<float> x;
    try {
        x.resize(in.samples);
    } catch (const std::bad_alloc&) {
        std::fclose(in.file);
        return errexit(9);
    }
    for (float& s : x)
        if (const int r = wavget(in, s)) {
            std::fclose(in.file);
            return r;
        }
    std::fclose(in.file);

    // As the filter has always been set up: its coefficient, gain and offset
    // are 0 for every rate the settings offer.
    const long rate = in.rate > 0 ? in.rate : 1;
    const int coefficient = int(double(rate / 1000) * (1.570796326795 / double(rate)));
    const int gain = 0, offset = 0;
    double y = 0, p = 0;
    for (float& s : x) {
        const double c = s;
        y += coefficient * ((0.75 * p + 0.25 * c) - y);
        y += coefficient * ((0.5 * p + 0.5 * c) - y);
        y += coefficient * ((0.25 * p + 0.75 * c) - y);
        y += coefficient * (c - y);
        p = c;
        s = float((y + offset) * gain);
    }

    wavfile out;
    out.file = std::fopen("filtersound.dat", "wb");
    if (!out.file)
        return errexit(8);
    out.samples = in.samples;
    out.rate = in.rate;
    out.bits = in.bits;
    out.bytesPerSample = in.bytesPerSample;
    int result = wavfout(out);
    for (size_t i = 0; result == 0 && i < x.size(); ++i)
        result = wavput(out, x[i]);
    if (std::fclose(out.file) != 0 && result == 0)
        result = errexit(8);
    return result;
}

// ---- Workers --------------------------------------------------------------

bool CVLSound::runWorkers(bool recording, double limit) {
    if (!m_ring || !m_workFile)
        return false;
    const int fd = fileno(m_workFile);
    const int frameBytes = recording ? 2 : std::max(1, m_spec.channels * m_spec.bitsPerSample / 8);
    std::string failure;
    std::mutex failureLock;
    auto fail = [&](const std::string& text) {
        std::lock_guard<std::mutex> lock(failureLock);
        if (failure.empty())
            failure = text;
    };
    std::atomic<int> ended{0};
    SoundRing& ring = *m_ring;

    auto deviceWorker = [&] {
        if (recording) {
            ring.produce(
                [&](uint8_t* dst, size_t n) -> long {
                    if (m_device.read(dst, n))
                        return long(n);
                    if (!(errno == ECANCELED && m_aborted.load()))
                        fail(withError("read syscall of dsp device failed: ", errno));
                    return m_aborted.load() ? 0 : -1;
                },
                limit);
        } else {
            ring.consume(
                [&](const uint8_t* src, size_t n) {
                    if (m_device.write(src, n))
                        return true;
                    if (!(errno == ECANCELED && m_aborted.load()))
                        fail(withError(" write to audio device failed: ", errno));
                    return false;
                },
                limit, frameBytes);
        }
        ++ended;
    };
    auto fileWorker = [&] {
        if (recording) {
            const SoundRing::Result r = ring.consume(
                [&](const uint8_t* src, size_t n) {
                    size_t done = 0;
                    while (done < n) {
                        const ssize_t w = ::write(fd, src + done, n - done);
                        if (w > 0) {
                            done += size_t(w);
                        } else if (!(w < 0 && errno == EINTR)) {
                            fail(withError("write syscall to output failed: ", w < 0 ? errno : ENOSPC));
                            m_aborted.store(true);
                            m_device.abort();
                            return false;
                        }
                    }
                    return true;
                },
                limit, frameBytes);
            m_recordedBytes = uint32_t(r.bytes);
        } else {
            ring.produce(
                [&](uint8_t* dst, size_t n) -> long {
                    size_t done = 0;
                    while (done < n) {
                        const ssize_t r = ::read(fd, dst + done, n - done);
                        if (r > 0)
                            done += size_t(r);
                        else if (r == 0)
                            break;
                        else if (errno != EINTR) {
                            fail(withError("read of input file descriptor failed: ", errno));
                            return -1;
                        }
                    }
                    return long(done);
                },
                limit);
        }
        ++ended;
    };

    const bool privileged = m_privileges->effectiveUserIsRoot();
    if (privileged) {
        if (!m_privileges->becomeRoot()) {
            diag::print("%s\n", withError("seteuid( (uid_t) 0 ) failed: ", errno).c_str());
            return false;
        }
        if (recording && !m_privileges->lockMemory())
            diag::print("%s\n", withError("mlockall(MCL_CURRENT) failed: ", errno).c_str());
    }
    std::thread device, file;
    try {
        device = std::thread(deviceWorker);
        file = std::thread(fileWorker);
    } catch (const std::system_error& e) {
        fail(std::string("BUG: pthread_create failed: ") + e.what());
        m_aborted.store(true);
        ring.stop();
        m_device.abort();
    }
    if (privileged) {
        // First in, first out at the policy's highest priority.
        sched_param param{};
        param.sched_priority = sched_get_priority_max(SCHED_FIFO);
        for (std::thread* t : {&device, &file})
            if (t->joinable())
                if (const int err = pthread_setschedparam(t->native_handle(), SCHED_FIFO, &param))
                    fail(withError("BUG: pthread_setschedparam failed: ", err));
        if (!m_privileges->returnToRealUser())
            fail(withError("seteuid( getuid() ) failed: ", errno));
    }
    const int started = int(device.joinable()) + int(file.joinable());
    if (started == 1 && !file.joinable()) {
        // Without the file worker the device worker must end on its own.
        ring.stop();
        m_aborted.store(true);
        m_device.abort();
    }
    while (ended.load() < started) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        else
            usleep(20000);
    }
    if (device.joinable())
        device.join();
    if (file.joinable())
        file.join();
    if (!failure.empty()) {
        diag::print("%s\n", failure.c_str());
        return false;
    }
    return true;
}

// ---- The clip operations ----------------------------------------------------

bool CVLSound::recordAudio() {
    if (detectSoundCardType() != OSS_CARD) {
        processError(1);
        if (m_host)
            m_host->disableSoundMenuItems();
        return false;
    }
    const sAudioSpecStruct settings = m_host ? m_host->recordingSettings() : sAudioSpecStruct{};
    m_stop.store(false);
    m_aborted.store(false);
    m_recordedBytes = 0;
    if (!initSoundCardandMixer(MODE_RECORD, settings))
        return false;
    SoundWorkingFile* sound = m_host ? m_host->soundWorkingFileForClips() : nullptr;
    if (!sound) {
        m_device.close();
        return false;
    }
    if (!sound->prepare()) {
        processError(0);
        m_device.close();
        return false;
    }
    m_frame = m_host->currentFrame();
    if (initRingBuffer(SoundRing::RING_SIZE, SoundRing::SEGMENT_SIZE) == 0 ||
        (m_blockSize = get_au_blksz(m_device)) < 0 || !initFileForAudio(MODE_RECORD)) {
        m_device.close();
        ringbuf_close();
        return false;
    }
    QCoreApplication::processEvents();
    bool ok = runWorkers(true, 2147483647.0);
    ringbuf_close();
    m_device.close();
    // The segment drained as the stop came is not counted: it goes.
    ok = ok && std::fflush(m_workFile) == 0 &&
         ftruncate(fileno(m_workFile), off_t(44) + m_recordedBytes) == 0 &&
         writeWaveHeader(m_workFile, m_recordedBytes) && std::fflush(m_workFile) == 0;
    std::fclose(m_workFile);
    m_workFile = nullptr;
    if (!ok)
        return false;
    if (!storeRecording())
        return false;
    if (const int r = applySoundFilter())
        diag::print("\n\tthe filter ended with %d\n", r);
    return true;
}

// The recorded samples, without the WAV header, become the frame's clip.
bool CVLSound::storeRecording() {
    SoundWorkingFile* sound = m_host->soundWorkingFileForClips();
    ProjectTables* project = m_host->projectTablesForSound();
    if (!project || m_frame < 0 || size_t(m_frame) >= project->m_vEditInfo.size())
        return false;
    int fd = -1;
    if (!sound->createTempForRecording(fd))
        return false;
    std::FILE* in = std::fopen(workingFilePath().c_str(), "rb");
    bool ok = in && std::fseek(in, 44, SEEK_SET) == 0;
    std::vector<char> piece(65536);
    while (ok) {
        const size_t n = in ? std::fread(piece.data(), 1, piece.size(), in) : 0;
        if (n == 0)
            break;
        ok = ::write(fd, piece.data(), n) == ssize_t(n);
    }
    if (in)
        std::fclose(in);
    ::close(fd);
    SoundWorkingFile::StoredClip stored;
    const SoundWorkingFile::Status status =
        ok ? sound->storeClip(uint32_t(m_frame), m_recordedBytes, m_spec, stored)
           : SoundWorkingFile::Status{};
    sound->removeTemp();
    if (!ok || !status) {
        diag::print("\n\tthe clip was not stored: %s\n", status.cause.c_str());
        return false;
    }
    soundrec::setEditInfoAudio(project->m_vEditInfo[size_t(m_frame)], stored.headerOffset);
    m_host->notePlaybackAudio(m_frame, long(stored.length), stored.format);
    return true;
}

bool CVLSound::playAudio() {
    if (detectSoundCardType() != OSS_CARD) {
        processError(1);
        if (m_host)
            m_host->disableSoundMenuItems();
        return false;
    }
    m_stop.store(false);
    m_aborted.store(false);
    if (!m_host)
        return false;
    m_frame = m_host->currentFrame();
    m_spec = m_host->clipFormat(m_frame);
    SoundWorkingFile* sound = m_host->soundWorkingFileForClips();
    ProjectTables* project = m_host->projectTablesForSound();
    if (!sound || !project || m_frame < 0 || size_t(m_frame) >= project->m_vEditInfo.size() ||
        size_t(m_frame) >= project->m_vPlayBackFrameInfo.size())
        return false;
    const SEditInfo& e = project->m_vEditInfo[size_t(m_frame)];
    const uint32_t length = project->m_vPlayBackFrameInfo[size_t(m_frame)].audioSize;
    if (e.audioFlag != 1 || e.audioHeaderOffset < 0 || length == 0)
        return false;
    if (initRingBuffer(SoundRing::RING_SIZE, SoundRing::SEGMENT_SIZE) == 0)
        return false;
    if (!initSoundCardandMixer(0, m_spec)) {
        ringbuf_close();
        return false;
    }
    // The clip's bytes into the working file, then to the device.
    uint64_t copied = 0;
    bool ok = bool(sound->copyClipForPlayback(uint32_t(e.audioHeaderOffset), length, copied)) &&
              initFileForAudio(0);
    if (ok) {
        std::FILE* clip = std::fopen(sound->tempPath().c_str(), "rb");
        std::vector<char> piece(65536);
        size_t n = 0;
        while (clip && (n = std::fread(piece.data(), 1, piece.size(), clip)) > 0)
            ok = ok && std::fwrite(piece.data(), 1, n, m_workFile) == n;
        ok = ok && clip && std::fflush(m_workFile) == 0 && std::fseek(m_workFile, 0, SEEK_SET) == 0;
        if (clip)
            std::fclose(clip);
    }
    sound->removeTemp();
    if (ok)
        ok = runWorkers(false, double(length));
    m_device.close();
    ringbuf_close();
    if (m_workFile) {
        std::fclose(m_workFile);
        m_workFile = nullptr;
    }
    return ok;
}

void CVLSound::stopAudio() {
    m_stop.store(true);
    m_aborted.store(true);
    if (m_ring)
        m_ring->stop();
    m_device.abort();
}

// The sound working file places every clip itself: moving to the clip's end
// or start is only the stop.
void CVLSound::forwardAudio() {
    stopAudio();
}

void CVLSound::rewindAudio() {
    stopAudio();
}
