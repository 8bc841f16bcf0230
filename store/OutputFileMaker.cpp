#include "store/OutputFileMaker.h"
#include "store/Diagnostics.h"

#include "store/FrameStore.h"
#include "store/RecordIO.h"
#include "store/RegularFile.h"
#include "store/ScratchFile.h"
#include "store/VideoBlocks.h"
#include "store/VlmFile.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr size_t AUDIO_HEADER_SIZE = 28;

struct FileCloser {
    std::FILE* f = nullptr;
    ~FileCloser() {
        if (f)
            std::fclose(f);
    }
};

} // namespace

OutputFileMaker::OutputFileMaker(MakeInput input, MakeServices& services)
    : m_in(std::move(input)), m_services(services) {}

OutputFileMaker::Result OutputFileMaker::fail(Result r, const std::string& message,
                                              const std::string& cause) {
    if (m_error.empty())
        m_error = cause.empty() ? message : cause;
    if (cause.empty() || message.find(cause) != std::string::npos)
        diag::print("%s\n", message.c_str());
    else
        diag::print("%s: %s\n", message.c_str(), cause.c_str());
    return r;
}

std::string OutputFileMaker::workingCause(const std::string& detail) const {
    return "the working frame file " + m_in.workingPath + ": " + detail;
}

bool OutputFileMaker::compress(const std::vector<uint8_t>& plain, std::vector<uint8_t>& out, size_t offset) {
    uLongf room = compressBound(uLong(plain.size()));
    out.resize(offset + room);
    const int z = ::compress(out.data() + offset, &room, plain.data(), uLong(plain.size()));
    if (z != Z_OK) {
        diag::print("compression failed (%d)\n", z);
        return false;
    }
    out.resize(offset + room);
    return true;
}

std::vector<uint8_t> OutputFileMaker::formatRecord(int depth, int width, int height, int32_t paletteIndex,
                                                   const std::vector<stdColormapArray>& colormaps) {
    const bool indexed = depth <= 15;
    if (indexed && (paletteIndex < 0 || size_t(paletteIndex) >= colormaps.size()))
        return {};
    const uint32_t colours = indexed ? 256 : 0;
    std::vector<uint8_t> out(40 + 4 * colours, 0);
    rec::RecordWriter w(out.data(), out.size());
    w.u32(0, 40);
    w.i32(4, width);
    w.i32(8, height);
    w.u16(12, 1);
    w.u16(14, uint16_t(depth));
    w.u32(16, 0);
    w.u32(20, uint32_t((int64_t(width) * depth) / 8 * height));
    w.u32(32, colours);
    if (depth == 8) {
        const auto& palette = colormaps[size_t(paletteIndex)];
        for (size_t i = 0; i < 256; ++i) {
            w.u8(40 + 4 * i, uint8_t(palette.colors[i].blue));
            w.u8(41 + 4 * i, uint8_t(palette.colors[i].green));
            w.u8(42 + 4 * i, uint8_t(palette.colors[i].red));
        }
    }
    return out;
}

std::vector<uint8_t> OutputFileMaker::additionalData(const std::vector<SPlayBackFrameInfo>& playBack,
                                                     uint32_t frameCount, uint32_t red, uint32_t green,
                                                     uint32_t blue) {
    std::vector<uint8_t> out(60 + SPlayBackFrameInfo::SIZE * (size_t(frameCount) + 1), 0);
    rec::RecordWriter w(out.data(), out.size());
    w.text(0, 10, "SCAP@intX");
    w.u32(12, frameCount - 1);
    w.u32(36, red);
    w.u32(40, green);
    w.u32(44, blue);
    for (size_t i = 0; i < playBack.size() && i < frameCount; ++i)
        playBack[i].writeTo(out.data() + 60 + i * SPlayBackFrameInfo::SIZE);
    return out;
}

