// An author draws a line and a polyline, styles the line in the property
// box, nudges it and takes the nudges back, copies and pastes it twice and
// makes the output file; the file holds the objects, and the program started
// on it shows the same frame.
#include "AuthorSessionFixture.h"
#include "CanvasOnScreen.h"
#include "MadeObjects.h"
#include "app/OutputFileServices.h"
#include "canvas/records/sAllObjects.h"
#include "store/DrawingObjectType.h"
#include "store/RecordIO.h"
#include "store/VlmFile.h"
#include "store/VlmRecords.h"

#include "PropertyBoxOnScreen.h"
#include "ScreenPixels.h"

#include <csignal>
#include <cstdio>
#include <optional>
#include <sstream>
#include <zlib.h>

using namespace testsupport;

namespace {

// The pixels of the canvas's visible top-left part, read through a
// connection of the test's own.
std::vector<unsigned long> pixelsOf(const Rect& canvas) {
    return screenPixelsOf(Rect{canvas.x, canvas.y, 900, 440});
}

class AuthorLines : public CanvasAuthorSession {
  protected:
    // Objects > Draw Palette > the item of `letter`, by the keyboard.
    void drawPalette(const std::string& letter) {
        focus(main);
        key("keydown alt key o keyup alt");
        key("sleep 0.3 key d sleep 0.3 key " + letter + " sleep 0.3");
    }
    void click(int x, int y) { key("mousemove " + at(x, y) + " click 1 sleep 0.3"); }
    // Opens the editor of the line's row `name` and picks the entry `downs`
    // (one or more) below the current one.
    void choose(const PropertyRows& rows, const std::string& name, int downs) {
        // The line's rows as the box shows them.
        static const std::vector<std::string> shown = {"Appearance", "Arrow", "Line Color", "Line Style",
                                                       "Line Width"};
        std::string keys = "key Down";
        for (int i = 1; i < downs; ++i)
            keys += " sleep 0.1 key Down";
        chooseInRow(rows.box, rows.middleOf(shown, name), keys);
    }
};

TEST_F(AuthorLines, DrawStyleNudgeUndoCopyPasteAndMake) {
    Process p;
    ASSERT_TRUE(startWithAFrame(p, main, canvas, newFrameShown))
        << p.err() << runCommand("xwininfo -tree -id " + main);

    // A line from (100, 100) to (300, 200), then selected.
    drawPalette("l");
    key("mousemove " + at(100, 100) + " mousedown 1 mousemove " + at(200, 150) + " mousemove " +
        at(300, 200) + " mouseup 1 sleep 0.3");
    drawPalette("s");
    click(200, 150);

    // The property box: the line from the object list, then Arrow "Both" and
    // Line Style "Dash".
    focus(main);
    key("key F10");
    const std::string boxId = propertyBoxBeside(main);
    ASSERT_FALSE(boxId.empty()) << p.err();
    const auto listed = listInPropertyBox(boxId, "Line 1", "key Escape sleep 0.3");
    ASSERT_TRUE(listed.has_value()) << runCommand("xdotool getwindowname " + boxId);
    const auto rows = measurePropertyRows(*listed);
    ASSERT_TRUE(rows.has_value());
    choose(*rows, "Arrow", 3);
    choose(*rows, "Line Style", 1);
    focus(boxId);
    key("key Escape sleep 0.3");

    // Three nudges, taken back at once.
    focus(main);
    click(200, 150);
    key("key Right Right Right sleep 0.3 key ctrl+z sleep 0.3");

    // A polyline: two clicks, then a double-click.
    drawPalette("p");
    click(400, 300);
    click(500, 360);
    key("mousemove " + at(600, 300) + " click --repeat 2 --delay 80 1 sleep 0.3");

    // The line copied and pasted twice.
    drawPalette("s");
    click(200, 150);
    key("key ctrl+Insert sleep 0.3 key shift+Insert sleep 0.3 key shift+Insert sleep 0.3");

    // A click on empty canvas (inside its visible part): nothing selected,
    // so the canvas shows what a player would.
    click(800, 400);
    const std::vector<unsigned long> before = pixelsOf(canvas);
    ASSERT_FALSE(before.empty());

    const std::string vlm = make(main);
    ASSERT_FALSE(vlm.empty()) << p.err();

    const std::vector<sAllObjects> objects = objectsOfFirstFrame(vlm);
    std::vector<const StoredShape*> lines;
    std::vector<const sPoly*> polylines;
    for (const sAllObjects& o : objects) {
        if (o.drawingObject == LINE)
            lines.push_back(std::get_if<StoredShape>(&o.payload));
        if (o.drawingObject == POLYLINE)
            polylines.push_back(std::get_if<sPoly>(&o.payload));
    }
    ASSERT_EQ(lines.size(), 3u) << p.err();
    struct Expected {
        const char* name;
        int offset;
    };
    const Expected expected[] = {{"Line 1", 0}, {"Line 2", 0}, {"Line 3", 5}};
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_NE(lines[i], nullptr);
        const StoredShape& s = *lines[i];
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(s.name, expected[i].name);
        EXPECT_EQ(s.arrow, 3);
        EXPECT_EQ(s.penStyle & 0xff, 1);
        const int d = expected[i].offset;
        EXPECT_EQ(s.x, 100 + d);
        EXPECT_EQ(s.y, 100 + d);
        EXPECT_EQ(s.x + s.width, 300 + d);
        EXPECT_EQ(s.y + s.height, 200 + d);
    }
    ASSERT_EQ(polylines.size(), 1u);
    ASSERT_NE(polylines[0], nullptr);
    std::vector<std::pair<int, int>> points;
    for (const NVPoint& pt : polylines[0]->points)
        points.emplace_back(pt.x, pt.y);
    EXPECT_EQ(points, (std::vector<std::pair<int, int>>{{400, 300}, {500, 360}, {600, 300}}));

    quit(p, main);

    // The made file shown again: the same pixels.
    Process again;
    ASSERT_FALSE(startOnCopy(again, vlm, main, canvas).empty()) << again.err();
    std::vector<unsigned long> after;
    waitUntil(
        [&] {
            after = pixelsOf(canvas);
            return after == before;
        },
        10000);
    EXPECT_TRUE(after == before) << "the frame shown again differs";
    again.signal(SIGTERM);
    again.wait(5000);
}

} // namespace
