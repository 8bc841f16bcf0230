// An author appends a frame, places a bitmap from the Edit Palette, chooses
// its image in the media library, aligns it to the bottom right without
// stretching and makes the output file; the file holds the bitmap and the
// image, and the program started on it shows the bitmap again.
#include "AuthorSessionFixture.h"
#include "CanvasOnScreen.h"
#include "MadeObjects.h"
#include "canvas/records/sAllObjects.h"
#include "media/ResourceStore.h"
#include "store/DrawingObjectType.h"
#include "store/VlmFile.h"
#include "store/VlmRecords.h"

#include <QString>

#include <algorithm>

#include "PropertyBoxOnScreen.h"
#include "ScreenPixels.h"
#include <csignal>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>

using namespace testsupport;

namespace {

std::string sourceFolder() {
    std::string here = __FILE__; // <root>/tests/app/AuthorBitmapTest.cpp
    return here.substr(0, here.rfind("/tests/app/"));
}

// A GIF of the given size with a palette of four colours: each code is
// written in nine bits, with a clear code often enough that the decoder's
// table never makes the codes wider.
std::string gifOf(int w, int h, const uint32_t (&colours)[4]) {
    std::string out = "GIF89a";
    auto le16 = [&out](int v) {
        out += char(v & 0xFF);
        out += char((v >> 8) & 0xFF);
    };
    le16(w);
    le16(h);
    out += char(0xF7); // a global table of 256 entries
    out += '\0';
    out += '\0';
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = i < 4 ? colours[i] : 0;
        out += char((c >> 16) & 0xFF);
        out += char((c >> 8) & 0xFF);
        out += char(c & 0xFF);
    }
    out += ',';
    le16(0);
    le16(0);
    le16(w);
    le16(h);
    out += '\0';
    out += char(8);
    std::string data;
    uint32_t bits = 0;
    int count = 0;
    auto code = [&](int c) {
        bits |= uint32_t(c) << count;
        count += 9;
        while (count >= 8) {
            data += char(bits & 0xFF);
            bits >>= 8;
            count -= 8;
        }
    };
    code(256);
    int sinceClear = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (++sinceClear > 250) {
                code(256);
                sinceClear = 1;
            }
            code((x / 5 + y / 5) % 4);
        }
    code(257);
    if (count > 0)
        data += char(bits & 0xFF);
    for (size_t i = 0; i < data.size(); i += 255) {
        const std::string block = data.substr(i, 255);
        out += char(block.size());
        out += block;
    }
    out += '\0';
    out += ';';
    return out;
}

// The author's hands: the keys and pointer through xdotool, on the main
// window and its canvas.
struct BitmapAuthor {
    Rect canvas;
    std::string main;

    void key(const std::string& keys) { xdotool(keys); }
    std::string at(int x, int y) const { return canvasPoint(canvas, x, y); }
    // Scrolls the view until the canvas's bottom-right corner shows.
    void scrollToBottomRight() {
        key("mousemove " + at(100, 300) +
            " click --repeat 30 --delay 20 5 click --repeat 30 --delay 20 7 sleep 0.5");
        canvas = *holderCanvasOf(main);
    }
    // The 50 x 50 pixels of a bitmap at the canvas's bottom right.
    std::vector<unsigned long> bitmapPixels() {
        const auto c = holderCanvasOf(main);
        if (!c)
            return {};
        return screenPixelsOf(Rect{c->x + 974, c->y + 718, 50, 50});
    }
    // The bitmap's rows as the box shows them, up to the Geometry group.
    static inline const std::vector<std::string> shown = {"Appearance", "Align", "Image File", "Stretch",
                                                          "Geometry"};
    // The pixels of the rows Align, Image File and Stretch, none of them
    // selected.
    std::vector<unsigned long> appearanceRows(const PropertyRows& rows) {
        key("mousemove " + windowPoint(rows.box, 60, rows.middleOf(shown, "Geometry")) +
            " click 1 sleep 0.6");
        const int top = rows.middleOf(shown, "Align") - rows.height / 2;
        return screenPixelsOf(Rect{rows.box.x + 45, rows.box.y + top, rows.box.w - 90, 3 * rows.height});
    }
};

constexpr uint32_t kColours[4] = {0xC02020, 0x20A040, 0x2040C0, 0xE0C040};

