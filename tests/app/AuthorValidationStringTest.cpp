// An author gives a validation field its string and key strokes in the
// Validation String Dialog, by the mouse and the keyboard, and makes the
// output file: the file's field holds the string with the captured key words.
#include "AuthorSessionFixture.h"
#include "CanvasOnScreen.h"
#include "MadeObjects.h"
#include "canvas/records/sAllObjects.h"
#include "store/CValidationData.h"
#include "store/DrawingObjectType.h"

#include "PropertyBoxOnScreen.h"

#include <optional>

using namespace testsupport;

namespace {

TEST_F(AuthorSession, ValidationStringAndKeysCapturedInTheDialogAreMade) {
    Process p;
    std::string main;
    Rect canvas;
    ASSERT_TRUE(startWithAFrame(p, main, canvas)) << p.err() << runCommand("xwininfo -tree -id " + main);

    // Objects > Edit Palette > Validation Field, then a drag.
    focus(main);
    choosePaletteTool("v");
    dragOnCanvas(canvas, {100, 100}, {300, 160});

    // A right click on the field opens the property box; a pick in its
    // chooser lists the field's rows, and the Validation String row's "..."
    // opens the dialog. Under load
    // the box may still be settling, so the round is repeated until the
    // dialog shows.
    xdotool("mousemove " + canvasPoint(canvas, 200, 130) + " click 3 sleep 0.5");
    const std::string boxId = propertyBoxBeside(main);
    ASSERT_FALSE(boxId.empty()) << p.err();
    std::string dialogId;
    for (int attempt = 0; attempt < 3 && dialogId.empty(); ++attempt) {
        const auto place = listInPropertyBox(boxId, "Validation Field 1", "key Escape sleep 0.3");
        ASSERT_TRUE(place.has_value()) << runCommand("xdotool getwindowname " + boxId);
        ASSERT_EQ(place->w, 410);
        ASSERT_EQ(place->h, 470);
        dialogId = openValidationStringDialog(*place);
    }
    ASSERT_FALSE(dialogId.empty()) << p.err();
    ASSERT_TRUE(waitUntil([&] { return placeOf(dialogId).has_value(); }, 5000));
    const Rect dialog = *placeOf(dialogId);
    ASSERT_EQ(dialog.w, 490);
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