uint32_t OutputFileMaker::cursorImageOf(uint32_t frame) const {
    if (frame >= m_in.project->m_vPlayBackFrameInfo.size())
        return 0;
    const auto& p = m_in.project->m_vPlayBackFrameInfo[frame];
    if (p.vType != VALIDATION_MOUSE || (p.mouseMessage != 513 && p.mouseMessage != 516))
        return 0;
    return p.cursorImage;
}

void OutputFileMaker::writeResource(VlmFile& file, uint32_t id, bool data) {
    if (id == 0)
        return;
    VlmResourceRecord record;
    std::vector<uint8_t> bytes;
    if (!m_services.resource(id, record, data ? &bytes : nullptr)) {
        diag::print("resource %u is not in the media library: not written\n", id);
        for (uint32_t m : m_missing)
            if (m == id)
                return;
        m_missing.push_back(id);
        return;
    }
    uint32_t written = 0;
    if (!data) {
        diag::print("\n\t---------RESOURCE EDITOR WRITING TO VLM--------\n\trcnode              = %u"
                    "\n\trResourceName  = %s\n\t-------------------------------------------\n",
                    id, record.fullPath().c_str());
        file.ScapResourceWrite(record.bytes.data(), uint32_t(record.bytes.size()), &written, record);
    } else if (file.ScapResourceDataWrite(bytes.data(), uint32_t(bytes.size()), &written, record) != 0) {
        diag::print("Resource Node Write Error\n");
    }
}

void OutputFileMaker::writeResources(VlmFile& file, uint32_t frame, bool data) {
    if (m_in.project->m_vEditInfo.empty() || m_services.objectCount(frame) == 0)
        return;
    // The cursor image of a frame's recorded press goes with the resources
    // of the frame before it; frame 0's own goes first.
    if (frame == 0)
        writeResource(file, cursorImageOf(0), data);
    if (frame + 1 < m_in.project->m_dwFrameCount)
        writeResource(file, cursorImageOf(frame + 1), data);
    for (uint32_t id : m_services.resourceIds(frame))
        writeResource(file, id, data);
}

bool OutputFileMaker::writeAudio(VlmFile& file, uint32_t frame, std::FILE* sound) {
    const SEditInfo& e = m_in.project->m_vEditInfo[frame];
    uint8_t head[AUDIO_HEADER_SIZE];
    if (std::fseek(sound, e.audioHeaderOffset, SEEK_SET) != 0 ||
        std::fread(head, 1, sizeof head, sound) != sizeof head) {
        diag::print("sound of frame %u cannot be read\n", frame);
        return false;
    }
    uint32_t total = rec::readLe32(head + 4);
    diag::print("\n\t\t<--------AUDIO WRITING--------->\n\t\tframe %u size %u\n", frame, total);
    std::vector<uint8_t> piece, block;
    uint32_t sum = 0;
    while (total > 0) {
        const uint32_t n = std::min(total, AUDIO_PIECE);
        piece.resize(n);
        if (std::fread(piece.data(), 1, n, sound) != n) {
            diag::print("sound of frame %u is cut short\n", frame);
            return false;
        }
        std::vector<uint8_t> coded = m_services.encodeAudio(piece.data(), n);
        block.assign(8 + coded.size(), 0);
        rec::writeLe32(block.data(), n);
        rec::writeLe32(block.data() + 4, uint32_t(coded.size()));
        std::memcpy(block.data() + 8, coded.data(), coded.size());
        uint32_t count = 0;
        if (!file.ScapAudioStreamWrite(block.data(), uint32_t(block.size()), frame, vlm::CHUNK_AUDIO, &count))
            return false;
        sum += count;
        total -= n;
    }
    uint32_t out = 0;
    if (!file.vlmStreamWrite(nullptr, 0, frame, vlm::CHUNK_VIDEO, &out))
        return false;
    file.ScapAudioStreamClose(frame, sum);
    diag::print("\n\t\t<--------End of audio writing-------->\n");
    return true;
}

