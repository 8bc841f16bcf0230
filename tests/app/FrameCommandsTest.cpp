// Frame commands through the real main window: append, insert, delete,
// undelete, undo, purge, copy and move of ranges, Make and Open. After every
// step the frame table, the frame strip's marks and the holder's undo history
// must agree, and a Make then an Open must give the same frames back.
#include "AnsweredBoxes.h"
#include "MainWindowFixture.h"
#include "RecordedProject.h"

#include "app/MenuIds.h"
#include "app/SessionFiles.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "canvas/strip/NVNavigationBar.h"
#include "canvas/strip/NavigationBarBase.h"
#include "objects/interactive/CFrameObject.h"
#include "properties/EditPropertyBox.h"
#include "record/CaptureSettings.h"
#include "store/VlmFile.h"
#include "support/VLImageHolderTestAccess.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QProgressBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>

using namespace mainwin;
using namespace menuid;

namespace {

enum Op { Append, Insert, Go, Extend, Delete, Undo, Purge, Copy, Cut, Paste, SelectAllFrames, MakeOpen };

// One author step and what the project looks like after it: one character
// per frame, 'x' marked deleted and '.' not; the holder's undo depth; and,
// when given, 'a' for the sound-or-action frames.
struct Step {
    Op op;
    int arg;
    const char* marks;
    int undo;
    const char* actions = nullptr;
};

struct Sequence {
    const char* name;
    int recorded;             // frames of a recorded project to start from; 0: an empty project
    std::vector<int> actions; // 0-based recorded frames with a mouse action
    std::vector<Step> steps;
};

void PrintTo(const Sequence& q, std::ostream* os) {
    *os << q.name;
}

class FrameCommands : public MainWindowTest {
  protected:
    void trigger(int id) {
        QAction* a = w->actionById(id);
        ASSERT_NE(a, nullptr) << id;
        a->trigger();
    }

    // The frame accelerator of the table's row.
    void accelerator(size_t row) {
        ASSERT_LT(row, w->frameAccelerators().size());
        emit w->frameAccelerators()[row]->activated();
    }

    std::string vlmPath() const { return home() + "/zedaro/Untitled.vlm"; }

    // A recorded project whose listed frames carry a mouse action, as the end
    // of a recording leaves the tables and the strip.
    void recorded(int frames, const std::vector<int>& actions) {
        ASSERT_NO_FATAL_FAILURE(recordedProjectWithActions(w, frames, actions));
        w->frameStrip()->set_current_frame(1);
    }

    // The File menu's item of the made file.
    int recentItem() const {
        for (int id : w->menuItemIds())
            if (w->actionById(id)->property("recentPath").toString() == QString::fromStdString(vlmPath()))
                return id;
        return 0;
    }

    // Make, then open the made file again from the recent files.
    void makeThenOpen() {
        answering({}, [&] { trigger(FILE_MAKE); });
        ASSERT_EQ(w->project().m_dwFrameCount, 0u) << "the make succeeded";
        const int recent = recentItem();
        ASSERT_NE(recent, 0);
        answering({}, [&] { w->slotRecentFileSelected(recent); });
        ASSERT_NE(w->project().m_dwFrameCount, 0u) << "the open succeeded";
    }

    void run(const Step& s) {
        switch (s.op) {
        case Append:
            return trigger(EDIT_APPEND_FRAME);
        case Insert:
            return trigger(EDIT_INSERT_FRAME);
        case Go:
            w->frameStrip()->set_current_frame(s.arg);
            return;
        case Extend: // Alt+Right
            for (int i = 0; i < s.arg; ++i)
                accelerator(2);
            return;
        case Delete:
            return trigger(EDIT_DELETE_FRAME);
        case Undo:
            return trigger(EDIT_UNDO);
        case Purge:
            return trigger(EDIT_PURGE_FRAMES);
        case Copy:
            return accelerator(6);
        case Cut:
            return accelerator(7);
        case Paste:
            return accelerator(8);
        case SelectAllFrames:
            return trigger(EDIT_SELECT_ALL_FRAMES);
        case MakeOpen:
            return makeThenOpen();
        }
    }

