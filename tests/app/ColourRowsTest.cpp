// The colour rows of the objects built so far, edited through their row
// editors as the author does: "..." on the row, a colour chosen, and the
// object's stored record takes it.
#include "HolderInMainWindow.h"

#include "canvas/DrawTools.h"
#include "canvas/FrameLoader.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "objects/draw/XColorPixel.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyListView.h"
#include "properties/PropertyListViewItem.h"
#include "properties/editors/PropertyLviColorEdit.h"
#include "store/DrawingObjectType.h"

#include <QMouseEvent>
#include <QPushButton>

#include <functional>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

using mainwin::HolderInMainWindowTest;

namespace {

class ColourRows : public HolderInMainWindowTest {
  protected:
    void SetUp() override {
        HolderInMainWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(w->project().m_dwFrameCount, 1u);
        PropertyLviColorEdit::setColorChooser([this](const QColor&, QWidget*) { return m_next; });
    }
    void TearDown() override {
        PropertyLviColorEdit::setColorChooser({});
        HolderInMainWindowTest::TearDown();
    }
    void polyline(const std::vector<QPoint>& points) {
        holder->slot_select_draw_object(POLYLINE);
        for (size_t i = 0; i + 1 < points.size(); ++i) {
            press(points[i]);
            release(points[i]);
        }
        press(points.back());
        release(points.back());
        send(QEvent::MouseButtonDblClick, points.back(), Qt::LeftButton, Qt::LeftButton);
        release(points.back());
        holder->slot_select_draw_object(SELECTION);
    }
    // Lists the object, presses "..." on the row and takes the colour.
    void choose(DrawTools* object, const QString& row, const QColor& colour) {
        m_next = colour;
        EditPropertyBox* box = w->getView()->_get_editprop_box();
        box->getListView()->clear();
        box->refillList(object);
        const auto rows = box->getListView()->findItems(row, Qt::MatchExactly | Qt::MatchRecursive, 0);
        ASSERT_EQ(rows.size(), 1);
        auto* editor = dynamic_cast<PropertyLviColorEdit*>(
            static_cast<PropertyListViewItem*>(rows.first())->getColumnWidget(1));
        ASSERT_NE(editor, nullptr) << row.toStdString();
        editor->getButton()->click();
    }
    // The record the make writes for the object.
    sAllObjects storedRecord(size_t index) {
        holder->updateObjects();
        std::vector<sAllObjects> records;
        holder->getVectorRef(records, 0);
        return index < records.size() ? records[index] : sAllObjects{};
    }

    QColor m_next;
};

// 0x00BBGGRR, as records keep colours.
uint32_t colorRef(const QColor& c) {
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

TEST_F(ColourRows, EveryColourRowReachesTheStoredRecord) {
    drag(RECTANGLE, {100, 100}, {200, 160});
    // The file editor's text-field test asks the view for the holder's last made object.
    EXPECT_EQ(static_cast<PropertyBoxClient*>(w->getView())->currentObject(), holder->liveObjects().back());
    drag(LINE, {300, 100}, {400, 180});
    polyline({{500, 300}, {560, 340}, {620, 300}});
    ASSERT_EQ(holder->liveObjects().size(), 4u) << "frame object, rectangle, line, polyline";

    struct Case {
        size_t object;
        const char* row;
        QColor colour;
        std::function<uint32_t(const sAllObjects&)> stored;
    };
    const std::vector<Case> cases{
        {1, "Fill Color", QColor(10, 20, 30),
         [](const sAllObjects& r) { return r.get<StoredShape>() ? r.get<StoredShape>()->brushColor : 1u; }},
        {1, "Border Color", QColor(40, 50, 60),
         [](const sAllObjects& r) { return r.get<StoredShape>() ? r.get<StoredShape>()->penColor : 1u; }},
        {2, "Line Color", QColor(70, 80, 90),
         [](const sAllObjects& r) { return r.get<StoredShape>() ? r.get<StoredShape>()->penColor : 1u; }},
        {3, "Color", QColor(100, 110, 120),
         [](const sAllObjects& r) { return r.get<sPoly>() ? r.get<sPoly>()->color : 1u; }},
        {0, "Back Color", QColor(130, 140, 150),
         [](const sAllObjects& r) { return r.get<NVFrame>() ? r.get<NVFrame>()->backColor : 1u; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        DrawTools* object = holder->liveObjects().at(c.object);
        choose(object, c.row, c.colour);
        EXPECT_EQ(object->getEditPropertyBase()->getPropValue(c.row), c.colour.name());
        EXPECT_EQ(c.stored(storedRecord(c.object)), colorRef(c.colour));
    }
    // The appended frame is blank: its picture is refilled with the new back colour.
    const unsigned long mask = w->screenInfo().bytesPerPixel == 4 ? 0xFFFFFFul : 0xFFFFul;
    EXPECT_EQ(XGetPixel(w->frameLoader()->frameImage(), 5, 5) & mask,
              XColorPixel::pixelOf(w->screenInfo().display, QColor(130, 140, 150)) & mask);
}

} // namespace
