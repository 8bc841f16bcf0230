// CHyperLink without a canvas: construction, paste and load, the rows and
// their application, the creation drag, geometry, records and the event mask.
#include "objects/interactive/CHyperLink.h"

#include "canvas/DrawTools.h"
#include "objects/interactive/CHyperLinkRecord.h"
#include "properties/EditPropertyBase.h"

#include <QMouseEvent>
#include <QSignalSpy>

#include "ObjectTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class HyperLinkLogic : public objecttest::OffscreenAppTest {
  protected:
    void SetUp() override { DrawTools::currentlySelectedObject = HYPERLINK; }
    void TearDown() override { DrawTools::currentlySelectedObject = SELECTION; }

    static QString row(CHyperLink& h, const char* name) {
        return h.getEditPropertyBase()->getPropValue(name);
    }
    // Writes the row as its editor does, applies it and lets the object
    // finish as after any edit.
    static void setRow(CHyperLink& h, const char* name, const QString& v, int id = 0) {
        h.getEditPropertyBase()->setProp_Value(name, v);
        if (id)
            h.getEditPropertyBase()->setProp_ValueId(name, id);
        h.applyProperty(QString::fromLatin1(name));
    }
    static void mouse(CHyperLink& h, QEvent::Type type, QPoint p, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), QPointF(p), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&h, &e);
    }
    static void drag(CHyperLink& h, QPoint from, QPoint to) {
        mouse(h, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        mouse(h, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        mouse(h, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    static sHyperLink payload(int l, int t, int r, int b) {
        sHyperLink p;
        p.name = "Stored";
        p.caption = "Go";
        p.x = l;
        p.y = t;
        p.right = r;
        p.bottom = b;
        p.font = NVFont{"utopia", 30, NVFont::WEIGHT_BOLD, true};
        return p;
    }
};

TEST_F(HyperLinkLogic, NewHyperlinkTakesItsNameAndStartingRows) {
    CHyperLink h(nullptr, nullptr, 3);
    EXPECT_EQ(HYPERLINK, h.drawingObject);
    EXPECT_EQ(HYPERLINK, h.record().drawingObject);
    EXPECT_EQ(1024, h.record().recordSize);
    EXPECT_STREQ("Hyperlink 3", h.getObjectName());
    EXPECT_EQ("Hyperlink 3", h.payload().caption);
    ASSERT_TRUE(h.payload().font.has_value());
    EXPECT_EQ("courier", h.payload().font->family);
    EXPECT_EQ(18, h.payload().font->pointSize);
    EXPECT_EQ(6u, h.payload().events.size());
    for (const sHyperLinkEvent& e : h.payload().events) {
        EXPECT_EQ(1, e.mousePointer);
        EXPECT_FALSE(e.dialog.has_value());
    }
    const struct {
        const char* row;
        const char* value;
    } rows[] = {{"Name", "Hyperlink 3"},
                {"Caption", "Hyperlink 3"},
                {"Button Style", "Push Button"},
                {"Align Text", "Centre"},
                {"Attribute", "3D"},
                {"Transparent", "No"},
                {"Fore Color", "#000000"},
                {"Back Color", "#c7c3c7"},
                {"Clicked Image", "[None]"},
                {"Mouse Over Image", "[None]"},
                {"Font", ""},
                {"Tooltip", ""},
                {"Width", ""}};
    for (const auto& r : rows)
        EXPECT_EQ(r.value, row(h, r.row)) << r.row;
    EXPECT_EQ(0, CHyperLinkRecord::eventMask(h.record()));
}

TEST_F(HyperLinkLogic, CreationDragsInEveryDirectionOrderTheEdges) {
    const struct {
        QPoint from, to;
        int left, top, right, bottom;
    } cases[] = {
        {{50, 80}, {100, 100}, 50, 80, 100, 100},
        {{100, 100}, {50, 80}, 50, 80, 100, 100},
        {{100, 80}, {50, 100}, 50, 80, 100, 100},
        {{50, 100}, {100, 80}, 50, 80, 100, 100},
    };
    for (const auto& c : cases) {
        CHyperLink h(nullptr, nullptr, 1);
        drag(h, c.from, c.to);
        EXPECT_EQ(c.left, h.payload().x);
        EXPECT_EQ(c.top, h.payload().y);
        EXPECT_EQ(c.right, h.payload().right);
        EXPECT_EQ(c.bottom, h.payload().bottom);
        EXPECT_EQ("50", row(h, "Left"));
        EXPECT_EQ("80", row(h, "Top"));
        EXPECT_EQ("50", row(h, "Width"));
        EXPECT_EQ("20", row(h, "Height"));
        EXPECT_TRUE(h.keepWithinVLI());
    }
}

TEST_F(HyperLinkLogic, DragReleasedInItsStartRowOrColumnIsNotKept) {
    for (QPoint to : {QPoint(50, 120), QPoint(90, 80), QPoint(50, 80)}) {
        CHyperLink h(nullptr, nullptr, 1);
        drag(h, QPoint(50, 80), to);
        EXPECT_FALSE(h.keepWithinVLI());
        EXPECT_FALSE(h.select(QPoint(50, 80)));
    }
}

TEST_F(HyperLinkLogic, SelectorPressAndReleaseWithoutMotionChangeNothing) {
    DrawTools::currentlySelectedObject = SELECTION;
    CHyperLink h(nullptr, payload(100, 100, 200, 150));
    QSignalSpy left(&h, &DrawTools::signalSetLeft);
    mouse(h, QEvent::MouseButtonPress, {140, 120}, Qt::LeftButton, Qt::LeftButton);
    mouse(h, QEvent::MouseButtonRelease, {140, 120}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(QRect(100, 100, 100, 50), h.getRegion().boundingRect());
    ASSERT_EQ(1, left.count());
    EXPECT_EQ(100, left.at(0).at(0).toInt());
}

TEST_F(HyperLinkLogic, RestoredGeometryKeepsTheSize) {
    CHyperLink h(nullptr, payload(10, 20, 110, 70));
    const QRect before = h.getRegion().boundingRect();
    h.restoreGeometry(before);
    EXPECT_EQ(before, h.getRegion().boundingRect());
    EXPECT_EQ(110, h.payload().right);
    EXPECT_EQ(70, h.payload().bottom);
}

TEST_F(HyperLinkLogic, FontPatternsFollowFamilySizeWeightAndSlant) {
    const struct {
        NVFont font;
        const char* pattern;
    } cases[] = {
        {{"courier", 18, 50, false}, "*courier-medium-r*18*"},
        {{"helvetica", 12, 75, true}, "*helvetica-bold-o*12*"},
        {{"utopia", 30, 50, true}, "*utopia-medium-i*24*"},
        {{"terminal", 9, 50, false}, "*terminal-medium-r*14*"},
        {{"times", 16, 50, false}, "*times-medium-r*18*"},
        {{"times", 17, 50, false}, "*times-medium-r*17*"},
        {{"times", 20, 50, false}, "*times-medium-r*24*"},
        {{"fixed", 10, 50, true}, "*fixed-medium-o*10*"},
        {{"Courier", 10, 50, true}, "*Courier-medium-i*10*"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.pattern, CHyperLink::getFontString(c.font)) << c.pattern;
}

TEST_F(HyperLinkLogic, EventMaskCountsGotoLengthAndBlock) {
    CHyperLink h(nullptr, nullptr, 1);
    EXPECT_EQ(0, h.getORResult(h.record()));
    h.payload().events[2].gotoFrame = -1; // "Next"
    EXPECT_EQ(4, h.getORResult(h.record()));
    h.payload().events[0].dialog = sMessageDialogBlock{};
    EXPECT_EQ(5, h.getORResult(h.record()));
    h.payload().events[5].dialogLength = 42;
    EXPECT_EQ(0x25, h.getORResult(h.record()));
}

TEST_F(HyperLinkLogic, RowsApplyAsTheirLimitsAllow) {
    const QString longCaption(300, QLatin1Char('c'));
    const struct {
        const char* row;
        QString value;
        const char* shownRow;
        QString shown;
    } cases[] = {
        {"Name", "  Next page  ", "Name", "Next page"},
        {"Name", QString(31, QLatin1Char('n')), "Name", QString(31, QLatin1Char('n'))},
        {"Name", "   ", "Name", "Hyperlink 4"},
        {"Caption", longCaption, "Caption", QString(254, QLatin1Char('c'))},
    };
    for (const auto& c : cases) {
        CHyperLink h(nullptr, nullptr, 4);
        setRow(h, c.row, c.value);
        h.repaintItem();
        EXPECT_EQ(c.shown, row(h, c.shownRow)) << c.row;
    }
    CHyperLink h(nullptr, nullptr, 4);
    setRow(h, "Name", QString(31, QLatin1Char('n')));
    h.repaintItem();
    EXPECT_STREQ("Hyperlink 4", h.getObjectName()) << "31 characters are refused";
    setRow(h, "Caption", longCaption);
    h.repaintItem();
    EXPECT_EQ(254u, h.payload().caption.size());
}

TEST_F(HyperLinkLogic, TooltipAndImageRows) {
    CHyperLink h(nullptr, nullptr, 1);
    QSignalSpy dropped(&h, &CHyperLink::signalDeleteIDFromUseArray);
    setRow(h, "Tooltip", "Go on");
    setRow(h, "Tooltip", QString(20, QLatin1Char('t')));
    setRow(h, "Tooltip", "");
    EXPECT_EQ("Go on", h.payload().toolTip);
    setRow(h, "Clicked Image", "sun.png", 0x06010001);
    EXPECT_EQ(0x06010001u, h.payload().clickedImageId);
    EXPECT_EQ(0, dropped.count());
    setRow(h, "Clicked Image", "[None]");
    EXPECT_EQ(0u, h.payload().clickedImageId);
    ASSERT_EQ(1, dropped.count());
    EXPECT_EQ(0x06010001u, dropped.at(0).at(0).toULongLong());
}

TEST_F(HyperLinkLogic, AlignAppliesCenterButNotCentre) {
    CHyperLink h(nullptr, nullptr, 1);
    setRow(h, "Align Text", "Left");
    h.repaintItem();
    EXPECT_EQ(0, h.payload().align);
    setRow(h, "Align Text", "Centre");
    h.repaintItem();
    EXPECT_EQ(0, h.payload().align);
    setRow(h, "Align Text", "Center");
    h.repaintItem();
    EXPECT_EQ(1, h.payload().align);
}

TEST_F(HyperLinkLogic, LeftRowKeepsTheWidthAndRepaintSignalsGeometry) {
    CHyperLink h(nullptr, payload(10, 20, 110, 70));
    QSignalSpy left(&h, &DrawTools::signalSetLeft);
    QSignalSpy width(&h, &DrawTools::signalSetWidth);
    QSignalSpy top(&h, &DrawTools::signalSetTop);
    QSignalSpy height(&h, &DrawTools::signalSetHeight);
    setRow(h, "Left", "40");
    h.repaintItem();
    EXPECT_EQ(40, h.payload().x);
    EXPECT_EQ(140, h.payload().right);
    ASSERT_EQ(1, left.count());
    EXPECT_EQ(40, left.at(0).at(0).toInt());
    EXPECT_EQ(100, width.at(0).at(0).toInt());
    EXPECT_EQ(1, top.count());
    EXPECT_EQ(1, height.count());
}

TEST_F(HyperLinkLogic, PastedHyperlinkOwnsItsBlocksAndReportsItsUses) {
    sHyperLink src = payload(10, 20, 110, 70);
    src.events[0].dialog = sMessageDialogBlock{"Oops", "Hi", 0, 0};
    src.events[2].validationVideoId = 7;
    src.clickedImageId = 9;
    NVAllObjects record;
    record.drawingObject = HYPERLINK;
    record.payload = src;
    CHyperLink pasted(nullptr, record, 5, QPoint(10, 10));
    EXPECT_STREQ("Hyperlink 5", pasted.getObjectName());
    EXPECT_EQ(QRect(20, 30, 100, 50), pasted.getRegion().boundingRect());
    EXPECT_EQ("Go", pasted.payload().caption);
    pasted.payload().events[0].dialog->caption1 = "Changed";
    EXPECT_EQ("Hi", record.get<sHyperLink>()->events[0].dialog->caption1);
}

TEST_F(HyperLinkLogic, PasteReportsEventUsesThenBothImages) {
    sHyperLink none;
    EXPECT_EQ(std::vector<uint32_t>({0, 0}), CHyperLink::pasteUses(none));
    sHyperLink some;
    some.clickedImageId = 31;
    some.events[2].validationVideoId = 47;
    some.events[4].audioId = 5; // pointer audio is not counted
    EXPECT_EQ(std::vector<uint32_t>({47, 31, 0}), CHyperLink::pasteUses(some));
}

TEST_F(HyperLinkLogic, ExportIsUnchangedByLaterEdits) {
    sHyperLink src = payload(10, 20, 110, 70);
    src.events[1].dialog = sMessageDialogBlock{"", "Hello", 0, 0};
    CHyperLink h(nullptr, src);
    NVAllObjects out;
    out.objectID = "J7";
    ASSERT_TRUE(h.getAllObjectStructure(&out));
    EXPECT_EQ("J7", out.objectID);
    h.payload().events[1].dialog->caption1 = "Bye";
    EXPECT_EQ("Hello", out.get<sHyperLink>()->events[1].dialog->caption1);
}

TEST_F(HyperLinkLogic, LoadKeepsSixEventsAndShowsTheAuthorsFont) {
    for (size_t count : {size_t(2), size_t(6), size_t(9)}) {
        sHyperLink p = payload(10, 20, 110, 70);
        p.events = std::vector<sHyperLinkEvent>(count);
        p.events[1].gotoFrame = -2;
        CHyperLink h(nullptr, p);
        ASSERT_EQ(6u, h.payload().events.size()) << count;
        EXPECT_EQ(-2, h.payload().events[1].gotoFrame);
        EXPECT_EQ("\"utopia\"30\"75\"Bold\"Italic", row(h, "Font"));
        EXPECT_STREQ("Stored", h.getObjectName());
    }
}

} // namespace
