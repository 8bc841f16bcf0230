// The record sound clip dialog on the offscreen platform: the buttons' states
// on show and after each click, the slider, and the card recorder's updates
// through the dialog the host refers to.
#include "media/CRecordSoundClip.h"
#include "media/COSSCard.h"
#include "media/SoundEngineHost.h"
#include "store/ProjectTables.h"
#include "support/QtTestApp.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <sys/stat.h>

namespace {

class RecordSoundClip : public testsupport::OffscreenAppSuite {
  public:
    void SetUp() override { dialog = std::make_unique<CRecordSoundClip>(nullptr, "RecordSoundClip"); }
    // Counts the signal's emissions.
    template <class Signal> std::shared_ptr<int> spy(Signal signal) {
        auto n = std::make_shared<int>(0);
        QObject::connect(dialog.get(), signal, [n] { ++*n; });
        return n;
    }
    // Record, Stop, Play, Forward, End: 1 enabled, 0 not.
    std::string states() const {
        std::string s;
        for (int id = 0; id < 5; ++id)
            s += dialog->button(id)->isEnabled() ? '1' : '0';
        return s;
    }
    std::unique_ptr<CRecordSoundClip> dialog;
};

TEST_F(RecordSoundClip, BuiltWithItsLayout) {
    EXPECT_EQ(dialog->windowTitle(), "RecordSoundClip");
    EXPECT_EQ(dialog->size(), QSize(220, 150));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->slider()->maximum(), 100);
    EXPECT_EQ(dialog->slider()->geometry(), QRect(40, 90, 150, 10));
    EXPECT_EQ(dialog->elapsedTimeLabel()->objectName(), "Elapsed Time");
    EXPECT_EQ(dialog->totalTimeLabel()->objectName(), "TotalTime");
    const char* tips[5] = {"Record Sound", "Stop", "Play Sound", "Forward", "End"};
    for (int id = 0; id < 5; ++id) {
        EXPECT_EQ(dialog->button(id)->toolTip(), tips[id]);
        EXPECT_EQ(dialog->button(id)->geometry(), QRect(30 + 35 * id, 112, 35, 25));
    }
    EXPECT_EQ(states(), "10000");
    EXPECT_TRUE(dialog->byteFlag());
}

TEST_F(RecordSoundClip, ButtonStatesAfterEachClickAndOnShow) {
    auto enable = spy(&CRecordSoundClip::EnableButtons);
    auto record = spy(&CRecordSoundClip::StartRecordingSignal);
    auto stop = spy(&CRecordSoundClip::StopSignal);
    auto play = spy(&CRecordSoundClip::StartPlayingSignal);
    dialog->show();
    EXPECT_EQ(states(), "10000");
    EXPECT_EQ(*enable, 1);

    struct Step {
        int id;
        const char* states;
        int slider;
    };
    dialog->slider()->setValue(40);
    for (const Step& s : {Step{0, "01000", 40}, Step{1, "00100", 40}, Step{2, "00111", 0},
                          Step{3, "00111", 100}, Step{4, "00111", 0}}) {
        SCOPED_TRACE(s.id);
        dialog->button(s.id)->click();
        EXPECT_EQ(states(), s.states);
        EXPECT_EQ(dialog->slider()->value(), s.slider);
        EXPECT_EQ(dialog->lastButton(), s.id);
        EXPECT_FALSE(dialog->byteFlag());
    }
    EXPECT_EQ(*record, 1);
    EXPECT_EQ(*stop, 1);
    EXPECT_EQ(*play, 1);

    dialog->hide();
    dialog->slider()->setValue(70);
    dialog->show();
    EXPECT_EQ(states(), "10000");
    EXPECT_EQ(dialog->slider()->value(), 0);
    EXPECT_EQ(*enable, 2);
}

TEST_F(RecordSoundClip, ClosingTellsTheMainWindow) {
    auto closed = spy(&CRecordSoundClip::signalCloseCRecordSoundClip);
    dialog->show();
    dialog->close();
    EXPECT_EQ(*closed, 1);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(RecordSoundClip, TheProbeFollowsTheDriversFiles) {
    struct stat st {};
    const bool oss = stat("/dev/sndstat", &st) == 0;
    const bool alsa = stat("/proc/asound/sndstat", &st) == 0;
    std::vector<QString> boxes;
    dialog->setMessageBox(
        [&](const QString& caption, const QString& text) { boxes.push_back(caption + ": " + text); });
    dialog->show();
    const int kind = dialog->ProbeForSoundCardType();
    if (oss || alsa) {
        EXPECT_EQ(kind, oss ? 200 : 210);
        EXPECT_TRUE(boxes.empty());
    } else {
        EXPECT_EQ(kind, 220);
        EXPECT_EQ(boxes, std::vector<QString>{"RecordError: No SoundCard or IncompatibeDriver"});
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), 0);
    }
}

class DialogHost : public SoundEngineHost {
  public:
    CRecordSoundClip* dialog = nullptr;
    ProjectTables project;
    sAudioSpecStruct recordingSettings() override { return {}; }
    int currentFrame() override { return 0; }
    sAudioSpecStruct clipFormat(int) override { return {}; }
    void showSoundError(int, const std::string&) override {}
    ProjectTables* projectTablesForSound() override { return &project; }
    CRecordSoundClip* recordSoundClipDialog() override { return dialog; }
};

// The recorder enables Play, Forward and End for a frame with a clip, and
// updates nothing while the host refers to no dialog.
TEST_F(RecordSoundClip, TheCardRecorderEnablesTheButtonsOfTheHostsDialog) {
    DialogHost host;
    host.project.m_vEditInfo.resize(2);
    host.project.m_vEditInfo[1].audioFlag = 1;
    COSSCard card(nullptr, "OSS Card");
    card.setHost(&host);
    dialog->show();
    card.SlotCurrentFrame(1);
    card.SlotEnableButtons();
    EXPECT_EQ(states(), "10000") << "no dialog is set";
    EXPECT_EQ(dialog->elapsedTimeLabel()->text(), "");

    host.dialog = dialog.get();
    card.SlotEnableButtons();
    EXPECT_EQ(states(), "10111");
    EXPECT_EQ(dialog->elapsedTimeLabel()->text(), "0.0s");
    EXPECT_EQ(dialog->totalTimeLabel()->text(), "0.0s");
    card.SlotCurrentFrame(0);
    card.SlotEnableButtons();
    EXPECT_EQ(states(), "10000");
}

} // namespace
