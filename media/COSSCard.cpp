#include "media/COSSCard.h"

#include "media/CRecordSoundClip.h"
#include "media/SoundEngineHost.h"
#include "media/SoundWorkingFile.h"
#include "store/Diagnostics.h"
#include "store/ProjectTables.h"
#include "store/RecordIO.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/soundcard.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

long COSSCard::m_nBytesPerSecond = 0;
long COSSCard::m_nTotBytesWritten = 0;
int COSSCard::FrameNumber = 0;
int COSSCard::Fnum = 0;

namespace {

const char* const kErrorTexts[] = {"Unable To open the SoundDevice",
                                   "Could Not Set The Requested Format",
                                   "Cannot Se the Channels",
                                   "Cannot Set the  Speed",
                                   "Cannot find the block",
                                   "Cannot Find the mixer device",
                                   "Device Error",
                                   "Recording device not found",
                                   "Recording Source Error",
                                   "Cannot Find the DeviceCannot open the file",
                                   "Couldnot allocate memory",
                                   "Read Error",
                                   "ThreadError",
                                   "Error in Setting Fragment size"};

// "0.%d s" up to 59 seconds, "%d.%d min" from 60.
QString timeText(long seconds, const char* shortUnit, long minuteFrom) {
    if (seconds < minuteFrom)
        return QString::asprintf("0.%ld %s", seconds, shortUnit);
    return QString::asprintf("%ld.%ld min", seconds / 60, seconds % 60);
}

} // namespace

COSSCard::COSSCard(QWidget* parent, const char* name) : QObject(parent) {
    setObjectName(name);
}

COSSCard::~COSSCard() {
    if (m_waveFd >= 0)
        ::close(m_waveFd);
}

CRecordSoundClip* COSSCard::dialog() const {
    return m_host ? m_host->recordSoundClipDialog() : nullptr;
}

std::string COSSCard::errorText(int code) {
    return code >= 0 && code < int(std::size(kErrorTexts)) ? kErrorTexts[code] : "";
}

void COSSCard::ProcessError(int code) {
    const std::string text = errorText(code);
    diag::print("\n\tRecord Error: %s\n", text.c_str());
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox box(QMessageBox::Critical, "Record Error", QString::fromStdString(text));
        box.exec();
    }
    emit QuitSignal();
}

int COSSCard::InitSoundCardAndMixer(int mode, int rate, int bits, int channels, int source) {
    if (mode == MODE_RECORD) {
        if (!m_device.open(OssDevice::Direction::Record)) {
            ProcessError(0);
            return -1;
        }
        if (!m_mixer.open()) {
            ProcessError(5);
        } else {
            m_source = source == 100 ? SOUND_MASK_CD : SOUND_MASK_MIC;
            if (!m_mixer.setRecordSource(m_source))
                ProcessError(8);
        }
    } else if (!m_device.open(OssDevice::Direction::Play)) {
        ProcessError(0);
        return -1;
    }
    m_device.reset();
    if (!m_device.sync())
        ProcessError(0);
    if (m_device.setFormat(bits == 8 ? AFMT_U8 : AFMT_S16_LE) < 0)
        ProcessError(1);
    if (m_device.setChannels(channels) < 0)
        ProcessError(2);
    if (m_device.setSpeed(rate) < 0)
        ProcessError(3);
    if (m_device.blockSize() < 0)
        ProcessError(4);
    int fragments = 0, fragmentSize = 0;
    if (!m_device.bufferSpace(true, fragments, fragmentSize))
        ProcessError(1);
    m_inputBufferSize = long(fragments) * fragmentSize;
    return 0;
}

long COSSCard::getOptimalBufferSize(int mode) {
    int fragments = 0, fragmentSize = 0;
    if (!m_device.bufferSpace(mode == MODE_RECORD, fragments, fragmentSize)) {
        ProcessError(15);
        return 0;
    }
    return long(fragments) * fragmentSize;
}