    // Table, strip and holder agree, and the project is as the step says.
    void checkAgree(const Step& s) {
        const ProjectTables& p = w->project();
        NavigationBarBase* strip = w->frameStrip();
        const uint32_t n = p.m_dwFrameCount;
        ASSERT_EQ(p.m_vEditInfo.size(), n);
        ASSERT_EQ(p.m_vPlayBackFrameInfo.size(), n);
        ASSERT_EQ(strip->get_total_no_frames(), int(n)) << "the strip has a cell per frame";
        std::string marks, actions;
        std::vector<int> actionFrames;
        for (uint32_t i = 0; i < n; ++i) {
            const bool table = p.m_vEditInfo[i].deletedFlag != 0;
            const bool playback = (p.m_vPlayBackFrameInfo[i].frameFlags & PBF_DELETED) != 0;
            const FrameDetails& fd = strip->frameDetails()[int(i)];
            EXPECT_EQ(table, playback) << "frame " << i;
            EXPECT_EQ(table, fd.deleted != 0) << "the strip's mark of frame " << i;
            marks += table ? 'x' : '.';
            const SPlayBackFrameInfo& pb = p.m_vPlayBackFrameInfo[i];
            const bool action =
                pb.vType == VALIDATION_MOUSE || pb.vType == VALIDATION_KEY || (pb.frameFlags & PBF_AUDIO);
            EXPECT_EQ(action, fd.userAction != 0) << "the strip's action mark of frame " << i;
            actions += action ? 'a' : '.';
            if (action)
                actionFrames.push_back(int(i));
        }
        EXPECT_EQ(marks, s.marks);
        if (s.actions)
            EXPECT_EQ(actions, s.actions);
        // The user-action cells name those frames, with their marks.
        const auto& cells = strip->uFrameDetails();
        ASSERT_EQ(cells.size(), qsizetype(actionFrames.size()));
        for (size_t k = 0; k < actionFrames.size(); ++k) {
            EXPECT_EQ(cells[qsizetype(k)].frame, actionFrames[k] + 1) << "cell " << k;
            EXPECT_EQ(cells[qsizetype(k)].deleted != 0,
                      p.m_vEditInfo[size_t(actionFrames[k])].deletedFlag != 0)
                << "cell " << k;
        }
        EXPECT_EQ(int(p.m_deletedCount), int(std::count(marks.begin(), marks.end(), 'x')));
        EXPECT_EQ(w->isItemEnabled(EDIT_PURGE_FRAMES), marks.find('x') != std::string::npos);

        VLImageHolderTestAccess holder(*w->imageHolder());
        EXPECT_EQ(int(holder.stUndoCodes.size()), s.undo) << "the holder's undo depth";
        EXPECT_EQ(w->isItemEnabled(EDIT_UNDO), s.undo > 0);
        EXPECT_EQ(w->widgets().undoButton->isEnabled(), s.undo > 0) << "the Undo tool button";
        const int current = strip->get_current_frame() - 1;
        ASSERT_GE(current, 0);
        EXPECT_EQ(p.m_currentFrame, current);
        EXPECT_EQ(holder.editDisabled, marks[size_t(current)] == 'x')
            << "objects of a deleted frame are locked, of any other frame editable";
        EXPECT_TRUE(w->isItemEnabled(FILE_MAKE));
    }
};

class FrameCommandSequences : public FrameCommands, public ::testing::WithParamInterface<Sequence> {};

TEST_P(FrameCommandSequences, TableStripAndUndoAgreeAfterEveryStep) {
    const Sequence& q = GetParam();
    if (q.recorded > 0)
        ASSERT_NO_FATAL_FAILURE(recorded(q.recorded, q.actions));
    int i = 0;
    for (const Step& s : q.steps) {
        SCOPED_TRACE("step " + std::to_string(i++) + " expects " + s.marks);
        ASSERT_NO_FATAL_FAILURE(run(s));
        ASSERT_NO_FATAL_FAILURE(checkAgree(s));
    }
}

const Sequence kSequences[] = {
    {"UndeletedFrameStaysUndeletedThroughMakeAndOpen",
     0,
     {},
     {{Append, 0, ".", 0},
      {Append, 0, "..", 0},
      {Append, 0, "...", 0},
      {Delete, 0, "..x", 1},
      {Delete, 0, "...", 2},
      {MakeOpen, 0, "...", 0},
      {Go, 3, "...", 0},
      {Delete, 0, "..x", 1},
      {MakeOpen, 0, "..x", 0}}},
    {"UndoOfADeletionUnmarksStripAndTableTogether",
     0,
     {},
     {{Append, 0, ".", 0},
      {Append, 0, "..", 0},
      {Append, 0, "...", 0},
      {Go, 2, "...", 0},
      {Delete, 0, ".x.", 1},
      {Undo, 0, "...", 0},
      {Delete, 0, ".x.", 1},
      {Delete, 0, "...", 2},
      {Undo, 0, ".x.", 1},
      {Undo, 0, "...", 0}}},
    {"UndoGivesBackTheRangeMarkedNotTheSelectionNow",
     0,
     {},
     {{Append, 0, ".", 0},
      {Append, 0, "..", 0},
      {Insert, 0, "...", 0},
      {Append, 0, "....", 0},
      {Go, 1, "....", 0},
      {Extend, 1, "....", 0},
      {Delete, 0, "xx..", 1},
      {Extend, 1, "xx..", 1},
      {Undo, 0, "....", 0},
      {Extend, 1, "....", 0},
      {Delete, 0, "xxxx", 1},
      {MakeOpen, 0, "xxxx", 0}}},
    {"PurgePutsTheActionMarksOnTheRemainingFrames",
     5,
     {2, 4},
     {{Go, 1, ".....", 0, "..a.a"},
      {Delete, 0, "x....", 1, "..a.a"},
      {Purge, 0, "....", 0, ".a.a"},
      {Go, 2, "....", 0, ".a.a"},
      {Extend, 1, "....", 0, ".a.a"},
      {Delete, 0, ".xx.", 1, ".a.a"},
      {Purge, 0, "..", 0, ".a"},
      {MakeOpen, 0, "..", 0, ".a"}}},
    {"PurgeOfEveryFrameLeavesOneBlankFrame",
     0,
     {},
     {{Append, 0, ".", 0},
      {Append, 0, "..", 0},
      {SelectAllFrames, 0, "..", 0},
      {Delete, 0, "xx", 1},
      {Purge, 0, ".", 0},
      {Append, 0, "..", 0},
      {MakeOpen, 0, "..", 0}}},
    {"MovedFramesKeepTheirDeleteMarks",
     0,
     {},
     {{Append, 0, ".", 0},
      {Append, 0, "..", 0},
      {Append, 0, "...", 0},
      {Append, 0, "....", 0},
      {Go, 2, "....", 0},
      {Delete, 0, ".x..", 1},
      {Go, 1, ".x..", 0},
      {Extend, 1, ".x..", 0},
      {Cut, 0, ".x..", 0},
      {Go, 4, ".x..", 0},
      {Paste, 0, "..x.", 0},
      {MakeOpen, 0, "..x.", 0}}},
    {"CopiedFramesKeepTheirDeleteMarks",
     4,
     {1},
     {{Go, 2, "....", 0, ".a.."},
      {Delete, 0, ".x..", 1, ".a.."},
      {Go, 1, ".x..", 0, ".a.."},
      {Extend, 1, ".x..", 0, ".a.."},
      {Copy, 0, ".x..", 0, ".a.."},
      {Go, 4, ".x..", 0, ".a.."},
      {Paste, 0, ".x...", 0, ".a..a"}, // a deleted frame is not copied
      {Purge, 0, "....", 0, ".a.a"},
      {MakeOpen, 0, "....", 0, ".a.a"}}},
};

INSTANTIATE_TEST_SUITE_P(Author, FrameCommandSequences, ::testing::ValuesIn(kSequences),
                         [](const ::testing::TestParamInfo<Sequence>& info) {
                             return std::string(info.param.name);
                         });

// The made file's playback records carry the deleted flag only where the
// frame is marked deleted.
TEST_F(FrameCommands, TheMadeFileFlagsOnlyTheFramesStillDeleted) {
    for (int i = 0; i < 3; ++i)
        trigger(EDIT_APPEND_FRAME);
    trigger(EDIT_DELETE_FRAME); // the third frame
    trigger(EDIT_DELETE_FRAME); // and back
    w->frameStrip()->set_current_frame(2);
    trigger(EDIT_DELETE_FRAME);
    answering({}, [&] { trigger(FILE_MAKE); });
    ASSERT_EQ(w->project().m_dwFrameCount, 0u);
    VlmFile file;
    ASSERT_EQ(file.openToRead(vlmPath()), 0);
    std::vector<uint8_t> extra(file.getAdditionalDataSize());
    uint32_t length = 0;
    ASSERT_EQ(file.vlmAdditionalDataRead(extra.data(), extra.size(), &length), 0);
    file.vlmFileClose();
    const size_t first = 60, size = 152, flags = 38;
    ASSERT_GE(extra.size(), first + 3 * size);
    EXPECT_EQ(extra[first + 0 * size + flags] & PBF_DELETED, 0);
    EXPECT_EQ(extra[first + 1 * size + flags] & PBF_DELETED, PBF_DELETED);
    EXPECT_EQ(extra[first + 2 * size + flags] & PBF_DELETED, 0) << "the undeleted frame";
}

// Without a recorded range the undo toggles the strip's selection.
TEST_F(FrameCommands, UndoSignalWithoutARangeReachesTheStripsMenu) {
    for (int i = 0; i < 2; ++i)
        trigger(EDIT_APPEND_FRAME);
    trigger(EDIT_DELETE_FRAME);
    ASSERT_TRUE(w->project().m_vEditInfo[1].deletedFlag);
    emit w->imageHolder()->signalUnDeleteFrame(NavigationBarBase::MenuUndeleteFrame);
    EXPECT_FALSE(w->project().m_vEditInfo[1].deletedFlag);
    EXPECT_FALSE(w->frameStrip()->frameDetails()[1].deleted);
}

TEST_F(FrameCommands, PurgeWithoutActionFramesLeftDisablesSelectingThem) {
    ASSERT_NO_FATAL_FAILURE(recorded(3, {2}));
    ASSERT_TRUE(w->isItemEnabled(EDIT_SELECT_UA_FRAMES));
    w->frameStrip()->set_current_frame(3);
    trigger(EDIT_DELETE_FRAME);
    trigger(EDIT_PURGE_FRAMES);
    ASSERT_EQ(w->project().m_dwFrameCount, 2u);
    EXPECT_TRUE(w->project().m_vUserActionFrames.empty());
    EXPECT_EQ(w->project().m_dwUserActionFrame, 0u);
    EXPECT_FALSE(w->isItemEnabled(EDIT_SELECT_UA_FRAMES));
}

TEST_F(FrameCommands, PurgeOfEveryFrameResetsTheBackColourAndKeepsMakeUsable) {
    trigger(EDIT_APPEND_FRAME);
    trigger(EDIT_APPEND_FRAME);
    CFrameObject::backColor = QColor(1, 2, 3);
    trigger(EDIT_SELECT_ALL_FRAMES);
    trigger(EDIT_DELETE_FRAME);
    trigger(EDIT_PURGE_FRAMES);
    EXPECT_EQ(w->project().m_dwFrameCount, 1u);
    EXPECT_EQ(w->project().m_currentFrame, 0);
    EXPECT_EQ(CFrameObject::backColor, QColor(22, 34, 199));
    EXPECT_TRUE(w->isItemEnabled(FILE_MAKE));
    EXPECT_FALSE(w->isItemEnabled(EDIT_PURGE_FRAMES));
}

// The commands a make must not run beside, sampled while it lets events through.
TEST_F(FrameCommands, MakeLocksTheProjectCommandsUntilItEnds) {
    for (int i = 0; i < 20; ++i)
        trigger(EDIT_APPEND_FRAME);
    const Velmora::Widgets g = w->widgets();
    const int items[] = {RECORD_START, FILE_NEW,          FILE_OPEN,
                         FILE_SAVE_AS, EDIT_APPEND_FRAME, EDIT_INSERT_FRAME};
    QToolButton* const buttons[] = {g.recordButton, g.newButton,    g.openButton,
                                    g.saveAsButton, g.appendButton, g.insertButton};
    int samples = 0, usable = 0;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget())
            return;
        ++samples;
        for (int id : items)
            usable += w->isItemEnabled(id);
        for (QToolButton* b : buttons)
            usable += b->isEnabled();
        usable += w->navigationBar()->isEnabled();
        // An author pressing F5 meanwhile changes nothing.
        trigger(EDIT_APPEND_FRAME);
    });
    sample.start(0);
    answering({}, [&] { trigger(FILE_MAKE); });
    sample.stop();
    ASSERT_GT(samples, 0);
    EXPECT_EQ(usable, 0);
    EXPECT_EQ(w->project().m_dwFrameCount, 0u) << "the make succeeded, and no frame came in";
    VlmFile file;
    ASSERT_EQ(file.openToRead(vlmPath()), 0);
    EXPECT_EQ(file.vlmStreamLength(vlm::CHUNK_VIDEO), 20u);
    file.vlmFileClose();
    // Given back at the end.
    for (int id : items)
        EXPECT_TRUE(w->isItemEnabled(id)) << id;
    for (QToolButton* b : buttons)
        EXPECT_TRUE(b->isEnabled()) << b->toolTip().toStdString();
    EXPECT_TRUE(w->navigationBar()->isEnabled());
}

