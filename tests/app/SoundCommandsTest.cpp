// The main window's sound members that need no sound device: the sound working
// file around Make and Open, Delete Sound, the Sound menu of a loaded frame and
// the audio settings dialog. Clips are stored as the sound engine stores them.
#include "AnsweredBoxes.h"
#include "MainWindowFixture.h"
#include "RecordedProject.h"

#include "app/MenuIds.h"
#include "canvas/VLImageHolder.h"
#include "canvas/strip/NavigationBarBase.h"
#include "media/AudioSettingsDialog.h"
#include "media/SoundWorkingFile.h"
#include "store/RecordIO.h"
#include "store/VlmFile.h"
#include "support/TempDir.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>

using namespace mainwin;
using namespace menuid;
using namespace testsupport;

namespace {

using mainwin::answering;
using mainwin::Box;

std::string pattern(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char((i * 13 + seed) % 241);
    return s;
}

class SoundCommands : public MainWindowTest {
  protected:
    // `frames` frames as a recording leaves them: a key frame of the whole
    // screen, then one-row bands; the tables, the holder and the strip follow.
    void recordedProject(int frames) {
        ASSERT_NO_FATAL_FAILURE(
            mainwin::recordedProject(w, frames, [](size_t row, int i) { return pattern(row, unsigned(i)); }));
    }

    // A clip stored on the 0-based frame as the sound engine stores one: the
    // working file first, then the frame's two records.
    SoundWorkingFile::StoredClip clipOn(int frame, const std::string& bytes) {
        w->frameStrip()->set_current_frame(frame + 1);
        SoundWorkingFile& file = w->soundWorkingFile();
        writeFile(file.tempPath(), bytes);
        SoundWorkingFile::StoredClip c;
        const SoundWorkingFile::Status s =
            file.storeClip(uint32_t(frame), uint32_t(bytes.size()), sAudioSpecStruct{100, 8000, 1, 16}, c);
        EXPECT_TRUE(s) << s.cause;
        soundrec::setEditInfoAudio(w->project().m_vEditInfo[size_t(frame)], c.headerOffset);
        w->SetUpPlayBackFrameInfoAudio(frame, long(c.length), c.format);
        file.removeTemp();
        return c;
    }

    std::string vlmPath() const { return home() + "/zedaro/Untitled.vlm"; }
};

// The clip's bytes in the output file: its audio chunk of the frame.
std::vector<uint8_t> audioChunk(const std::string& vlm, uint32_t frame) {
    VlmFile file;
    EXPECT_EQ(file.openToRead(vlm), 0);
    std::vector<uint8_t> chunk;
    if (file.vlmGetFormat(chunk, frame, 1) != 0)
        chunk.clear();
    file.vlmFileClose();
    return chunk;
}

TEST_F(SoundCommands, AClipNotedOnAFrameJoinsTheStripsSoundOrActionFrames) {
    recordedProject(3);
    clipOn(2, pattern(4096, 1));
    const SPlayBackFrameInfo& p = w->project().m_vPlayBackFrameInfo[2];
    EXPECT_EQ(p.audioSize, 4096u);
    EXPECT_EQ(p.frameFlags & (PBF_AUDIO | PBF_AUDIO_RECORDED), PBF_AUDIO | PBF_AUDIO_RECORDED);
    EXPECT_EQ(p.bytesPerSec, 16000u);
    const auto& cells = w->frameStrip()->uFrameDetails();
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells[0].frame, 3) << "the strip counts frames from 1";
    const sAudioSpecStruct back = w->getPlayBackFrameInfoAudio(2);
    EXPECT_EQ(back, (sAudioSpecStruct{0, 8000, 1, 16}));
}

TEST_F(SoundCommands, TheSoundMenuFollowsTheLoadedFrame) {
    recordedProject(2);
    clipOn(1, pattern(4096, 2));
    for (int id : {SOUND_RECORD, SOUND_STOP, SOUND_PLAY, SOUND_REWIND, SOUND_FORWARD})
        w->setItemEnabled(id, id == SOUND_STOP);
    w->setItemEnabled(RECORD_SOUND, false);
    bool playOnAtSignal = false;
    QObject::connect(w, &Velmora::NewFrameSignal, [&] { playOnAtSignal = w->isItemEnabled(SOUND_PLAY); });

    struct Case {
        int frame;
        bool sound;
    };
    for (const Case c : {Case{1, true}, Case{0, false}, Case{1, true}}) {
        SCOPED_TRACE(c.frame);
        w->slotLoadFrame(c.frame);
        EXPECT_TRUE(w->isItemEnabled(RECORD_SOUND));
        EXPECT_TRUE(w->isItemEnabled(SOUND_RECORD));
        EXPECT_FALSE(w->isItemEnabled(SOUND_STOP));
        for (int id : {SOUND_PLAY, SOUND_REWIND, SOUND_FORWARD})
            EXPECT_EQ(w->isItemEnabled(id), c.sound) << id;
        EXPECT_EQ(playOnAtSignal, c.sound) << "the menu is set before the frame is announced";
    }
}

