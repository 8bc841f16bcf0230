#include "app/OutputFileServices.h"
#include "media/G723Codec.h"
#include "media/InMemoryMediaLibrary.h"
#include "store/CValidationData.h"
#include "store/RecordIO.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

sAllObjects frameObject(const std::string& name, uint32_t audio) {
    sAllObjects r;
    r.drawingObject = FRAMEOBJECT;
    NVFrame f;
    f.m_Caption = name;
    f.audioId = audio;
    f.events.resize(2);
    r.payload = f;
    return r;
}

sAllObjects bitmap(uint32_t image) {
    sAllObjects r;
    r.drawingObject = BITMAP;
    StoredBitmap b;
    b.imageId = image;
    r.payload = b;
    r.objectID = "B1";
    return r;
}

sAllObjects hyperlink() {
    sAllObjects r;
    r.drawingObject = HYPERLINK;
    StoredHyperLink h;
    h.clickedImageId = 0x01010003;
    h.events.resize(2);
    h.events[0].audioId = 0x03010001;
    h.events[1].dialog = sMessageDialogBlock{"abc", "de", 0x06010001, 0x06010002};
    r.payload = h;
    return r;
}

sAllObjects validationField(uint32_t icon, uint32_t keyIcon, uint32_t keyImage) {
    sAllObjects r;
    r.drawingObject = VALIDATIONFIELD;
    StoredValidationField v;
    v.dialog = sMessageDialogBlock{"", "cap", 0, icon};
    SMultiString strings;
    sMultiValidationString first;
    first.text = "yes";
    first.flag = 1;
    sValidationKey key;
    key.uiValidationKey = 0x0D;
    key.event = sValidationKeyEvent{};
    key.event->message = "well done";
    key.event->caption = "Well";
    key.event->iconId = keyIcon;
    key.event->imageId = keyImage;
    first.keys = {key, sValidationKey{}};
    strings.list = {first};
    v.validationData = CValidationData().pack(strings);
    r.payload = v;
    return r;
}

TEST(OutputFileServices, ObjectChunkRoundTrip) {
    std::vector<sAllObjects> records = {frameObject("Frame 3", 0), bitmap(0x01010001), hyperlink()};
    auto plain = OutputFileServices::plainObjectChunk(records);
    EXPECT_EQ(rec::readLe32(plain.data()), 24u);
    EXPECT_EQ(rec::readLe32(plain.data() + 4), 3u);
    EXPECT_EQ(rec::readLe16(plain.data() + 24), 1024u);
    EXPECT_EQ(plain.size(), 24 + 3 * 1024 + records[0].tailLength() + records[2].tailLength());
    EXPECT_EQ(records[0].tailLength(), 32u) << "two frame events of 16 bytes";
    auto back = OutputFileServices::parseObjectChunk(plain.data(), plain.size());
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE((*back)[i] == records[i]) << i;

    // A count that promises more records than the chunk holds is refused.
    rec::writeLe32(plain.data() + 4, 4);
    EXPECT_FALSE(OutputFileServices::parseObjectChunk(plain.data(), plain.size()));
    EXPECT_FALSE(OutputFileServices::parseObjectChunk(plain.data(), 10));
}

TEST(OutputFileServices, ResourceIdentifiersInWritingOrder) {
    EXPECT_EQ(OutputFileServices::resourceIdsOf(frameObject("x", 0x03010005)),
              std::vector<uint32_t>{0x03010005});
    EXPECT_EQ(OutputFileServices::resourceIdsOf(bitmap(0x01010001)), std::vector<uint32_t>{0x01010001});
    EXPECT_EQ(OutputFileServices::resourceIdsOf(hyperlink()),
              (std::vector<uint32_t>{0x01010003, 0x03010001, 0x06010001, 0x06010002}));
    EXPECT_TRUE(OutputFileServices::resourceIdsOf(bitmap(0)).empty());
}

