// The navigation bar: button states, stepping, the go-to fields and the
// images loaded from the current directory.
#include "StripAppTest.h"

#include "canvas/strip/NVNavigationBar.h"
#include "canvas/strip/NavigationBarBase.h"
#include "canvas/strip/ScrollNavigationBar.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include <memory>
#include <vector>

namespace {

class NavigationControls : public StripAppTest {
  protected:
    void SetUp() override {
        StripAppTest::SetUp();
        if (HasFatalFailure())
            return;
        bar = std::make_unique<NVNavigationBar>();
        scroll = bar->getScrollNavigationBar();
        strip = scroll->get_navbase();
    }
    // A project of n frames, as the main window builds it after a recording.
    void record(int frames, const std::vector<int>& uaList = {}) {
        strip->reset_frame_details(0, 0, nullptr);
        strip->reset_frame_details(frames, int(uaList.size()), uaList.data());
        scroll->resetResize(frames, true);
    }
    // Previous frame, next frame, previous user-action, next user-action.
    std::vector<bool> buttons() const {
        return {bar->preFrameButton()->isEnabled(), bar->nextFrameButton()->isEnabled(),
                bar->preUserActionButton()->isEnabled(), bar->nextUserActionButton()->isEnabled()};
    }
    void type(QLineEdit* field, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + (c.unicode() - '0'), Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(field, &press);
        }
    }
    void pressReturn(QLineEdit* field) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &press);
    }

    std::unique_ptr<NVNavigationBar> bar;
    ScrollNavigationBar* scroll = nullptr;
    NavigationBarBase* strip = nullptr;
};

TEST_F(NavigationControls, StartsBlankAndDisabled) {
    EXPECT_EQ(buttons(), (std::vector<bool>{false, false, false, false}));
    EXPECT_FALSE(bar->frameField()->isEnabled());
    EXPECT_FALSE(bar->userActionField()->isEnabled());
    EXPECT_EQ(strip->objectName(), "base");
    EXPECT_EQ(scroll->objectName(), "Scroll");
    EXPECT_EQ(scroll->getScrollView()->objectName(), "gjgj");
    EXPECT_EQ(scroll->getScrollBar()->singleStep(), 9);
    EXPECT_EQ(scroll->minimumHeight(), 70);
    EXPECT_EQ(scroll->maximumHeight(), 70);
    EXPECT_EQ(bar->frameField()->maxLength(), 4);
    EXPECT_EQ(bar->frameField()->maximumWidth(), 39);
    EXPECT_TRUE(bar->preFrameButton()->isFlat());
    EXPECT_EQ(bar->preFrameButton()->maximumSize(), QSize(30, 30));
    EXPECT_EQ(strip->width(), 909);
    // Stepping on a blank strip does nothing.
    scroll->slot_clicked_on_next_frame_button();
    scroll->slot_goto_frame(3);
    EXPECT_EQ(strip->get_current_frame(), 0);
}

TEST_F(NavigationControls, StateCodesSetTheButtons) {
    struct Row {
        NavigationBarBase::ButtonState code;
        std::vector<bool> fromOn;  // starting with every button enabled
        std::vector<bool> fromOff; // starting with every button disabled
    };
    const std::vector<Row> table = {
        {NavigationBarBase::ButtonsFirstFrame, {false, true, true, true}, {false, true, false, false}},
        {NavigationBarBase::ButtonsOnlyFrame, {false, false, false, false}, {false, false, false, false}},
        {NavigationBarBase::ButtonsFirstUserAction, {true, true, false, true}, {false, false, false, true}},
        {NavigationBarBase::ButtonsOnlyUserAction, {true, true, false, false}, {false, false, false, false}},
        {NavigationBarBase::ButtonsMiddleFrame, {true, true, true, true}, {true, true, false, false}},
        {NavigationBarBase::ButtonsMiddleUserAction, {true, true, true, true}, {false, false, true, true}},
        {NavigationBarBase::ButtonsLastFrame, {true, false, true, true}, {true, false, false, false}},
        {NavigationBarBase::ButtonsLastUserAction, {true, true, true, false}, {false, false, true, false}},
        {NavigationBarBase::ButtonsStripEmpty, {false, false, false, false}, {false, false, false, false}},
    };
    for (const Row& row : table) {
        for (bool on : {true, false}) {
            for (QPushButton* b : {bar->preFrameButton(), bar->nextFrameButton(), bar->preUserActionButton(),
                                   bar->nextUserActionButton()})
                b->setEnabled(on);
            bar->slot_change_button_state(row.code);
            EXPECT_EQ(buttons(), on ? row.fromOn : row.fromOff)
                << "code " << row.code << (on ? " from on" : "");
        }
    }
    bar->slot_enable_edit_texts();
    EXPECT_TRUE(bar->frameField()->isEnabled());
    bar->slot_change_button_state(NavigationBarBase::ButtonsMiddleFrame);
    EXPECT_TRUE(bar->userActionField()->isEnabled());
    bar->slot_change_button_state(NavigationBarBase::ButtonsStripEmpty);
    EXPECT_FALSE(bar->frameField()->isEnabled());
    EXPECT_FALSE(bar->userActionField()->isEnabled());
}

