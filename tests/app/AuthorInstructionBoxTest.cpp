// An author appends a frame, places an instruction box from the Edit
// Palette, types its text, gives it a caption and hides its title bar in the
// property box, and makes the output file; the file holds the box, and the
// program started on a copy of it shows the box with the same pixels.
#include "AuthorSessionFixture.h"
#include "CanvasOnScreen.h"
#include "MadeObjects.h"
#include "canvas/records/sAllObjects.h"
#include "objects/interactive/InstructionBoxRecord.h"
#include "store/DrawingObjectType.h"

#include <algorithm>
#include <csignal>

// Xlib after the toolkit headers.
#include "PropertyBoxOnScreen.h"
#include "ScreenPixels.h"

using namespace testsupport;

namespace {

const sAllObjects* instructionBox(const std::vector<std::vector<sAllObjects>>& frames) {
    for (const auto& f : frames)
        for (const sAllObjects& o : f)
            if (o.drawingObject == INSTRUCTIONBOX)
                return &o;
    return nullptr;
}

TEST_F(AuthorSession, InstructionBoxPlacedTypedCaptionedMadeAndOpenedAgain) {
    Process p;
    Rect canvas;
    std::string main;
    // 1. Edit > Append Frame.
    ASSERT_TRUE(startWithAFrame(p, main, canvas, newFrameShown))
        << p.err() << runCommand("xwininfo -tree -id " + main);

    // 2. Objects > Edit Palette > Instruction Box, then a drag from (100, 100) to (400, 250).
    focus(main);
    choosePaletteTool("i");
    dragOnCanvas(canvas, {100, 100}, {400, 250});

    // 3. Into the text, below the title bar.
    xdotool("sleep 0.1 mousemove " + canvasPoint(canvas, 250, 200) + " click 1 sleep 0.4");
    xdotool("type --delay 40 'Click Next'");

    // 4. A right click on the title bar selects the box and shows the
    // property box; the chooser lists the box's rows.
    xdotool("sleep 0.3 mousemove " + canvasPoint(canvas, 250, 110) + " click 3 sleep 0.6");
    const std::string boxId = propertyBoxBeside(main);
    ASSERT_FALSE(boxId.empty()) << p.err();
    const auto listed = listInPropertyBox(boxId, "Instruction Box 1", "key Escape sleep 0.3");
    ASSERT_TRUE(listed.has_value()) << runCommand("xdotool getwindowname " + boxId);
    const auto rows = measurePropertyRows(*listed);
    ASSERT_TRUE(rows.has_value());
    const Rect box = rows->box;
    // The box's rows as the property box shows them.
    const std::vector<std::string> rowNames = {
        "Appearance", "Back Color", "Font",   "Fore Color", "Scrolling", "Geometry", "Left",
        "Top",        "Width",      "Height", "General",    "Name",      "Caption",  "Title Bar"};
    // Appearance collapsed: the last rows show without scrolling.
    collapseGroup(box, rows->middleOf(rowNames, "Appearance"));
    const std::vector<std::string> collapsed = withCollapsed(rowNames, "Appearance", "Geometry");
    const int captionRow = rows->middleOf(collapsed, "Caption"),
              titleBarRow = rows->middleOf(collapsed, "Title Bar");
    xdotool("mousemove " + windowPoint(box, 180, captionRow) + " click 1 sleep 0.6 mousemove " +
            windowPoint(box, 250, captionRow) +
            " click 1 sleep 0.4 key ctrl+a sleep 0.2 type --delay 40 'Step 1'");
    xdotool("key Return sleep 0.5");
    chooseInRow(box, titleBarRow, "key Up sleep 0.1");
    focus(boxId);
    xdotool("key Escape sleep 0.5");

    // The box as the author leaves it: the text over the whole box.
    const Rect inside{canvas.x + 104, canvas.y + 104, 292, 142};
    const std::vector<unsigned long> before = screenPixelsOf(inside);
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(0, std::count(before.begin(), before.end(), 0x000080ul)) << "no title bar";
    EXPECT_GT(std::count(before.begin(), before.end(), 0xFFFFFFul), 292 * 100) << "the text's white page";
    EXPECT_GT(
        std::count_if(before.begin(), before.end(), [](unsigned long px) { return (px & 0xFF) < 0x60; }), 20)
        << "the typed text";

    // 8. Make.
    const std::string vlm = make(main);
    ASSERT_FALSE(vlm.empty()) << p.err();

    const auto frames = objectsOf(vlm);
    const sAllObjects* stored = instructionBox(frames);
    ASSERT_NE(nullptr, stored) << p.err();
    const StoredInstructionBox* s = stored->get<StoredInstructionBox>();
    ASSERT_NE(nullptr, s);
    EXPECT_EQ("Instruction Box 1", s->control.name);
    EXPECT_EQ("I1", stored->objectID);
    EXPECT_EQ("Step 1", s->caption);
    EXPECT_EQ(0, s->titleBar);
    EXPECT_EQ(1, s->scrolling);
    EXPECT_EQ(100, s->control.x);
    EXPECT_EQ(100, s->control.y);
    EXPECT_EQ(300, s->control.width);
    EXPECT_EQ(150, s->control.height);
    EXPECT_NE(std::string::npos, s->rtf.find("Click Next")) << s->rtf;
    const NVAllObjects back = InstructionBoxRecord::fromStored(*stored);
    ASSERT_NE(nullptr, back.get<sInstructionBox>());
    EXPECT_EQ("Click Next", back.get<sInstructionBox>()->text);

    quit(p, main);

    // The made file opened again: the same box, pixel for pixel.
    Process again;
    ASSERT_FALSE(startOnCopy(again, vlm, main, canvas).empty()) << again.err();
    const Rect shown{canvas.x + 104, canvas.y + 104, 292, 142};
    const std::vector<unsigned long> after = screenPixelsBecoming(shown, before);
    EXPECT_TRUE(after == before) << "the box shown again differs";
    again.signal(SIGTERM);
    again.wait(5000);
}

} // namespace