// Closing the window while a make runs waits for the make, then closes.
TEST_F(FrameCommands, ACloseDuringTheMakeWaitsForItsEnd) {
    w->setAttribute(Qt::WA_DeleteOnClose, false); // the fixture deletes it
    w->show();
    for (int i = 0; i < 5; ++i)
        trigger(EDIT_APPEND_FRAME);
    bool asked = false, closedAtOnce = true;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        if (asked || QApplication::activeModalWidget())
            return;
        asked = true;
        closedAtOnce = w->close();
        EXPECT_EQ(w->project().m_dwFrameCount, 5u) << "the project stays while the make reads it";
    });
    sample.start(0);
    answering({}, [&] { trigger(FILE_MAKE); });
    sample.stop();
    ASSERT_TRUE(asked);
    EXPECT_FALSE(closedAtOnce);
    EXPECT_TRUE(testsupport::fileExists(vlmPath())) << "the make ran to its end";
    for (int i = 0; i < 200 && w->isVisible(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(w->isVisible()) << "closed after the make";
}

TEST_F(FrameCommands, AFailedMakeGivesTheCommandsBack) {
    trigger(EDIT_APPEND_FRAME);
    trigger(EDIT_APPEND_FRAME);
    ASSERT_EQ(mkdir(vlmPath().c_str(), 0755), 0); // the output file cannot take its place
    const std::vector<Box> boxes = answering({"OK"}, [&] { trigger(FILE_MAKE); });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith("Make VLM... process exited with errors"));
    EXPECT_EQ(w->project().m_dwFrameCount, 2u);
    for (int id : {FILE_MAKE, FILE_NEW, FILE_OPEN, EDIT_APPEND_FRAME, EDIT_INSERT_FRAME, EDIT_DELETE_FRAME})
        EXPECT_TRUE(w->isItemEnabled(id)) << id;
    EXPECT_FALSE(w->isItemEnabled(RECORD_START));
    EXPECT_TRUE(w->widgets().makeButton->isEnabled());
    EXPECT_TRUE(w->navigationBar()->isEnabled());
}

