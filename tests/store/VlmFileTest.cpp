#include "store/VlmFile.h"
#include "store/RecordIO.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

VlmResourceRecord resource(uint32_t id, const std::string& path) {
    VlmResourceRecord r;
    r.setResourceId(id);
    rec::RecordWriter w(r.bytes.data() + 20, 260);
    w.text(0, 260, path);
    r.bytes[320] = 0x02;
    r.setDataOffset(0xDEAD); // the container sets these itself
    r.setDataLength(0xBEEF);
    return r;
}

// One frame as the make writes it.
struct FrameSpec {
    uint32_t frame;
    std::vector<uint32_t> resourcesFirstUsed;
    std::vector<std::string> audioPieces;
    std::optional<std::string> format;
    std::optional<std::string> video; // nullopt: an empty video chunk
    std::optional<std::string> object;
};

struct ResourceSpec {
    uint32_t id;
    std::string path;
    std::string data;
};

struct RoundTripCase {
    const char* name;
    uint32_t slots;
    std::vector<ResourceSpec> resources;
    std::vector<uint32_t> slotOrder; // identifiers passed to ScapResourceWrite, duplicates included
    std::vector<FrameSpec> frames;
    uint32_t expectedEntries;
};

void writeFile(const std::string& path, const RoundTripCase& c) {
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path, c.slots), 0);
    f.videoHeader().headerWord = 10;
    f.videoHeader().largestChunk = VLMVideoHeader::FIRST_LARGEST_CHUNK;
    f.videoHeader().capture = {0, 0, 640, 480};
    f.videoHeader().frameCount = c.slots;
    f.videoHeader().bitsPerPixel = 32;
    std::map<uint32_t, ResourceSpec> byId;
    for (const auto& r : c.resources)
        byId[r.id] = r;
    for (uint32_t id : c.slotOrder) {
        uint32_t out = 0;
        ASSERT_EQ(f.ScapResourceWrite(nullptr, 0, &out, resource(id, byId[id].path)), 0);
    }
    const std::string additional = "additional-data";
    uint32_t out = 0;
    ASSERT_TRUE(f.vlmStreamWrite(additional.data(), uint32_t(additional.size()), 0,
                                 vlm::CHUNK_ADDITIONAL_DATA, &out));
    for (const auto& fr : c.frames) {
        for (uint32_t id : fr.resourcesFirstUsed) {
            const auto& r = byId[id];
            ASSERT_EQ(
                f.ScapResourceDataWrite(r.data.data(), uint32_t(r.data.size()), &out, resource(id, r.path)),
                0);
        }
        if (!fr.audioPieces.empty()) {
            uint32_t total = 0;
            for (const auto& p : fr.audioPieces) {
                ASSERT_TRUE(f.ScapAudioStreamWrite(p.data(), uint32_t(p.size()), fr.frame, 4, &out));
                total += out;
            }
            ASSERT_TRUE(f.vlmStreamWrite(nullptr, 0, fr.frame, vlm::CHUNK_VIDEO, &out));
            ASSERT_EQ(f.ScapAudioStreamClose(fr.frame, total), 0);
        }
        if (fr.format) {
            ASSERT_EQ(f.vlmSetFormat(fr.format->data(), uint32_t(fr.format->size()), 0), 0);
        }
        const std::string video = fr.video.value_or("");
        ASSERT_TRUE(f.vlmStreamWrite(video.data(), uint32_t(video.size()), fr.frame, vlm::CHUNK_VIDEO, &out));
        EXPECT_EQ(out, video.size());
        if (fr.object) {
            ASSERT_TRUE(f.vlmStreamWrite(fr.object->data(), uint32_t(fr.object->size()), fr.frame,
                                         vlm::CHUNK_OBJECT, &out));
        }
    }
    ASSERT_EQ(f.vlmFileClose(), 0);
}

std::string concat(const std::vector<std::string>& v) {
    std::string s;
    for (const auto& p : v)
        s += p;
    return s;
}

class VlmFileRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(VlmFileRoundTrip, StreamsReadBackAsWritten) {
    const auto& c = GetParam();
    testsupport::TempDir dir;
    const std::string path = dir.file("out.vlm");
    ASSERT_NO_FATAL_FAILURE(writeFile(path, c));

    VlmFile r;
    ASSERT_EQ(r.openToRead(path), 0);
    EXPECT_EQ(r.header().minorVersion, 995);
    EXPECT_EQ(r.vlmStreamLength(vlm::CHUNK_VIDEO), c.expectedEntries);
    EXPECT_EQ(r.vlmStreamLength(vlm::CHUNK_AUDIO), c.expectedEntries);
    EXPECT_EQ(r.vlmStreamLength(vlm::CHUNK_OBJECT), c.expectedEntries);
    EXPECT_EQ(r.videoHeader().capture.right, 640);
    EXPECT_EQ(r.videoHeader().bitsPerPixel, 32);

    Bytes additional(r.getAdditionalDataSize());
    uint32_t n = 0;
    ASSERT_EQ(r.vlmAdditionalDataRead(additional.data(), additional.size(), &n), 0);
    EXPECT_EQ(additional, bytesOf("additional-data"));