TEST(OutputFileServices, ImportNamesUnnamedFrameObjectsAndNotesAudio) {
    std::vector<std::pair<uint32_t, std::vector<sAllObjects>>> taken;
    OutputFileServices s(nullptr, {},
                         [&](uint32_t f, std::vector<sAllObjects>&& r) { taken.emplace_back(f, r); });
    auto plain = OutputFileServices::plainObjectChunk({frameObject("", 0x03010001), bitmap(5)});
    ASSERT_TRUE(s.frameObjects(6, plain.data(), plain.size(), {}));
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].first, 6u);
    EXPECT_EQ(taken[0].second[0].get<NVFrame>()->m_Caption, "Frame 7");
    EXPECT_EQ(taken[0].second[1].frameIndex, 6);
    EXPECT_TRUE(s.frameHasAudioResource(6));
    EXPECT_FALSE(s.frameHasAudioResource(5));
}

// Records taken after the library renumbered a resource refer to the kept identifier.
TEST(OutputFileServices, ImportedRecordsTakeRenumberedResources) {
    std::vector<sAllObjects> taken;
    OutputFileServices s(nullptr, {}, [&](uint32_t, std::vector<sAllObjects>&& r) { taken = r; });
    s.noteRenumbered(0x03010001, 0x03010007);
    s.noteRenumbered(0x01010001, 0x01010001); // kept as stored
    s.noteRenumbered(0x01010002, 0);          // no answer
    EXPECT_EQ(s.renumbered(), (OutputFileServices::Renumbering{{0x03010001, 0x03010007}}));
    auto plain = OutputFileServices::plainObjectChunk({frameObject("f", 0x03010001), bitmap(0x01010002)});
    ASSERT_TRUE(s.frameObjects(0, plain.data(), plain.size(), {}));
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].get<NVFrame>()->audioId, 0x03010007u);
    EXPECT_EQ(taken[1].get<StoredBitmap>()->imageId, 0x01010002u);
    EXPECT_TRUE(s.frameHasAudioResource(0));
}

TEST(OutputFileServices, AudioThroughTheCoder) {
    OutputFileServices s(nullptr, {}, {});
    std::vector<int16_t> pcm(1000);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = int16_t(8000 * std::sin(double(i) / 7));
    auto coded = s.encodeAudio(reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size() * 2);
    EXPECT_EQ(coded.size(), G723PackedLength(pcm.size() * 2));
    auto back = s.decodeAudio(coded.data(), coded.size(), pcm.size() * 2);
    EXPECT_EQ(back.size(), pcm.size() * 2) << "exactly the piece's own length";
}

TEST(OutputFileServices, ResourcesFromTheMediaLibrary) {
    InMemoryMediaLibrary lib;
    ResourceChildNode node;
    node.resourceId = 0x01010001;
    node.fullPath = "/pictures/a.bmp";
    node.storedSize = 3;
    node.fileSize = 3;
    lib.addResource(node, {7, 8, 9});
    OutputFileServices s(&lib, {}, {});
    VlmResourceRecord r;
    std::vector<uint8_t> data;
    ASSERT_TRUE(s.resource(0x01010001, r, &data));
    EXPECT_EQ(r.resourceId(), 0x01010001u);
    EXPECT_EQ(r.fullPath(), "/pictures/a.bmp");
    EXPECT_EQ(data, (std::vector<uint8_t>{7, 8, 9}));
    EXPECT_FALSE(s.resource(0x01010002, r, &data)) << "unknown to the library";
}