void COSSCard::CloseAudio() {
    m_mixer.close();
    if (!m_device.isOpen())
        return;
    m_device.close();
}

// ---- Recording ----------------------------------------------------------------

void COSSCard::SlotStartRecording() {
    RecordAudioData();
}

void COSSCard::SlotStopButtonClicked() {
    m_run = false;
}

void COSSCard::SlotCurrentFrame(int frame) {
    m_currentFrame = frame;
    FrameNumber = frame;
}

bool COSSCard::RecordAudioData() {
    if (!m_host)
        return false;
    const sAudioSpecStruct s = m_host->recordingSettings();
    InitSoundCardAndMixer(MODE_RECORD, s.samplingRate, s.bitsPerSample, s.channels, s.inputSource);
    m_nBytesPerSecond = long(s.bitsPerSample / 8) * s.samplingRate * s.channels;
    SoundWorkingFile* sound = m_host->soundWorkingFileForClips();
    if (!sound || !sound->prepare()) {
        CloseAudio();
        return false;
    }
    emit CurrentFrameSignal();
    const bool recorded = RecordAudio();
    // Nothing recorded (the device failed): the frame keeps what it had.
    const bool stored =
        recorded && m_nTotBytesWritten > 0 &&
        CopyTempFileToAudioFile(m_currentFrame, uint32_t(m_nTotBytesWritten),
                                sAudioSpecStruct{s.inputSource, s.samplingRate, s.channels, s.bitsPerSample});
    CloseAudio();
    return stored;
}

bool COSSCard::RecordAudio() {
    m_nTotBytesWritten = 0;
    m_run = true;
    std::FILE* temp = std::fopen(tempFilePath().c_str(), "w");
    if (!temp) {
        ProcessError(9);
        return false;
    }
    long elapsed = 0, lastSecond = 0;
    std::vector<char> piece(4096);
    while (m_run) {
        const long n = m_device.readSome(piece.data(), piece.size());
        if (n < 0) {
            // A device that fails keeps failing: the recording ends here.
            ProcessError(11);
            break;
        }
        if (std::fwrite(piece.data(), 1, size_t(n), temp) != size_t(n))
            ProcessError(17);
        m_nTotBytesWritten += n;
        const long second = m_nBytesPerSecond > 0 ? m_nTotBytesWritten / m_nBytesPerSecond : 0;
        if (second != lastSecond) {
            lastSecond = second;
            ++elapsed;
            if (CRecordSoundClip* d = dialog())
                d->elapsedTimeLabel()->setText(timeText(elapsed, "s", 60));
            QCoreApplication::processEvents();
        }
    }
    std::fclose(temp);
    return true;
}

bool COSSCard::CopyTempFileToAudioFile(int frame, uint32_t length, const sAudioSpecStruct& format) {
    SoundWorkingFile* sound = m_host ? m_host->soundWorkingFileForClips() : nullptr;
    ProjectTables* project = m_host ? m_host->projectTablesForSound() : nullptr;
    if (!sound || !project || frame < 0 || size_t(frame) >= project->m_vEditInfo.size())
        return false;
    int fd = -1;
    if (!sound->createTempForRecording(fd))
        return false;
    bool ok = true;
    if (std::FILE* temp = std::fopen(tempFilePath().c_str(), "rb")) {
        std::vector<char> piece(65536);
        size_t n;
        while (ok && (n = std::fread(piece.data(), 1, piece.size(), temp)) > 0)
            ok = ::write(fd, piece.data(), n) == ssize_t(n);
        std::fclose(temp);
    } else {
        ok = false;
    }
    ::close(fd);
    SoundWorkingFile::StoredClip stored;
    SoundWorkingFile::Status status;
    if (ok)
        status = sound->storeClip(uint32_t(frame), length, format, stored);
    sound->removeTemp();
    if (!ok || !status) {
        diag::print("\n\tthe clip was not stored: %s\n", status.cause.c_str());
        return false;
    }
    // The frame's table points to the clip; its playback record stays as it was.
    soundrec::setEditInfoAudio(project->m_vEditInfo[size_t(frame)], stored.headerOffset);
    return true;
}