bool OutputFileMaker::writeObjects(VlmFile& file, uint32_t frame) {
    if (m_services.objectCount(frame) == 0)
        return true;
    std::vector<uint8_t> plain = m_services.objectChunk(frame);
    if (plain.empty())
        return true;
    std::vector<uint8_t> chunk;
    if (!compress(plain, chunk, 16))
        return false;
    rec::writeLe32(chunk.data(), uint32_t(plain.size()));
    rec::writeLe32(chunk.data() + 4, uint32_t(chunk.size() - 16));
    uint32_t out = 0;
    return file.vlmStreamWrite(chunk.data(), uint32_t(chunk.size()), frame, vlm::CHUNK_OBJECT, &out);
}

OutputFileMaker::Result OutputFileMaker::make() {
    m_error.clear();
    m_missing.clear();
    if (!m_in.project || m_in.project->m_vEditInfo.size() < m_in.project->m_dwFrameCount ||
        m_in.project->m_vPlayBackFrameInfo.size() < m_in.project->m_dwFrameCount)
        return fail(MAKE_DAT_UNREADABLE, "make: the frame tables do not match the frame count");

    // The scratch beside the output file, moved over it only when whole.
    ScratchFile scratch(m_in.outputPath);
    VlmFile file;
    std::FILE* stream = scratch.create();
    if (!stream)
        return fail(MAKE_CREATE_FAILED, "make: " + scratch.error(), scratch.error());
    if (file.createToWrite(stream, scratch.path(), m_in.project->m_dwFrameCount) != 0)
        return fail(MAKE_CREATE_FAILED, "make: " + file.lastError(), file.lastError());
    Result r = run(file);
    const bool closed = file.vlmFileClose() == 0;
    if (r == MAKE_OK && !closed)
        r = fail(MAKE_CLOSE_FAILED, "make: the output file could not be completed", file.lastError());
    if (r == MAKE_OK && !scratch.commit())
        r = fail(MAKE_CLOSE_FAILED, "make: " + scratch.error(), scratch.error());
    return r;
}

