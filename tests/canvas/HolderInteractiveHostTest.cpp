// The holder's half of the interactive objects' host.
#include "objects/interactive/HolderInteractiveHost.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyListView.h"

#include "app/HolderObjectKinds.h"
#include "store/DatRecords.h"
#include <QComboBox>
#include <QTabWidget>

// Xlib after the toolkit headers.
#include "HolderFixture.h"

namespace {

using canvastest::HolderTest;

class TestHost : public HolderInteractiveHost {
  public:
    using HolderInteractiveHost::HolderInteractiveHost;
    std::vector<SPlayBackFrameInfo>* playbackRecords() override { return &playback; }
    void changeFrameColor(const QColor&) override {}
    void setUserActionStatus(bool) override {}
    void soundAddedOrRemovedInFrame(bool) override {}
    std::vector<SPlayBackFrameInfo> playback;
};

TEST_F(HolderTest, InteractiveHostAnswersFromTheHolder) {
    installHolderObjectKinds();
    TestHost host(holder);
    InteractiveHost::setCurrent(&host);
    host.playback.assign(2, SPlayBackFrameInfo{});
    host.playback[0].setName("Start");
    holder->get_no_frames(2);
    EXPECT_EQ(-1, host.currentFrame());
    EXPECT_NE(nullptr, host.frameRecords(0));
    EXPECT_EQ(nullptr, host.frameRecords(1)) << "a frame without records";
    EXPECT_EQ(nullptr, host.frameRecords(7));
    holder->slot_get_current_frame(0);
    EXPECT_EQ(0, host.currentFrame());
    ASSERT_EQ(1u, holder->liveObjects().size());
    EXPECT_EQ(holder->liveObjects()[0], host.selectedItem());
    EXPECT_STREQ("Start", holder->liveObjects()[0]->getObjectName())
        << "names come from the playback records";
    EXPECT_EQ(QSize(1024, 768), host.screenSize());
    EXPECT_FALSE(host.propertyBoxVisible());
    EXPECT_EQ(0, host.propertyPageIndex());
    EXPECT_TRUE(host.isPropertiesPage(view->_get_editprop_box()->getListView()));
    EXPECT_TRUE(host.isEventsPage(view->_get_editprop_box()->getEventListView()));
    host.appendObjectName("Extra");
    EXPECT_EQ(2, view->_get_editprop_box()->objectChooser->count());
    int chosen = -1;
    QObject receiver;
    host.setEventChooser({"a", "b"}, &receiver, [&chosen](int i) { chosen = i; });
    emit view->_get_editprop_box()->objectChooser->activated(1);
    EXPECT_EQ(1, chosen);
    InteractiveHost::setCurrent(nullptr);
}

} // namespace