    bool anyAudio = false, anyObject = false;
    std::optional<std::string> formatInForce;
    std::map<uint32_t, const FrameSpec*> byFrame;
    for (const auto& fr : c.frames)
        byFrame[fr.frame] = &fr;
    for (uint32_t frame = 0; frame < c.expectedEntries; ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        EXPECT_EQ(r.index()[frame].frameNumber, frame);
        auto it = byFrame.find(frame);
        const FrameSpec* fr = it == byFrame.end() ? nullptr : it->second;
        if (fr && fr->format)
            formatInForce = fr->format;
        Bytes got;
        ASSERT_EQ(r.vlmStreamRead(got, frame, vlm::CHUNK_VIDEO), 0);
        EXPECT_EQ(got, bytesOf(fr ? fr->video.value_or("") : ""));
        std::string audio = fr ? concat(fr->audioPieces) : "";
        anyAudio |= !audio.empty();
        ASSERT_EQ(r.vlmStreamRead(got, frame, vlm::CHUNK_AUDIO), 0);
        EXPECT_EQ(got, bytesOf(audio));
        std::string object = fr ? fr->object.value_or("") : "";
        anyObject |= fr && fr->object;
        ASSERT_EQ(r.vlmStreamRead(got, frame, vlm::CHUNK_OBJECT), 0);
        EXPECT_EQ(got, bytesOf(object));
        if (fr) {
            ASSERT_EQ(r.vlmGetFormat(got, frame, 0), 0);
            EXPECT_EQ(got, bytesOf(formatInForce.value_or(""))) << "format carried forward";
        }
        const VLMIndex& x = r.index()[frame];
        EXPECT_EQ(bool(x.flags & vlm::IF_VIDEO), fr && fr->video && !fr->video->empty());
        EXPECT_EQ(bool(x.flags & vlm::IF_AUDIO), !audio.empty());
        EXPECT_EQ(bool(x.flags & vlm::IF_OBJECT), !object.empty());

        // Audio in pieces, as the import reads it.
        if (!audio.empty()) {
            std::string pieces;
            uint32_t pos = 0;
            bool more = true;
            while (more) {
                uint32_t len = std::min<uint32_t>(5, uint32_t(audio.size()) - pos);
                std::string buf(len, '\0');
                uint32_t count = 0;
                more = r.ScapAudioStreamRead(buf.data(), frame, len, &count, pos);
                ASSERT_EQ(count, len);
                pieces += buf;
                pos += count;
            }
            EXPECT_EQ(pieces, audio);
        }
    }
    EXPECT_EQ(r.hasStream(vlm::CHUNK_AUDIO), anyAudio);
    EXPECT_EQ(r.hasStream(vlm::CHUNK_OBJECT), anyObject);
    EXPECT_EQ(r.vlmGetStream(vlm::CHUNK_AUDIO), !anyAudio) << "true means absent";

    // Resources: one slot and one data block per identifier.
    EXPECT_EQ(r.ScapResourceCount(), c.resources.size());
    ASSERT_EQ(r.resourceTable().size(), c.resources.size());
    for (const auto& res : c.resources) {
        SCOPED_TRACE("resource " + std::to_string(res.id));
        uint32_t len = 0;
        ASSERT_EQ(r.ScapResourceRead(res.id, &len, nullptr, 0), 0);
        ASSERT_EQ(len, res.data.size());
        Bytes data(len);
        ASSERT_EQ(r.ScapResourceRead(res.id, &len, data.data(), data.size()), 0);
        EXPECT_EQ(data, bytesOf(res.data));
        char name[300];
        ASSERT_EQ(r.ScapResourceReadFileName(name, sizeof name, res.id), 0);
        EXPECT_EQ(std::string(name), res.path);
    }
    EXPECT_EQ(r.vlmFileClose(), 0);
    EXPECT_FALSE(r.vlmIsFileOpened());
}

const std::string kVideo0(300, 'v');

