// Frame loading from the working frame file: the edit stream, the full-frame
// work buffer, the rebuild of any frame from its nearest key record and the
// bands after it, the raw record read of the make, and the one-colour fill of
// blank frames. Plain file code; the X side lives in the canvas.
#pragma once

#include "store/DatRecords.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Shape of the frames in the work buffer: unpadded rows of the screen.
struct FrameGeometry {
    uint32_t width = 0;         // pixels
    uint32_t height = 0;        // rows
    uint32_t bytesPerPixel = 0; // 1, 2 or 4 (24-bit screens are grabbed at 4)
    int32_t captureTop = 0;     // band rows are placed at (data top - capture top)

    uint32_t rowBytes() const { return width * bytesPerPixel; }
    size_t frameBytes() const { return size_t(rowBytes()) * height; }
    bool valid() const {
        return width > 0 && height > 0 && (bytesPerPixel == 1 || bytesPerPixel == 2 || bytesPerPixel == 4);
    }
};

class FrameStore {
  public:
    enum class Result {
        Ok,
        NotOpen,          // no edit stream
        BadFrameIndex,    // no such frame in the table
        SeekFailed,       // the record offset cannot be reached
        HeaderReadFailed, // fewer than 60 header bytes
        BadRecord,        // header or data length does not fit the frame geometry
        DataReadFailed,   // fewer data bytes than the header promises
    };
    // Result codes of getFrame, as the make expects them.
    static constexpr int GETFRAME_OK = 0;
    static constexpr int GETFRAME_SEEK_FAILED = 1501;
    static constexpr int GETFRAME_READ_FAILED = 1502;

    FrameStore() = default;
    ~FrameStore();
    FrameStore(const FrameStore&) = delete;
    FrameStore& operator=(const FrameStore&) = delete;

    // Opens the working frame file for reading and writing ("r+") as the edit
    // stream, closing a stream of an earlier project first, and sizes the work
    // buffer for the geometry (reused when the size is unchanged). False, with
    // the reason in lastError(), when the file cannot be opened or the
    // geometry is unusable; the old stream is closed either way.
    bool open(const std::string& path, const FrameGeometry& geometry);
    void close();
    bool isOpen() const { return m_file != nullptr; }
    // The edit stream, shared with the frame-table operations; null when closed.
    std::FILE* stream() const { return m_file; }
    const std::string& path() const { return m_path; }
    const FrameGeometry& geometry() const { return m_geometry; }

    // The full-frame work buffer: rowBytes() x height bytes, zero-filled when
    // first used (a make never uses it).
    std::vector<uint8_t>& workBuffer() { return work(); }
    const std::vector<uint8_t>& workBuffer() const { return work(); }

    // Nearest frame k <= n whose current record is a key or blank record;
    // 0 when there is none (the table is then broken, frame 0 is always key).
    static size_t keyFrameFor(const std::vector<SEditInfo>& edit, size_t n);

    // Rebuilds frame n's full image in the work buffer: the nearest key
    // record, then every later band up to and including n, each at its rows.
    // `header` receives frame n's own header. Every record is checked against
    // the buffer before its data is read; on any failure the rebuild stops,
    // the failure is reported on standard error and in lastError(), and the
    // work buffer is cleared to zero so no half-built picture is shown.
    Result getEditFrame(const std::vector<SEditInfo>& edit, size_t n, SDatFrameHeader& header);

    // Reads frame n's current record as stored (a band, a key image or
    // nothing) into `data` for the make. With `packTo3Bytes` (a 24-bit screen
    // grabbed at 4 bytes per pixel) only the first three bytes of every four
    // are kept and the header's record size is set to match. `data` gets
    // `extraBytes` more bytes of room behind the data (the make's block
    // trailer). Returns GETFRAME_OK, GETFRAME_SEEK_FAILED or
    // GETFRAME_READ_FAILED (also for a record whose length is wrong).
    int getFrame(const std::vector<SEditInfo>& edit, size_t n, SDatFrameHeader& header,
                 std::vector<uint8_t>& data, bool packTo3Bytes = false, size_t extraBytes = 10);
    // The same into a caller's buffer of `room` bytes, reused from frame to
    // frame: only the record's own bytes are written into it. The data
    // length is header.dataLength() afterwards.
    int getFrameInto(const std::vector<SEditInfo>& edit, size_t n, SDatFrameHeader& header, uint8_t* out,
                     size_t room, bool packTo3Bytes = false);

    // Only the checks and the header of getFrame: the header as getFrame
    // leaves it (the record size packed where asked), and where in the file
    // the record's data starts. The data is left for the caller to read.
    int getFrameHeader(const std::vector<SEditInfo>& edit, size_t n, SDatFrameHeader& header,
                       bool packTo3Bytes, int64_t& dataOffset);

    // Fills the whole work buffer with one pixel value in the geometry's
    // pixel size (low bytes first, as the screen stores it).
    void fillPixel(uint32_t pixel);

    const std::string& lastError() const { return m_lastError; }

  private:
    Result fail(Result r, const std::string& message);
    Result readHeader(const SEditInfo& info, SDatFrameHeader& header);
    // getFrame's two halves: the checked header, then the data after it.
    int readRecordHeader(const std::vector<SEditInfo>& edit, size_t n, SDatFrameHeader& header,
                         bool packTo3Bytes);
    int readRecordData(SDatFrameHeader& header, uint8_t* out, bool packTo3Bytes);
    std::vector<uint8_t>& work() const;

    std::FILE* m_file = nullptr;
    std::string m_path;
    FrameGeometry m_geometry;
    mutable std::vector<uint8_t> m_work;
    std::vector<uint8_t> m_scratch;
    std::string m_lastError;
};

const char* toString(FrameStore::Result r);

// Entries (0..255) whose red, green or blue differ between two palettes.
std::vector<int> changedPaletteEntries(const stdColormapArray& from, const stdColormapArray& to);
