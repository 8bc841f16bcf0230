// An author records a few frames, places two validation fields from the Edit
// Palette, deletes the first, places a third and makes the output file: the
// fields keep unique IDs (2 and 3), and the program started on the made file
// makes the same objects. A file of minor version 998 whose field carries the
// legacy tail opens, and its make keeps the records after the field.
#include "AuthorSessionFixture.h"
#include "CanvasOnScreen.h"
#include "MadeObjects.h"
#include "app/OutputFileServices.h"
#include "canvas/records/sAllObjects.h"
#include "store/DrawingObjectType.h"
#include "store/RecordIO.h"
#include "store/VlmFile.h"
#include "store/VlmRecords.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <zlib.h>

using namespace testsupport;

namespace {

// The frame holding validation fields, or -1.
int fieldFrame(const std::vector<std::vector<sAllObjects>>& frames) {
    for (size_t i = 0; i < frames.size(); ++i)
        for (const sAllObjects& o : frames[i])
            if (o.drawingObject == VALIDATIONFIELD)
                return int(i);
    return -1;
}

// Rewrites a made file as an older program wrote it: minor version 998, and
// the first validation field of `frame` carrying a legacy tail of two
// entries. The new object chunk goes at the end and the frame's index record
// points at it. Call through ASSERT_NO_FATAL_FAILURE.
void makeLegacy(const std::string& path, int frame) {
    VlmFile file;
    ASSERT_EQ(0, file.openToRead(path));
    const uint32_t indexOffset = file.header().indexOffset;
    const uint32_t indexCount = file.header().indexCount;
    std::vector<uint8_t> chunk;
    ASSERT_EQ(0, file.vlmStreamRead(chunk, uint32_t(frame), vlm::CHUNK_OBJECT));
    file.vlmFileClose();
    std::vector<uint8_t> plain(rec::readLe32(chunk.data()));
    uLongf got = plain.size();
    ASSERT_EQ(Z_OK, uncompress(plain.data(), &got, chunk.data() + 16, rec::readLe32(chunk.data() + 4)));
    auto records = OutputFileServices::parseObjectChunk(plain.data(), got);
    ASSERT_TRUE(records);
    std::vector<uint8_t> legacy = OutputFileServices::plainObjectChunk({});
    rec::writeLe32(legacy.data() + 4, uint32_t(records->size()));
    bool done = false;
    for (const sAllObjects& r : *records) {
        if (r.drawingObject != VALIDATIONFIELD || done) {
            r.appendTo(legacy);
            continue;
        }
        done = true;
        const auto head = r.toBytes();
        const size_t at = legacy.size();
        legacy.insert(legacy.end(), head.begin(), head.end());
        rec::writeLe32(legacy.data() + at + StoredValidationField::LEGACY_COUNT, 2);
        for (uint32_t w : {7u, 9u}) {
            uint8_t b[4];
            rec::writeLe32(b, w);
            legacy.insert(legacy.end(), b, b + 4);
        }
        legacy.insert(legacy.end(), 2 * StoredValidationField::LEGACY_EVENT_SIZE, uint8_t(0x5A));
    }
    ASSERT_TRUE(done);
    std::vector<uint8_t> packed(compressBound(legacy.size()) + 16);
    uLongf packedLength = packed.size() - 16;
    ASSERT_EQ(Z_OK, compress(packed.data() + 16, &packedLength, legacy.data(), legacy.size()));
    packed.resize(packedLength + 16);
    rec::writeLe32(packed.data(), uint32_t(legacy.size()));
    rec::writeLe32(packed.data() + 4, uint32_t(packedLength));

    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(f.good());
    f.seekg(0, std::ios::end);
    const uint32_t end = uint32_t(f.tellg());
    f.seekp(end);
    f.write(reinterpret_cast<const char*>(packed.data()), std::streamsize(packed.size()));
    bool pointed = false;
    for (uint32_t j = 0; j < indexCount && !pointed; ++j) {
        uint8_t record[VLMIndex::SIZE];
        f.seekg(indexOffset + j * VLMIndex::SIZE);
        f.read(reinterpret_cast<char*>(record), sizeof record);
        if (rec::readLe32(record + VLMIndex::FRAME_NUMBER) != uint32_t(frame))
            continue;
        rec::writeLe32(record + VLMIndex::OBJECT_OFFSET, end);
        rec::writeLe32(record + VLMIndex::OBJECT_LENGTH, uint32_t(packed.size()));
        f.seekp(indexOffset + j * VLMIndex::SIZE);
        f.write(reinterpret_cast<const char*>(record), sizeof record);
        pointed = true;
    }
    ASSERT_TRUE(pointed);
    uint8_t minor[2];
    rec::writeLe16(minor, 998);
    f.seekp(VLMHeader::MINOR_VERSION);
    f.write(reinterpret_cast<const char*>(minor), 2);
    ASSERT_TRUE(f.good());
}

TEST_F(AuthorSession, ValidationFieldsKeepUniqueIdsAfterADeletion) {
    std::string main;
    Rect canvas;
    auto at = [&](int x, int y) { return canvasPoint(canvas, x, y); };
    auto chooseValidationTool = [&] {
        focus(main);
        choosePaletteTool("v");
    };
    // Starts velmora on the file, makes it again and returns its frames.
    auto openAndMake = [&](const std::string& path) {
        Process again;
        Rect shown;
        EXPECT_TRUE(startOn(again, path, main, shown)) << again.err();
        EXPECT_TRUE(makeAgain(main, path)) << again.err();
        again.signal(SIGTERM);
        again.wait(5000);
        return objectsOf(path);
    };

    Process p;
    ASSERT_TRUE(recordAFewFrames(p, main, canvas)) << p.err() << runCommand("xwininfo -tree -id " + main);

    // Objects > Edit Palette > Validation Field, two drags.
    chooseValidationTool();
    dragOnCanvas(canvas, {100, 100}, {300, 140});
    dragOnCanvas(canvas, {100, 200}, {300, 240});
    // A click selects the first and hands back the selection tool; Delete
    // removes it.
    xdotool("mousemove " + at(200, 120) + " click 1 sleep 0.4");
    xdotool("key Delete sleep 0.4");
    chooseValidationTool();
    dragOnCanvas(canvas, {100, 300}, {300, 340});
    const std::string vlm = make(main);
    ASSERT_FALSE(vlm.empty()) << p.err();
    quit(p, main);

    const auto frames = objectsOf(vlm);
    const int frame = fieldFrame(frames);
    ASSERT_GE(frame, 0) << p.err();
    std::vector<std::pair<uint32_t, uint32_t>> ids;
    std::vector<std::string> names;
    for (const sAllObjects& o : frames[size_t(frame)])
        if (o.drawingObject == VALIDATIONFIELD) {
            const auto bytes = o.toBytes();
            ids.emplace_back(rec::readLe16(bytes.data() + StoredValidationField::VALIDATION_NUMBER),
                             rec::readLe16(bytes.data() + StoredValidationField::VALIDATION_ID));
            names.push_back(o.get<StoredValidationField>()->control.name);
        }
    EXPECT_EQ((std::vector<std::pair<uint32_t, uint32_t>>{{2, 2}, {3, 3}}), ids) << p.err();
    EXPECT_EQ((std::vector<std::string>{"Validation Field 2", "Validation Field 3"}), names);
    const std::vector<uint8_t> made = bytesOf(frames[size_t(frame)]);

    // The made file opened and made again: the same object chunk.
    const std::string copy = root.file("show.vlm");
    writeFile(copy, readFile(vlm));
    const auto remade = openAndMake(copy);
    ASSERT_GT(remade.size(), size_t(frame));
    EXPECT_EQ(made, bytesOf(remade[size_t(frame)]));

    // The same file as an older program wrote it: the legacy tail is skipped
    // and the records after the field are kept.
    const std::string legacy = root.file("legacy.vlm");
    writeFile(legacy, readFile(vlm));
    ASSERT_NO_FATAL_FAILURE(makeLegacy(legacy, frame));
    const auto fromLegacy = openAndMake(legacy);
    ASSERT_GT(fromLegacy.size(), size_t(frame));
    const std::vector<sAllObjects>& kept = fromLegacy[size_t(frame)];
    ASSERT_EQ(frames[size_t(frame)].size(), kept.size());
    EXPECT_EQ(bytesOf({frames[size_t(frame)].back()}), bytesOf({kept.back()}));
    EXPECT_EQ("Validation Field 2", kept[kept.size() - 2].get<StoredValidationField>()->control.name);
    EXPECT_EQ(vlm::MINOR_VERSION_CLOSED, [&] {
        VlmFile f;
        f.openToRead(legacy);
        return f.header().minorVersion;
    }());
}

} // namespace
