// An author records a few frames, places a text field from the Edit Palette,
// selects it with a click, moves it by its body, resizes it by a handle and takes the
// resize back, types into it and makes the output file; the file holds the
// field with its text, and the program started on it makes the same objects.
#include "AuthorSessionFixture.h"
#include "CanvasOnScreen.h"
#include "MadeObjects.h"
#include "app/OutputFileServices.h"
#include "canvas/records/RtfText.h"
#include "canvas/records/StoredText.h"
#include "canvas/records/sAllObjects.h"
#include "objects/interactive/TextFieldRecord.h"
#include "store/DrawingObjectType.h"
#include "store/RecordIO.h"
#include "store/VlmFile.h"
#include "store/VlmRecords.h"

#include <csignal>
#include <cstdio>
#include <optional>
#include <sstream>
#include <zlib.h>

using namespace testsupport;

namespace {

std::vector<const sAllObjects*> textFields(const std::vector<std::vector<sAllObjects>>& frames) {
    std::vector<const sAllObjects*> out;
    for (const auto& f : frames)
        for (const sAllObjects& o : f)
            if (o.drawingObject == TEXTFIELD)
                out.push_back(&o);
    return out;
}

class AuthorTextField : public CanvasAuthorSession {};

TEST_F(AuthorTextField, PlaceMoveResizeUndoTypeAndMake) {
    Process p;
    ASSERT_TRUE(recordAFewFrames(p, main, canvas)) << p.err() << runCommand("xwininfo -tree -id " + main);

    // Objects > Edit Palette > Text Field, then a drag on the canvas.
    focus(main);
    choosePaletteTool("t");
    dragOnCanvas({100, 100}, {300, 200});
    // With the tool still armed, a click only selects the field and hands
    // back the selection tool.
    key("mousemove " + at(200, 150) + " click 1 sleep 0.4");
    // Its body moved by (50, 30), then its bottom-right handle dragged and
    // the resize undone.
    dragOnCanvas({200, 150}, {250, 180});
    dragOnCanvas({350, 230}, {400, 270});
    focus(main);
    key("keydown alt key e keyup alt sleep 0.3 key u sleep 0.4");
    // Typed into, then made.
    key("mousemove " + at(250, 180) + " click 1 sleep 0.4");
    key("type --delay 40 'Hello {world}'");
    key("sleep 0.3 key ctrl+m");
    const std::string vlm = home() + "/zedaro/Untitled.vlm";
    ASSERT_TRUE(waitUntil([&] { return fileExists(vlm); }, 15000)) << p.err();
    runCommand("sleep 0.5");

    const auto frames = objectsOf(vlm);
    const auto fields = textFields(frames);
    ASSERT_EQ(1u, fields.size()) << p.err();
    const sAllObjects& stored = *fields[0];
    const StoredTextField* s = stored.get<StoredTextField>();
    ASSERT_NE(nullptr, s);
    EXPECT_EQ("Text Field 1", s->control.name);
    EXPECT_EQ(150, s->control.x);
    EXPECT_EQ(130, s->control.y);
    EXPECT_EQ(200, s->control.width);
    EXPECT_EQ(100, s->control.height);
    const NVAllObjects back = TextFieldRecord::fromStored(stored);
    ASSERT_NE(nullptr, back.get<sTextField>());
    EXPECT_EQ("Hello {world}", back.get<sTextField>()->text);

    size_t fieldFrame = 0;
    for (size_t i = 0; i < frames.size(); ++i)
        for (const sAllObjects& o : frames[i])
            if (&o == fields[0])
                fieldFrame = i;
    const std::vector<uint8_t> made = bytesOf(frames[fieldFrame]);

    quit(p, main);

    // The made file opened and made again: the same object chunk.
    Process again;
    const std::string copy = startOnCopy(again, vlm, main, canvas);
    ASSERT_FALSE(copy.empty()) << again.err();
    ASSERT_TRUE(makeAgain(main, copy)) << again.err();
    const auto remade = objectsOf(copy);
    ASSERT_GT(remade.size(), fieldFrame);
    EXPECT_EQ(made, bytesOf(remade[fieldFrame]));
    again.signal(SIGTERM);
    again.wait(5000);
}

} // namespace
