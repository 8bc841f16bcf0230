#include "media/SoundRecords.h"

#include "store/RecordIO.h"

bool sAudioSpecStruct::operator==(const sAudioSpecStruct& o) const {
    return inputSource == o.inputSource && samplingRate == o.samplingRate && channels == o.channels &&
           bitsPerSample == o.bitsPerSample;
}

std::array<uint8_t, SoundFileHeader::SIZE> SoundFileHeader::toBytes() const {
    std::array<uint8_t, SIZE> b;
    rec::RecordWriter w(b);
    w.u32(HEADER_SIZE, headerSize);
    w.u32(CLIP_COUNT, clipCount);
    return b;
}

SoundFileHeader SoundFileHeader::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    SoundFileHeader h;
    h.headerSize = r.u32(HEADER_SIZE);
    h.clipCount = r.u32(CLIP_COUNT);
    return h;
}

SAudioFrameHeader SAudioFrameHeader::forClip(uint32_t length, uint32_t frame) {
    SAudioFrameHeader h;
    h.clipLength = length;
    h.frame = frame;
    h.frameAgain = frame;
    return h;
}

std::array<uint8_t, SAudioFrameHeader::SIZE> SAudioFrameHeader::toBytes() const {
    std::array<uint8_t, SIZE> b;
    rec::RecordWriter w(b);
    w.u32(HEADER_SIZE, headerSize);
    w.u32(CLIP_LENGTH, clipLength);
    w.u32(FRAME, frame);
    w.u32(MARK, mark);
    w.u32(FRAME_AGAIN, frameAgain);
    w.u32(RESERVED1, reserved1);
    w.u32(RESERVED2, reserved2);
    return b;
}

SAudioFrameHeader SAudioFrameHeader::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    SAudioFrameHeader h;
    h.headerSize = r.u32(HEADER_SIZE);
    h.clipLength = r.u32(CLIP_LENGTH);
    h.frame = r.u32(FRAME);
    h.mark = r.u32(MARK);
    h.frameAgain = r.u32(FRAME_AGAIN);
    h.reserved1 = r.u32(RESERVED1);
    h.reserved2 = r.u32(RESERVED2);
    return h;
}

namespace soundrec {

sAudioSpecStruct storedFormat(const sAudioSpecStruct& recorded) {
    sAudioSpecStruct s = recorded;
    s.bitsPerSample = 16;
    return s;
}

void setEditInfoAudio(SEditInfo& e, uint32_t headerOffset) {
    e.audioHeaderOffset = int32_t(headerOffset);
    e.audioHeaderOffsetCopy = int32_t(headerOffset);
    e.addedMark = 1;
    e.audioFlag = 1;
}

void setPlaybackAudio(SPlayBackFrameInfo& p, uint32_t length, const sAudioSpecStruct& spec) {
    const uint32_t bytesPerSample = uint32_t(spec.bitsPerSample) / 8;
    p.audioSize = length;
    p.marker = 1;
    p.frameFlags |= PBF_AUDIO | PBF_AUDIO_RECORDED;
    p.formatTag = 1;
    p.channels = uint16_t(spec.channels);
    p.samplesPerSec = uint32_t(spec.samplingRate);
    p.bytesPerSec = uint32_t(spec.samplingRate) * uint32_t(spec.channels) * bytesPerSample;
    p.blockAlign = uint16_t(uint32_t(spec.channels) * bytesPerSample);
    p.bitsPerSample = uint16_t(spec.bitsPerSample);
    p.hasSound = 1;
}

sAudioSpecStruct playbackAudioSpec(const SPlayBackFrameInfo& p) {
    sAudioSpecStruct s;
    s.inputSource = 0;
    s.samplingRate = int32_t(p.samplesPerSec);
    s.channels = p.channels;
    s.bitsPerSample = p.bitsPerSample;
    return s;
}

void clearFrameSound(SEditInfo& e, SPlayBackFrameInfo& p) {
    p.audioSize = 0;
    p.frameFlags &= uint8_t(~PBF_AUDIO);
    e.audioHeaderOffset = 0;
    e.audioHeaderOffsetCopy = 0;
    e.addedMark = 0;
    e.audioFlag = 0;
}

} // namespace soundrec