TEST_F(NavigationControls, NextButtonWalksThroughTwentyFrames) {
    record(20);
    EXPECT_TRUE(bar->frameField()->isEnabled());
    EXPECT_TRUE(bar->userActionField()->isEnabled());
    for (int frame = 1; frame <= 20; ++frame) {
        EXPECT_EQ(strip->get_current_frame(), frame);
        EXPECT_EQ(bar->frameField()->text(), QString::number(frame));
        EXPECT_EQ(bar->preFrameButton()->isEnabled(), frame > 1) << frame;
        EXPECT_EQ(bar->nextFrameButton()->isEnabled(), frame < 20) << frame;
        if (frame < 20)
            bar->nextFrameButton()->click();
    }
    bar->nextFrameButton()->click(); // disabled: no effect
    scroll->slot_clicked_on_next_frame_button();
    EXPECT_EQ(strip->get_current_frame(), 20);
    for (int frame = 19; frame >= 1; --frame) {
        bar->preFrameButton()->click();
        EXPECT_EQ(strip->get_current_frame(), frame);
    }
    EXPECT_FALSE(bar->preFrameButton()->isEnabled());
}

TEST_F(NavigationControls, UserActionButtonsStepThroughUserActionFrames) {
    record(20, {2, 6, 11});
    EXPECT_EQ(bar->userActionField()->text(), "");
    bar->nextUserActionButton()->setEnabled(true);
    // Frame 1 is before user-action frame 1, which the strip holds as the
    // current one: the next is user-action frame 2.
    EXPECT_EQ(strip->get_current_user_action_frame(), 1);
    bar->nextUserActionButton()->click();
    EXPECT_EQ(strip->get_current_frame(), 7);
    EXPECT_EQ(bar->userActionField()->text(), "2");
    EXPECT_EQ(buttons(), (std::vector<bool>{true, true, true, true}));
    bar->nextUserActionButton()->click();
    EXPECT_EQ(strip->get_current_frame(), 12);
    EXPECT_EQ(bar->userActionField()->text(), "3");
    EXPECT_FALSE(bar->nextUserActionButton()->isEnabled());
    bar->preUserActionButton()->click();
    bar->preUserActionButton()->click();
    EXPECT_EQ(strip->get_current_frame(), 3);
    EXPECT_EQ(bar->frameField()->text(), "3");
    EXPECT_EQ(buttons(), (std::vector<bool>{true, true, false, true}));
    // A frame that is no user-action frame empties the field.
    scroll->slot_goto_frame(8);
    EXPECT_EQ(bar->userActionField()->text(), "");
    scroll->slot_goto_ua_frame(2);
    EXPECT_EQ(strip->get_current_frame(), 7);
    scroll->slot_goto_ua_frame(4);
    EXPECT_EQ(strip->get_current_frame(), 7) << "beyond the last user-action frame";
}

