// The object records a made output file holds, read back with the store's
// reader and the main window's parser of object chunks.
#pragma once

#include "app/OutputFileServices.h"
#include "canvas/records/sAllObjects.h"
#include "store/RecordIO.h"
#include "store/VlmFile.h"
#include "store/VlmRecords.h"

#include <zlib.h>

#include <string>
#include <vector>

namespace testsupport {

// The object records of the first `maxFrames` frames, frame by frame; ends at
// the first frame whose object chunk is missing or damaged.
inline std::vector<std::vector<sAllObjects>> objectsOf(const std::string& path, uint32_t maxFrames = 64) {
    std::vector<std::vector<sAllObjects>> frames;
    VlmFile file;
    if (file.openToRead(path) != 0)
        return frames;
    for (uint32_t frame = 0; frame < maxFrames; ++frame) {
        std::vector<uint8_t> chunk;
        if (file.vlmStreamRead(chunk, frame, vlm::CHUNK_OBJECT) != 0 || chunk.size() < 16)
            break;
        const uint32_t plainLength = rec::readLe32(chunk.data());
        const uint32_t packed = rec::readLe32(chunk.data() + 4);
        if (packed > chunk.size() - 16)
            break;
        std::vector<uint8_t> plain(plainLength);
        uLongf got = plainLength;
        if (uncompress(plain.data(), &got, chunk.data() + 16, packed) != Z_OK)
            break;
        auto records = OutputFileServices::parseObjectChunk(plain.data(), got);
        frames.push_back(records ? *records : std::vector<sAllObjects>{});
    }
    return frames;
}

// The payload of the first record of a kind, or null.
template <class Payload> const Payload* firstOfKind(const std::vector<sAllObjects>& objects, int32_t kind) {
    for (const sAllObjects& o : objects)
        if (o.drawingObject == kind)
            return std::get_if<Payload>(&o.payload);
    return nullptr;
}

// The objects of frame 0.
inline std::vector<sAllObjects> objectsOfFirstFrame(const std::string& path) {
    auto frames = objectsOf(path, 1);
    return frames.empty() ? std::vector<sAllObjects>{} : std::move(frames.front());
}

// The records of a frame as the object chunk holds them, one after another.
inline std::vector<uint8_t> bytesOf(const std::vector<sAllObjects>& frame) {
    std::vector<uint8_t> out;
    for (const sAllObjects& o : frame)
        o.appendTo(out);
    return out;
}

} // namespace testsupport
