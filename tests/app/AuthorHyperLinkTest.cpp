// An author places a hyperlink from the Edit Palette by the keyboard and a
// drag, makes the output file and opens it again: the file holds the
// hyperlink's record and the program started on it draws it at its place.
#include "AuthorSessionFixture.h"
#include "CanvasOnScreen.h"
#include "MadeObjects.h"
#include "app/OutputFileServices.h"
#include "canvas/records/sAllObjects.h"
#include "store/DrawingObjectType.h"
#include "store/RecordIO.h"
#include "store/VlmFile.h"
#include "store/VlmRecords.h"

#include "ScreenPixels.h"

#include <csignal>
#include <cstdio>
#include <optional>
#include <sstream>
#include <zlib.h>

using namespace testsupport;

namespace {

// The colour of a screen pixel as 0xRRGGBB.
unsigned long screenPixel(int x, int y) {
    const std::vector<unsigned long> pixel = screenPixelsOf(Rect{x, y, 1, 1});
    return pixel.empty() ? ~0ul : pixel.front();
}

constexpr unsigned long kBackColor = 0xC7C3C7; // (199, 195, 199)

TEST_F(AuthorSession, HyperlinkPlacedMadeAndOpenedAgain) {
    Process p;
    std::string main;
    Rect canvas;
    ASSERT_TRUE(startWithAFrame(p, main, canvas, newFrameShown))
        << p.err() << runCommand("xwininfo -tree -id " + main);
    auto at = [&canvas](int x, int y) { return canvasPoint(canvas, x, y); };

    // Objects > Edit Palette > Hyperlink, then a drag from (100, 100) to (300, 160).
    focus(main);
    choosePaletteTool("h");
    runCommand("xdotool mousemove " + at(100, 100) + " mousedown 1 mousemove " + at(200, 130) +
               " mousemove " + at(300, 160) + " mouseup 1 sleep 0.5");
    ASSERT_TRUE(waitUntil([&] { return screenPixel(canvas.x + 120, canvas.y + 150) == kBackColor; }, 5000))
        << std::hex << screenPixel(canvas.x + 120, canvas.y + 150);

    const std::string vlm = make(main);
    ASSERT_FALSE(vlm.empty()) << p.err();

    const std::vector<sAllObjects> objects = objectsOfFirstFrame(vlm);
    const StoredHyperLink* link = firstOfKind<StoredHyperLink>(objects, HYPERLINK);
    ASSERT_NE(nullptr, link) << p.err();
    EXPECT_EQ("Hyperlink 1", link->control.name);
    EXPECT_EQ(100, link->control.x);
    EXPECT_EQ(100, link->control.y);
    EXPECT_EQ(200, link->control.width);
    EXPECT_EQ(60, link->control.height);
    EXPECT_EQ(6u, link->events.size());
    EXPECT_EQ(0, link->eventMask);

    quit(p, main);

    Process again;
    ASSERT_FALSE(startOnCopy(again, vlm, main, canvas).empty()) << again.err();
    EXPECT_TRUE(waitUntil([&] { return screenPixel(canvas.x + 120, canvas.y + 150) == kBackColor; }, 10000))
        << std::hex << screenPixel(canvas.x + 120, canvas.y + 150);
    again.signal(SIGTERM);
    again.wait(5000);
}

} // namespace