TEST_F(FrameCommands, NavigationBarToggleHidesAndShowsItsDock) {
    NVNavigationBar* bar = w->navigationBar();
    QWidget* dock = bar->parentWidget();
    ASSERT_NE(dock, nullptr);
    EXPECT_EQ(bar->minimumSize(), QSize(500, 70));
    EXPECT_EQ(bar->maximumHeight(), 70);
    ASSERT_FALSE(dock->isHidden());
    ASSERT_TRUE(w->isItemChecked(VIEW_NAVIGATION_BAR));
    QStringList texts;
    QObject::connect(w->widgets().statusBar, &QStatusBar::messageChanged,
                     [&](const QString& t) { texts << t; });
    trigger(VIEW_NAVIGATION_BAR);
    EXPECT_TRUE(dock->isHidden());
    EXPECT_FALSE(w->isItemChecked(VIEW_NAVIGATION_BAR));
    trigger(VIEW_NAVIGATION_BAR);
    EXPECT_FALSE(dock->isHidden());
    EXPECT_TRUE(w->isItemChecked(VIEW_NAVIGATION_BAR));
    EXPECT_EQ(texts, (QStringList{"Toggle Navigationbar...", "Ready.", "Toggle Navigationbar...", "Ready."}));
}

class NavigationBarFromSettings : public FrameCommands, public ::testing::WithParamInterface<bool> {
  protected:
    void prepareHome() override {
        SWindowSettings s;
        s.width = 800;
        s.height = 600;
        s.flags = SWindowSettings::TOOL_BAR | SWindowSettings::STATUS_BAR |
                  (GetParam() ? SWindowSettings::NAVIGATION_BAR : 0);
        ASSERT_TRUE(SessionFiles::saveSettings(home() + "/zedaro", s));
    }
};