// ---- Playing ------------------------------------------------------------------

bool COSSCard::CopyFromAudioFileToTempFile(uint32_t headerOffset, uint32_t length) {
    SoundWorkingFile* sound = m_host ? m_host->soundWorkingFileForClips() : nullptr;
    if (!sound)
        return false;
    uint64_t copied = 0;
    const bool ok = bool(sound->copyClipForPlayback(headerOffset, length, copied));
    bool moved = false;
    if (copied > 0) {
        std::remove(tempFilePath().c_str());
        moved = std::rename(sound->tempPath().c_str(), tempFilePath().c_str()) == 0;
    }
    sound->removeTemp();
    m_nTotBytesWritten = long(copied);
    return ok && moved;
}

bool COSSCard::PlayAudioData() {
    m_run = true;
    m_currentFrame = FrameNumber;
    ProjectTables* project = m_host ? m_host->projectTablesForSound() : nullptr;
    if (!project || m_currentFrame < 0 || size_t(m_currentFrame) >= project->m_vEditInfo.size() ||
        size_t(m_currentFrame) >= project->m_vPlayBackFrameInfo.size())
        return false;
    const SEditInfo& e = project->m_vEditInfo[size_t(m_currentFrame)];
    if (e.audioFlag != 1)
        return false;
    const sAudioSpecStruct s = m_host->recordingSettings();
    // Clips are stored as 16-bit samples.
    InitSoundCardAndMixer(MODE_PLAY, s.samplingRate, 16, s.channels, s.inputSource);
    m_nBytesPerSecond = 2L * s.samplingRate * s.channels;
    const uint32_t length = project->m_vPlayBackFrameInfo[size_t(m_currentFrame)].audioSize;
    bool ok = CopyFromAudioFileToTempFile(uint32_t(e.audioHeaderOffset), length);
    if (ok)
        ok = PlayAudio();
    CloseAudio();
    return ok;
}

void COSSCard::showPlayed(const QString& text) {
    if (CRecordSoundClip* d = dialog()) {
        d->totalTimeLabel()->setText(text);
        m_sliderValue += m_sliderStep;
        d->slider()->setValue(m_sliderValue);
    }
    QCoreApplication::processEvents();
}

bool COSSCard::PlayAudio() {
    const long total = m_nTotBytesWritten;
    const long seconds = m_nBytesPerSecond > 0 ? total / m_nBytesPerSecond : 0;
    // A clip under a second moves the slider in one step.
    m_sliderStep = seconds > 0 ? int(100 / seconds) : 100;
    m_sliderValue = 0;
    m_lastSecond = 0;
    std::FILE* temp = std::fopen(tempFilePath().c_str(), "rb");
    if (!temp) {
        ProcessError(9);
        return false;
    }
    auto secondOf = [this](long played) { return m_nBytesPerSecond > 0 ? played / m_nBytesPerSecond : 0; };
    long played = 0;
    if (total < 65536) {
        std::vector<char> all(size_t(total > 0 ? total : 0));
        if (std::fread(all.data(), 1, all.size(), temp) != all.size())
            ProcessError(11);
        for (size_t at = 0; at < all.size() && m_run; at += 4096) {
            const size_t n = std::min<size_t>(4096, all.size() - at);
            if (!m_device.write(all.data() + at, n))
                ProcessError(17);
            played += long(n);
            const long second = secondOf(played);
            if (second != m_lastSecond) {
                m_lastSecond = second;
                showPlayed(timeText(second, "sec", 61));
            }
        }
    } else {
        std::vector<char> piece(65536);
        long shown = 0;
        size_t got;
        while (m_run && played < total && (got = std::fread(piece.data(), 1, piece.size(), temp)) > 0) {
            got = std::min<size_t>(got, size_t(total - played));
            for (size_t at = 0; at < got && m_run; at += 4096) {
                const size_t n = std::min<size_t>(4096, got - at);
                if (!m_device.write(piece.data() + at, n))
                    ProcessError(17);
                played += long(n);
                const long second = secondOf(played);
                if (second != m_lastSecond) {
                    m_lastSecond = second;
                    ++shown;
                    showPlayed(timeText(shown, "s", 60));
                }
            }
        }
        if (CRecordSoundClip* d = dialog())
            d->slider()->setValue(100);
    }
    std::fclose(temp);
    // What was written plays to its end.
    m_device.sync();
    CloseAudio();
    return true;
}