TEST_F(NavigationControls, GoToFields) {
    record(20);
    bar->resize(600, 70);
    bar->show();
    QCoreApplication::processEvents();
    const int viewport = scroll->getScrollView()->viewport()->width();
    ASSERT_GT(scroll->getScrollBar()->maximum(), 36) << "viewport " << viewport;

    bar->frameField()->clear();
    type(bar->frameField(), "25");
    pressReturn(bar->frameField());
    EXPECT_EQ(strip->get_current_frame(), 1) << "beyond the last frame";
    EXPECT_EQ(scroll->getScrollBar()->value(), 0);

    bar->frameField()->clear();
    type(bar->frameField(), "5");
    pressReturn(bar->frameField());
    EXPECT_EQ(strip->get_current_frame(), 5);
    EXPECT_EQ(scroll->getScrollBar()->value(), 36) << "cell 5 at the left edge";

    bar->frameField()->clear();
    type(bar->frameField(), "12345");
    EXPECT_EQ(bar->frameField()->text(), "1234");
    bar->userActionField()->clear();
    type(bar->userActionField(), "98765");
    EXPECT_EQ(bar->userActionField()->text(), "9876");

    bar->frameField()->setText("x");
    pressReturn(bar->frameField());
    EXPECT_EQ(strip->get_current_frame(), 5) << "not a number";
}

TEST_F(NavigationControls, SteppingScrollsTheCurrentCellIntoView) {
    record(100);
    bar->resize(600, 70);
    bar->show();
    QCoreApplication::processEvents();
    scroll->slot_clicked_on_next_frame_button();
    const int lastVisible = scroll->lastVisibleCell();
    ASSERT_GT(lastVisible, 2);
    ASSERT_LT(lastVisible, 90);
    while (strip->get_current_frame() < lastVisible)
        scroll->slot_clicked_on_next_frame_button();
    EXPECT_EQ(scroll->getScrollBar()->value(), 0);
    scroll->slot_clicked_on_next_frame_button();
    EXPECT_EQ(strip->get_current_frame(), lastVisible + 1);
    EXPECT_EQ(scroll->getScrollBar()->value(), 9);

    scroll->slot_goto_frame(50);
    EXPECT_EQ(scroll->getScrollBar()->value(), 9 * 49);
    scroll->slot_clicked_on_pre_frame_button();
    EXPECT_EQ(strip->get_current_frame(), 49);
    EXPECT_EQ(scroll->getScrollBar()->value(), 9 * 48);
}

TEST_F(NavigationControls, EmptiedStripDisablesEverything) {
    record(20, {4});
    scroll->slot_goto_frame(5);
    EXPECT_EQ(bar->frameField()->text(), "5");
    EXPECT_EQ(bar->userActionField()->text(), "1");
    strip->reset_frame_details(0, 0, nullptr);
    EXPECT_EQ(bar->frameField()->text(), "");
    EXPECT_EQ(bar->userActionField()->text(), "");
    EXPECT_FALSE(bar->frameField()->isEnabled());
    EXPECT_FALSE(bar->userActionField()->isEnabled());
    EXPECT_EQ(buttons(), (std::vector<bool>{false, false, false, false}));
    scroll->slot_goto_frame(3);
    EXPECT_EQ(strip->get_current_frame(), 0);
}

TEST_F(NavigationControls, ResetResizeSizesTheStrip) {
    strip->reset_frame_details(150, 0, nullptr);
    scroll->resetResize(150, true);
    EXPECT_EQ(strip->width(), 1359);
    strip->reset_frame_details(0, 0, nullptr);
    strip->reset_frame_details(5, 0, nullptr);
    scroll->resetResize(5, true);
    EXPECT_EQ(strip->width(), 900);
}

TEST_F(NavigationControls, ButtonImagesComeFromTheCurrentDirectory) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("pre.xpm"), "/* XPM */\n"
                                                "static const char *pre_xpm[] = {\n"
                                                "\"4 4 2 1\",\n"
                                                "\"  c None\",\n"
                                                "\"b c #2050C0\",\n"
                                                "\"  b \",\n"
                                                "\" bb \",\n"
                                                "\" bb \",\n"
                                                "\"  b \"};\n");
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.path())));
    NVNavigationBar withImages;
    QDir::setCurrent(old);
    EXPECT_FALSE(withImages.preFrameButton()->icon().isNull());
    EXPECT_FALSE(withImages.preUserActionButton()->icon().isNull());
    EXPECT_TRUE(withImages.nextFrameButton()->icon().isNull()) << "next.xpm is missing";
    EXPECT_TRUE(withImages.nextFrameButton()->text().isEmpty());
}

} // namespace