TEST_P(NavigationBarFromSettings, TheStoredBitShowsOrHidesTheBar) {
    EXPECT_EQ(w->isItemChecked(VIEW_NAVIGATION_BAR), GetParam());
    EXPECT_EQ(w->navigationBar()->parentWidget()->isHidden(), !GetParam());
}

INSTANTIATE_TEST_SUITE_P(Shown, NavigationBarFromSettings, ::testing::Bool());

// The capture settings' three controls, enabled or not.
std::vector<bool> captureControls(CaptureSettings* dialog) {
    std::vector<bool> on;
    for (QCheckBox* c : dialog->findChildren<QCheckBox*>())
        on.push_back(c->isEnabled());
    for (QSpinBox* s : dialog->findChildren<QSpinBox*>())
        on.push_back(s->isEnabled());
    return on;
}

TEST_F(FrameCommands, AppendAndInsertLockTheCaptureSettingsUntilNew) {
    CaptureSettings* dialog = w->widgets().captureSettings;
    for (int id : {EDIT_APPEND_FRAME, EDIT_INSERT_FRAME}) {
        SCOPED_TRACE(id);
        dialog->setCaptureControlsEnabled(true);
        const std::vector<bool> before = captureControls(dialog);
        ASSERT_EQ(before.size(), 3u);
        ASSERT_GT(std::count(before.begin(), before.end(), true), 0);
        trigger(id);
        const std::vector<bool> after = captureControls(dialog);
        EXPECT_EQ(std::count(after.begin(), after.end(), true), 0);
    }
    answering({"&No "}, [&] { trigger(FILE_NEW); });
    const std::vector<bool> back = captureControls(dialog);
    EXPECT_GT(std::count(back.begin(), back.end(), true), 0) << "New gives them back";
}