struct DeleteCase {
    const char* name;
    bool clip;
    QString answer;
    bool cleared;
};

class DeleteSound : public SoundCommands, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteSound, AsksThenTakesTheClipOffTheCurrentFrame) {
    const DeleteCase& c = GetParam();
    recordedProject(2);
    if (c.clip)
        clipOn(0, pattern(8192, 3));
    clipOn(1, pattern(8192, 4));
    w->frameStrip()->set_current_frame(1);
    ASSERT_EQ(w->project().m_currentFrame, 0);
    w->setItemEnabled(EDIT_DELETE_SOUND, true);
    w->setItemEnabled(SOUND_PLAY, true);
    const SEditInfo editBefore = w->project().m_vEditInfo[0];
    const SPlayBackFrameInfo playBefore = w->project().m_vPlayBackFrameInfo[0];
    const SPlayBackFrameInfo otherBefore = w->project().m_vPlayBackFrameInfo[1];
    std::vector<int> deleted;
    QObject::connect(w, &Velmora::SoundFrameDeleteSignal, [&](int frame) { deleted.push_back(frame); });

    testing::internal::CaptureStderr();
    const std::vector<Box> boxes = answering({c.answer, "OK"}, [&] { w->slotEditDeleteSound(); });
    const std::string err = testing::internal::GetCapturedStderr();

    ASSERT_GE(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Delete Sound");
    EXPECT_EQ(boxes[0].text, "Delete Sound in this Frame?");
    const SEditInfo& e = w->project().m_vEditInfo[0];
    const SPlayBackFrameInfo& p = w->project().m_vPlayBackFrameInfo[0];
    if (c.cleared) {
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].title, "Delete Sound");
        EXPECT_EQ(boxes[1].text, "Deleted Sound !");
        EXPECT_EQ(p.audioSize, 0u);
        EXPECT_EQ(p.frameFlags & PBF_AUDIO, 0);
        EXPECT_EQ(p.frameFlags & PBF_KEY, PBF_KEY) << "other flags stay";
        EXPECT_EQ(e.audioHeaderOffset, 0);
        EXPECT_EQ(e.audioHeaderOffsetCopy, 0);
        EXPECT_EQ(e.addedMark, 0);
        EXPECT_EQ(e.audioFlag, 0);
        EXPECT_FALSE(w->isItemEnabled(EDIT_DELETE_SOUND));
        EXPECT_FALSE(w->isItemEnabled(SOUND_PLAY));
        EXPECT_EQ(deleted, std::vector<int>{0});
        EXPECT_NE(err.find("Deleted Sound From the Frame Number 0"), std::string::npos) << err;
    } else {
        EXPECT_EQ(boxes.size(), 1u);
        EXPECT_EQ(e.audioHeaderOffset, editBefore.audioHeaderOffset);
        EXPECT_EQ(e.audioFlag, editBefore.audioFlag);
        EXPECT_EQ(p, playBefore);
        EXPECT_TRUE(w->isItemEnabled(EDIT_DELETE_SOUND));
        EXPECT_TRUE(w->isItemEnabled(SOUND_PLAY));
        EXPECT_TRUE(deleted.empty());
    }
    EXPECT_EQ(w->project().m_vPlayBackFrameInfo[1], otherBefore) << "only the current frame";
}

