// The frame strip: cells and ruler as pixels, signals of a frame change,
// button states, presses at the band edges, drags and the ALT growth.
#include "StripAppTest.h"

#include "canvas/strip/FrameDetails.h"
#include "canvas/strip/NavigationBarBase.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>

#include <memory>
#include <ostream>
#include <vector>

namespace {

using Events = std::vector<std::string>;

int cellX(int cell) {
    return FRAME_WIDTH * (cell - 1) + 4;
}
constexpr int FRAME_Y = 8;
constexpr int UA_Y = 40;

void sendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, modifiers);
    QCoreApplication::sendEvent(w, &e);
}
void press(QWidget* w, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    sendMouse(w, QEvent::MouseButtonPress, p, button, button);
}
void dragTo(QWidget* w, QPoint p, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    sendMouse(w, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton, modifiers);
}

std::unique_ptr<NavigationBarBase> makeStrip(int frames, const std::vector<int>& uaList) {
    auto strip = std::make_unique<NavigationBarBase>(nullptr, "base", 0, 0, false);
    strip->reset_frame_details(frames, int(uaList.size()), uaList.data());
    return strip;
}

std::pair<int, int> frameRange(const NavigationBarBase& s) {
    return {s.frameRangeStart(), s.frameRangeEnd()};
}
std::pair<int, int> uaRange(const NavigationBarBase& s) {
    return {s.userActionRangeStart(), s.userActionRangeEnd()};
}

class FrameStrip : public StripAppTest {};

TEST_F(FrameStrip, MinFramesFollowsTheScreenWidth) {
    EXPECT_EQ(minFramesForScreenWidth(1024), 100);
    EXPECT_EQ(minFramesForScreenWidth(800), 80);
    EXPECT_EQ(minFramesForScreenWidth(1280), 120);
    EXPECT_EQ(minFramesForScreenWidth(1099), 100);
    EXPECT_EQ(minFramesForScreenWidth(0), 0);
    {
        testsupport::XvfbServer narrow(testsupport::ScreenSpec{800, 600, 24, {}});
        ASSERT_TRUE(narrow.running());
        resetMinFrames();
        EXPECT_EQ(MIN_FRAMES(), 80);
    }
    setMinFramesFromScreenWidth(1024);
    EXPECT_EQ(MIN_FRAMES(), 100);
}

TEST_F(FrameStrip, WidthFollowsTheFrameCount) {
    NavigationBarBase blank(nullptr, "base", 0, 0, false);
    EXPECT_EQ(blank.width(), 909);
    EXPECT_EQ(blank.height(), 48);
    EXPECT_EQ(blank.get_total_no_frames(), 0);
    auto five = makeStrip(5, {});
    EXPECT_EQ(five->width(), 900);
    auto many = makeStrip(150, {});
    EXPECT_EQ(many->width(), 1359);
    // A resize from outside is undone.
    many->show();
    many->resize(300, 20);
    EXPECT_EQ(many->size(), QSize(1359, 48));
}

