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

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <csignal>
#include <cstdio>
#include <optional>
#include <sstream>
#include <zlib.h>

using namespace testsupport;

namespace {

// The colour of a screen pixel as 0xRRGGBB, through a connection of our own.
unsigned long screenPixel(int x, int y) {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return ~0ul;
    unsigned long pixel = ~0ul;
    if (XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap)) {
        pixel = XGetPixel(image, 0, 0) & 0xFFFFFFul;
        XDestroyImage(image);
    }
    XCloseDisplay(d);
    return pixel;
}

constexpr unsigned long kBackColor = 0xC7C3C7; // (199, 195, 199)

TEST_F(AuthorSession, HyperlinkPlacedMadeAndOpenedAgain) {
    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), options()));
    std::string main = mainWindow();
    ASSERT_FALSE(main.empty()) << p.err();
    focus(main);
    runCommand("xdotool key F5 sleep 1");
    auto c = canvasOf(main);
    ASSERT_TRUE(c.has_value()) << runCommand("xwininfo -tree -id " + main);
    const Rect canvas = *c;
    auto at = [&canvas](int x, int y) {
        return std::to_string(canvas.x + x) + " " + std::to_string(canvas.y + y);
    };

    // Objects > Edit Palette > Hyperlink, then a drag from (100, 100) to (300, 160).
    focus(main);
    runCommand("xdotool keydown alt key o keyup alt sleep 0.3 key e sleep 0.3 key h sleep 0.3");
    runCommand("xdotool mousemove " + at(100, 100) + " mousedown 1 mousemove " + at(200, 130) +
               " mousemove " + at(300, 160) + " mouseup 1 sleep 0.5");
    ASSERT_TRUE(waitUntil([&] { return screenPixel(canvas.x + 120, canvas.y + 150) == kBackColor; }, 5000))
        << std::hex << screenPixel(canvas.x + 120, canvas.y + 150);

    focus(main);
    runCommand("xdotool key ctrl+m");
    const std::string vlm = home() + "/zedaro/Untitled.vlm";
    ASSERT_TRUE(waitUntil([&] { return fileExists(vlm); }, 15000)) << p.err();
    runCommand("sleep 0.5");

    const StoredHyperLink* link = nullptr;
    const std::vector<sAllObjects> objects = objectsOfFirstFrame(vlm);
    for (const sAllObjects& o : objects)
        if (o.drawingObject == HYPERLINK)
            link = std::get_if<StoredHyperLink>(&o.payload);
    ASSERT_NE(nullptr, link) << p.err();
    EXPECT_EQ("Hyperlink 1", link->control.name);
    EXPECT_EQ(100, link->control.x);
    EXPECT_EQ(100, link->control.y);
    EXPECT_EQ(200, link->control.width);
    EXPECT_EQ(60, link->control.height);
    EXPECT_EQ(6u, link->events.size());
    EXPECT_EQ(0, link->eventMask);

    focus(main);
    runCommand("xdotool key ctrl+q");
    p.wait(10000);
    if (p.running()) {
        p.signal(SIGTERM);
        p.wait(5000);
    }

    const std::string copy = root.file("show.vlm");
    writeFile(copy, readFile(vlm));
    Process again;
    ASSERT_TRUE(again.start(velmoraBinary(), options({copy})));
    main = mainWindow();
    ASSERT_FALSE(main.empty()) << again.err();
    ASSERT_TRUE(waitUntil([&] { return canvasOf(main).has_value(); }, 10000));
    const Rect shown = *canvasOf(main);
    EXPECT_TRUE(waitUntil([&] { return screenPixel(shown.x + 120, shown.y + 150) == kBackColor; }, 10000))
        << std::hex << screenPixel(shown.x + 120, shown.y + 150);
    again.signal(SIGTERM);
    again.wait(5000);
}

} // namespace