INSTANTIATE_TEST_SUITE_P(Table, DeleteSound,
                         ::testing::Values(DeleteCase{"OkOnAFrameWithSound", true, "OK", true},
                                           DeleteCase{"CancelKeepsTheClip", true, "Cancel", false},
                                           // Still reported, as on a frame with sound.
                                           DeleteCase{"OkOnAFrameWithoutSound", false, "OK", true}),
                         [](const ::testing::TestParamInfo<DeleteCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SoundCommands, TheMakeHasNoAudioWhereTheSoundWasDeleted) {
    recordedProject(2);
    clipOn(0, pattern(16000, 5));
    clipOn(1, pattern(16000, 6));
    w->frameStrip()->set_current_frame(1);
    answering({"OK", "OK"}, [&] { w->slotEditDeleteSound(); });

    answering({}, [&] { w->slotFileMake(); });
    ASSERT_EQ(w->project().m_dwFrameCount, 0u) << "the make succeeded";
    EXPECT_TRUE(audioChunk(vlmPath(), 0).empty()) << "frame 1 lost its sound";
    EXPECT_FALSE(audioChunk(vlmPath(), 1).empty()) << "frame 2 kept its sound";
}

// Make reads the sound working file by its path and Open renames a new one
// over it: the window closes it first, and the next clip reopens it at its end.
TEST_F(SoundCommands, TheSoundWorkingFileIsClosedForMakeAndOpenAndContinuedAfter) {
    recordedProject(2);
    const std::string clip = pattern(16000, 7);
    clipOn(1, clip);
    SoundWorkingFile& file = w->soundWorkingFile();
    ASSERT_TRUE(file.isOpen());

    // Sampled while the make and the import run: they let events through per frame.
    std::vector<bool> openDuring;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        if (!QApplication::activeModalWidget()) // not while the Save Frames prompt waits
            openDuring.push_back(file.isOpen());
    });
    sample.start(0);
    answering({}, [&] { w->slotFileMake(); });
    sample.stop();
    ASSERT_EQ(w->project().m_dwFrameCount, 0u) << "the make succeeded";
    ASSERT_FALSE(openDuring.empty());
    EXPECT_EQ(std::count(openDuring.begin(), openDuring.end(), true), 0) << "closed during the make";
    EXPECT_FALSE(file.isOpen());

    // A new project: its first clip goes after the made project's clip.
    recordedProject(2);
    const SoundWorkingFile::StoredClip after = clipOn(0, pattern(2048, 9));
    EXPECT_EQ(after.headerOffset, 48u + 28u + clip.size()) << "reopened for update at its end";
    ASSERT_TRUE(file.isOpen());

    // Open the made file from the recent files, dropping this project.
    int recent = 0;
    for (int id : w->menuItemIds())
        if (w->actionById(id)->property("recentPath").toString() == QString::fromStdString(vlmPath()))
            recent = id;
    ASSERT_NE(recent, 0);
    openDuring.clear();
    sample.start(0);
    answering({"&No "}, [&] { w->slotRecentFileSelected(recent); });
    sample.stop();
    ASSERT_EQ(w->project().m_dwFrameCount, 2u) << "the import succeeded";
    ASSERT_FALSE(openDuring.empty());
    EXPECT_EQ(std::count(openDuring.begin(), openDuring.end(), true), 0) << "closed during the import";

    // The imported clip is where its frame says; the next clip follows the file's end.
    const std::string imported = readFile(file.path());
    const SEditInfo& e = w->project().m_vEditInfo[1];
    ASSERT_EQ(e.audioFlag, 1);
    ASSERT_LE(size_t(e.audioHeaderOffset) + 28, imported.size());
    const uint32_t length =
        rec::readLe32(reinterpret_cast<const uint8_t*>(imported.data()) + e.audioHeaderOffset + 4);
    EXPECT_EQ(length, w->project().m_vPlayBackFrameInfo[1].audioSize);
    const SoundWorkingFile::StoredClip next = clipOn(0, pattern(4096, 8));
    EXPECT_EQ(next.headerOffset, imported.size());
    EXPECT_EQ(readFile(file.path()).substr(0, imported.size()).substr(8), imported.substr(8))
        << "the imported clips stay";
}

TEST_F(SoundCommands, AudioSettingsShowWithoutWaitingAndHideForNewAndMake) {
    CAudioSpec* dialog = w->audioSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->objectName(), "AudioSpecifications");
    EXPECT_EQ(dialog->parent(), w);
    EXPECT_FALSE(dialog->isVisible());
    QToolButton* button = w->widgets().audioSettingsButton;
    button->setEnabled(true);
    button->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());

    w->slotFileNew();
    EXPECT_FALSE(dialog->isVisible()) << "New hides it";
    w->slotPerferencesAudio();
    EXPECT_TRUE(dialog->isVisible());
    recordedProject(1);
    answering({}, [&] { w->slotFileMake(); });
    EXPECT_FALSE(dialog->isVisible()) << "Make hides it";
}

} // namespace