TEST_F(AuthorSession, BitmapPlacedWithAnImageAlignedMadeAndOpenedAgain) {
    // The working folder holds what the program loads by name; the media
    // library holds one GIF.
    for (const char* name : {"bitmap1.xpm", "RESOURCES.RSE"})
        writeFile(root.file(name), readFile(sourceFolder() + "/images/" + name));
    mkdir((home() + "/zedaro").c_str(), 0755);
    const std::string imagePath = home() + "/logo.gif";
    writeFile(imagePath, gifOf(40, 20, kColours));
    uint32_t imageId = 0;
    {
        ResourceStore store(home() + "/zedaro/VELMORA.RSE", root.file("RESOURCES.RSE"));
        ASSERT_TRUE(store.ensureStore());
        imageId = store.importFile(QString::fromStdString(imagePath));
        ASSERT_NE(0u, imageId);
    }

    BitmapAuthor author;
    std::string& main = author.main;
    Rect& canvas = author.canvas;
    auto key = [&author](const std::string& keys) { author.key(keys); };
    auto at = [&author](int x, int y) { return author.at(x, y); };
    Process p;
    ASSERT_TRUE(startWithAFrame(p, main, canvas, newFrameShown))
        << p.err() << runCommand("xwininfo -tree -id " + main);

    // Objects > Edit Palette > Bitmap, a drag, and a right click on it.
    focus(main);
    choosePaletteTool("b");
    dragOnCanvas(canvas, {200, 150}, {400, 300});
    key("mousemove " + at(300, 220) + " click 3 sleep 0.6");
    const std::string boxId = propertyBoxBeside(main);
    ASSERT_FALSE(boxId.empty()) << p.err();
    const auto listed = listInPropertyBox(boxId, "Bitmap Object 1", "key Escape sleep 0.3");
    ASSERT_TRUE(listed.has_value()) << runCommand("xdotool getwindowname " + boxId);
    const auto rows = measurePropertyRows(*listed);
    ASSERT_TRUE(rows.has_value());
    const Rect box = rows->box;
    // Image File: "..." opens the media library.
    const int imageRow = rows->middleOf(BitmapAuthor::shown, "Image File");
    key("mousemove " + windowPoint(box, 180, imageRow) + " click 1 sleep 0.6");
    key("mousemove " + windowPoint(box, rowButtonX(box), imageRow) + " click 1 sleep 1");
    std::string library;
    ASSERT_TRUE(waitUntil(
        [&] {
            return !(library =
                         trim(runCommand("xdotool search --name '^Resource Editor$' 2>/dev/null | head -n1")))
                        .empty();
        },
        10000))
        << p.err();
    const auto libraryPlace = placeOf(library);
    ASSERT_TRUE(libraryPlace.has_value());
    const Rect lib = *libraryPlace;
    // The image under the opened Images category, which shows selected:
    // a click on the category, Down, then Ok.
    RowBand images;
    ASSERT_TRUE(waitUntil(
        [&] {
            return (images = selectedRowIn(Rect{lib.x + 100, lib.y, 1, lib.h})).found();
        },
        5000));
    key("mousemove " + windowPoint(lib, 100, images.middle()) + " click 1 sleep 0.5 key Down sleep 0.5");
    key("mousemove " + windowPoint(lib, 315, 173) + " click 1 sleep 0.8");
    // Align "Bottom Right", three below "[None]"; Stretch "No", one above "Yes".
    chooseInRow(box, rows->middleOf(BitmapAuthor::shown, "Align"), "key Down Down Down");
    chooseInRow(box, rows->middleOf(BitmapAuthor::shown, "Stretch"), "key Up");
    const std::vector<unsigned long> rowsBefore = author.appearanceRows(*rows);
    author.scrollToBottomRight();
    const std::vector<unsigned long> before = author.bitmapPixels();
    // The GIF scaled to 50 x 50: every pixel one of its colours.
    ASSERT_EQ(2500u, before.size());
    for (unsigned long pixel : before)
        ASSERT_TRUE(std::find(std::begin(kColours), std::end(kColours), pixel) != std::end(kColours))
            << std::hex << pixel;

    const std::string vlm = make(main);
    ASSERT_FALSE(vlm.empty()) << p.err();

    const std::vector<sAllObjects> objects = objectsOfFirstFrame(vlm);
    const StoredBitmap* bitmap = firstOfKind<StoredBitmap>(objects, BITMAP);
    ASSERT_NE(nullptr, bitmap) << p.err();
    EXPECT_EQ("Bitmap Object 1", bitmap->control.name);
    EXPECT_EQ(imageId, bitmap->imageId);
    EXPECT_EQ(3, bitmap->align);
    EXPECT_EQ(0, bitmap->stretch);
    EXPECT_EQ(974, bitmap->control.x);
    EXPECT_EQ(718, bitmap->control.y);
    EXPECT_EQ(50, bitmap->control.width);
    EXPECT_EQ(50, bitmap->control.height);
    {
        VlmFile made;
        ASSERT_EQ(0, made.openToRead(vlm));
        bool listed = false;
        for (uint32_t i = 0; i < made.ScapResourceCount(); ++i) {
            VlmResourceRecord r;
            ASSERT_EQ(0, made.ScapResourceRead(r, i));
            listed = listed || (r.resourceId() == imageId && r.fullPath() == imagePath);
        }
        EXPECT_TRUE(listed) << "the image is in the resource table";
    }

    quit(p, main);

    // The made file opened again: the same pixels and the same rows.
    Process again;
    ASSERT_FALSE(startOnCopy(again, vlm, main, canvas).empty()) << again.err();
    // Scrolled as far as it goes, again while the frame is still being shown.
    const bool same = waitUntil(
        [&] {
            focus(main);
            author.scrollToBottomRight();
            return author.bitmapPixels() == before;
        },
        20000);
    EXPECT_TRUE(same) << "the bitmap shows as made\n" << again.err();

    // F10 on the canvas shows the property box.
    focus(main);
    key("mousemove " + at(700, 500) + " click 1 sleep 0.3 key F10");
    const std::string shownBox = propertyBoxBeside(main);
    ASSERT_FALSE(shownBox.empty()) << again.err();
    // The chooser lists the frame, then the bitmap.
    const auto listedAgain =
        listInPropertyBox(shownBox, "Bitmap Object 1", "key Down sleep 0.2 key Return sleep 0.3");
    ASSERT_TRUE(listedAgain.has_value()) << runCommand("xdotool getwindowname " + shownBox);
    const auto rowsAgain = measurePropertyRows(*listedAgain);
    ASSERT_TRUE(rowsAgain.has_value());
    EXPECT_EQ(rowsBefore, author.appearanceRows(*rowsAgain))
        << "Align, Image File and Stretch read as before the make";
    again.signal(SIGTERM);
    again.wait(5000);
}

} // namespace
