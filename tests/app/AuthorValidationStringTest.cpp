// An author gives a validation field its string and key strokes in the
// Validation String Dialog, by the mouse and the keyboard, and makes the
// output file: the file's field holds the string with the captured key words.
#include "AuthorSessionFixture.h"
#include "CanvasOnScreen.h"
#include "MadeObjects.h"
#include "canvas/records/sAllObjects.h"
#include "store/CValidationData.h"
#include "store/DrawingObjectType.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <optional>

using namespace testsupport;

namespace {

// The middle of the selected row of the property box's list, in box
// coordinates: the name cell of the current row is drawn in the selection
// colour. -1 when none is.
int selectedRowY(const Rect& box) {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return -1;
    int first = -1, last = -1;
    if (XImage* image = XGetImage(d, DefaultRootWindow(d), box.x + 60, box.y, 1, box.h, AllPlanes, ZPixmap)) {
        for (int y = 0; y < box.h; ++y) {
            const unsigned long p = XGetPixel(image, 0, y);
            const int r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF), b = int(p & 0xFF);
            if (b > 150 && r < 100 && g < 180) {
                if (first < 0)
                    first = y;
                last = y;
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(d);
    return first < 0 ? -1 : (first + last) / 2;
}

TEST_F(AuthorSession, ValidationStringAndKeysCapturedInTheDialogAreMade) {
    Process p;
    std::string main;
    Rect canvas;
    ASSERT_TRUE(startWithAFrame(p, main, canvas)) << p.err() << runCommand("xwininfo -tree -id " + main);

    // Objects > Edit Palette > Validation Field, then a drag.
    focus(main);
    xdotool("keydown alt key o keyup alt sleep 0.3 key e sleep 0.3 key v sleep 0.3");
    dragOnCanvas(canvas, {100, 100}, {300, 160});

    // A right click on the field opens the property box; a pick in its
    // chooser lists the field's rows. The Validation String row is the last
    // but one: a click in the list, End, Up, and the row's "...". Under load
    // the box may still be settling, so the round is repeated until the
    // dialog shows.
    xdotool("mousemove " + canvasPoint(canvas, 200, 130) + " click 3 sleep 0.5");
    const std::string boxId = propertyBoxBeside(main);
    ASSERT_FALSE(boxId.empty()) << p.err();
    std::string dialogId;
    for (int attempt = 0; attempt < 3 && dialogId.empty(); ++attempt) {
        const auto place = listInPropertyBox(boxId, "Validation Field 1", "key Escape sleep 0.3");
        ASSERT_TRUE(place.has_value()) << runCommand("xdotool getwindowname " + boxId);
        const Rect box = *place;
        ASSERT_EQ(box.w, 325);
        ASSERT_EQ(box.h, 470);
        xdotool("mousemove " + windowPoint(box, 80, 80) +
                " click 1 sleep 0.4 key End sleep 0.3 key Up sleep 0.5");
        const int rowY = selectedRowY(box);
        if (rowY < 0)
            continue;
        xdotool("mousemove " + windowPoint(box, box.w - 31, rowY) + " click 1 sleep 0.8");
        waitUntil(
            [&] {
                return !(dialogId = trim(runCommand(
                             "xdotool search --name '^Validation String Dialog$' 2>/dev/null | head -n1")))
                            .empty();
            },
            3000);
    }
    ASSERT_FALSE(dialogId.empty()) << p.err();
    ASSERT_TRUE(waitUntil([&] { return placeOf(dialogId).has_value(); }, 5000));
    const Rect dialog = *placeOf(dialogId);
    ASSERT_EQ(dialog.w, 470);
    ASSERT_EQ(dialog.h, 370);
    const std::string add = windowPoint(dialog, 430, 55);

    // "yes" and Return, then the string clicked.
    xdotool("type --delay 60 yes");
    xdotool("key Return sleep 0.4");
    xdotool("mousemove " + windowPoint(dialog, 60, 82) + " click 1 sleep 0.4");
    // Ctrl+A (Ctrl held over the A), Shift+0 and Home, each followed by Add.
    xdotool("keydown ctrl key a keyup ctrl sleep 0.3 mousemove " + add + " click 1 sleep 0.3");
    xdotool("keydown shift key 0 keyup shift sleep 0.3 mousemove " + add + " click 1 sleep 0.3");
    xdotool("key Home sleep 0.3 mousemove " + add + " click 1 sleep 0.3");
    // Close.
    xdotool("mousemove " + windowPoint(dialog, 430, 265) + " click 1 sleep 0.8");
    ASSERT_TRUE(waitUntil([&] { return !placeOf(dialogId).has_value(); }, 5000)) << p.err();

    const std::string vlm = make(main);
    ASSERT_FALSE(vlm.empty()) << p.err();

    const StoredValidationField* field = nullptr;
    const std::vector<sAllObjects> objects = objectsOfFirstFrame(vlm);
    for (const sAllObjects& o : objects)
        if (o.drawingObject == VALIDATIONFIELD)
            field = o.get<StoredValidationField>();
    ASSERT_NE(field, nullptr) << p.err();
    SMultiString strings;
    ASSERT_TRUE(CValidationData().GetValidationDataArray(field->validationData.data(),
                                                         field->validationData.size(), strings));
    ASSERT_EQ(strings.list.size(), 1u);
    EXPECT_EQ(strings.list[0].text, "yes");
    std::vector<uint32_t> words;
    for (const sValidationKey& k : strings.list[0].keys)
        words.push_back(k.uiValidationKey);
    EXPECT_EQ(words, (std::vector<uint32_t>{0x00020041, 0x00010030, 0x00080024}));

    quit(p, main);
}

} // namespace