INSTANTIATE_TEST_SUITE_P(
    Cases, VlmFileRoundTrip,
    ::testing::Values(
        RoundTripCase{
            "VideoOnly",
            3,
            {},
            {},
            {{0, {}, {}, "fmt0", "video0", {}}, {1, {}, {}, {}, "video1", {}}, {2, {}, {}, {}, "video2", {}}},
            3},
        RoundTripCase{"AudioVideoObjects",
                      3,
                      {},
                      {},
                      {{0, {}, {"aaaa", "bbbbbb"}, "fmt0", kVideo0, "objects0"},
                       {1, {}, {}, {}, "video1", {}},
                       {2, {}, {"cc"}, {}, "video2", "objects2"}},
                      3},
        RoundTripCase{"BlankFramesWithObjects",
                      2,
                      {},
                      {},
                      {{0, {}, {}, "fmt", {}, "obj0"}, {1, {}, {}, {}, {}, "obj1"}},
                      2},
        RoundTripCase{
            "SkippedFrames", 4, {}, {}, {{0, {}, {"s0"}, "f", "v0", {}}, {3, {}, {"s3"}, {}, "v3", {}}}, 4},
        RoundTripCase{"FormatCarriedForward",
                      4,
                      {},
                      {},
                      {{0, {}, {}, "first", "v0", {}},
                       {1, {}, {}, {}, "v1", {}},
                       {2, {}, {}, "second", "v2", {}},
                       {3, {}, {}, {}, "v3", {}}},
                      4},
        RoundTripCase{
            "DuplicateResourceWrittenOnce",
            2,
            {{0x01010001, "/home/a/pic.bmp", "PICTURE"}, {0x04010002, "/home/a/icon.ico", "ICON"}},
            {0x01010001, 0x04010002, 0x01010001},
            {{0, {0x01010001}, {}, "f", "v0", "o0"}, {1, {0x04010002, 0x01010001}, {}, {}, "v1", "o1"}},
            2}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Edge cases of the layout ---

class VlmFileWrite : public ::testing::Test {
  protected:
    std::string path() const { return m_dir.file("t.vlm"); }
    Bytes fileBytes() const {
        std::string s = testsupport::readFile(path());
        return Bytes(s.begin(), s.end());
    }
    uint32_t at32(const Bytes& b, size_t off) const { return rec::readLe32(b.data() + off); }
    bool video(VlmFile& f, uint32_t frame, const std::string& data) {
        uint32_t out = 0;
        return f.vlmStreamWrite(data.data(), uint32_t(data.size()), frame, vlm::CHUNK_VIDEO, &out);
    }
    testsupport::TempDir m_dir;
};

TEST_F(VlmFileWrite, CreatedFileIsHeaderStreamHeadersAndZeroSlots) {
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path(), 3), 0);
    EXPECT_TRUE(f.vlmIsFileOpened());
    Bytes b = fileBytes();
    ASSERT_EQ(b.size(), 344u + 3 * 92);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), std::string("INT\0", 4));
    EXPECT_EQ(rec::readLe16(b.data() + 4), 2);
    EXPECT_EQ(rec::readLe16(b.data() + 6), 1);
    EXPECT_EQ(at32(b, 12), 0u) << "offsets and counts are recorded in memory until the close";
    EXPECT_EQ(at32(b, 24), 0u);
    EXPECT_EQ(at32(b, 32), 0u);
    EXPECT_EQ(f.header().indexCount, 3u);
    EXPECT_EQ(f.header().indexOffset, 344u);
    EXPECT_EQ(f.header().indexLength, 3u * 92);
    EXPECT_EQ(f.header().videoHeaderOffset, 152u);
    for (size_t i = 152; i < b.size(); ++i)
        ASSERT_EQ(b[i], 0) << i;
    EXPECT_EQ(f.vlmFileClose(), 0);
}

TEST_F(VlmFileWrite, ThreeFramesInThreeSlots) {
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path(), 3), 0);
    ASSERT_TRUE(video(f, 0, "aaaa"));
    ASSERT_TRUE(video(f, 1, "bb"));
    ASSERT_TRUE(video(f, 2, "c"));
    ASSERT_EQ(f.vlmFileClose(), 0);
    Bytes b = fileBytes();
    ASSERT_EQ(b.size(), 344u + 276 + 7);
    EXPECT_EQ(rec::readLe16(b.data() + 6), 995);
    EXPECT_EQ(at32(b, 12), 3u) << "index count = last frame + 1";
    EXPECT_EQ(at32(b, 28), 276u);
    EXPECT_EQ(b[76] & 0x10, 0x10);
    EXPECT_EQ(at32(b, 8), 92u * (3 - 2) + uint32_t(b.size())) << "size word";
    EXPECT_EQ(at32(b, 32), 152u);
    EXPECT_EQ(at32(b, 36), 68u);
    EXPECT_EQ(at32(b, 40), 220u);
    EXPECT_EQ(at32(b, 44), 72u);
    EXPECT_EQ(at32(b, 48), 292u);
    EXPECT_EQ(at32(b, 52), 52u);
    const uint32_t offsets[] = {620, 624, 626};
    const uint32_t lengths[] = {4, 2, 1};
    for (uint32_t i = 0; i < 3; ++i) {
        VLMIndex x = VLMIndex::fromBytes(b.data() + 344 + 92 * i);
        EXPECT_EQ(x.frameNumber, i);
        EXPECT_EQ(x.skipCount, 0u);
        EXPECT_EQ(x.videoOffset, offsets[i]);
        EXPECT_EQ(x.videoLength, lengths[i]);
        EXPECT_EQ(x.audioOffset, offsets[i]) << "no audio: the video offset";
        EXPECT_EQ(x.flags, vlm::IF_VIDEO);
    }
}

TEST_F(VlmFileWrite, SizeWordOfASingleRecordWraps) {
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path(), 1), 0);
    ASSERT_TRUE(video(f, 0, "x"));
    ASSERT_EQ(f.vlmFileClose(), 0);
    Bytes b = fileBytes();
    EXPECT_EQ(at32(b, 8), uint32_t(b.size()) - 92u);
}

