// Container of the output file (.vlm): a fixed header, three stream headers,
// one index record per frame, then blocks appended in writing order. One
// object serves one file, opened either for writing (mode 0) or reading
// (mode 1). It stores byte blocks by type and frame; it knows nothing of what
// they hold.
#pragma once

#include "store/VlmRecords.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class VlmFile {
  public:
    VlmFile();
    virtual ~VlmFile();
    VlmFile(const VlmFile&) = delete;
    VlmFile& operator=(const VlmFile&) = delete;

    // Modes of vlmInitialise, and the signature a read accepts ("INT" for
    // kind 0, "EXM" for kind 1).
    enum Mode { MODE_WRITE = 0, MODE_READ = 1 };
    enum SignKind { SIGN_INT = 0, SIGN_EXM = 1 };

    // Mode 0 creates `path` with `slots` index slots; mode 1 opens it for
    // reading. Returns 0, 1 (failure, or a malformed file), 2 (cannot create),
    // or the signature result (7, 8).
    int vlmInitialise(const std::string& path, int mode, uint32_t slots, int signKind);
    // The two uses of vlmInitialise, with its results.
    int openToRead(const std::string& path, int signKind = SIGN_INT) {
        return vlmInitialise(path, MODE_READ, 0, signKind);
    }
    int createToWrite(const std::string& path, uint32_t slotCount) {
        return vlmInitialise(path, MODE_WRITE, slotCount, SIGN_INT);
    }
    // Mode 0 into a stream the caller opened (a scratch file), `path` being
    // its name for the error texts; the container owns the stream from here
    // on and closes it. Same results.
    int createToWrite(std::FILE* stream, const std::string& path, uint32_t slotCount);
    int checkSignature(int signKind) const;
    // A later read accepts at most as many frames, skipped ones included, as
    // the additional-data block holds records of `recordSize` bytes behind its
    // `headSize`-byte head (none when the block lies outside the file): a
    // reader that needs one record per frame bounds the index by it before
    // skip counts are expanded. Kept across opens.
    void limitReadFramesToAdditionalRecords(uint32_t headSize, uint32_t recordSize) {
        m_limitHead = headSize;
        m_limitRecord = recordSize;
    }
    // Writing: completes the file (index, headers, resource table) and closes
    // it; stops at the first failed step and returns 1 (the stream is closed
    // all the same). Reading: releases the file. Returns 1 when not open.
    int vlmFileClose();
    bool vlmIsFileOpened() const { return m_open; }
    // Why the last open, write or close failed: what, which file and the
    // system's error text where there is one. Empty until something failed.
    const std::string& lastError() const { return m_error; }

    // --- Writing (mode 0) ---
    // Appends a block of a chunk type (vlm::ChunkType) for a frame. False
    // when it could not be written whole; nothing is then recorded and the
    // file stays as it was.
    bool vlmStreamWrite(const void* data, uint32_t length, uint32_t frame, uint32_t type,
                        uint32_t* outLength);
    // Appends a format record; kind 0 makes it the format of the next video
    // chunks. Returns 0, or 1 when the write fails.
    int vlmSetFormat(const void* data, uint32_t length, int kind);
    // Appends audio bytes of the current frame; the frame and type are not
    // used. False, with *outCount = 0, when the bytes could not all be written.
    bool ScapAudioStreamWrite(const void* data, uint32_t length, uint32_t frame, uint32_t type,
                              uint32_t* outCount);
    // Closes the audio chunk of `frame`; `total` is its length as the caller
    // counted it.
    int ScapAudioStreamClose(uint32_t frame, uint32_t total);
    // Appends the record slot of a resource, once per identifier. Slots must
    // come before every other block: the close rewrites them contiguously.
    // Returns 0 (also for an identifier already present), 1 when the write
    // fails or a block has already been appended after the slots.
    int ScapResourceWrite(const void* data, uint32_t length, uint32_t* outLength,
                          const VlmResourceRecord& node);
    // Appends a resource's data once per identifier and records it in the
    // resource's slot. Returns 0 (also when the data is already written), 1
    // when the resource has no slot or the write fails (nothing recorded).
    int ScapResourceDataWrite(const void* data, uint32_t length, uint32_t* outLength,
                              const VlmResourceRecord& node);

    // The writer fills the stream headers before the close.
    VLMVideoHeader& videoHeader() { return m_videoHeader; }
    VLMAudioHeader& audioHeader() { return m_audioHeader; }
    VLMObjectHeader& objectHeader() { return m_objectHeader; }

    // --- Reading (mode 1; a frame is an index position, equal to the frame
    // number) ---
    // True when the file has NO stream of that type (2, 4, 8); false for
    // other types. Prefer hasStream().
    bool vlmGetStream(uint32_t type) const;
    bool hasStream(uint32_t type) const {
        return (type == 2 || type == 4 || type == 8) && !vlmGetStream(type);
    }
    // Reads VLMVideoHeader (selector 0) or VLMAudioHeader (selector 1) as
    // stored, into a buffer of `capacity` bytes. 1 when read; 0 when its
    // recorded length is 0, the buffer is too small, or the seek or read
    // fails; 1 for another selector.
    int vlmStreamInfo(void* buffer, size_t capacity, int selector);
    uint32_t vlmStreamLength(uint32_t type) const;
    int vlmStreamSize(uint32_t frame, uint32_t type, uint32_t* outLength) const;
    // Reads the frame's chunk of a type into a buffer of `capacity` bytes.
    // Returns 0, or 1 (with *outLength 0) for a frame beyond the index,
    // another type, a chunk larger than the buffer, or a failed seek or read.
    int vlmStreamRead(void* buffer, size_t capacity, uint32_t frame, uint32_t type, uint32_t* outLength);
    // Same, into a vector sized to the chunk.
    int vlmStreamRead(std::vector<uint8_t>& out, uint32_t frame, uint32_t type);
    // Reads the format record in force at the frame (kind 0) or the frame's
    // audio chunk (kind 1).
    int vlmGetFormat(void* buffer, size_t capacity, uint32_t frame, uint32_t* outLength, int kind);
    int vlmGetFormat(std::vector<uint8_t>& out, uint32_t frame, int kind);
    uint32_t getAdditionalDataSize() const { return m_header.additionalDataLength; }
    int vlmAdditionalDataRead(void* buffer, size_t capacity, uint32_t* outLength);
    uint32_t vlmGlobalObjectSize() const { return m_header.globalObjectLength; }
    // True when the file has NO background sound. Prefer hasBackgroundSound().
    bool vlmBackgroundSoundPresent() const { return m_audioHeader.backgroundSoundId() == 0; }
    bool hasBackgroundSound() const { return !vlmBackgroundSoundPresent(); }
    // Reads `length` bytes of the frame's audio chunk from `position` into
    // `buffer`. Returns true while bytes of the chunk remain after this
    // piece; false when it has been read whole or on an error (*outCount 0).
    bool ScapAudioStreamRead(void* buffer, uint32_t frame, uint32_t length, uint32_t* outCount,
                             uint32_t position);
    uint32_t ScapResourceCount() const { return m_header.resourceCount; }
    // Copies table entry n. 1 when the table is empty or n is beyond it.
    int ScapResourceRead(VlmResourceRecord& node, uint32_t n) const;
    // Reads the data of resource `id` into a buffer of `capacity` bytes, or
    // with a null buffer only gives its length. 1 when the table is empty,
    // the length is 0, the buffer is too small or the read falls short; 0
    // otherwise, and 0 with nothing done when the identifier is absent.
    int ScapResourceRead(uint32_t id, uint32_t* outLength, void* buffer, size_t capacity);
    // Copies the resource's full source path, NUL-terminated and cut to the
    // buffer. 1 when the table is empty or the identifier is absent (the
    // buffer is then left as it was).
    int ScapResourceReadFileName(char* buffer, size_t capacity, uint32_t id) const;

    // In-memory state, for readers and tests.
    const VLMHeader& header() const { return m_header; }
    const VLMVideoHeader& videoHeader() const { return m_videoHeader; }
    const VLMAudioHeader& audioHeader() const { return m_audioHeader; }
    const VLMObjectHeader& objectHeader() const { return m_objectHeader; }
    const std::vector<VLMIndex>& index() const { return m_index; }
    const std::vector<VlmResourceRecord>& resourceTable() const { return m_resources; }
    int mode() const { return m_mode; }
    // Index records the last close could not write for want of slots.
    uint32_t droppedIndexRecords() const { return m_droppedRecords; }

  private:
    bool vlmIndexRead();
    bool ScapResourceIndexRead();
    void vlmIndexArrayAdd(uint32_t frame);
    bool ResorcePresent(uint32_t id);
    bool IsResorceDataWritten(uint32_t id) const;
    bool SetResorceOffset(uint32_t id, uint32_t offset, uint32_t length);
    bool ScapResourceIndexWrite();

    void resetState();
    int beginWriting(uint32_t slots);
    // Notes the failure in lastError(), with the text of errno when it is set.
    void noteError(const std::string& what, int err);
    bool writable() const;
    bool blockAllowed(uint32_t length) const;
    bool appendBytes(const void* data, uint32_t length, uint32_t* written, uint64_t end);
    bool rewindToEnd(uint64_t end);
    bool readAt(uint64_t offset, void* buffer, size_t length);
    const VLMIndex* entry(uint32_t frame) const;
    // A block as the header or index records it: offset and length.
    struct Chunk {
        uint32_t offset = 0;
        uint32_t length = 0;
    };
    // The frame's chunk of a stream type, or its format record (kind 0) or
    // audio chunk (kind 1). False for a frame beyond the index or another
    // type or kind.
    bool streamChunk(uint32_t frame, uint32_t type, Chunk& out) const;
    bool formatChunk(uint32_t frame, int kind, Chunk& out) const;
    // Reads a chunk whole into a buffer of `capacity` bytes, only when it
    // fits both the buffer and the file: 0 with *outLength set (left alone
    // for an empty chunk), 1 when the buffer is missing or too small, the
    // chunk runs past the end of the file or the read fails.
    int readChunk(const Chunk& chunk, void* buffer, size_t capacity, uint32_t* outLength);
    // Same, into a vector sized to the chunk; left empty on failure.
    int readChunk(const Chunk& chunk, std::vector<uint8_t>& out);
    int closeWriting();
    void releaseStreams();

    std::vector<VlmResourceRecord> m_resources;
    std::string m_path; // of the file open, for the error texts
    std::string m_error;
    int m_mode = -1;
    bool m_open = false;
    FILE* m_readStream = nullptr;
    FILE* m_writeStream = nullptr;
    uint64_t m_fileSize = 0; // of the file being read
    uint32_t m_offset = 0;   // bytes written so far: the offset of the next block
    uint32_t m_formatOffset = 0;
    uint32_t m_formatLength = 0;
    uint32_t m_format1Offset = 0;
    uint32_t m_format1Length = 0;
    uint32_t m_pendingAudioLength = 0;
    uint32_t m_currentFrame = 0;
    VLMIndex m_pending;
    uint32_t m_slots = 0;
    bool m_slotsClosed = false; // a block other than a resource slot has been appended
    bool m_broken = false;      // the write stream no longer matches the recorded offsets
    uint32_t m_droppedRecords = 0;
    VLMHeader m_header;
    VLMVideoHeader m_videoHeader;
    VLMAudioHeader m_audioHeader;
    VLMObjectHeader m_objectHeader;
    std::vector<VLMIndex> m_index;
    uint32_t m_audioReadTotal = 0;
    uint32_t m_limitHead = 0, m_limitRecord = 0; // 0: no limit by the additional data
};
