#include "InteractiveTestHost.h"

#include "canvas/VLImageHolder.h"
#include "objects/interactive/CFrameObject.h"
#include "objects/interactive/CMouseClick.h"
#include "objects/interactive/HolderInteractiveHost.h"
#include "support/VLImageHolderTestAccess.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

namespace {

// The holder-backed host answers from the image holder's own state.
class HolderHost : public testsupport::XvfbTest {
  protected:
    // The main window's part, as the main window supplies it.
    struct Host : HolderInteractiveHost {
        using HolderInteractiveHost::HolderInteractiveHost;
        std::vector<SPlayBackFrameInfo> playback = std::vector<SPlayBackFrameInfo>(2);
        std::vector<SPlayBackFrameInfo>* playbackRecords() override { return &playback; }
        void changeFrameColor(const QColor&) override {}
        void setUserActionStatus(bool) override {}
        void soundAddedOrRemovedInFrame(bool) override {}
    };
};

TEST_F(HolderHost, SelectionRecordsAndScreenComeFromTheHolder) {
    interactivetest::app();
    interactivetest::SpyMediaLibrary media;
    DrawTools::setMediaLibrary(&media);
    VLImageHolder holder(nullptr, nullptr);
    Host host(&holder);
    InteractiveHost::setCurrent(&host);
    host.playback[1].vType = VALIDATION_MOUSE;
    host.playback[1].clickRect = SRect{10, 20, 60, 60};

    EXPECT_EQ(host.selectedItem(), nullptr);
    auto* frame = new CFrameObject(&holder, 1, 0);
    auto* target = new CMouseClick(&holder, host.playback[1].clickRect, 0, 1);
    internals(&holder).vObjectList = {frame, target};
    EXPECT_EQ(host.selectedItem(), frame);
    internals(&holder).vSelectedObjectIndex = {1};
    EXPECT_EQ(host.selectedItem(), target);
    internals(&holder).vSelectedObjectIndex = {0, 1};
    EXPECT_EQ(host.selectedItem(), frame);

    host.setCurrentObject(target);
    EXPECT_EQ(holder.currentObject(), target);
    host.setObjectSelection(true);
    EXPECT_TRUE(holder.checkObjectSelection());
    host.setHolderCursor(Qt::SizeAllCursor);
    EXPECT_EQ(holder.cursor().shape(), Qt::SizeAllCursor);
    EXPECT_EQ(host.screenSize(), QSize(1024, 768));

    internals(&holder).vAllObjects.resize(1);
    NVAllObjects rec;
    frame->getAllObjectStructure(&rec);
    internals(&holder).vAllObjects[0].AllObjects.push_back(rec);
    ASSERT_NE(host.frameRecords(0), nullptr);
    EXPECT_EQ(host.frameRecords(0)->AllObjects.size(), 1u);
    EXPECT_EQ(host.frameRecords(1), nullptr);
    EXPECT_EQ(frame->getFrameFillColor(0), int(NVColor{22, 34, 199}.toColorRef()));

    // Without a view there is no property box: nothing to fill or read.
    EXPECT_EQ(host.propertyPageIndex(), -1);
    EXPECT_FALSE(host.propertyBoxVisible());
    EXPECT_EQ(host.selectedPropertyRow(), QString());
    host.appendObjectName("x");

    internals(&holder).vObjectList.clear();
    delete target;
    delete frame;
    InteractiveHost::setCurrent(nullptr);
    DrawTools::setMediaLibrary(nullptr);
}

} // namespace

#include "canvas/VLCanvas.h"
#include "canvas/VelmoraView.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyListView.h"

#include <QComboBox>
#include <QTabWidget>
#include <QTreeWidgetItemIterator>

namespace {

QTreeWidgetItem* findRow(QTreeWidget* list, const QString& name) {
    for (QTreeWidgetItemIterator it(list); *it; ++it)
        if ((*it)->text(0) == name)
            return *it;
    return nullptr;
}

// The frame object's Events page through the real property box.
TEST_F(HolderHost, EventsPageOfTheFrameObjectInThePropertyBox) {
    interactivetest::app();
    interactivetest::SpyMediaLibrary media;
    DrawTools::setMediaLibrary(&media);
    {
        VelmoraView view(nullptr, nullptr);
        VLImageHolder* holder = view._get_vlCanvas()->get_image_holder();
        ASSERT_NE(holder, nullptr);
        Host host(holder);
        InteractiveHost::setCurrent(&host);
        EditPropertyBox* box = view._get_editprop_box();
        ASSERT_NE(box, nullptr);

        NVFrame f;
        f.m_Caption = "Frame 1";
        f.events = {NVFrameEvent{0, 0, 0}, NVFrameEvent{9, 1, 1}};
        auto* frame = new CFrameObject(holder, f, 0);
        internals(holder).vObjectList = {frame};
        box->show();
        box->tabWidget->setCurrentIndex(1);
        EXPECT_TRUE(host.propertyBoxVisible());
        EXPECT_EQ(host.propertyPageIndex(), 1);
        EXPECT_TRUE(host.isEventsPage(box->getEventListView()));

        frame->slotEnterEventItems(box->getEventListView());
        ASSERT_EQ(box->objectChooser->count(), 2);
        EXPECT_EQ(box->objectChooser->itemText(1), "On Frame Leaving");
        EXPECT_NE(findRow(box->getEventListView(), "Transition Effect"), nullptr);

        emit box->objectChooser->activated(1);
        EXPECT_EQ(frame->getFrameObjectStructure()->eventIndex, 1);
        EXPECT_EQ(frame->PropEventStr(1, "Transition Effect"), "Push left");

        // The edited event row is applied to the event shown.
        QTreeWidgetItem* speed = findRow(box->getEventListView(), "Transition Speed");
        ASSERT_NE(speed, nullptr);
        box->getEventListView()->setCurrentItem(speed);
        EXPECT_EQ(host.selectedEventRow(), "Transition Speed");
        frame->getEditPropertyBase()->setEventPropValue(1, "Transition Speed", "Fast");
        frame->setEventProperty(1);
        EXPECT_EQ(frame->getFrameObjectStructure()->events[1].transitionSpeed, 2);

        box->hide();
        internals(holder).vObjectList.clear();
        delete frame;
        InteractiveHost::setCurrent(nullptr);
    }
    DrawTools::setMediaLibrary(nullptr);
}

} // namespace
