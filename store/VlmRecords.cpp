#include "store/VlmRecords.h"

#include "store/RecordIO.h"
#include "store/RectFields.h"

#include <tuple>

using rec::getRect;
using rec::putRect;
using rec::rectTie;

std::array<uint8_t, VLMHeader::SIZE> VLMHeader::toBytes() const {
    std::array<uint8_t, SIZE> b;
    rec::RecordWriter w(b);
    w.bytes(SIGNATURE, signature.data(), signature.size());
    w.u16(MAJOR_VERSION, majorVersion);
    w.u16(MINOR_VERSION, minorVersion);
    w.u32(SIZE_WORD, sizeWord);
    w.u32(INDEX_COUNT, indexCount);
    w.u32(INDEX_OFFSET, indexOffset);
    w.u32(INDEX_LENGTH, indexLength);
    w.u32(VIDEO_HEADER_OFFSET, videoHeaderOffset);
    w.u32(VIDEO_HEADER_LENGTH, videoHeaderLength);
    w.u32(AUDIO_HEADER_OFFSET, audioHeaderOffset);
    w.u32(AUDIO_HEADER_LENGTH, audioHeaderLength);
    w.u32(OBJECT_HEADER_OFFSET, objectHeaderOffset);
    w.u32(OBJECT_HEADER_LENGTH, objectHeaderLength);
    w.u32(GLOBAL_OBJECT_OFFSET, globalObjectOffset);
    w.u32(GLOBAL_OBJECT_LENGTH, globalObjectLength);
    w.u32(ADDITIONAL_DATA_OFFSET, additionalDataOffset);
    w.u32(ADDITIONAL_DATA_LENGTH, additionalDataLength);
    w.u8(FLAGS, flags);
    for (size_t i = 0; i < CHARACTER_WORDS; ++i)
        w.u16(CHARACTER_WORD + 2 * i, characterWords[i]);
    w.u8(IMPORT_BYTE, importByte);
    w.u32(RESOURCE_COUNT, resourceCount);
    w.u32(FIRST_RESOURCE_OFFSET, firstResourceOffset);
    w.u32(RESOURCE_RECORD_SIZE, resourceRecordSize);
    w.u16(RESOURCE_CHUNK_COUNT, resourceChunkCount);
    w.u32(FIRST_RESOURCE_CHUNK_OFFSET, firstResourceChunkOffset);
    return b;
}

VLMHeader VLMHeader::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    VLMHeader h;
    r.bytes(SIGNATURE, h.signature.data(), h.signature.size());
    h.majorVersion = r.u16(MAJOR_VERSION);
    h.minorVersion = r.u16(MINOR_VERSION);
    h.sizeWord = r.u32(SIZE_WORD);
    h.indexCount = r.u32(INDEX_COUNT);
    h.indexOffset = r.u32(INDEX_OFFSET);
    h.indexLength = r.u32(INDEX_LENGTH);
    h.videoHeaderOffset = r.u32(VIDEO_HEADER_OFFSET);
    h.videoHeaderLength = r.u32(VIDEO_HEADER_LENGTH);
    h.audioHeaderOffset = r.u32(AUDIO_HEADER_OFFSET);
    h.audioHeaderLength = r.u32(AUDIO_HEADER_LENGTH);
    h.objectHeaderOffset = r.u32(OBJECT_HEADER_OFFSET);
    h.objectHeaderLength = r.u32(OBJECT_HEADER_LENGTH);
    h.globalObjectOffset = r.u32(GLOBAL_OBJECT_OFFSET);
    h.globalObjectLength = r.u32(GLOBAL_OBJECT_LENGTH);
    h.additionalDataOffset = r.u32(ADDITIONAL_DATA_OFFSET);
    h.additionalDataLength = r.u32(ADDITIONAL_DATA_LENGTH);
    h.flags = r.u8(FLAGS);
    for (size_t i = 0; i < CHARACTER_WORDS; ++i)
        h.characterWords[i] = r.u16(CHARACTER_WORD + 2 * i);
    h.importByte = r.u8(IMPORT_BYTE);
    h.resourceCount = r.u32(RESOURCE_COUNT);
    h.firstResourceOffset = r.u32(FIRST_RESOURCE_OFFSET);
    h.resourceRecordSize = r.u32(RESOURCE_RECORD_SIZE);
    h.resourceChunkCount = r.u16(RESOURCE_CHUNK_COUNT);
    h.firstResourceChunkOffset = r.u32(FIRST_RESOURCE_CHUNK_OFFSET);
    return h;
}

bool VLMHeader::operator==(const VLMHeader& o) const {
    return toBytes() == o.toBytes();
}

std::array<uint8_t, VLMVideoHeader::SIZE> VLMVideoHeader::toBytes() const {
    std::array<uint8_t, SIZE> b;
    rec::RecordWriter w(b);
    w.u32(HEADER_WORD, headerWord);
    w.u32(LARGEST_CHUNK, largestChunk);
    putRect(w, CAPTURE_LEFT, capture);
    w.u32(FRAME_COUNT, frameCount);
    w.u8(BITS_PER_PIXEL, bitsPerPixel);
    return b;
}