TEST_F(VlmFileWrite, SkippedFramesAreExpandedOnReading) {
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path(), 4), 0);
    ASSERT_TRUE(video(f, 0, "zero"));
    ASSERT_TRUE(video(f, 3, "three"));
    ASSERT_EQ(f.vlmFileClose(), 0);
    Bytes b = fileBytes();
    EXPECT_EQ(VLMIndex::fromBytes(b.data() + 344).skipCount, 2u);
    EXPECT_EQ(at32(b, 28), 2u * 92);
    EXPECT_EQ(at32(b, 12), 4u);

    VlmFile r;
    ASSERT_EQ(r.openToRead(path()), 0);
    ASSERT_EQ(r.index().size(), 4u);
    const VLMIndex& first = r.index()[0];
    for (uint32_t i = 1; i <= 2; ++i) {
        const VLMIndex& x = r.index()[i];
        EXPECT_EQ(x.frameNumber, i);
        EXPECT_EQ(x.videoOffset, first.videoOffset);
        EXPECT_EQ(x.audioOffset, first.audioOffset);
        EXPECT_EQ(x.videoLength, 0u);
        EXPECT_EQ(x.skipCount, 2u - i);
    }
    EXPECT_EQ(r.index()[3].frameNumber, 3u);
    uint32_t len = 99;
    ASSERT_EQ(r.vlmStreamSize(3, vlm::CHUNK_VIDEO, &len), 0);
    EXPECT_EQ(len, 5u);
}

TEST_F(VlmFileWrite, MoreRecordsThanSlotsWritesTheFirstOnes) {
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path(), 2), 0);
    for (uint32_t i = 0; i < 4; ++i)
        ASSERT_TRUE(video(f, i, "frame" + std::to_string(i)));
    ASSERT_EQ(f.vlmFileClose(), 0);
    EXPECT_EQ(f.droppedIndexRecords(), 2u);
    Bytes b = fileBytes();
    EXPECT_EQ(at32(b, 28), 2u * 92);
    EXPECT_EQ(at32(b, 12), 4u);
    EXPECT_EQ(VLMIndex::fromBytes(b.data() + 344 + 92).frameNumber, 1u);

    VlmFile r;
    ASSERT_EQ(r.openToRead(path()), 0);
    EXPECT_EQ(r.index().size(), 2u);
    Bytes got;
    EXPECT_EQ(r.vlmStreamRead(got, 1, vlm::CHUNK_VIDEO), 0);
    EXPECT_EQ(got, bytesOf("frame1"));
    EXPECT_EQ(r.vlmStreamRead(got, 3, vlm::CHUNK_VIDEO), 1) << "below the index count but beyond the records";
    uint32_t count = 7;
    char buf[4];
    EXPECT_FALSE(r.ScapAudioStreamRead(buf, 3, 4, &count, 0));
    EXPECT_EQ(count, 0u);
}

TEST_F(VlmFileWrite, FewerRecordsThanSlotsLeaveZeroSlots) {
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path(), 5), 0);
    ASSERT_TRUE(video(f, 0, "a"));
    ASSERT_TRUE(video(f, 1, "b"));
    ASSERT_EQ(f.vlmFileClose(), 0);
    EXPECT_EQ(f.droppedIndexRecords(), 0u);
    Bytes b = fileBytes();
    EXPECT_EQ(at32(b, 28), 2u * 92);
    for (size_t i = 344 + 2 * 92; i < 344 + 5 * 92; ++i)
        ASSERT_EQ(b[i], 0) << i;
    VlmFile r;
    ASSERT_EQ(r.openToRead(path()), 0);
    EXPECT_EQ(r.index().size(), 2u);
}

TEST_F(VlmFileWrite, EmptyVideoChunkGetsARecordWithoutFlag) {
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path(), 1), 0);
    ASSERT_TRUE(video(f, 0, ""));
    ASSERT_EQ(f.vlmFileClose(), 0);
    VLMIndex x = VLMIndex::fromBytes(fileBytes().data() + 344);
    EXPECT_EQ(x.videoLength, 0u);
    EXPECT_EQ(x.flags, 0u);
    EXPECT_EQ(x.videoOffset, 344u + 92);
    EXPECT_EQ(x.audioOffset, x.videoOffset);
}

TEST_F(VlmFileWrite, AudioChunkIsRecordedWhereItsBytesBegin) {
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path(), 1), 0);
    uint32_t out = 0;
    ASSERT_TRUE(f.ScapAudioStreamWrite("12345", 5, 0, 4, &out));
    EXPECT_EQ(out, 5u);
    ASSERT_TRUE(f.ScapAudioStreamWrite("678", 3, 0, 4, &out));
    EXPECT_FALSE(video(f, 0, "refused")) << "a block inside open audio would be mis-indexed";
    ASSERT_TRUE(video(f, 0, ""));
    ASSERT_EQ(f.ScapAudioStreamClose(0, 8), 0);
    ASSERT_TRUE(video(f, 0, "V"));
    ASSERT_EQ(f.vlmFileClose(), 0);
    Bytes b = fileBytes();
    VLMIndex x = VLMIndex::fromBytes(b.data() + 344);
    EXPECT_EQ(x.audioOffset, 436u);
    EXPECT_EQ(x.audioLength, 8u);
    EXPECT_EQ(x.videoOffset, 444u);
    EXPECT_EQ(x.videoLength, 1u);
    EXPECT_EQ(x.flags, vlm::IF_AUDIO | vlm::IF_VIDEO);
    EXPECT_EQ(b[76] & vlm::HF_AUDIO, vlm::HF_AUDIO);
    EXPECT_EQ(std::string(b.begin() + 436, b.begin() + 445), "12345678V");
}

