// The frame strip's commands: context menu states, frame clipboard, delete
// marks, user-action switching, sound frames and the rebuilds.
#include "StripAppTest.h"

#include "canvas/strip/NavigationBarBase.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>

#include <memory>
#include <ostream>
#include <vector>

namespace {

using Events = std::vector<std::string>;

int cellX(int cell) {
    return FRAME_WIDTH * (cell - 1) + 4;
}

std::unique_ptr<NavigationBarBase> makeStrip(int frames, const std::vector<int>& uaList) {
    auto strip = std::make_unique<NavigationBarBase>(nullptr, "base", 0, 0, false);
    strip->reset_frame_details(frames, int(uaList.size()), uaList.data());
    return strip;
}

// Selects first..last with current frame first, as the ALT keys do.
void selectRange(NavigationBarBase& strip, int first, int last) {
    strip.set_current_frame(first);
    for (int f = first; f < last; ++f)
        strip.slot_set_selected_frames_to_right();
    for (int f = first; f > last; --f)
        strip.slot_set_selected_frames_to_left();
}

std::vector<int> uaFramesOf(const NavigationBarBase& strip) {
    std::vector<int> out;
    for (const UFrameDetails& cell : strip.uFrameDetails())
        out.push_back(cell.frame);
    return out;
}
std::vector<int> numbersOf(const NavigationBarBase& strip) {
    std::vector<int> out;
    for (const FrameDetails& fd : strip.frameDetails())
        out.push_back(fd.userAction ? fd.userActionNumber : 0);
    return out;
}

class FrameStripCommands : public StripAppTest {};

// ------------------------------------------------------------- menu states

struct MenuCase {
    const char* label;
    std::vector<int> uaList;
    std::vector<int> deletedFrames; // 0-based
    int current;
    std::pair<int, int> range; // selected with the ALT keys from its start; {0,0} none
    bool copyFirst;
    bool frameBand;
    // Cut, Copy, Paste, Delete, Undelete, User Action enabled; User Action checked
    std::vector<bool> enabled;
    bool checked;
};
void PrintTo(const MenuCase& c, std::ostream* os) {
    *os << c.label;
}

class FrameStripMenu : public StripAppTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(FrameStripMenu, ItemStates) {
    const MenuCase& c = GetParam();
    auto strip = makeStrip(10, c.uaList);
    for (int f : c.deletedFrames)
        strip->mark_frame_delete(f);
    if (c.copyFirst)
        strip->copy_frames();
    if (c.range.first)
        selectRange(*strip, c.range.first, c.range.second);
    else
        strip->set_current_frame(c.current);
    strip->prepareMenu(c.frameBand);
    std::vector<bool> enabled;
    for (int id = 0; id < 6; ++id)
        enabled.push_back(strip->menuAction(id)->isEnabled());
    EXPECT_EQ(enabled, c.enabled);
    EXPECT_EQ(strip->menuAction(NavigationBarBase::MenuUserAction)->isChecked(), c.checked);
}

INSTANTIATE_TEST_SUITE_P(
    FrameStripCommands, FrameStripMenu,
    ::testing::Values(
        MenuCase{"PlainFrame", {}, {}, 3, {0, 0}, false, true, {1, 1, 0, 1, 0, 0}, false},
        MenuCase{"AfterCopy", {}, {}, 3, {0, 0}, true, true, {1, 1, 1, 1, 0, 0}, false},
        MenuCase{"UserActionFrame", {2}, {}, 3, {0, 0}, false, true, {1, 1, 0, 1, 0, 1}, true},
        MenuCase{"DeletedFrameNoRange", {}, {2}, 3, {0, 0}, false, true, {0, 0, 0, 0, 1, 0}, false},
        MenuCase{"DeletedFrameRangeWithUnmarked", {}, {2}, 3, {3, 5}, false, true, {1, 1, 0, 0, 1, 0}, false},
        MenuCase{"DeletedUserActionCell", {2}, {2}, 3, {0, 0}, false, false, {0, 0, 0, 0, 1, 1}, true},
        MenuCase{"UserActionCellNotDeletedKeepsStates",
                 {2},
                 {},
                 3,
                 {0, 0},
                 false,
                 false,
                 {1, 1, 0, 1, 0, 0},
                 false}),
    [](const ::testing::TestParamInfo<MenuCase>& info) { return std::string(info.param.label); });

TEST_F(FrameStripCommands, RightPressOnADeletedFrameRemembersIt) {
    auto strip = makeStrip(10, {});
    strip->mark_frame_delete(5);
    strip->set_current_frame(6);
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(cellX(6), 8), QPointF(0, 0), Qt::RightButton,
                  Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(strip.get(), &e);
    EXPECT_TRUE(strip->contextMenu()->isVisible());
    strip->contextMenu()->hide();
    EXPECT_EQ(strip->rightClickedFrame(), 6);
    EXPECT_TRUE(strip->menuAction(NavigationBarBase::MenuUndeleteFrame)->isEnabled());
}

TEST_F(FrameStripCommands, MenuItemsRunTheirCommands) {
    auto strip = makeStrip(10, {});
    StripSignalLog log(strip.get());
    strip->set_current_frame(4);
    log.take();
    strip->menuAction(NavigationBarBase::MenuCopy)->trigger();
    EXPECT_TRUE(strip->clipboardFull());
    strip->prepareMenu(true);
    strip->menuAction(NavigationBarBase::MenuPaste)->trigger();
    strip->menuAction(NavigationBarBase::MenuDeleteFrame)->trigger();
    EXPECT_EQ(log.take(), (Events{"paste(3,3,3)", "delete(3,3)"}));
    EXPECT_TRUE(strip->frameDetails()[3].deleted);
    strip->slot_manage_menu(NavigationBarBase::MenuUndeleteFrame);
    EXPECT_EQ(log.take(), (Events{"delete(3,3)", "undelete(3)"}));
    EXPECT_FALSE(strip->frameDetails()[3].deleted);
}

// ---------------------------------------------------------- frame clipboard

TEST_F(FrameStripCommands, CopyThenPasteEmitsThePositionAndRange) {
    auto strip = makeStrip(20, {});
    StripSignalLog log(strip.get());
    selectRange(*strip, 3, 5);
    strip->slotCopyFrames();
    strip->set_current_frame(8);
    log.take();
    strip->slotPasteFrames();
    EXPECT_EQ(log.take(), (Events{"paste(7,2,4)"}));
    EXPECT_FALSE(strip->clipboardFull());
    EXPECT_EQ(NavigationBarBase::temp_end_frame, 0);

    // The main window copies three frames and rebuilds.
    strip->resetFrameDetailsOnPasteFrame(23, 0, nullptr, false);
    EXPECT_EQ(strip->get_current_frame(), 10);
    EXPECT_EQ(strip->get_total_no_frames(), 23);

    // The accelerator repeats the paste.
    log.take();
    strip->slotPasteFrames();
    EXPECT_EQ(log.take(), (Events{"paste(9,2,4)"}));
}

TEST_F(FrameStripCommands, CutThenPasteMovesTheRange) {
    auto strip = makeStrip(20, {});
    StripSignalLog log(strip.get());
    selectRange(*strip, 5, 3); // a backward range is ordered
    strip->slotCutFrames();
    EXPECT_EQ(strip->clipboardFirstFrame(), 3);
    EXPECT_EQ(strip->clipboardLastFrame(), 5);
    strip->set_current_frame(8);
    log.take();
    strip->slotPasteFrames();
    EXPECT_EQ(log.take(), (Events{"cutpaste(7,2,4)"}));
    strip->resetFrameDetailsOnPasteFrame(20, 0, nullptr, false);
    EXPECT_EQ(strip->get_current_frame(), 7);
}

TEST_F(FrameStripCommands, CopyOfTheCurrentFrameOnly) {
    auto strip = makeStrip(20, {});
    StripSignalLog log(strip.get());
    strip->set_current_frame(6);
    strip->copy_frames();
    strip->set_current_frame(2);
    log.take();
    strip->paste_frames();
    EXPECT_EQ(log.take(), (Events{"paste(1,5,5)"}));
    strip->resetFrameDetailsOnPasteFrame(21, 0, nullptr, false);
    EXPECT_EQ(strip->get_current_frame(), 2);
}

TEST_F(FrameStripCommands, NothingToPaste) {
    auto strip = makeStrip(20, {});
    StripSignalLog log(strip.get());
    log.take();
    strip->paste_frames();
    EXPECT_TRUE(log.take().empty());

    NavigationBarBase blank(nullptr, "base", 0, 0, false);
    StripSignalLog blankLog(&blank);
    blank.copy_frames();
    blank.paste_frames();
    EXPECT_TRUE(blankLog.take().empty());
    EXPECT_FALSE(blank.clipboardFull());
}

TEST_F(FrameStripCommands, StaleClipboardNeverReachesTheFrameTable) {
    auto strip = makeStrip(20, {});
    StripSignalLog log(strip.get());
    selectRange(*strip, 15, 18);
    strip->copy_frames();

    // A purge leaves 10 frames: frames 15..18 are gone.
    strip->reset_frame_details(0, 0, nullptr);
    strip->resetFrameDetailsOnPasteFrame(10, 0, nullptr, true);
    log.take();
    strip->paste_frames();
    EXPECT_TRUE(log.take().empty());

    // Emptying the strip empties the clipboard too, so even a clip that fits
    // the next project is not pasted into it.
    selectRange(*strip, 2, 3);
    strip->cut_frames();
    strip->reset_frame_details(0, 0, nullptr);
    strip->reset_frame_details(30, 0, nullptr);
    log.take();
    strip->paste_frames();
    EXPECT_TRUE(log.take().empty());
    EXPECT_EQ(strip->clipboardFirstFrame(), 0);

    // A paste rebuild that shrinks the project without emptying the strip.
    auto other = makeStrip(20, {});
    StripSignalLog otherLog(other.get());
    selectRange(*other, 12, 14);
    other->copy_frames();
    other->resetFrameDetailsOnPasteFrame(12, 0, nullptr, true);
    otherLog.take();
    other->paste_frames();
    EXPECT_TRUE(otherLog.take().empty());
}

// ------------------------------------------------------------ delete marks

TEST_F(FrameStripCommands, DeleteToggleOfTheCurrentFrame) {
    auto strip = makeStrip(6, {2});
    FakeStripHost host(6);
    host.attach(strip.get());
    StripSignalLog log(strip.get());
    strip->set_current_frame(3);
    log.take();

    strip->mark_frame_delete();
    EXPECT_EQ(log.take(), (Events{"delete(2,2)"}));
    EXPECT_EQ(host.calls, (Events{"disableObjects", "purge(on)"}));
    EXPECT_TRUE(host.frames[2].deleted);
    EXPECT_TRUE(strip->frameDetails()[2].deleted);
    EXPECT_TRUE(strip->uFrameDetails()[0].deleted);

    host.calls.clear();
    strip->mark_frame_delete();
    EXPECT_EQ(log.take(), (Events{"delete(2,2)", "undelete(2)"}));
    EXPECT_EQ(host.calls, (Events{"enableObjects", "purge(off)"}));
    EXPECT_FALSE(strip->frameDetails()[2].deleted);
    EXPECT_FALSE(strip->uFrameDetails()[0].deleted);
}

TEST_F(FrameStripCommands, DeleteToggleOfARangeReadsThePlaybackFlags) {
    auto strip = makeStrip(8, {2, 6});
    FakeStripHost host(8);
    host.attach(strip.get());
    host.frames[6].deleted = true; // marked earlier, outside the range
    strip->mark_frame_delete(6);
    StripSignalLog log(strip.get());
    selectRange(*strip, 4, 2); // frames 4..2 backwards, user-action cell 1 follows
    log.take();

    strip->mark_frame_delete();
    EXPECT_EQ(log.take(), (Events{"delete(1,3)"}));
    EXPECT_EQ(host.calls, (Events{"disableObjects", "purge(on)"}));
    std::vector<bool> marks;
    for (const FrameDetails& fd : strip->frameDetails())
        marks.push_back(fd.deleted);
    EXPECT_EQ(marks, (std::vector<bool>{false, true, true, true, false, false, true, false}));
    EXPECT_TRUE(strip->uFrameDetails()[0].deleted);
    EXPECT_TRUE(strip->uFrameDetails()[1].deleted);
    EXPECT_EQ(strip->frameRangeStart(), 2) << "the range is ordered";

    // Toggling the same range back unmarks it; frame 4 is current again.
    host.calls.clear();
    strip->mark_frame_delete();
    EXPECT_EQ(log.take(), (Events{"delete(1,3)", "undelete(3)"}));
    EXPECT_EQ(host.calls, (Events{"disableObjects", "enableObjects", "purge(on)"}));
    EXPECT_FALSE(strip->uFrameDetails()[0].deleted);
}

TEST_F(FrameStripCommands, PurgeSlotLeavesADeletedCurrentFrame) {
    auto strip = makeStrip(6, {});
    strip->set_current_frame(4);
    strip->mark_frame_delete();
    strip->slot_purge_frames();
    EXPECT_EQ(strip->get_current_frame(), 3);
    strip->slot_purge_frames();
    EXPECT_EQ(strip->get_current_frame(), 3);
}

// ------------------------------------------------------------ user actions

TEST_F(FrameStripCommands, UserActionToggleGoesThroughTheRecords) {
    auto strip = makeStrip(6, {1, 3});
    FakeStripHost host(6);
    host.attach(strip.get());
    host.frames[3].hasRecord = false;
    strip->slot_select_all_frames();

    strip->changeUserActionStatus();
    EXPECT_EQ(host.calls, (Events{"addFrameStructureToList(3)"}));
    for (int f : {1, 3}) {
        EXPECT_EQ(host.frames[f].userActionByte, 1) << f;
        EXPECT_EQ(host.frames[f].actionDisabled, 1) << f;
        EXPECT_FALSE(strip->frameDetails()[f].actionEnabled) << f;
    }
    EXPECT_EQ(host.frames[0].userActionByte, 0) << "no user-action frame";
    EXPECT_FALSE(strip->uFrameDetails()[1].actionEnabled);

    const QImage img = strip->grab().toImage();
    EXPECT_EQ(QColor(img.pixel(cellX(2), 8)), QColor(Qt::cyan)) << "a disabled action shows over the range";
    EXPECT_EQ(QColor(img.pixel(cellX(3), 8)), QColor(Qt::blue));
    strip->set_current_frame(2);
    const QImage after = strip->grab().toImage();
    EXPECT_EQ(QColor(after.pixel(cellX(4), 8)), QColor(Qt::cyan));
    EXPECT_EQ(QColor(after.pixel(cellX(2), 40)), QColor(Qt::cyan));

    // Without a range only the current frame changes.
    strip->changeUserActionStatus();
    EXPECT_EQ(host.frames[1].userActionByte, 0);
    EXPECT_EQ(host.frames[3].userActionByte, 1);
    EXPECT_TRUE(strip->frameDetails()[1].actionEnabled);
}

TEST_F(FrameStripCommands, UserActionSetToAGivenState) {
    auto strip = makeStrip(6, {1, 3, 4});
    FakeStripHost host(6);
    host.attach(strip.get());
    host.frames[4].userActionByte = 1;
    strip->setUserActionStatus(4, 1, false);
    EXPECT_EQ(host.frames[1].userActionByte, 1);
    EXPECT_EQ(host.frames[3].userActionByte, 1);
    EXPECT_EQ(host.frames[4].userActionByte, 1) << "already disabled stays disabled";
    EXPECT_EQ(host.frames[2].actionDisabled, 0) << "no user-action frame";
    strip->setUserActionStatus(3, 3, true);
    EXPECT_EQ(host.frames[3].userActionByte, 0);
    EXPECT_EQ(host.frames[3].actionDisabled, 0);
    EXPECT_TRUE(strip->frameDetails()[3].actionEnabled);
    EXPECT_TRUE(strip->uFrameDetails()[1].actionEnabled);
    EXPECT_FALSE(strip->frameDetails()[1].actionEnabled);
}

TEST_F(FrameStripCommands, FileOpenTakesTheActionStateFromTheRecords) {
    NavigationBarBase strip(nullptr, "base", 0, 0, false);
    FakeStripHost host(6);
    host.attach(&strip);
    host.frames[3].userActionByte = 1;
    host.frames[1].hasRecord = false;
    host.frames[1].userActionByte = 1; // no record: enabled
    const int list[] = {1, 3};
    strip.resetFrameDetailsOnFileOpen(6, 2, list);
    EXPECT_TRUE(strip.isRecorded());
    EXPECT_EQ(strip.get_current_frame(), 1);
    EXPECT_TRUE(strip.frameDetails()[1].actionEnabled);
    EXPECT_FALSE(strip.frameDetails()[3].actionEnabled);
    EXPECT_FALSE(strip.uFrameDetails()[1].actionEnabled);
    const QImage img = strip.grab().toImage();
    EXPECT_EQ(QColor(img.pixel(cellX(4), 8)), QColor(Qt::cyan));
    EXPECT_EQ(QColor(img.pixel(cellX(2), 40)), QColor(Qt::cyan));
    EXPECT_EQ(QColor(img.pixel(cellX(2), 8)), QColor(Qt::darkGray));
}

// ------------------------------------------------------------- sound frames

TEST_F(FrameStripCommands, SoundRemovalRenumbersLaterUserActionFrames) {
    auto strip = makeStrip(10, {1, 4, 9}); // frames 2, 5, 10
    FakeStripHost host(10);
    host.attach(strip.get());
    host.frames[1].recordedAction = true;
    host.frames[9].recordedAction = true;
    StripSignalLog log(strip.get());
    strip->set_current_frame(5);
    log.take();

    EXPECT_TRUE(strip->soundAddedOrRemovedInFrame(false));
    EXPECT_EQ(log.take(), (Events{"ua(0)"}));
    EXPECT_EQ(uaFramesOf(*strip), (std::vector<int>{2, 10}));
    EXPECT_EQ(numbersOf(*strip), (std::vector<int>{0, 1, 0, 0, 0, 0, 0, 0, 0, 2}));
    EXPECT_EQ(strip->get_current_user_action_frame(), 1);

    // A frame that also has a recorded action stays a user-action frame.
    strip->set_current_frame(10);
    log.take();
    strip->slotSoundDeletedFromFrame(9);
    EXPECT_EQ(log.take(), (Events{"ua(1)"}));
    EXPECT_EQ(uaFramesOf(*strip), (std::vector<int>{2, 10}));

    // So does a frame that still has audio.
    host.frames[1].recordedAction = false;
    host.frames[1].audio = true;
    strip->set_current_frame(2);
    strip->soundAddedOrRemovedInFrame(false);
    EXPECT_EQ(uaFramesOf(*strip), (std::vector<int>{2, 10}));
}

TEST_F(FrameStripCommands, SoundAddedMakesAUserActionFrame) {
    auto strip = makeStrip(10, {1, 4, 9});
    StripSignalLog log(strip.get());
    strip->set_current_frame(7);
    log.take();
    EXPECT_TRUE(strip->soundAddedOrRemovedInFrame(true));
    EXPECT_EQ(log.take(), (Events{"ua(2)"}));
    EXPECT_EQ(uaFramesOf(*strip), (std::vector<int>{2, 5, 7, 10}));
    EXPECT_EQ(numbersOf(*strip), (std::vector<int>{0, 1, 0, 0, 2, 0, 3, 0, 0, 4}));
    EXPECT_EQ(strip->get_current_user_action_frame(), 3);
    EXPECT_TRUE(strip->frameDetails()[6].actionEnabled);

    // Before every user-action frame.
    strip->set_current_frame(1);
    strip->soundAddedOrRemovedInFrame(true);
    EXPECT_EQ(uaFramesOf(*strip), (std::vector<int>{1, 2, 5, 7, 10}));
    EXPECT_EQ(strip->get_current_user_action_frame(), 1);

    // Already a user-action frame: unchanged.
    strip->soundAddedOrRemovedInFrame(true);
    EXPECT_EQ(strip->get_total_no_user_action_frames(), 5);
}

// ---------------------------------------------------------------- rebuilds

TEST_F(FrameStripCommands, AppendToABlankStrip) {
    NavigationBarBase strip(nullptr, "base", 0, 0, false);
    StripSignalLog log(&strip);
    strip.resetFrameDetailsOnAppendFrame();
    EXPECT_EQ(log.take(), (Events{"frame(0)", "ua(-1)", "status(ok)", "state(ButtonsOnlyFrame)"}));
    EXPECT_EQ(strip.get_total_no_frames(), 1);
    EXPECT_EQ(strip.get_current_frame(), 1);
    strip.set_recorded(true);
    strip.resetFrameDetailsOnAppendFrame();
    EXPECT_EQ(log.take(),
              (Events{"recorded", "frame(1)", "ua(-1)", "status(ok)", "state(ButtonsLastFrame)"}));
    EXPECT_EQ(strip.get_total_no_frames(), 2);
}

TEST_F(FrameStripCommands, InsertMovesLaterFramesUp) {
    auto strip = makeStrip(5, {0, 3}); // frames 1 and 4
    strip->mark_frame_delete(4);
    strip->set_current_frame(2);
    strip->resetFrameDetailsOnInsertFrame();
    EXPECT_EQ(strip->get_total_no_frames(), 6);
    EXPECT_EQ(strip->get_current_frame(), 2);
    EXPECT_EQ(uaFramesOf(*strip), (std::vector<int>{1, 5}));
    EXPECT_EQ(numbersOf(*strip), (std::vector<int>{1, 0, 0, 0, 2, 0}));
    EXPECT_FALSE(strip->frameDetails()[1].userAction);
    EXPECT_TRUE(strip->frameDetails()[5].deleted) << "the delete mark moves with its frame";
    strip->set_current_frame(5);
    EXPECT_EQ(strip->get_current_user_action_frame(), 2);
}

TEST_F(FrameStripCommands, PurgeRebuildGoesToTheFirstFrame) {
    auto strip = makeStrip(12, {2, 9});
    strip->set_current_frame(11);
    strip->reset_frame_details(0, 0, nullptr);
    const int list[] = {2};
    strip->resetFrameDetailsOnPasteFrame(7, 1, list, true);
    EXPECT_EQ(strip->get_current_frame(), 1);
    EXPECT_EQ(strip->get_total_no_frames(), 7);
    EXPECT_EQ(strip->get_current_user_action_frame(), 1);
    EXPECT_EQ(strip->width(), 900);

    // Nothing left at all: a blank strip, not a stale current frame.
    strip->resetFrameDetailsOnPasteFrame(0, 0, nullptr, true);
    EXPECT_EQ(strip->get_current_frame(), 0);
    EXPECT_EQ(strip->get_total_no_frames(), 0);
}

TEST_F(FrameStripCommands, PasteRebuildClearsDeleteMarksAndRanges) {
    auto strip = makeStrip(10, {});
    strip->mark_frame_delete(2);
    selectRange(*strip, 4, 6);
    strip->copy_frames();
    strip->set_current_frame(9);
    strip->resetFrameDetailsOnPasteFrame(13, 0, nullptr, false);
    EXPECT_FALSE(strip->frameDetails()[2].deleted) << "the caller marks deleted frames again";
    EXPECT_EQ(strip->frameRangeStart(), 0);
    EXPECT_EQ(strip->get_current_frame(), 11);
    EXPECT_EQ(strip->width(), 900);
    EXPECT_EQ(NavigationBarBase::temp_end_frame, 0);
}

} // namespace
