// The frame object's "Audio File Name" and "User Action" rows edited through
// the property box's own editors in the main window: a sound given to or
// taken from a frame moves it into or out of the strip's band of
// sound-or-action frames, and a user action chosen with a range of frames
// selected in the strip reaches every user-action frame of the range, in the
// strip, the playback records and the frame records.
#include "MainWindowFixture.h"
#include "RecordedProject.h"

#include "canvas/DrawTools.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "canvas/strip/NavigationBarBase.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyListView.h"
#include "properties/PropertyListViewItem.h"
#include "properties/editors/PropertyLviBool.h"
#include "properties/editors/PropertyLviResourceEditorFile.h"
#include "store/DrawingObjectType.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include <string>
#include <vector>

using namespace mainwin;

namespace {

class FrameObjectRows : public MainWindowTest {
  protected:
    void TearDown() override {
        PropertyLviResourceEditorFile::setResourceDialog({});
        MainWindowTest::TearDown();
    }

    // A recorded project whose listed 0-based frames carry a mouse action,
    // as the end of a recording leaves the tables and the strip; frame 1 is
    // current.
    void recorded(int frames, const std::vector<int>& actions) {
        ASSERT_NO_FATAL_FAILURE(recordedProjectWithActions(w, frames, actions));
        go(1);
    }

    // Makes the 1-based frame current, as a click on its cell in the strip does.
    void go(int frame) {
        w->frameStrip()->set_current_frame(frame);
        ASSERT_EQ(w->project().m_currentFrame, frame - 1);
    }

    EditPropertyBox* box() const { return w->getView()->_get_editprop_box(); }

    // Lists the current frame's frame object in the box, selects the row as
    // a click on its name does and gives the row's editor.
    template <class Editor> Editor* rowEditor(const QString& row) {
        const auto& live = w->imageHolder()->liveObjects();
        if (live.empty() || live.front()->drawingObject != FRAMEOBJECT) {
            ADD_FAILURE() << "the frame has no live frame object";
            return nullptr;
        }
        box()->getListView()->clear();
        box()->refillList(live.front());
        const auto rows = box()->getListView()->findItems(row, Qt::MatchExactly | Qt::MatchRecursive, 0);
        if (rows.size() != 1) {
            ADD_FAILURE() << "no single row " << row.toStdString();
            return nullptr;
        }
        box()->getListView()->setCurrentItem(rows.first());
        auto* editor =
            dynamic_cast<Editor*>(static_cast<PropertyListViewItem*>(rows.first())->getColumnWidget(1));
        EXPECT_NE(editor, nullptr) << row.toStdString();
        return editor;
    }

    // "..." on the Audio File Name row, the library answering with a sound.
    void chooseSound(const QString& path, uint32_t id) {
        PropertyLviResourceEditorFile::setResourceDialog([=](QWidget*, int, uint32_t) {
            return PropertyLviResourceEditorFile::Choice{path, id};
        });
        auto* editor = rowEditor<PropertyLviResourceEditorFile>("Audio File Name");
        ASSERT_NE(editor, nullptr);
        editor->getButton()->click();
    }

    // Text typed into the Audio File Name row, then Return: no sound.
    void clearSound() {
        auto* editor = rowEditor<PropertyLviResourceEditorFile>("Audio File Name");
        ASSERT_NE(editor, nullptr);
        for (auto [key, text] : {std::pair{Qt::Key_X, "x"}, std::pair{Qt::Key_Return, "\r"}}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
            QCoreApplication::sendEvent(editor->getLineEdit(), &press);
        }
    }

    // "Enable" or "Disable" chosen in the User Action row's list.
    void chooseUserAction(const QString& word) {
        auto* editor = rowEditor<PropertyLviBool>("User Action");
        ASSERT_NE(editor, nullptr);
        QComboBox* c = editor->comboBox();
        const int i = c->findText(word);
        ASSERT_GE(i, 0) << word.toStdString();
        c->setCurrentIndex(i);
        emit c->textActivated(word);
    }

    // The strip's sound-or-action frames, 1-based.
    std::vector<int> band() const {
        std::vector<int> frames;
        for (const UFrameDetails& cell : w->frameStrip()->uFrameDetails())
            frames.push_back(cell.frame);
        return frames;
    }