TEST_F(VlmFileWrite, ResourceSlotsMustPrecedeOtherBlocks) {
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path(), 1), 0);
    uint32_t out = 0;
    ASSERT_EQ(f.ScapResourceWrite(nullptr, 0, &out, resource(7, "/a")), 0);
    ASSERT_TRUE(video(f, 0, "block"));
    EXPECT_EQ(f.ScapResourceWrite(nullptr, 0, &out, resource(8, "/b")), 1)
        << "the close would overwrite the block";
    EXPECT_EQ(f.ScapResourceWrite(nullptr, 0, &out, resource(7, "/a")), 0)
        << "already present: nothing to do";
    EXPECT_EQ(f.resourceTable().size(), 1u);
    ASSERT_EQ(f.vlmFileClose(), 0);
    VlmFile r;
    ASSERT_EQ(r.openToRead(path()), 0);
    Bytes got;
    ASSERT_EQ(r.vlmStreamRead(got, 0, vlm::CHUNK_VIDEO), 0);
    EXPECT_EQ(got, bytesOf("block"));
}

TEST_F(VlmFileWrite, ResourceDataWithoutSlotIsRefusedAndOffsetsStayTrue) {
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path(), 1), 0);
    uint32_t out = 0;
    ASSERT_EQ(f.ScapResourceWrite(nullptr, 0, &out, resource(7, "/a")), 0);
    EXPECT_EQ(f.ScapResourceDataWrite("stray", 5, &out, resource(9, "/z")), 1);
    EXPECT_EQ(out, 0u);
    ASSERT_EQ(f.ScapResourceDataWrite("DATA", 4, &out, resource(7, "/a")), 0);
    EXPECT_EQ(out, 4u);
    ASSERT_EQ(f.ScapResourceDataWrite("AGAIN", 5, &out, resource(7, "/a")), 0);
    EXPECT_EQ(out, 0u) << "written once";
    ASSERT_TRUE(video(f, 0, "after"));
    ASSERT_EQ(f.vlmFileClose(), 0);
    VlmFile r;
    ASSERT_EQ(r.openToRead(path()), 0);
    Bytes got;
    ASSERT_EQ(r.vlmStreamRead(got, 0, vlm::CHUNK_VIDEO), 0);
    EXPECT_EQ(got, bytesOf("after"));
    char data[8] = {};
    uint32_t len = 0;
    ASSERT_EQ(r.ScapResourceRead(7, &len, data, sizeof data), 0);
    EXPECT_EQ(std::string(data, len), "DATA");
    EXPECT_EQ(r.ScapResourceRead(7, &len, data, 3), 1) << "buffer too small";
    EXPECT_EQ(r.ScapResourceRead(12345, &len, data, sizeof data), 0) << "absent: nothing done";
    EXPECT_EQ(len, 0u);
    char name[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(r.ScapResourceReadFileName(name, sizeof name, 12345), 1);
    EXPECT_EQ(name[0], 'x');
}

TEST_F(VlmFileWrite, BackgroundSoundSenseIsInverted) {
    for (uint32_t id : {0u, 0x03010005u}) {
        VlmFile f;
        ASSERT_EQ(f.createToWrite(path(), 1), 0);
        rec::writeLe32(f.audioHeader().backgroundSound.data(), id);
        ASSERT_TRUE(video(f, 0, "v"));
        ASSERT_EQ(f.vlmFileClose(), 0);
        VlmFile r;
        ASSERT_EQ(r.openToRead(path()), 0);
        EXPECT_EQ(r.vlmBackgroundSoundPresent(), id == 0) << "true means no background sound";
        EXPECT_EQ(r.hasBackgroundSound(), id != 0);
        EXPECT_EQ(r.vlmGetStream(vlm::CHUNK_VIDEO), false);
        EXPECT_TRUE(r.hasStream(vlm::CHUNK_VIDEO));
        std::array<uint8_t, 72> info{};
        EXPECT_EQ(r.vlmStreamInfo(info.data(), info.size(), 1), 1);
        EXPECT_EQ(rec::readLe32(info.data() + 12), id);
        EXPECT_EQ(r.vlmStreamInfo(info.data(), 10, 0), 0) << "buffer too small";
    }
}

TEST_F(VlmFileWrite, CreateOnAFullDeviceFailsClosed) {
    VlmFile f;
    EXPECT_EQ(f.createToWrite("/dev/full", 2), 1);
    EXPECT_FALSE(f.vlmIsFileOpened());
    EXPECT_EQ(f.vlmFileClose(), 1);
    EXPECT_EQ(f.createToWrite(m_dir.file("no/such/dir.vlm"), 2), 2);
}