// Resources an import stored under new identifiers: every field the make
// writes from takes the new one; others stay.
TEST(OutputFileServices, RenumberingRewritesEveryResourceField) {
    const OutputFileServices::Renumbering renumbered{{0x01010003, 0x01010009},
                                                     {0x03010001, 0x03010004},
                                                     {0x06010002, 0x0601003A},
                                                     {0x01010001, 0x01010008}};
    struct Case {
        const char* label;
        sAllObjects record;
        std::vector<uint32_t> after;
        bool changed;
    };
    const std::vector<Case> cases{
        {"frame object", frameObject("f", 0x03010001), {0x03010004}, true},
        {"frame object, other sound", frameObject("f", 0x03010002), {0x03010002}, false},
        {"bitmap", bitmap(0x01010001), {0x01010008}, true},
        {"hyperlink", hyperlink(), {0x01010009, 0x03010004, 0x06010001, 0x0601003A}, true},
        {"validation field",
         validationField(0x06010002, 0x06010002, 0x01010003),
         {0x0601003A, 0x0601003A, 0x01010009},
         true},
        {"validation field, nothing renumbered",
         validationField(0x06010005, 0, 0x01020001),
         {0x06010005, 0x01020001},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        sAllObjects r = c.record;
        EXPECT_EQ(OutputFileServices::renumberResources(r, renumbered), c.changed);
        EXPECT_EQ(OutputFileServices::resourceIdsOf(r), c.after);
        sAllObjects same = c.record;
        EXPECT_FALSE(OutputFileServices::renumberResources(same, {}));
        EXPECT_TRUE(same == c.record);
    }

    // The repacked strings keep everything but the identifiers.
    sAllObjects v = validationField(0, 0x06010002, 0x01010003);
    ASSERT_TRUE(OutputFileServices::renumberResources(v, renumbered));
    SMultiString strings;
    const auto& data = v.get<StoredValidationField>()->validationData;
    ASSERT_TRUE(CValidationData().GetValidationDataArray(data.data(), data.size(), strings));
    ASSERT_EQ(strings.list.size(), 1u);
    ASSERT_EQ(strings.list[0].keys.size(), 2u);
    EXPECT_EQ(strings.list[0].text, "yes");
    EXPECT_EQ(strings.list[0].flag, 1);
    ASSERT_TRUE(strings.list[0].keys[0].event);
    EXPECT_EQ(strings.list[0].keys[0].event->message, "well done");
    EXPECT_EQ(strings.list[0].keys[0].event->caption, "Well");
    EXPECT_EQ(strings.list[0].keys[0].event->iconId, 0x0601003Au);
    EXPECT_EQ(strings.list[0].keys[0].event->imageId, 0x01010009u);
    EXPECT_FALSE(strings.list[0].keys[1].event);

    // Cursor images and the background sound.
    std::vector<SPlayBackFrameInfo> playback(3);
    playback[0].cursorImage = 0x01010001;
    playback[2].cursorImage = 0x05010001;
    uint32_t background = 0x03010001;
    OutputFileServices::renumberResources(playback, background, renumbered);
    EXPECT_EQ(playback[0].cursorImage, 0x01010008u);
    EXPECT_EQ(playback[1].cursorImage, 0u);
    EXPECT_EQ(playback[2].cursorImage, 0x05010001u);
    EXPECT_EQ(background, 0x03010004u);
}

// Sounds and videos are kept by path: their data block is empty, and they
// are written, not reported missing.
TEST(OutputFileServices, APathOnlyResourceHasAnEmptyBlock) {
    InMemoryMediaLibrary lib;
    for (const auto& [id, path] : {std::pair<uint32_t, const char*>{0x03010001, "/sounds/a.wav"},
                                   {0x03030001, "/sounds/b.mp3"},
                                   {0x02030001, "/films/c.avi"}}) {
        SCOPED_TRACE(path);
        ResourceChildNode node;
        node.resourceId = id;
        node.fullPath = path;
        node.fileSize = 5000; // the file's size; nothing stored
        lib.addResource(node, {});
        OutputFileServices s(&lib, {}, {});
        VlmResourceRecord r;
        std::vector<uint8_t> data{1, 2, 3};
        ASSERT_TRUE(s.resource(id, r, &data));
        EXPECT_TRUE(data.empty());
        EXPECT_EQ(r.resourceId(), id);
        EXPECT_EQ(r.fullPath(), path);
    }
}

} // namespace
