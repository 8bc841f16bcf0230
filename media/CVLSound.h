// The second recorder and player of frame sound clips on the OSS devices,
// with its card probe, WAV reader and writer and smoothing filter. Nothing in
// the program makes one. It records 16-bit mono clips at 44100 Hz into its
// working file "vlsound.tmp" of the data directory (a WAV file) and stores the
// samples as the frame's clip in the sound working file. Every failure is
// returned to the caller; none ends the process.
#pragma once

#include "media/OssDevice.h"
#include "media/SoundRecords.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class QWidget;
class SoundEngineHost;
class SoundPrivileges;
class SoundRing;

class CVLSound : public QObject {
  public:
    enum CardKind { OSS_CARD = 900, ALSA_CARD = 901, NO_CARD = 902 };
    enum Mode { MODE_RECORD = 90 };

    // A WAV file being read or written one sample at a time.
    struct wavfile {
        std::FILE* file = nullptr;
        unsigned long samples = 0;  // samples in the file
        unsigned long position = 0; // samples read or written so far
        long rate = 0;
        int bits = 0;
        int bytesPerSample = 0; // 1 to 4
        bool overflowReported = false;
        bool underflowReported = false;
    };

    CVLSound(QWidget* parent, const char* name);
    ~CVLSound() override;

    void setHost(SoundEngineHost* host) { m_host = host; }
    void setPrivileges(std::unique_ptr<SoundPrivileges> privileges);

    // The clip operations on the main window's current frame; false when the
    // operation failed (its message is shown or printed).
    bool recordAudio();
    bool playAudio();
    void stopAudio();
    void forwardAudio();
    void rewindAudio();

    // 900 when "/dev/sndstat" is a character device, else 902; 901 when
    // "/proc/asound/sndstat" is a regular file.
    int detectSoundCardType();
    // Mode 90 records, any other plays; false when the device did not open.
    bool initSoundCardandMixer(int mode, sAudioSpecStruct spec);
    // The "Record Audio Warning" box; processing goes on.
    void processError(int code);
    static std::string errorText(int code);

    // The segment count for `size` bytes in segments of `segment`, at least 3.
    int initRingBuffer(long size, int segment);
    void ringbuf_close();
    // The device's block size; -1 after printing why.
    int get_au_blksz(OssDevice& device);

    // The recorded clip's working file and the WAV it is read back as.
    std::string workingFilePath() const;
    bool initFileForAudio(int mode);
    // Writes "filtersound.dat" from the working file; 0 or an errexit code.
    int applySoundFilter();
    // The 44-byte header of a 44100 Hz, mono, 16-bit WAV of `dataLength` bytes.
    static bool writeWaveHeader(std::FILE* file, uint32_t dataLength);

    // WAV operations; each gives 0 or the errexit code of its failure.
    int wavfin(wavfile& w, const char* path);
    int readheader(wavfile& w);
    int wavfout(wavfile& w);
    int writeheader(wavfile& w);
    int wavbinget(wavfile& w, unsigned long& value);
    int wavbinput(wavfile& w, unsigned long value);
    int wavget(wavfile& w, float& value);
    int wavput(wavfile& w, float value);
    // Prints the code's text and "." on standard error and gives the code.
    static int errexit(int code);
    static double min(double a, double b) { return a < b ? a : b; }

    int soundCardType() const { return m_cardKind; }
    uint32_t recordedBytes() const { return m_recordedBytes; }
    const sAudioSpecStruct& clipSettings() const { return m_spec; }

  private:
    bool runWorkers(bool recording, double limit);
    bool storeRecording();

    SoundEngineHost* m_host = nullptr;
    std::unique_ptr<SoundPrivileges> m_privileges;
    std::unique_ptr<SoundRing> m_ring;
    int m_segments = 0;
    int m_blockSize = 0;
    int m_frame = 0;
    int m_cardKind = NO_CARD;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_aborted{false};
    sAudioSpecStruct m_spec;
    OssDevice m_device;
    OssMixer m_mixer;
    std::FILE* m_workFile = nullptr;
    uint32_t m_recordedBytes = 0;
    wavfile m_in, m_out;
};