TEST_F(FrameStrip, FiveFramesPaintTheirCellsAndTheRuler) {
    auto strip = makeStrip(5, {1, 3}); // frames 2 and 4 hold user actions
    const QImage img = strip->grab().toImage();
    ASSERT_EQ(img.width(), 900);
    auto at = [&](int x, int y) { return QColor(img.pixel(x, y)); };

    EXPECT_EQ(at(cellX(1), FRAME_Y), QColor(Qt::green)) << "current frame";
    for (int cell = 2; cell <= 5; ++cell)
        EXPECT_EQ(at(cellX(cell), FRAME_Y), QColor(Qt::darkGray)) << cell;
    EXPECT_EQ(at(cellX(6), FRAME_Y), QColor(Qt::red)) << "end cell";
    for (int cell = 7; cell <= 100; ++cell)
        EXPECT_EQ(at(cellX(cell), FRAME_Y), QColor(Qt::white)) << cell;

    // Frame 1 is no user-action frame: the next user-action cell shows blue.
    EXPECT_EQ(at(cellX(1), UA_Y), QColor(Qt::blue));
    EXPECT_EQ(at(cellX(2), UA_Y), QColor(Qt::darkGray));
    EXPECT_EQ(at(cellX(3), UA_Y), QColor(Qt::red));
    EXPECT_EQ(at(cellX(4), UA_Y), QColor(Qt::white));

    // Grid lines, ruler dots and a number under every tenth cell.
    EXPECT_EQ(at(9, FRAME_Y), QColor(Qt::black));
    EXPECT_EQ(at(9, UA_Y), QColor(Qt::black));
    EXPECT_EQ(at(5, 23), QColor(Qt::black));
    EXPECT_EQ(at(4, 23), QColor(at(4, 23)));
    for (int n : {10, 50, 100}) {
        bool ink = false;
        for (int x = 9 * n - 9; x < std::min(9 * n + 9, img.width()); ++x)
            for (int y = 17; y <= 28; ++y)
                ink |= at(x, y) == QColor(Qt::black) && y != 23;
        EXPECT_TRUE(ink) << "number " << n;
    }
    bool inkUnderCell15 = false;
    for (int x = 9 * 14 + 1; x < 9 * 15 - 1; ++x)
        for (int y = 17; y <= 28; ++y)
            inkUnderCell15 |= at(x, y) == QColor(Qt::black) && y != 23;
    EXPECT_FALSE(inkUnderCell15);

    // Selecting frame 2 turns its user-action cell green.
    strip->set_current_frame(2);
    const QImage second = strip->grab().toImage();
    EXPECT_EQ(QColor(second.pixel(cellX(2), FRAME_Y)), QColor(Qt::green));
    EXPECT_EQ(QColor(second.pixel(cellX(1), UA_Y)), QColor(Qt::green));
    EXPECT_EQ(QColor(second.pixel(cellX(1), FRAME_Y)), QColor(Qt::darkGray));
}

TEST_F(FrameStrip, BlankStripIsWhite) {
    NavigationBarBase blank(nullptr, "base", 0, 0, false);
    const QImage img = blank.grab().toImage();
    for (int cell : {1, 2, 50, 100}) {
        EXPECT_EQ(QColor(img.pixel(cellX(cell), FRAME_Y)), QColor(Qt::white)) << cell;
        EXPECT_EQ(QColor(img.pixel(cellX(cell), UA_Y)), QColor(Qt::white)) << cell;
    }
}

TEST_F(FrameStrip, RangesAndDeleteMarksArePainted) {
    auto strip = makeStrip(10, {});
    strip->set_current_frame(4);
    strip->slot_set_selected_frames_to_right();
    strip->slot_set_selected_frames_to_right(); // 4..6
    strip->mark_frame_delete(8);                // frame 9
    const QImage img = strip->grab().toImage();
    EXPECT_EQ(QColor(img.pixel(cellX(4), FRAME_Y)), QColor(Qt::green)) << "the current frame over the range";
    for (int cell : {5, 6})
        EXPECT_EQ(QColor(img.pixel(cellX(cell), FRAME_Y)), QColor(Qt::blue)) << cell;
    EXPECT_EQ(QColor(img.pixel(cellX(7), FRAME_Y)), QColor(Qt::darkGray));
    int red = 0;
    for (int x = 9 * 8 + 1; x < 9 * 9; ++x)
        for (int y = 0; y < 15; ++y)
            red += QColor(img.pixel(x, y)) == QColor(Qt::red);
    EXPECT_GE(red, 14) << "a cross over frame 9";
}