TEST_F(FrameCommands, FrameAndFileCommandsHideThePropertyBox) {
    trigger(EDIT_APPEND_FRAME);
    answering({}, [&] { trigger(FILE_MAKE); });
    EditPropertyBox* box = w->getView()->_get_editprop_box();
    const int recent = recentItem();
    ASSERT_NE(recent, 0);
    struct Case {
        const char* name;
        std::function<void()> run;
    };
    // Any dialog the command opens is cancelled.
    auto cancelling = [](const std::function<void()>& run) {
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                d->reject();
        });
        poll.start(10);
        run();
    };
    const Case cases[] = {
        {"Open", [&] { answering({"&No "}, [&] { w->slotRecentFileSelected(recent); }); }},
        {"Append", [&] { trigger(EDIT_APPEND_FRAME); }},
        {"Insert", [&] { trigger(EDIT_INSERT_FRAME); }},
        {"SaveAs", [&] { cancelling([&] { w->slotFileSaveAs(); }); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        box->show();
        box->tabWidget->setCurrentIndex(1); // the event list
        ASSERT_TRUE(box->isVisible());
        c.run();
        EXPECT_FALSE(box->isVisible());
        if (std::string(c.name) == "SaveAs")
            EXPECT_EQ(box->tabWidget->currentIndex(), 0) << "back on the property list";
    }
}

TEST_F(FrameCommands, CommandsShowTheirStatusTexts) {
    ASSERT_NO_FATAL_FAILURE(recorded(3, {}));
    struct Case {
        const char* name;
        std::function<void()> run;
        QStringList texts;
    };
    const Case cases[] = {
        {"Undo", [&] { w->slotEditUndo(); }, {"Undo the list of action in this frame...", "Ready."}},
        {"SelectAll",
         [&] { w->slotEditSelectAll(); },
         {"Selects All the objects on the current frame...", "Ready."}},
        {"SelectAllFrames", [&] { w->slotSelectAllFrames(); }, {"Selects All the frames...", "Ready."}},
        {"Append", [&] { w->slotEditAppendFrames(); }, {"Adds a blank frame at the end...", "Ready."}},
        {"Insert",
         [&] { w->slotEditInsertFrames(); },
         {"Inserts a blank frame at the current position...", "Ready."}},
        {"DeleteFrame",
         [&] { w->slotEditDeleteFrames(); },
         {"Marks the current frame as deleted...", "Ready."}},
        {"Purge", [&] { w->slotEditPurgeFrames(); }, {"Permanently removes all deleted frames...", "Ready."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList texts;
        auto conn = QObject::connect(w->widgets().statusBar, &QStatusBar::messageChanged,
                                     [&](const QString& t) { texts << t; });
        c.run();
        QObject::disconnect(conn);
        EXPECT_EQ(texts, c.texts);
    }
}

// The progress bar counts the frames, then the object stream's entries.
TEST_F(FrameCommands, OpenMovesTheProgressBarThroughFramesAndObjects) {
    for (int i = 0; i < 6; ++i)
        trigger(EDIT_APPEND_FRAME);
    answering({}, [&] { trigger(FILE_MAKE); });
    ASSERT_EQ(w->project().m_dwFrameCount, 0u);
    VlmFile file;
    ASSERT_EQ(file.openToRead(vlmPath()), 0);
    const int objects = file.hasStream(vlm::CHUNK_OBJECT) ? int(file.vlmStreamLength(vlm::CHUNK_OBJECT)) : 0;
    file.vlmFileClose();
    ASSERT_GT(objects, 0) << "the blank frames keep their frame objects";

    QProgressBar* bar = w->widgets().progressBar;
    struct Seen {
        QString text;
        int maximum, value;
    };
    std::vector<Seen> seen;
    auto conn = QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
        seen.push_back({w->widgets().statusBar->currentMessage(), bar->maximum(), v});
    });
    const int recent = recentItem();
    answering({}, [&] { w->slotRecentFileSelected(recent); });
    QObject::disconnect(conn);
    ASSERT_EQ(w->project().m_dwFrameCount, 6u);
    std::vector<int> frames, entries;
    for (const Seen& s : seen) {
        if (s.text == "Uncompressing Frames...") {
            EXPECT_EQ(s.maximum, 6);
            frames.push_back(s.value);
        } else if (s.text == " Uncompressing Objects ... ") {
            EXPECT_EQ(s.maximum, objects);
            entries.push_back(s.value);
        }
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back(), objects);
    EXPECT_EQ(bar->value(), -1) << "reset at the end";
}

TEST_F(FrameCommands, TheViewCarriesTheLoggingEventFilter) {
    static QStringList logged;
    logged.clear();
    QLoggingCategory::setFilterRules("velmora.record.events.debug=true");
    QtMessageHandler old = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { logged << text; });
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w->getView(), &press);
    qInstallMessageHandler(old);
    QLoggingCategory::setFilterRules("velmora.record.events.debug=false");
    EXPECT_TRUE(logged.filter("Application Mouse pressed").size() == 1) << logged.join("|").toStdString();
}

} // namespace