void COSSCard::SlotEnableButtons() {
    emit CurrentFrameSignal();
    CRecordSoundClip* d = dialog();
    if (!d)
        return;
    d->elapsedTimeLabel()->setText("0.0s");
    d->totalTimeLabel()->setText("0.0s");
    ProjectTables* project = m_host ? m_host->projectTablesForSound() : nullptr;
    const bool clip = project && m_currentFrame >= 0 &&
                      size_t(m_currentFrame) < project->m_vEditInfo.size() &&
                      project->m_vEditInfo[size_t(m_currentFrame)].audioFlag == 1;
    d->button(CRecordSoundClip::RECORD)->setEnabled(true);
    for (int id : {CRecordSoundClip::PLAY, CRecordSoundClip::FORWARD, CRecordSoundClip::END})
        d->button(id)->setEnabled(clip);
}

// ---- The WAV file ---------------------------------------------------------------

bool COSSCard::InitDataFileAndWaveHeader(ModeOfOpen mode, int rate, int bits, int channels) {
    if (m_waveFd >= 0) {
        ::close(m_waveFd);
        m_waveFd = -1;
    }
    if (mode == WRITE) {
        m_header.channels = channels;
        m_header.rate = rate;
        m_header.byteRate = long(bits / 8) * rate * channels;
        m_header.blockAlign = bits / 8 * channels;
        m_header.bits = bits;
        m_nBytesPerSecond = m_header.byteRate;
        emit CurrentFrameSignal();
        Fnum = m_currentFrame;
        const std::string name = std::to_string(Fnum) + ".wav";
        m_waveFd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } else {
        const std::string name = std::to_string(Fnum) + ".wav";
        m_waveFd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (m_waveFd >= 0 && fstat(m_waveFd, &st) == 0)
            m_fileSize = double(st.st_size);
        else if (m_waveFd >= 0) {
            ::close(m_waveFd);
            m_waveFd = -1;
        }
    }
    if (m_waveFd < 0) {
        ProcessError(0);
        return false;
    }
    return true;
}

bool COSSCard::WriteFile() {
    uint8_t h[44];
    std::memcpy(h, "RIFF    WAVEfmt                     data    ", 44);
    const uint32_t data = uint32_t(m_nTotBytesWritten > 0 ? m_nTotBytesWritten : 0);
    rec::writeLe32(h + 4, data + 36);
    rec::writeLe32(h + 16, 16);
    rec::writeLe16(h + 20, 1);
    rec::writeLe16(h + 22, uint16_t(m_header.channels));
    rec::writeLe32(h + 24, uint32_t(m_header.rate));
    rec::writeLe32(h + 28, uint32_t(m_header.byteRate));
    rec::writeLe16(h + 32, uint16_t(m_header.blockAlign));
    rec::writeLe16(h + 34, uint16_t(m_header.bits));
    rec::writeLe32(h + 40, data);
    const bool ok = m_waveFd >= 0 && pwrite(m_waveFd, h, sizeof h, 0) == ssize_t(sizeof h);
    if (!ok)
        ProcessError(17);
    if (m_waveFd >= 0)
        ::close(m_waveFd);
    m_waveFd = -1;
    return ok;
}