TEST_F(FrameStrip, FrameChangeSignalsInOrder) {
    auto strip = makeStrip(6, {1, 4}); // user-action frames 2 and 5
    StripSignalLog log(strip.get());

    strip->set_current_frame(5);
    EXPECT_EQ(log.take(), (Events{"frame(4)", "ua(1)", "state(ButtonsLastUserAction)", "status(ok)",
                                  "state(ButtonsMiddleFrame)"}));
    EXPECT_EQ(strip->get_current_user_action_frame(), 2);

    strip->set_current_frame(3);
    EXPECT_EQ(log.take(), (Events{"frame(2)", "ua(-1)", "status(ok)", "state(ButtonsMiddleFrame)"}));
    EXPECT_EQ(strip->get_current_user_action_frame(), 2) << "the next user-action frame";

    press(strip.get(), {cellX(1), UA_Y});
    EXPECT_EQ(log.take(), (Events{"ua(0)", "frame(1)", "ua(0)", "state(ButtonsFirstUserAction)", "status(ok)",
                                  "state(ButtonsMiddleFrame)", "state(ButtonsFirstUserAction)"}));
    EXPECT_EQ(strip->get_current_frame(), 2);

    press(strip.get(), {cellX(6), FRAME_Y});
    EXPECT_EQ(log.take(), (Events{"frame(5)", "ua(-1)", "status(ok)", "state(ButtonsLastFrame)"}));
    EXPECT_EQ(strip->get_current_user_action_frame(), 1) << "no user-action frame follows: unchanged";

    // Pressing the current frame again changes nothing.
    press(strip.get(), {cellX(6), FRAME_Y});
    EXPECT_TRUE(log.take().empty());

    strip->mark_frame_delete(0);
    strip->set_current_frame(1);
    EXPECT_EQ(log.take(), (Events{"frame(0)", "ua(-1)", "status(deleted)", "state(ButtonsFirstFrame)"}));

    strip->set_current_frame(0);
    strip->set_current_frame(7);
    EXPECT_TRUE(log.take().empty()) << "frames outside 1..6 are ignored";
}

struct ButtonStateCase {
    const char* label;
    int frames;
    std::vector<int> uaList;
    bool userActionCall;
    int number;
    std::vector<int> states; // NavigationBarBase::ButtonState codes
};
void PrintTo(const ButtonStateCase& c, std::ostream* os) {
    *os << c.label;
}

class FrameStripButtonStates : public StripAppTest, public ::testing::WithParamInterface<ButtonStateCase> {};

TEST_P(FrameStripButtonStates, AsTheTableSays) {
    const ButtonStateCase& c = GetParam();
    auto strip = makeStrip(c.frames, c.uaList);
    std::vector<int> states;
    QObject::connect(strip.get(), &NavigationBarBase::signal_change_button_state, strip.get(),
                     [&](int s) { states.push_back(s); });
    if (c.userActionCall)
        strip->set_current_user_action_frame(c.number);
    else
        strip->set_current_frame(c.number);
    EXPECT_EQ(states, c.states);
}

INSTANTIATE_TEST_SUITE_P(
    FrameStrip, FrameStripButtonStates,
    ::testing::Values(
        ButtonStateCase{"FirstOfSeveral", 20, {}, false, 1, {NavigationBarBase::ButtonsFirstFrame}},
        ButtonStateCase{"OnlyFrame", 1, {}, false, 1, {NavigationBarBase::ButtonsOnlyFrame}},
        ButtonStateCase{"Second", 20, {}, false, 2, {NavigationBarBase::ButtonsMiddleFrame}},
        ButtonStateCase{"LastButOne", 20, {}, false, 19, {NavigationBarBase::ButtonsMiddleFrame}},
        ButtonStateCase{"Last", 20, {}, false, 20, {NavigationBarBase::ButtonsLastFrame}},
        ButtonStateCase{"OnlyUserActionFrame",
                        20,
                        {6},
                        true,
                        1,
                        {NavigationBarBase::ButtonsOnlyUserAction, NavigationBarBase::ButtonsMiddleFrame,
                         NavigationBarBase::ButtonsOnlyUserAction}},
        ButtonStateCase{
            "FirstUserActionOfThree", 20, {0, 6, 9}, true, 1, {NavigationBarBase::ButtonsFirstUserAction}},
        ButtonStateCase{"MiddleUserAction",
                        20,
                        {0, 6, 9},
                        true,
                        2,
                        {NavigationBarBase::ButtonsMiddleUserAction, NavigationBarBase::ButtonsMiddleFrame,
                         NavigationBarBase::ButtonsMiddleUserAction}},
        ButtonStateCase{"LastUserAction",
                        20,
                        {0, 6, 19},
                        true,
                        3,
                        {NavigationBarBase::ButtonsLastUserAction, NavigationBarBase::ButtonsLastFrame,
                         NavigationBarBase::ButtonsLastUserAction}},
        ButtonStateCase{"FrameThatIsLastUserAction",
                        20,
                        {0, 6, 9},
                        false,
                        10,
                        {NavigationBarBase::ButtonsLastUserAction, NavigationBarBase::ButtonsMiddleFrame}}),
    [](const ::testing::TestParamInfo<ButtonStateCase>& info) { return std::string(info.param.label); });

