// The sound engine's base: records a clip for the current frame and plays the
// current frame's clip through the ring (SoundRing) between two std::thread
// workers, one for the sound device and one for the temporary clip file
// `HOME`/zedaro/temp.snx. The interface thread starts the workers and runs a
// local event loop until both have posted their end, so Stop, Forward and
// Rewind reach the engine while a transfer runs; then it joins them. The
// workers never touch Qt. The device operations are pure virtual; a device
// class implements them and gives the workers its read, write and abort steps.
//
// A recording is stored as 16-bit signed little-endian samples: an 8-bit
// recording is widened as it is written to the temporary file. The format
// stored is the one the device granted.
#pragma once

#include "media/SoundPrivileges.h"
#include "media/SoundRecords.h"
#include "media/SoundRing.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class SoundClipStore;
class SoundEngineHost;

class CBuilderSound : public QObject {
  public:
    static constexpr int RECORDING_MODE = 500;
    static constexpr int PLAYING_MODE = 501;
    static constexpr int ERROR_CRITICAL = 502; // critical box "Record SoundClip"
    static constexpr int ERROR_WARNING = 504;  // warning box "RecordSoundClip"

    CBuilderSound(QObject* parent, const char* name);
    ~CBuilderSound() override;

    // The device operations.
    virtual bool open_sound_device(int mode) = 0;
    virtual bool close_sound_device() = 0;
    virtual bool open_mixer() = 0;
    virtual bool close_mixer() = 0;
    virtual bool setup_recording_source(int source) = 0;
    virtual bool set_soundcard_params(sAudioSpecStruct spec) = 0;
    virtual void record_sound() = 0;
    virtual void stop_sound() = 0;
    virtual void play_sound() = 0;

    // Not owned; without a host no box is shown and recording uses the
    // default settings on frame 0; without a store nothing is kept or played.
    void setHost(SoundEngineHost* host) { m_host = host; }
    void setClipStore(SoundClipStore* store) { m_store = store; }
    void setPrivileges(std::unique_ptr<SoundPrivileges> privileges);

    // Shows code 502 or 504 through the host, and prints the text on standard error.
    void process_error(int code, const char* text);

    // Raises the stop flag: the workers end after their current segment. A
    // stop during a transfer's set-up holds for that transfer's workers.
    void stop_all_sound();
    // Stop, and wake a worker waiting on the device.
    void forward_builder_audio();
    void rewind_builder_audio();

    // True from the start of a record or play until it has returned.
    bool isBusy() const { return m_busy; }
    // The format of the last transfer (granted by the device when recording).
    const sAudioSpecStruct& audioSettings() const { return m_spec; }
    // Bytes of the last recording's clip, as stored.
    uint32_t clipLength() const { return m_clipLength; }
    const std::string& tempFilePath() const { return m_tempPath; }

  protected:
    // What a device class gives the workers.
    struct DeviceSteps {
        std::function<bool(void*, size_t)> read;        // all n bytes or false with errno
        std::function<bool(const void*, size_t)> write; // all n bytes or false with errno
        std::function<bool()> drain;                    // waits until what was written has played
        std::function<void()> abort;                    // wakes a waiting read or write
    };
    void setDeviceSteps(DeviceSteps steps) { m_device = std::move(steps); }
    // A device class notes the format its device granted.
    void setAudioSettings(const sAudioSpecStruct& spec) { m_spec = spec; }

    // The two transfers, built on the device operations.
    void recordClip();
    void playClip();

  private:
    struct Worker {
        int role = 0;      // 1 producer, 2 consumer
        int direction = 0; // 1 into the ring side's sink when recording, 0 when playing
        double limit = 0;
        int frameSize = 1;
        SoundRing::Result result;
        std::string failure; // the diagnostic of a failed step
    };

    int initRingBuffer();
    void ringbuf_close();
    // Creates (recording) or fills and reopens (playing) the temporary clip file.
    bool init_files(int mode);
    void closeTempFile();
    // Start the two workers for the transfer and wait for them.
    bool init_recordthread_structure();
    bool init_playthread_structure();
    bool runWorkers(bool recording);
    // The device worker and the file worker.
    void readerthread();
    void writerthread();
    static void* move_au(void* engine);
    static void* move_fd(void* engine);

    bool fillFromDevice(uint8_t* dst, size_t n, std::string& failure);
    bool writeToTempFile(const uint8_t* src, size_t n, std::string& failure);
    long readFromTempFile(uint8_t* dst, size_t n, std::string& failure);
    bool writeToDevice(const uint8_t* src, size_t n, std::string& failure);

    SoundEngineHost* m_host = nullptr;
    SoundClipStore* m_store = nullptr;
    std::unique_ptr<SoundPrivileges> m_privileges;
    DeviceSteps m_device;

    sAudioSpecStruct m_spec;
    std::string m_tempPath;
    int m_tempFd = -1;
    uint32_t m_clipLength = 0;
    double m_clipSize = 0; // bytes of the temporary file when playing
    bool m_widen = false;  // 8-bit samples are widened to 16 bits as they are written
    bool m_busy = false;

    std::unique_ptr<SoundRing> m_ring;
    int m_segmentCount = 0;
    Worker m_deviceWorker;
    Worker m_fileWorker;
    std::atomic<bool> m_stopRequested{false}; // Stop, Forward or Rewind during this transfer
    std::atomic<bool> m_deviceAborted{false}; // Forward or Rewind woke the device
    int m_endEvent = -1;                      // each worker adds 1 as it ends
};
