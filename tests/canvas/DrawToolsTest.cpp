#include "canvas/DrawTools.h"
#include "media/InMemoryMediaLibrary.h"
#include "properties/EditPropertyBase.h"

#include "OffscreenQtTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class DrawToolsTest : public OffscreenQtTest {};

TEST_F(DrawToolsTest, UnspecialisedDefaults) {
    DrawTools t(nullptr, "tool");
    EXPECT_EQ(t.objectName(), "tool");
    EXPECT_TRUE(t.keepWithinVLI());
    EXPECT_TRUE(t.select(QPoint(3, 4)));
    EXPECT_EQ(t.getIndex(), 0);
    EXPECT_EQ(t.getObjectID(), 0);
    EXPECT_EQ(t.getORResult(NVAllObjects{}), 0);
    EXPECT_EQ(t.getFrameFillColor(5), 0);
    EXPECT_EQ(t.getObjectName(), nullptr);
    EXPECT_EQ(t.getObjectStructure(), nullptr);
    EXPECT_EQ(t.getFrameObjectStructure(), nullptr);
    EXPECT_TRUE(t.getRegion().isEmpty());
    EXPECT_TRUE(t.getArrayPoints().isEmpty());
    EXPECT_EQ(t.getPastingPosition(), QPoint(0, 0));
    EXPECT_FALSE(t.isInvalidDoubleClick());
    EXPECT_TRUE(t.getWrittenText().isEmpty());
    EXPECT_FALSE(t.hasEvents);
    EXPECT_EQ(t.drawingObject, SELECTION);

    NVAllObjects target;
    target.objectID = "L4";
    target.drawingObject = LINE;
    target.payload = sDrawLine{};
    EXPECT_TRUE(t.getAllObjectStructure(&target));
    EXPECT_EQ(target.objectID, "L4");
    EXPECT_EQ(target.drawingObject, LINE);
    EXPECT_NE(target.get<sDrawLine>(), nullptr);

    // The operations that do nothing must not fail either.
    unsigned long drawable = 0;
    t.draw();
    t.draw(nullptr, nullptr, drawable);
    t.select();
    t.select(nullptr, nullptr, drawable);
    t.updatePosition(1, 1);
    t.restoreGeometry(QRect(1, 2, 3, 4));
    int x = 1, y = 2, w = 3, h = 4;
    t.setGeometryEntrys(&x, &y, &w, &h);
    EXPECT_EQ(x + y + w + h, 10);
    short len = 7;
    t.GetFileData(nullptr, len);
    EXPECT_EQ(len, 7);
}

TEST_F(DrawToolsTest, EachObjectOwnsAStandardPropertyStore) {
    DrawTools a(nullptr, "a");
    DrawTools b(nullptr, "b");
    ASSERT_NE(a.getEditPropertyBase(), nullptr);
    EXPECT_NE(a.getEditPropertyBase(), b.getEditPropertyBase());
    EXPECT_EQ(a.getEditPropertyBase()->getEntryCount(), 0);
}

TEST_F(DrawToolsTest, TakesTheMediaLibraryAtConstruction) {
    ResourceUseTable uses;
    InMemoryMediaLibrary lib(uses);
    DrawTools before(nullptr, "before");
    DrawTools::setMediaLibrary(&lib);
    DrawTools after(nullptr, "after");
    EXPECT_EQ(before.getResourceEditor(), nullptr);
    EXPECT_EQ(after.getResourceEditor(), &lib);
    DrawTools::setMediaLibrary(nullptr);
}

TEST_F(DrawToolsTest, StaticsAndObjectIds) {
    EXPECT_EQ(DrawTools::currentlySelectedObject, VALIDATIONFIELD);
    EXPECT_EQ(DrawTools::get_no_frames(17, true), 17);
    DrawTools t(nullptr, "t");
    t.setObjectID("J123456789012");
    EXPECT_STREQ(t.getObjectIDText(), "J1234567890");
}

TEST(StrAllObjects, CopiesOwnTheirData) {
    StrAllObjects frame;
    NVAllObjects f;
    f.drawingObject = FRAMEOBJECT;
    f.objectID = FRAME_OBJECT_ID;
    f.payload = NVFrame{};
    frame.AllObjects.push_back(f);
    NVAllObjects link;
    link.drawingObject = HYPERLINK;
    sHyperLink h;
    h.caption = "Go";
    h.events[0].dialog = sMessageDialogBlock{"a", "b", 1, 2};
    link.payload = h;
    frame.AllObjects.push_back(link);

    StrAllObjects copy = frame;
    auto* c = copy.AllObjects[1].get<sHyperLink>();
    c->caption = "Changed";
    c->events[0].dialog->caption0 = "z";
    copy.AllObjects[0].get<NVFrame>()->events.clear();

    const auto* src = frame.AllObjects[1].get<sHyperLink>();
    EXPECT_EQ(src->caption, "Go");
    EXPECT_EQ(src->events[0].dialog->caption0, "a");
    EXPECT_EQ(frame.AllObjects[0].get<NVFrame>()->events.size(), 2u);
    EXPECT_EQ(src->events.size(), 6u);
}

} // namespace