TEST_F(FrameStrip, OpenAndMakeButtonStates) {
    auto strip = makeStrip(3, {});
    std::vector<int> states;
    QObject::connect(strip.get(), &NavigationBarBase::signal_change_button_state, strip.get(),
                     [&](int s) { states.push_back(s); });
    strip->disableButtonsOnMakeAndOpen();
    strip->enableButtonsAfterMakeAndOpen();
    strip->set_current_frame(3);
    strip->enableButtonsAfterMakeAndOpen();
    EXPECT_EQ(states,
              (std::vector<int>{NavigationBarBase::ButtonsOnlyFrame, NavigationBarBase::ButtonsFirstFrame,
                                NavigationBarBase::ButtonsLastFrame, NavigationBarBase::ButtonsLastFrame}));
    states.clear();
    NavigationBarBase blank(nullptr, "base", 0, 0, false);
    QObject::connect(&blank, &NavigationBarBase::signal_change_button_state, &blank,
                     [&](int s) { states.push_back(s); });
    blank.enableButtonsAfterMakeAndOpen();
    EXPECT_TRUE(states.empty());
}

TEST_F(FrameStrip, PressesAtTheBandEdgesAreIgnored) {
    auto strip = makeStrip(5, {0, 2});
    StripSignalLog log(strip.get());
    press(strip.get(), {9 * 5 - 1, FRAME_Y}); // last pixel column of the last cell
    press(strip.get(), {cellX(3), 15});       // last row of the frame band
    press(strip.get(), {cellX(3), 20});       // ruler band
    press(strip.get(), {9 * 2 - 1, UA_Y});    // last column of the last user-action cell
    press(strip.get(), {cellX(1), 47});
    EXPECT_TRUE(log.take().empty());
    EXPECT_EQ(strip->get_current_frame(), 1);

    press(strip.get(), {9 * 5 - 2, 14});
    EXPECT_EQ(strip->get_current_frame(), 5);

    NavigationBarBase blank(nullptr, "base", 0, 0, false);
    StripSignalLog blankLog(&blank);
    press(&blank, {cellX(3), FRAME_Y});
    EXPECT_TRUE(blankLog.take().empty());
    EXPECT_EQ(blank.get_current_frame(), 0);
}

struct DragCase {
    const char* label;
    std::vector<int> uaList;
    int pressCell;
    std::vector<int> path;
    std::pair<int, int> frames;
    std::pair<int, int> userActions;
};
void PrintTo(const DragCase& c, std::ostream* os) {
    *os << c.label;
}

class FrameStripDrag : public StripAppTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(FrameStripDrag, RangeFollowsThePointer) {
    const DragCase& c = GetParam();
    auto strip = makeStrip(10, c.uaList);
    press(strip.get(), {cellX(c.pressCell), FRAME_Y});
    EXPECT_EQ(strip->get_current_frame(), c.pressCell);
    for (int cell : c.path)
        dragTo(strip.get(), {cellX(cell), FRAME_Y});
    EXPECT_EQ(frameRange(*strip), c.frames);
    EXPECT_EQ(uaRange(*strip), c.userActions);
    EXPECT_EQ(NavigationBarBase::temp_end_frame, c.frames.second);
}