VLMVideoHeader VLMVideoHeader::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    VLMVideoHeader h;
    h.headerWord = r.u32(HEADER_WORD);
    h.largestChunk = r.u32(LARGEST_CHUNK);
    h.capture = getRect(r, CAPTURE_LEFT);
    h.frameCount = r.u32(FRAME_COUNT);
    h.bitsPerPixel = r.u8(BITS_PER_PIXEL);
    return h;
}

bool VLMVideoHeader::operator==(const VLMVideoHeader& o) const {
    return std::tie(headerWord, largestChunk, frameCount, bitsPerPixel) ==
               std::tie(o.headerWord, o.largestChunk, o.frameCount, o.bitsPerPixel) &&
           rectTie(capture) == rectTie(o.capture);
}

uint32_t VLMAudioHeader::backgroundSoundId() const {
    return rec::readLe32(backgroundSound.data());
}

std::array<uint8_t, VLMAudioHeader::SIZE> VLMAudioHeader::toBytes() const {
    std::array<uint8_t, SIZE> b;
    rec::RecordWriter w(b);
    w.u32(LARGEST_CHUNK, largestChunk);
    w.u32(ENTRY_COUNT, entryCount);
    w.bytes(BACKGROUND_SOUND, backgroundSound.data(), backgroundSound.size());
    return b;
}

VLMAudioHeader VLMAudioHeader::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    VLMAudioHeader h;
    h.largestChunk = r.u32(LARGEST_CHUNK);
    h.entryCount = r.u32(ENTRY_COUNT);
    r.bytes(BACKGROUND_SOUND, h.backgroundSound.data(), h.backgroundSound.size());
    return h;
}

bool VLMAudioHeader::operator==(const VLMAudioHeader& o) const {
    return std::tie(largestChunk, entryCount, backgroundSound) ==
           std::tie(o.largestChunk, o.entryCount, o.backgroundSound);
}

std::array<uint8_t, VLMObjectHeader::SIZE> VLMObjectHeader::toBytes() const {
    std::array<uint8_t, SIZE> b;
    rec::RecordWriter w(b);
    w.u32(LARGEST_CHUNK, largestChunk);
    w.u32(ENTRY_COUNT, entryCount);
    return b;
}

VLMObjectHeader VLMObjectHeader::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    VLMObjectHeader h;
    h.largestChunk = r.u32(LARGEST_CHUNK);
    h.entryCount = r.u32(ENTRY_COUNT);
    return h;
}

bool VLMObjectHeader::operator==(const VLMObjectHeader& o) const {
    return largestChunk == o.largestChunk && entryCount == o.entryCount;
}

std::array<uint8_t, VLMIndex::SIZE> VLMIndex::toBytes() const {
    std::array<uint8_t, SIZE> b;
    rec::RecordWriter w(b);
    w.u32(FRAME_NUMBER, frameNumber);
    w.u32(FLAGS, flags);
    w.u32(FORMAT_OFFSET, formatOffset);
    w.u32(FORMAT_LENGTH, formatLength);
    w.u32(VIDEO_OFFSET, videoOffset);
    w.u32(VIDEO_LENGTH, videoLength);
    w.u32(AUDIO_OFFSET, audioOffset);
    w.u32(AUDIO_LENGTH, audioLength);
    w.u32(OBJECT_OFFSET, objectOffset);
    w.u32(OBJECT_LENGTH, objectLength);
    w.u32(SKIP_COUNT, skipCount);
    return b;
}

VLMIndex VLMIndex::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    VLMIndex x;
    x.frameNumber = r.u32(FRAME_NUMBER);
    x.flags = r.u32(FLAGS);
    x.formatOffset = r.u32(FORMAT_OFFSET);
    x.formatLength = r.u32(FORMAT_LENGTH);
    x.videoOffset = r.u32(VIDEO_OFFSET);
    x.videoLength = r.u32(VIDEO_LENGTH);
    x.audioOffset = r.u32(AUDIO_OFFSET);
    x.audioLength = r.u32(AUDIO_LENGTH);
    x.objectOffset = r.u32(OBJECT_OFFSET);
    x.objectLength = r.u32(OBJECT_LENGTH);
    x.skipCount = r.u32(SKIP_COUNT);
    return x;
}

bool VLMIndex::operator==(const VLMIndex& o) const {
    return toBytes() == o.toBytes();
}

uint32_t VlmResourceRecord::resourceId() const {
    return rec::readLe32(bytes.data() + RESOURCE_ID);
}
uint32_t VlmResourceRecord::dataOffset() const {
    return rec::readLe32(bytes.data() + DATA_OFFSET);
}
uint32_t VlmResourceRecord::dataLength() const {
    return rec::readLe32(bytes.data() + DATA_LENGTH);
}
void VlmResourceRecord::setResourceId(uint32_t id) {
    rec::writeLe32(bytes.data() + RESOURCE_ID, id);
}
void VlmResourceRecord::setDataOffset(uint32_t offset) {
    rec::writeLe32(bytes.data() + DATA_OFFSET, offset);
}
void VlmResourceRecord::setDataLength(uint32_t length) {
    rec::writeLe32(bytes.data() + DATA_LENGTH, length);
}

std::string VlmResourceRecord::fullPath() const {
    rec::RecordReader r(bytes.data(), SIZE);
    return r.text(FULL_PATH, PATH_LENGTH);
}