    // One character per frame: 'd' a user-action frame disabled, 'e' one
    // enabled, '.' a frame without a user action; `where` names the record.
    std::string userActions(char where) const {
        std::string s;
        const auto& strip = w->frameStrip()->frameDetails();
        VLImageHolder* h = w->imageHolder();
        for (int f = 0; f < strip.size(); ++f) {
            bool disabled = false;
            if (where == 's') {
                disabled = !strip[f].actionEnabled;
            } else if (where == 'p') {
                disabled = w->project().m_vPlayBackFrameInfo[size_t(f)].actionDisabled != 0;
            } else if (f == h->getCurrentFrame()) {
                const NVFrame* live = h->liveObjects().front()->getFrameObjectStructure();
                disabled = live && live->userAction;
            } else {
                const NVFrame* r = h->frameRecord(f);
                disabled = r && r->userAction;
            }
            s += !strip[f].userAction ? '.' : disabled ? 'd' : 'e';
        }
        return s;
    }
};

TEST_F(FrameObjectRows, AnAudioFileMovesTheFrameIntoAndOutOfTheStripsSoundOrActionBand) {
    struct Case {
        const char* name;
        int frame;                     // 1-based, made current
        std::vector<int> withSound;    // the band once the frame has a sound
        std::vector<int> withoutSound; // and once it has none again
    };
    const Case cases[] = {
        {"a frame without a recorded action joins the band and leaves it", 2, {1, 2, 4}, {1, 4}},
        {"a frame with a recorded action stays in the band", 4, {1, 4}, {1, 4}},
    };
    ASSERT_NO_FATAL_FAILURE(recorded(5, {0, 3}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(go(c.frame));
        ASSERT_NO_FATAL_FAILURE(chooseSound("/sounds/bell.wav", 7));
        const NVFrame* f = w->imageHolder()->liveObjects().front()->getFrameObjectStructure();
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->audioId, 7u);
        EXPECT_EQ(band(), c.withSound);
        EXPECT_TRUE(w->frameStrip()->frameDetails()[c.frame - 1].userAction);

        ASSERT_NO_FATAL_FAILURE(clearSound());
        EXPECT_EQ(f->audioId, 0u);
        EXPECT_EQ(band(), c.withoutSound);
    }
}

TEST_F(FrameObjectRows, UserActionSetsEveryActionFrameOfTheStripsSelectedRange) {
    // Frames 1, 2, 3 and 5 carry a recorded click; frame 2 is disabled first,
    // on its own.
    ASSERT_NO_FATAL_FAILURE(recorded(5, {0, 1, 2, 4}));
    ASSERT_NO_FATAL_FAILURE(go(2));
    ASSERT_NO_FATAL_FAILURE(chooseUserAction("Disable"));
    for (char where : {'s', 'p', 'f'})
        ASSERT_EQ(userActions(where), "ede.e") << where;

    // Frame 1, then Alt+Right four times: frames 1 to 5 selected.
    ASSERT_NO_FATAL_FAILURE(go(1));
    QShortcut* extend = w->frameAccelerators().at(2);
    for (int i = 0; i < 4; ++i)
        emit extend->activated();
    ASSERT_EQ(w->frameStrip()->frameRangeStart(), 1);
    ASSERT_EQ(w->frameStrip()->frameRangeEnd(), 5);

    struct Step {
        const char* word;
        const char* expected;
    };
    // Each frame takes the chosen value, whatever its state was.
    for (const Step& s : {Step{"Disable", "ddd.d"}, Step{"Enable", "eee.e"}, Step{"Enable", "eee.e"}}) {
        SCOPED_TRACE(s.word);
        ASSERT_NO_FATAL_FAILURE(chooseUserAction(s.word));
        EXPECT_EQ(userActions('s'), s.expected) << "the strip";
        EXPECT_EQ(userActions('p'), s.expected) << "the playback records";
        EXPECT_EQ(userActions('f'), s.expected) << "the frame records";
    }

    // Frame 3 shows its new state in its own row.
    ASSERT_NO_FATAL_FAILURE(chooseUserAction("Disable"));
    ASSERT_NO_FATAL_FAILURE(go(3));
    EXPECT_EQ(w->imageHolder()
                  ->liveObjects()
                  .front()
                  ->getEditPropertyBase()
                  ->getPropValue("User Action")
                  .toStdString(),
              "Disable");
}

} // namespace
