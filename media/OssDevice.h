// The sound device and its mixer over the OSS calls of <linux/soundcard.h>.
// OssDevice opens read-only to record and write-only to play, then works
// non-blocking: read and write wait in poll on the device and on an eventfd,
// and loop until every byte has moved (a device may hand over a few hundred
// bytes at a time). abort() may be called from any thread, any number of
// times: a waiting or later read or write then fails with ECANCELED until the
// device is opened again. Only the owner opens and closes it.
#pragma once

#include <cstddef>
#include <string>

class OssDevice {
  public:
    enum class Direction { Record, Play };

    explicit OssDevice(std::string path = "/dev/dsp");
    ~OssDevice();
    OssDevice(const OssDevice&) = delete;
    OssDevice& operator=(const OssDevice&) = delete;

    // False with errno set when the device cannot be opened.
    bool open(Direction direction);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }

    // Each request gives the value the driver granted, or -1 with errno set.
    int setFormat(int afmt);
    int setChannels(int channels);
    int setSpeed(int rate);
    // Waits until the device has played what it was given; false with errno set.
    bool sync();
    // Drops what the device holds and stops it; false with errno set.
    bool reset();
    // The device's block size in bytes, or -1 with errno set. Under some
    // drivers it depends on timing.
    int blockSize();
    // The input (`input`) or output buffer's fragment count and fragment
    // size; false with errno set. Their product is the buffer's size.
    bool bufferSpace(bool input, int& fragments, int& fragmentSize);

    // Move all n bytes. False with errno set on failure: ECANCELED after
    // abort(), ENODEV when a read finds the device gone (a read of 0).
    bool read(void* buffer, size_t n);
    bool write(const void* buffer, size_t n);
    // Waits for the first bytes and gives what has come, up to n: the count,
    // or -1 with errno set (ECANCELED after abort(), ENODEV at its end).
    long readSome(void* buffer, size_t n);

    // Makes a waiting read or write fail; safe from any thread.
    void abort();

  private:
    int request(unsigned long code, int value);
    // Waits until the device is ready for `events`; false with errno set.
    bool waitFor(short events);

    std::string m_path;
    int m_fd = -1;
    int m_abortEvent = -1; // never changes while the object lives
};

class OssMixer {
  public:
    explicit OssMixer(std::string path = "/dev/mixer");
    ~OssMixer();
    OssMixer(const OssMixer&) = delete;
    OssMixer& operator=(const OssMixer&) = delete;

    // Opens the mixer write-only; false with errno set.
    bool open();
    void close();
    bool isOpen() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }

    // Sets both channels' input gain to `level` (0..100); false with errno set.
    bool setInputGain(int level);
    // `mask` is a SOUND_MASK_* bit; false with errno set.
    bool setRecordSource(int mask);

  private:
    std::string m_path;
    int m_fd = -1;
};