TEST_F(VlmFileWrite, FailedWriteLeavesNoTraceAndLaterBlocksStayTrue) {
    // A file size limit makes a write fail part-way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path(), 1), 0); // 436 bytes
    rlimit lim = old;
    lim.rlim_cur = 1500;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lim), 0);
    EXPECT_TRUE(video(f, 0, std::string(1000, 'a')));
    uint32_t out = 77;
    std::string big(1000, 'b');
    EXPECT_FALSE(f.vlmStreamWrite(big.data(), uint32_t(big.size()), 0, vlm::CHUNK_OBJECT, &out));
    EXPECT_EQ(out, 0u);
    EXPECT_FALSE(f.ScapAudioStreamWrite(big.data(), uint32_t(big.size()), 0, 4, &out));
    EXPECT_EQ(out, 0u);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
    uint32_t n = 0;
    ASSERT_TRUE(f.vlmStreamWrite("obj", 3, 0, vlm::CHUNK_OBJECT, &n));
    ASSERT_EQ(f.vlmFileClose(), 0);
    Bytes b = fileBytes();
    EXPECT_EQ(b.size(), 436u + 1000 + 3);
    VlmFile r;
    ASSERT_EQ(r.openToRead(path()), 0);
    Bytes got;
    ASSERT_EQ(r.vlmStreamRead(got, 0, vlm::CHUNK_OBJECT), 0);
    EXPECT_EQ(got, bytesOf("obj"));
}

TEST_F(VlmFileWrite, WrongModeAndClosedContainerAreRefused) {
    VlmFile f;
    uint32_t out = 0;
    EXPECT_FALSE(f.vlmStreamWrite("x", 1, 0, 2, &out));
    EXPECT_EQ(f.vlmSetFormat("x", 1, 0), 1);
    EXPECT_EQ(f.vlmFileClose(), 1);
    EXPECT_EQ(f.vlmInitialise(path(), 5, 0, 0), 0) << "another mode only marks the container open";
    EXPECT_TRUE(f.vlmIsFileOpened());
    EXPECT_EQ(f.vlmFileClose(), 1);
}

// --- Malformed files ---

// A small valid file: two frames (the second skipping one), a format record,
// audio, objects and two resources.
Bytes validFile(const testsupport::TempDir& dir) {
    const std::string path = dir.file("valid.vlm");
    VlmFile f;
    EXPECT_EQ(f.createToWrite(path, 2), 0);
    uint32_t out = 0;
    EXPECT_EQ(f.ScapResourceWrite(nullptr, 0, &out, resource(1, "/r/one")), 0);
    EXPECT_EQ(f.ScapResourceWrite(nullptr, 0, &out, resource(2, "/r/two")), 0);
    EXPECT_EQ(f.ScapResourceDataWrite("ONE", 3, &out, resource(1, "/r/one")), 0);
    EXPECT_EQ(f.vlmSetFormat("FORMAT", 6, 0), 0);
    EXPECT_TRUE(f.ScapAudioStreamWrite("AUDIO", 5, 0, 4, &out));
    EXPECT_TRUE(f.vlmStreamWrite(nullptr, 0, 0, 2, &out));
    EXPECT_EQ(f.ScapAudioStreamClose(0, 5), 0);
    EXPECT_TRUE(f.vlmStreamWrite("VIDEO0", 6, 0, 2, &out));
    EXPECT_TRUE(f.vlmStreamWrite("OBJ", 3, 0, 8, &out));
    EXPECT_EQ(f.ScapResourceDataWrite("TWO", 3, &out, resource(2, "/r/two")), 0);
    EXPECT_TRUE(f.vlmStreamWrite("VIDEO2", 6, 2, 2, &out));
    EXPECT_EQ(f.vlmFileClose(), 0);
    std::string s = testsupport::readFile(path);
    return Bytes(s.begin(), s.end());
}

struct MalformedCase {
    const char* name;
    std::function<void(Bytes&)> damage;
    int expected;
};

void put32(Bytes& b, size_t off, uint32_t v) {
    rec::writeLe32(b.data() + off, v);
}

class VlmFileMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(VlmFileMalformed, IsRefusedWithItsCode) {
    testsupport::TempDir dir;
    Bytes b = validFile(dir);
    {
        VlmFile ok;
        ASSERT_EQ(ok.openToRead(dir.file("valid.vlm")), 0) << "the undamaged file reads";
        ASSERT_EQ(ok.index().size(), 3u);
        ASSERT_EQ(ok.resourceTable().size(), 2u);
    }
    GetParam().damage(b);
    const std::string path = dir.file("bad.vlm");
    testsupport::writeFile(path, std::string(b.begin(), b.end()));
    VlmFile r;
    EXPECT_EQ(r.openToRead(path), GetParam().expected);
    EXPECT_FALSE(r.vlmIsFileOpened());
    Bytes got;
    EXPECT_EQ(r.vlmStreamRead(got, 0, vlm::CHUNK_VIDEO), 1);
}

constexpr size_t IDX = 344;          // first index record
constexpr size_t IDX1 = IDX + 92;    // second index record
constexpr size_t RES = IDX + 2 * 92; // first resource record

