// The background sound dialog on the offscreen platform, over a host that
// holds the record, the chosen resource and the frame count: what OK stores,
// what a showing fills in, and Browse's one answer.
#include "ResourceStoreTestFiles.h"

#include "media/CBackgroundSound.h"
#include "media/CResourceEditor.h"
#include "media/ResourceUseTable.h"
#include "media/SoundEngineHost.h"
#include "support/QtTestApp.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <filesystem>

using namespace resourcetest;

namespace {

class BackgroundHost : public SoundEngineHost {
  public:
    SBackgroundSoundBytes record{};
    uint32_t id = 0;
    std::string file;
    uint32_t frames = 10;
    CResourceEditor* library = nullptr;
    int choices = 0;

    sAudioSpecStruct recordingSettings() override { return {}; }
    int currentFrame() override { return 0; }
    sAudioSpecStruct clipFormat(int) override { return {}; }
    void showSoundError(int, const std::string&) override {}
    SBackgroundSoundBytes backgroundSoundRecord() override { return record; }
    void setBackgroundSoundRecord(const SBackgroundSoundBytes& r) override { record = r; }
    uint32_t backgroundSoundId() override { return id; }
    std::string backgroundSoundFile() override { return file; }
    void setBackgroundSoundChoice(uint32_t i, const std::string& p) override {
        id = i;
        file = p;
        ++choices;
    }
    uint32_t frameCountForSound() override { return frames; }
    CResourceEditor* backgroundSoundLibrary() override { return library; }
};

// The 20 bytes in field order: id, looping, count, forever, fading, fade in,
// fade out, seconds in, seconds out, in frame, out frame.
SBackgroundSoundBytes bytes(uint32_t id, uint8_t loop, uint8_t count, uint8_t always, uint8_t fading,
                            uint8_t in, uint8_t out, uint8_t secIn, uint8_t secOut, int32_t inFrame,
                            int32_t outFrame) {
    SBackgroundSoundSettings s;
    s.resourceId = id;
    s.looping = loop;
    s.loopCount = count;
    s.loopForever = always;
    s.fading = fading;
    s.fadeIn = in;
    s.fadeOut = out;
    s.secondsFadeIn = secIn;
    s.secondsFadeOut = secOut;
    s.inFrame = inFrame;
    s.outFrame = outFrame;
    return s.toBytes();
}

class BackgroundSound : public testsupport::OffscreenAppSuite {
  public:
    void SetUp() override {
        dialog = std::make_unique<CBackgroundSound>(nullptr, "Backgroundsoundsettings", true);
        dialog->setHost(&host);
    }
    template <class W = QWidget> W* child(const char* name) {
        W* w = dialog->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    QCheckBox* box(const char* name) { return child<QCheckBox>(name); }
    void ok() { child<QPushButton>("Ok Button")->click(); }

    BackgroundHost host;
    std::unique_ptr<CBackgroundSound> dialog;
};

TEST(BackgroundSoundRecord, FieldsLieAtThePlayersOffsets) {
    const SBackgroundSoundBytes b = bytes(0x04030201, 1, 2, 3, 4, 5, 6, 7, 8, 0x0c0b0a09, -2);
    const SBackgroundSoundBytes want = {1, 2, 3, 4,  1,  2,  3,    4,    5,    6,
                                        7, 8, 9, 10, 11, 12, 0xfe, 0xff, 0xff, 0xff};
    EXPECT_EQ(b, want);
    EXPECT_EQ(SBackgroundSoundSettings::fromBytes(b).toBytes(), b);
    EXPECT_EQ(sizeof(SBackgroundSoundBytes), size_t(SBackgroundSoundSettings::SIZE));
}

TEST_F(BackgroundSound, BuiltWithItsNamesAndStates) {
    EXPECT_EQ(dialog->windowTitle(), "Background Sound Settings");
    EXPECT_EQ(dialog->size(), QSize(400, 400));
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(edit("InFrameBox")->text(), "0");
    EXPECT_FALSE(box("Loop Sound")->isChecked());
    for (const char* n : {"Duration", "Number of Times", "Forever", "NoOfTimesCount", "Fade Settings",
                          "Seconds to Fade In", "Seconds to Fade Out", "SecondsToFadeIn", "SecondsToFadeOut"})
        EXPECT_FALSE(child(n)->isEnabled()) << n;
}

struct OkCase {
    const char* name;
    uint32_t chosen;
    std::function<void(BackgroundSound&)> type;
    SBackgroundSoundBytes want;
    bool accepted; // the dialog hides and the record is written
};

class BackgroundOk : public BackgroundSound, public ::testing::WithParamInterface<OkCase> {};

void loopTimes(BackgroundSound& t, const char* count) {
    t.box("Loop Sound")->click();
    t.box("Number of Times")->click();
    t.edit("NoOfTimesCount")->setText(count);
}

TEST_P(BackgroundOk, StoresWhatTheAuthorTyped) {
    const OkCase& c = GetParam();
    host.id = c.chosen;
    host.file = "/r/a.wav";
    const SBackgroundSoundBytes before = bytes(9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9);
    host.record = before;
    dialog->show();
    host.record = before; // the showing reads the record; OK alone writes it
    edit("InFrameBox")->setText("2");
    edit("Out Frame")->setText("7");
    c.type(*this);
    ok();
    EXPECT_EQ(host.record, c.accepted ? c.want : before);
    EXPECT_EQ(dialog->isVisible(), !c.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BackgroundOk,
    ::testing::Values(
        OkCase{"NoSoundChosen", 0, [](BackgroundSound&) {}, bytes(0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0), true},
        OkCase{"Frames", 5, [](BackgroundSound&) {}, bytes(5, 0, 0, 1, 0, 0, 0, 0, 0, 2, 7), true},
        OkCase{"OutFrameZero", 5, [](BackgroundSound& t) { t.edit("Out Frame")->setText("0"); },
               bytes(5, 0, 0, 1, 0, 0, 0, 0, 0, 2, 10), true},
        OkCase{"OutFrameBeyondCount", 5, [](BackgroundSound& t) { t.edit("Out Frame")->setText("11"); },
               bytes(5, 0, 0, 1, 0, 0, 0, 0, 0, 2, 10), true},
        OkCase{"InFrameBeyondCount", 5, [](BackgroundSound& t) { t.edit("InFrameBox")->setText("11"); },
               bytes(5, 0, 0, 1, 0, 0, 0, 0, 0, 0, 7), true},
        OkCase{"NegativeOutFrameRefused", 5, [](BackgroundSound& t) { t.edit("Out Frame")->setText("-3"); },
               {}, false},
        OkCase{"LoopForever", 5, [](BackgroundSound& t) { t.box("Loop Sound")->click(); },
               bytes(5, 1, 0, 1, 0, 0, 0, 0, 0, 2, 7), true},
        OkCase{"Loop255Times", 5, [](BackgroundSound& t) { loopTimes(t, "255"); },
               bytes(5, 1, 255, 0, 0, 0, 0, 0, 0, 2, 7), true},
        OkCase{"Loop256TimesRefused", 5, [](BackgroundSound& t) { loopTimes(t, "256"); }, {}, false},
        OkCase{"Fading", 5,
               [](BackgroundSound& t) {
                   t.box("User Fading")->click();
                   t.box("Fading In CheckBox")->click();
                   t.edit("SecondsToFadeIn")->setText("2");
                   t.box("Fade Out CheckBox")->click();
                   t.edit("SecondsToFadeOut")->setText("3");
               },
               bytes(5, 0, 0, 1, 1, 1, 1, 2, 3, 2, 7), true},
        // Both fade bytes follow "User Fading"; an unwanted fade is 0 seconds.
        OkCase{"FadingSetsBothBytes", 5, [](BackgroundSound& t) { t.box("User Fading")->click(); },
               bytes(5, 0, 0, 1, 1, 1, 1, 0, 0, 2, 7), true},
        OkCase{"FadeSeconds256Refused", 5,
               [](BackgroundSound& t) {
                   t.box("User Fading")->click();
                   t.box("Fading In CheckBox")->click();
                   t.edit("SecondsToFadeIn")->setText("300");
               },
               {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackgroundSound, TypingANegativeInFrameGivesZero) {
    dialog->show();
    edit("InFrameBox")->setText("-4");
    EXPECT_EQ(edit("InFrameBox")->text(), "0");
}

TEST_F(BackgroundSound, ShowingRefillsTheWidgetsFromTheRecord) {
    host.id = 5;
    host.file = "/r/a.wav";
    host.record = bytes(5, 1, 3, 0, 1, 1, 1, 2, 4, 1, 0);
    dialog->show();
    EXPECT_EQ(edit("SoundFileBox")->text(), "/r/a.wav");
    EXPECT_EQ(edit("InFrameBox")->text(), "1");
    EXPECT_EQ(edit("Out Frame")->text(), "10"); // 0: the frame count
    EXPECT_TRUE(box("Loop Sound")->isChecked());
    EXPECT_TRUE(box("Number of Times")->isChecked());
    EXPECT_FALSE(box("Forever")->isChecked());
    EXPECT_EQ(edit("NoOfTimesCount")->text(), "3");
    EXPECT_TRUE(edit("NoOfTimesCount")->isEnabled());
    EXPECT_TRUE(box("User Fading")->isChecked());
    EXPECT_EQ(edit("SecondsToFadeIn")->text(), "2");
    EXPECT_EQ(edit("SecondsToFadeOut")->text(), "4");

    // Cancel keeps what was typed; the next showing refills from the record.
    edit("NoOfTimesCount")->setText("9");
    child<QPushButton>("Cancel Button")->click();
    EXPECT_EQ(edit("NoOfTimesCount")->text(), "9");
    dialog->show();
    EXPECT_EQ(edit("NoOfTimesCount")->text(), "3");
    // And OK of the shown record gives it back unchanged but for the out frame.
    ok();
    EXPECT_EQ(host.record, bytes(5, 1, 3, 0, 1, 1, 1, 2, 4, 1, 10));

    host.id = 0;
    host.record = {};
    dialog->show();
    EXPECT_EQ(edit("SoundFileBox")->text(), " ");
    EXPECT_FALSE(box("Loop Sound")->isChecked());
    EXPECT_FALSE(box("User Fading")->isChecked());
    EXPECT_EQ(edit("NoOfTimesCount")->text(), "");
    EXPECT_FALSE(child("Fade Settings")->isEnabled());
}

TEST_F(BackgroundSound, EachSecondsFieldFollowsItsOwnCheckBox) {
    dialog->show();
    box("User Fading")->click();
    EXPECT_FALSE(edit("SecondsToFadeIn")->isEnabled());
    EXPECT_FALSE(edit("SecondsToFadeOut")->isEnabled());
    box("Fading In CheckBox")->click();
    EXPECT_TRUE(edit("SecondsToFadeIn")->isEnabled());
    EXPECT_EQ(edit("SecondsToFadeIn")->text(), "0");
    EXPECT_FALSE(edit("SecondsToFadeOut")->isEnabled());
    box("User Fading")->click();
    box("User Fading")->click();
    EXPECT_TRUE(edit("SecondsToFadeIn")->isEnabled());
    EXPECT_FALSE(edit("SecondsToFadeOut")->isEnabled());
}

TEST_F(BackgroundSound, BrowseWithoutALibraryDoesNothing) {
    dialog->show();
    child<QPushButton>("Browse Button")->click();
    EXPECT_EQ(host.choices, 0);
}

// Browse takes the library's one answer; later OKs in the same library,
// opened for another purpose, leave the background sound alone.
TEST_F(BackgroundSound, BrowseTakesOneAnswerAndDisconnects) {
    Folders folders;
    const std::string oldHome = qEnvironmentVariable("HOME").toStdString();
    const auto oldDir = std::filesystem::current_path();
    qputenv("HOME", QByteArray::fromStdString(folders.home()));
    std::filesystem::current_path(folders.home());
    testsupport::writeFile(folders.icons(), defaultIconFile(53, true));
    ResourceUseTable::instance().clear();
    {
        CResourceEditor library(nullptr, "ResourceEditor", true);
        library.setMessageBox([](QWidget*, const QString&, const QString&) {});
        host.library = &library;
        dialog->show();
        for (int press = 0; press < 3; ++press) {
            QTimer::singleShot(0, &library, [&library] {
                emit library.OkButtonSignal("/r/clip.wav", 77);
                library.accept();
            });
            child<QPushButton>("Browse Button")->click();
        }
        EXPECT_EQ(host.choices, 3);
        EXPECT_EQ(host.id, 77u);
        EXPECT_EQ(edit("SoundFileBox")->text(), "/r/clip.wav");
        ok();
        const SBackgroundSoundBytes record = host.record;

        emit library.OkButtonSignal("/r/other.gif", 12);
        EXPECT_EQ(host.choices, 3);
        EXPECT_EQ(host.id, 77u);
        EXPECT_EQ(host.record, record);
        dialog->show();
        EXPECT_EQ(edit("SoundFileBox")->text(), "/r/clip.wav");
    }
    std::filesystem::current_path(oldDir);
    qputenv("HOME", QByteArray::fromStdString(oldHome));
    ResourceUseTable::instance().clear();
}

} // namespace