INSTANTIATE_TEST_SUITE_P(
    FrameStrip, FrameStripDrag,
    ::testing::Values(DragCase{"BackThroughCell4", {}, 3, {7, 4, 3}, {3, 4}, {0, 0}},
                      DragCase{"JumpStraightBack", {}, 3, {7, 3}, {3, 7}, {0, 0}},
                      DragCase{"Forward", {1, 4, 7}, 3, {9}, {3, 9}, {2, 3}},
                      DragCase{"ForwardOverOne", {1, 4, 7}, 3, {6}, {3, 6}, {2, 2}},
                      DragCase{"Backward", {1, 4, 7}, 9, {1}, {9, 1}, {3, 1}},
                      DragCase{"NoUserActionKeepsTheRange", {1, 4, 7}, 3, {9, 4}, {3, 4}, {2, 3}},
                      DragCase{"PressOnUserActionFrame", {1, 4, 7}, 2, {3}, {2, 3}, {1, 1}}),
    [](const ::testing::TestParamInfo<DragCase>& info) { return std::string(info.param.label); });

TEST_F(FrameStrip, DragNeedsTheLeftButtonAloneAndTheBand) {
    auto strip = makeStrip(10, {});
    press(strip.get(), {cellX(3), FRAME_Y});
    dragTo(strip.get(), {cellX(6), FRAME_Y}, Qt::ShiftModifier);
    dragTo(strip.get(), {cellX(6), 20});
    dragTo(strip.get(), {cellX(6), UA_Y});
    EXPECT_EQ(frameRange(*strip), std::make_pair(0, 0));
    sendMouse(strip.get(), QEvent::MouseMove, {cellX(6), FRAME_Y}, Qt::NoButton,
              Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(frameRange(*strip), std::make_pair(0, 0));
    dragTo(strip.get(), {cellX(6), FRAME_Y});
    EXPECT_EQ(frameRange(*strip), std::make_pair(3, 6));
    // A new press empties the range.
    press(strip.get(), {cellX(3), FRAME_Y});
    EXPECT_EQ(frameRange(*strip), std::make_pair(0, 0));
}

TEST_F(FrameStrip, DragInTheUserActionBandSelectsTheirFrames) {
    auto strip = makeStrip(10, {1, 4, 7});
    press(strip.get(), {cellX(1), UA_Y});
    EXPECT_EQ(strip->get_current_frame(), 2);
    dragTo(strip.get(), {cellX(3), UA_Y});
    EXPECT_EQ(uaRange(*strip), std::make_pair(1, 3));
    EXPECT_EQ(frameRange(*strip), std::make_pair(2, 8));
    dragTo(strip.get(), {cellX(2), UA_Y});
    EXPECT_EQ(frameRange(*strip), std::make_pair(2, 5));
}

TEST_F(FrameStrip, AltKeysGrowAndShrinkTheRange) {
    auto strip = makeStrip(20, {});
    strip->slot_set_selected_frames_to_left();
    EXPECT_EQ(frameRange(*strip), std::make_pair(0, 0)) << "frame 1 without a range";

    strip->set_current_frame(5);
    strip->slot_set_selected_frames_to_right();
    EXPECT_EQ(frameRange(*strip), std::make_pair(5, 6));
    strip->slot_set_selected_frames_to_right();
    EXPECT_EQ(frameRange(*strip), std::make_pair(5, 7));
    strip->slot_set_selected_frames_to_left();
    EXPECT_EQ(frameRange(*strip), std::make_pair(5, 6));

    strip->set_current_frame(20);
    strip->slot_set_selected_frames_to_right();
    EXPECT_EQ(frameRange(*strip), std::make_pair(0, 0)) << "last frame without a range";

    strip->set_current_frame(2);
    strip->slot_set_selected_frames_to_left();
    EXPECT_EQ(frameRange(*strip), std::make_pair(2, 1));
    strip->slot_set_selected_frames_to_left();
    EXPECT_EQ(frameRange(*strip), std::make_pair(2, 1)) << "the end stays at frame 1";

    strip->set_current_frame(19);
    strip->slot_set_selected_frames_to_right();
    strip->slot_set_selected_frames_to_right();
    EXPECT_EQ(frameRange(*strip), std::make_pair(19, 20)) << "the end stays at the last frame";

    NavigationBarBase blank(nullptr, "base", 0, 0, false);
    blank.slot_set_selected_frames_to_right();
    EXPECT_EQ(frameRange(blank), std::make_pair(0, 0));
}

TEST_F(FrameStrip, AltGrowthTakesTheUserActionRangeAlong) {
    auto strip = makeStrip(20, {6, 8});
    strip->set_current_frame(6);
    strip->slot_set_selected_frames_to_right();
    EXPECT_EQ(uaRange(*strip), std::make_pair(1, 1));
    strip->slot_set_selected_frames_to_right();
    strip->slot_set_selected_frames_to_right();
    strip->slot_set_selected_frames_to_right();
    EXPECT_EQ(frameRange(*strip), std::make_pair(6, 10));
    EXPECT_EQ(uaRange(*strip), std::make_pair(1, 2));
}

TEST_F(FrameStrip, SelectAll) {
    auto strip = makeStrip(20, {1, 4});
    strip->slot_select_all_frames();
    EXPECT_EQ(frameRange(*strip), std::make_pair(1, 20));
    EXPECT_EQ(uaRange(*strip), std::make_pair(1, 2));
    strip->set_current_frame(7);
    strip->slot_select_all_ua_frames();
    EXPECT_EQ(uaRange(*strip), std::make_pair(1, 2));
    EXPECT_EQ(frameRange(*strip), std::make_pair(2, 5));

    auto plain = makeStrip(20, {});
    plain->slot_select_all_ua_frames();
    EXPECT_EQ(frameRange(*plain), std::make_pair(0, 0));
    plain->slot_select_all_frames();
    EXPECT_EQ(uaRange(*plain), std::make_pair(0, 0));
}

TEST_F(FrameStrip, EmptyingRebuildLeavesABlankStrip) {
    auto strip = makeStrip(8, {2});
    StripSignalLog log(strip.get());
    strip->reset_frame_details(0, 0, nullptr);
    EXPECT_EQ(log.take(), (Events{"ua(-2)", "state(ButtonsStripEmpty)"}));
    EXPECT_EQ(strip->get_total_no_frames(), 0);
    EXPECT_EQ(strip->get_total_no_user_action_frames(), 0);
    EXPECT_EQ(strip->get_current_frame(), 0);
    EXPECT_FALSE(strip->isRecorded());
    EXPECT_EQ(strip->width(), 909);
    // A blank strip has no frame 5 to go to.
    strip->set_current_frame(5);
    EXPECT_TRUE(log.take().empty());
    EXPECT_EQ(strip->get_current_frame(), 0);
}

TEST_F(FrameStrip, RebuildWithFramesSelectsTheFirst) {
    NavigationBarBase strip(nullptr, "base", 0, 0, false);
    StripSignalLog log(&strip);
    const int list[] = {0, 3};
    strip.reset_frame_details(5, 2, list);
    EXPECT_EQ(log.take(), (Events{"frame(0)", "ua(0)", "state(ButtonsFirstUserAction)", "status(ok)",
                                  "state(ButtonsFirstFrame)"}));
    EXPECT_TRUE(strip.isRecorded());
    EXPECT_EQ(strip.get_total_no_user_action_frames(), 2);
    EXPECT_EQ(strip.uFrameDetails()[1].frame, 4);
    EXPECT_EQ(strip.frameDetails()[3].userActionNumber, 2);
    EXPECT_EQ(strip.frameDetails()[2].userActionNumber, -1);

    // A second rebuild with other counts must not keep tables of the old size.
    const int more[] = {6};
    strip.reset_frame_details(8, 1, more);
    EXPECT_EQ(strip.get_total_no_frames(), 8);
    ASSERT_EQ(strip.get_total_no_user_action_frames(), 1);
    EXPECT_EQ(strip.uFrameDetails()[0].frame, 7);
    strip.set_current_frame(8);
    EXPECT_EQ(strip.get_current_frame(), 8);
}

TEST_F(FrameStrip, SetRecordedAnnouncesRecordedFrames) {
    NavigationBarBase strip(nullptr, "base", 0, 0, false);
    StripSignalLog log(&strip);
    strip.set_recorded(false);
    strip.set_recorded(true);
    EXPECT_EQ(log.take(), (Events{"recorded"}));
    EXPECT_TRUE(strip.isRecorded());
}

} // namespace