OutputFileMaker::Result OutputFileMaker::run(VlmFile& file) {
    const bool packed = m_in.depth == 24 && m_in.bytesPerPixel == 4;
    const int B = packed ? 3 : m_in.bytesPerPixel;
    const size_t R = size_t(m_in.screenWidth) * B;

    // The working frame file's main header gives the capture rectangle.
    SDatMainHeader main;
    {
        errno = 0;
        const int fd = regularfile::open(m_in.workingPath, O_RDONLY);
        FileCloser dat{fd >= 0 ? fdopen(fd, "rb") : nullptr};
        if (!dat.f && fd >= 0)
            ::close(fd);
        uint8_t raw[SDatMainHeader::SIZE];
        if (!dat.f)
            return fail(MAKE_DAT_UNREADABLE, "***error reading dat file ***",
                        "cannot open the working frame file " + m_in.workingPath + ": " +
                            (errno == EINVAL ? "not a regular file" : std::strerror(errno)));
        if (std::fread(raw, 1, sizeof raw, dat.f) != sizeof raw)
            return fail(
                MAKE_DAT_UNREADABLE, "***error reading dat file ***",
                workingCause(std::ferror(dat.f) ? std::strerror(errno) : "the main header is cut short"));
        main = SDatMainHeader::fromBytes(raw);
    }
    FrameStore frames;
    FrameGeometry geometry{uint32_t(m_in.screenWidth), uint32_t(m_in.screenHeight),
                           uint32_t(m_in.bytesPerPixel), 0};
    if (!frames.open(m_in.workingPath, geometry))
        return fail(MAKE_DAT_UNREADABLE, "***error reading dat file ***", frames.lastError());

    VLMVideoHeader& vh = file.videoHeader();
    vh.headerWord = 10;
    vh.largestChunk = VLMVideoHeader::FIRST_LARGEST_CHUNK;
    vh.capture = main.capture;
    vh.frameCount = m_in.project->m_dwFrameCount;
    vh.bitsPerPixel = uint8_t(m_in.depth);

    FileCloser sound;
    if (!m_in.soundPath.empty()) {
        const int fd = regularfile::open(m_in.soundPath, O_RDONLY);
        sound.f = fd >= 0 ? fdopen(fd, "rb") : nullptr;
        if (!sound.f && fd >= 0)
            ::close(fd);
    }
    file.audioHeader().backgroundSound = m_in.backgroundSound;

    // Resource records first: the close rewrites them as one table.
    const uint32_t background = rec::readLe32(m_in.backgroundSound.data());
    if (!m_in.project->m_vEditInfo.empty()) {
        writeResource(file, background, false);
        for (uint32_t f = 0; f < m_in.project->m_dwFrameCount; ++f)
            writeResources(file, f, false);
    }
    {
        auto block = additionalData(m_in.project->m_vPlayBackFrameInfo, m_in.project->m_dwFrameCount,
                                    m_in.redMask, m_in.greenMask, m_in.blueMask);
        uint32_t out = 0;
        if (!file.vlmStreamWrite(block.data(), uint32_t(block.size()), 0, vlm::CHUNK_ADDITIONAL_DATA, &out))
            return fail(MAKE_WRITE_FAILED, "make: the additional data cannot be written", file.lastError());
    }

    // The reference: the area of the last key frame and the picture the player shows.
    SRect refRect = SRect{0, 0, m_in.screenWidth, m_in.screenHeight};
    int W = main.capture.right - main.capture.left, H = main.capture.bottom - main.capture.top;
    std::vector<uint8_t> reference;
    int32_t lastPalette = -1;
    SDatFrameHeader header;
    std::vector<uint8_t> data, compressed;

    for (uint32_t i = 0; i < m_in.project->m_dwFrameCount; ++i) {
        m_services.progress(i);
        if (i == 0 && background != 0 && !m_in.project->m_vEditInfo.empty())
            writeResource(file, background, true);
        writeResources(file, i, true);

        if (frames.getFrame(m_in.project->m_vEditInfo, i, header, data, packed) != FrameStore::GETFRAME_OK)
            return fail(MAKE_FRAME_UNREADABLE, "getFrame () failed: " + frames.lastError(),
                        workingCause(frames.lastError()));
        const size_t length = header.dataLength(); // packed to 3 bytes a pixel where asked
        SPlayBackFrameInfo& pb = m_in.project->m_vPlayBackFrameInfo[i];
        const bool keyFrame = pb.frameFlags & PBF_KEY;
        const int32_t palette = int32_t(header.paletteIndex);

        if (keyFrame && length > 0) {
            refRect = SRect{header.data.left, header.data.top, header.data.right + 1, header.data.bottom + 1};
            W = refRect.right - refRect.left;
            H = refRect.bottom - refRect.top;
        }
        const size_t Rp = size_t(W) * B;
        const bool blank = length == 0 && (pb.frameFlags & (PBF_INSERTED | PBF_APPENDED));
        if (blank) {
            if (!writeObjects(file, i))
                return fail(MAKE_OBJECT_WRITE, "make: an object chunk cannot be written", file.lastError());
            if (i == 0 && palette != lastPalette) {
                auto fmt = formatRecord(m_in.depth, m_in.screenWidth, m_in.screenHeight, palette,
                                        m_in.project->m_vColormaps);
                if (!fmt.empty() && file.vlmSetFormat(fmt.data(), uint32_t(fmt.size()), 0) == 0)
                    lastPalette = palette;
                pb.paletteIndex = int16_t(lastPalette);
            }
            uint32_t out = 0;
            if (!file.vlmStreamWrite(nullptr, 0, i, vlm::CHUNK_VIDEO, &out))
                return fail(MAKE_WRITE_FAILED, "vlmStreamWrite falied before audio", file.lastError());
            continue;
        }
        if (W <= 0 || H <= 0)
            return fail(MAKE_FRAME_UNREADABLE, "make: no picture area", workingCause("no picture area"));
        // A first picture that is not a key frame is laid over black.
        if (reference.size() != Rp * H)
            reference.assign(Rp * size_t(H), 0);

        std::vector<uint8_t> plain;
        if (keyFrame && length > 0) {
            if (length < Rp * size_t(H))
                return fail(MAKE_FRAME_UNREADABLE, "make: a key frame is cut short",
                            workingCause("a key frame is cut short"));
            std::memcpy(reference.data(), data.data(), Rp * size_t(H));
            plain = video::keyChunk(reference.data(), W, H, Rp, B, header.data);
        } else if (length == 0) {
            // An unchanged frame: no blocks, but it keeps its place and its sound.
            plain.assign(video::TRAILER_SIZE, 0);
            video::writeTrailer(plain.data(),
                                video::Trailer{int16_t(header.data.left), int16_t(header.data.right),
                                               int16_t(header.data.top), int16_t(header.data.bottom), 0});
        } else {
            const SRect band = header.data;
            const int bandRows = band.bottom - band.top + 1;
            if (band.top < refRect.top || band.bottom >= refRect.bottom || bandRows <= 0 ||
                band.right - band.left + 1 > W)
                return fail(MAKE_FRAME_UNREADABLE, "make: a band lies outside the picture",
                            workingCause("a band lies outside the picture"));
            const size_t first = header.keyFlag ? size_t(band.top - refRect.top) * Rp : 0;
            if (first + size_t(bandRows) * R > length)
                return fail(MAKE_FRAME_UNREADABLE, "make: a band is cut short",
                            workingCause("a band is cut short"));
            const uint8_t* bandData = data.data() + first;
            uint8_t* refBand = reference.data() + size_t(band.top - refRect.top) * Rp;
            video::BlockGeometry g;
            g.band = band;
            g.rowBytes = R;
            g.bytesPerPixel = B;
            g.trim = video::blockTrim(refRect, 8, B);
            if (video::blocksFitIndices(g)) {
                plain = video::deltaChunk(video::changedBlocks(refBand, bandData, g), bandData, g);
            } else {
                // Too many blocks for 16-bit indices: the band's rows, as a key chunk of the band.
                plain = video::keyChunk(bandData, g.width(), bandRows, R, B, band);
            }
            for (int y = 0; y < bandRows; ++y)
                std::memcpy(refBand + size_t(y) * Rp, bandData + size_t(y) * R, Rp);
        }

        if (sound.f && pb.audioSize != 0 && (pb.frameFlags & PBF_AUDIO_RECORDED) &&
            m_in.project->m_vEditInfo[i].audioFlag == 1)
            if (!writeAudio(file, i, sound.f))
                return fail(MAKE_WRITE_FAILED, "make: the sound cannot be written",
                            file.lastError().empty()
                                ? "the sound working file " + m_in.soundPath + " cannot be read"
                                : file.lastError());
        if (palette != lastPalette) {
            auto fmt = formatRecord(m_in.depth, m_in.screenWidth, m_in.screenHeight, palette,
                                    m_in.project->m_vColormaps);
            if (fmt.empty()) {
                diag::print("SetBitmapInfo  SetFormat Failed ...\n");
            } else if (file.vlmSetFormat(fmt.data(), uint32_t(fmt.size()), 0) != 0) {
                return fail(MAKE_WRITE_FAILED, "make: a format record cannot be written", file.lastError());
            } else {
                lastPalette = palette;
            }
        }
        if (!compress(plain, compressed))
            return fail(MAKE_WRITE_FAILED, "make: a frame cannot be compressed");
        uint32_t out = 0;
        if (!file.vlmStreamWrite(compressed.data(), uint32_t(compressed.size()), i, vlm::CHUNK_VIDEO, &out))
            return fail(MAKE_WRITE_FAILED, "vlmStreamWrite failed before objects", file.lastError());
        if (!writeObjects(file, i))
            return fail(MAKE_OBJECT_WRITE, "make: an object chunk cannot be written", file.lastError());
    }
    return MAKE_OK;
}