INSTANTIATE_TEST_SUITE_P(
    Cases, VlmFileMalformed,
    ::testing::Values(
        MalformedCase{"EmptyFile", [](Bytes& b) { b.clear(); }, 1},
        MalformedCase{"TruncatedHeader", [](Bytes& b) { b.resize(100); }, 1},
        MalformedCase{"TruncatedStreamHeaders", [](Bytes& b) { b.resize(300); }, 1},
        MalformedCase{"TruncatedIndex", [](Bytes& b) { b.resize(IDX + 100); }, 1},
        MalformedCase{"WrongSignature", [](Bytes& b) { b[0] = 'E', b[1] = 'X', b[2] = 'M'; }, 7},
        MalformedCase{"IndexPastTheEnd", [](Bytes& b) { put32(b, 28, 92u * 1000000); }, 1},
        MalformedCase{"IndexOffsetPastTheEnd", [](Bytes& b) { put32(b, 24, 0xFFFFFF00u); }, 1},
        MalformedCase{"HugeSkipCount",
                      [](Bytes& b) {
                          put32(b, 12, 0xFFFFFFFFu);
                          put32(b, IDX + 40, 0xFFFFFFF0u);
                      },
                      1},
        MalformedCase{"SkipBeyondIndexCount", [](Bytes& b) { put32(b, IDX + 40, 5); }, 1},
        MalformedCase{"FramesOutOfOrder", [](Bytes& b) { put32(b, IDX1, 7); }, 1},
        MalformedCase{"ChunkBeyondTheFile", [](Bytes& b) { put32(b, IDX + 20, 0x7FFFFFFFu); }, 1},
        MalformedCase{"ChunkOffsetWraps",
                      [](Bytes& b) {
                          put32(b, IDX + 16, 0xFFFFFFFFu);
                          put32(b, IDX + 20, 16);
                      },
                      1},
        MalformedCase{"HugeResourceCount", [](Bytes& b) { put32(b, 100, 1000000); }, 1},
        MalformedCase{"ResourceTablePastTheEnd", [](Bytes& b) { put32(b, 104, uint32_t(b.size()) - 100); },
                      1},
        MalformedCase{"ResourceDataBeyondTheFile", [](Bytes& b) { put32(b, RES + 12, 0x10000000u); }, 1},
        MalformedCase{"ResourceChainLoops",
                      [](Bytes& b) {
                          b[76] &= uint8_t(~vlm::HF_RESOURCES_CONTIGUOUS);
                          put32(b, RES + 8, uint32_t(RES)); // data "at" the record itself
                          put32(b, RES + 12, 0);
                      },
                      1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VlmFileRead, StreamHeaderBeyondTheFileReadsAsFailure) {
    testsupport::TempDir dir;
    Bytes b = validFile(dir);
    put32(b, 32, 0xFFFFFF00u); // the stream headers themselves are read in place at the open
    const std::string path = dir.file("info.vlm");
    testsupport::writeFile(path, std::string(b.begin(), b.end()));
    VlmFile r;
    ASSERT_EQ(r.openToRead(path), 0);
    std::array<uint8_t, 72> info{};
    EXPECT_EQ(r.vlmStreamInfo(info.data(), info.size(), 0), 0) << "a failed seek is no success";
    EXPECT_EQ(r.vlmStreamInfo(info.data(), info.size(), 1), 1);
    EXPECT_EQ(r.vlmStreamInfo(info.data(), info.size(), 9), 1);
}

TEST(VlmFileRead, MissingFileFails) {
    VlmFile r;
    EXPECT_EQ(r.openToRead("/nonexistent/dir/x.vlm"), 1);
    EXPECT_FALSE(r.vlmIsFileOpened());
}

TEST(VlmFileRead, SignatureKinds) {
    testsupport::TempDir dir;
    Bytes b = validFile(dir);
    b[0] = 'E', b[1] = 'X', b[2] = 'M';
    const std::string path = dir.file("exm.vlm");
    testsupport::writeFile(path, std::string(b.begin(), b.end()));
    VlmFile r;
    EXPECT_EQ(r.openToRead(path, VlmFile::SIGN_EXM), 0) << "the EXM kind accepts EXM";
    EXPECT_EQ(r.checkSignature(VlmFile::SIGN_INT), vlm::VLM_WRONG_SIGN);
    EXPECT_EQ(r.checkSignature(VlmFile::SIGN_EXM), vlm::SCAP_SIGNATURE_OK);
    EXPECT_EQ(r.checkSignature(5), vlm::SCAP_SIGNATURE_OK);
    b[0] = 'I', b[1] = 'N', b[2] = 'T';
    testsupport::writeFile(path, std::string(b.begin(), b.end()));
    EXPECT_EQ(r.openToRead(path, VlmFile::SIGN_EXM), vlm::EXM_WRONG_SIGN);
}

TEST(VlmFileRead, ChainedResourceRecordsAreFollowed) {
    // Without header flag 0x10 each record is followed by its data.
    testsupport::TempDir dir;
    Bytes b(344 + 92, 0);
    VLMHeader h;
    h.signature = {'I', 'N', 'T', '\0'};
    h.majorVersion = 2;
    h.minorVersion = 995;
    h.indexCount = 1;
    h.indexOffset = 344;
    h.indexLength = 92;
    h.videoHeaderOffset = 152;
    h.videoHeaderLength = 68;
    h.audioHeaderOffset = 220;
    h.audioHeaderLength = 72;
    h.objectHeaderOffset = 292;
    h.objectHeaderLength = 52;
    h.resourceCount = 2;
    h.firstResourceOffset = 436;
    h.resourceRecordSize = 332;
    auto hb = h.toBytes();
    std::copy(hb.begin(), hb.end(), b.begin());
    VlmResourceRecord r1 = resource(0x11, "/first");
    r1.setDataOffset(436 + 332);
    r1.setDataLength(5);
    b.insert(b.end(), r1.bytes.begin(), r1.bytes.end());
    for (char c : std::string("HELLO"))
        b.push_back(uint8_t(c));
    VlmResourceRecord r2 = resource(0x22, "/second");
    r2.setDataOffset(436 + 332 + 5 + 332);
    r2.setDataLength(3);
    b.insert(b.end(), r2.bytes.begin(), r2.bytes.end());
    for (char c : std::string("BYE"))
        b.push_back(uint8_t(c));
    const std::string path = dir.file("chain.vlm");
    testsupport::writeFile(path, std::string(b.begin(), b.end()));

    VlmFile r;
    ASSERT_EQ(r.openToRead(path), 0);
    ASSERT_EQ(r.resourceTable().size(), 2u);
    char data[8];
    uint32_t len = 0;
    ASSERT_EQ(r.ScapResourceRead(0x22, &len, data, sizeof data), 0);
    EXPECT_EQ(std::string(data, len), "BYE");
    VlmResourceRecord node;
    ASSERT_EQ(r.ScapResourceRead(node, 0), 0);
    EXPECT_EQ(node.fullPath(), "/first");
    EXPECT_EQ(r.ScapResourceRead(node, 2), 1);
}

TEST(VlmFileRead, PathWithoutNulIsCutToTheBuffer) {
    testsupport::TempDir dir;
    const std::string path = dir.file("p.vlm");
    VlmFile f;
    ASSERT_EQ(f.createToWrite(path, 1), 0);
    VlmResourceRecord node = resource(5, "");
    std::memset(node.bytes.data() + 20, 'p', 260);
    uint32_t out = 0;
    ASSERT_EQ(f.ScapResourceWrite(nullptr, 0, &out, node), 0);
    ASSERT_TRUE(f.vlmStreamWrite("v", 1, 0, 2, &out));
    ASSERT_EQ(f.vlmFileClose(), 0);
    VlmFile r;
    ASSERT_EQ(r.openToRead(path), 0);
    char big[300];
    ASSERT_EQ(r.ScapResourceReadFileName(big, sizeof big, 5), 0);
    EXPECT_EQ(std::string(big), std::string(260, 'p'));
    char small[200];
    ASSERT_EQ(r.ScapResourceReadFileName(small, sizeof small, 5), 0);
    EXPECT_EQ(std::string(small), std::string(199, 'p'));
}

TEST(VlmFileRead, AudioReadInPiecesStaysInsideTheChunk) {
    testsupport::TempDir dir;
    Bytes b = validFile(dir);
    (void)b;
    VlmFile r;
    ASSERT_EQ(r.openToRead(dir.file("valid.vlm")), 0);
    char buf[8];
    uint32_t count = 0;
    EXPECT_TRUE(r.ScapAudioStreamRead(buf, 0, 3, &count, 0));
    EXPECT_EQ(std::string(buf, count), "AUD");
    EXPECT_FALSE(r.ScapAudioStreamRead(buf, 0, 3, &count, 3)) << "would run past the chunk";
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(r.ScapAudioStreamRead(buf, 0, 2, &count, 3)) << "last piece";
    EXPECT_EQ(std::string(buf, count), "IO");
    EXPECT_FALSE(r.ScapAudioStreamRead(buf, 0, 6, &count, 0)) << "longer than the chunk";
    EXPECT_FALSE(r.ScapAudioStreamRead(buf, 0, 0, &count, 0));
    Bytes fmt;
    ASSERT_EQ(r.vlmGetFormat(fmt, 2, 0), 0);
    EXPECT_EQ(fmt, bytesOf("FORMAT"));
    ASSERT_EQ(r.vlmGetFormat(fmt, 1, 0), 0) << "a skipped frame has no format of its own";
    EXPECT_TRUE(fmt.empty());
    EXPECT_EQ(r.vlmGetFormat(fmt, 0, 2), 1);
    EXPECT_EQ(r.vlmGetFormat(fmt, 3, 0), 1);
    char small[2];
    uint32_t len = 9;
    EXPECT_EQ(r.vlmStreamRead(small, sizeof small, 0, vlm::CHUNK_VIDEO, &len), 1) << "buffer too small";
    EXPECT_EQ(len, 0u);
    EXPECT_EQ(r.vlmStreamRead(small, sizeof small, 0, 16, &len), 1);
    EXPECT_EQ(r.vlmStreamLength(16), 0u);
}

} // namespace
