// The background sound through the main window: chosen in its dialog, made
// into the output file's audio stream header and resource table, and given
// back by opening that file; New clears it.
#include "../MainWindowFixture.h"
#include "../RecordedProject.h"

#include "app/MenuIds.h"
#include "canvas/DrawTools.h"
#include "canvas/VLImageHolder.h"
#include "canvas/strip/NavigationBarBase.h"
#include "media/CBackgroundSound.h"
#include "media/CResourceEditor.h"
#include "media/InMemoryMediaLibrary.h"
#include "store/VlmFile.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

using namespace mainwin;
using namespace testsupport;

namespace {

// Answers the message boxes that show while `run` runs with the buttons
// named, in order; a box with no answer left is escaped.
void answering(const QStringList& answers, const std::function<void()>& run) {
    int seen = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->property("answered").toBool())
            return;
        box->setProperty("answered", true);
        const QString want = seen < answers.size() ? answers[seen] : QString();
        ++seen;
        for (QAbstractButton* b : box->buttons())
            if (b->text() == want) {
                b->click();
                return;
            }
        box->reject();
    });
    poll.start(10);
    run();
}

class BackgroundSoundWindow : public MainWindowTest {
  protected:
    // `frames` frames as a recording leaves them: a key frame of the whole
    // screen, then one-row bands.
    void recordedProject(int frames) { ASSERT_NO_FATAL_FAILURE(mainwin::recordedProject(w, frames)); }

    // Puts a WAV into the main window's media library; gives its identifier.
    uint32_t importWav(const std::string& path) {
        const std::string bytes = "RIFF\x24\0\0\0WAVEfmt sound bytes of a clip";
        writeFile(path, bytes);
        DrawTools probe(nullptr, "probe");
        MediaLibraryInterface* library = probe.getResourceEditor();
        if (auto* memory = dynamic_cast<InMemoryMediaLibrary*>(library))
            return memory->importFile(QString::fromStdString(path), {bytes.begin(), bytes.end()});
        if (auto* editor = dynamic_cast<CResourceEditor*>(library))
            return editor->store().importFile(QString::fromStdString(path));
        return 0;
    }

    template <class W> W* child(const char* name) {
        W* c = w->backgroundSoundDialog()->findChild<W*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    std::string vlmPath() const { return home() + "/zedaro/Untitled.vlm"; }
};

TEST_F(BackgroundSoundWindow, MadeIntoTheOutputFileAndGivenBackByOpeningIt) {
    recordedProject(3);
    const std::string wav = home() + "/voice.wav";
    const uint32_t id = importWav(wav);
    ASSERT_NE(id, 0u);

    w->slotPerferencesBackground();
    CBackgroundSound* dialog = w->backgroundSoundDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->objectName(), "Backgroundsoundsettings");
    ASSERT_TRUE(dialog->isVisible());
    dialog->SlotGetIDAndPath(QString::fromStdString(wav), id); // the library's answer to Browse
    child<QCheckBox>("Loop Sound")->click();
    child<QCheckBox>("Number of Times")->click();
    child<QLineEdit>("NoOfTimesCount")->setText("3");
    child<QCheckBox>("User Fading")->click();
    child<QCheckBox>("Fading In CheckBox")->click();
    child<QLineEdit>("SecondsToFadeIn")->setText("2");
    child<QPushButton>("Ok Button")->click();
    EXPECT_FALSE(dialog->isVisible());
    const SBackgroundSoundBytes chosen = w->backgroundSoundRecord();
    const SBackgroundSoundSettings s = SBackgroundSoundSettings::fromBytes(chosen);
    EXPECT_EQ(s.resourceId, id);
    EXPECT_EQ(s.loopCount, 3);
    EXPECT_EQ(s.secondsFadeIn, 2);
    EXPECT_EQ(s.outFrame, 3);

    answering({}, [&] { w->slotFileMake(); });
    ASSERT_EQ(w->project().m_dwFrameCount, 0u) << "the make succeeded";
    {
        VlmFile file;
        ASSERT_EQ(file.openToRead(vlmPath()), 0);
        EXPECT_EQ(file.audioHeader().backgroundSound, chosen);
        char name[200] = {};
        EXPECT_EQ(file.ScapResourceReadFileName(name, sizeof name, id), 0) << "the sound is in the table";
        file.vlmFileClose();
    }

    // New forgets it; opening the made file brings it back.
    w->CleanUpAudio();
    EXPECT_EQ(w->backgroundSoundRecord(), SBackgroundSoundBytes{});
    EXPECT_EQ(w->backgroundSoundId(), 0u);
    answering({"&No "}, [&] { ASSERT_EQ(w->makeBuilderScratch(vlmPath()), 0); });
    ASSERT_NE(w->backgroundSoundId(), 0u);
    SBackgroundSoundBytes back = w->backgroundSoundRecord();
    EXPECT_EQ(SBackgroundSoundSettings::fromBytes(back).resourceId, w->backgroundSoundId());
    EXPECT_TRUE(std::equal(back.begin() + 4, back.end(), chosen.begin() + 4));

    w->slotPerferencesBackground();
    EXPECT_TRUE(child<QCheckBox>("Loop Sound")->isChecked());
    EXPECT_EQ(child<QLineEdit>("NoOfTimesCount")->text(), "3");
    EXPECT_EQ(child<QLineEdit>("SecondsToFadeIn")->text(), "2");
    EXPECT_FALSE(child<QLineEdit>("SoundFileBox")->text().trimmed().isEmpty());
    w->hideSoundItems();
    EXPECT_FALSE(dialog->isVisible());
}

// Without a usable card the second recorders turn the five Sound items off.
TEST_F(BackgroundSoundWindow, DisableMenuItemsForSoundTurnsTheSoundItemsOff) {
    using namespace menuid;
    const int items[] = {SOUND_RECORD, SOUND_STOP, SOUND_PLAY, SOUND_REWIND, SOUND_FORWARD};
    for (int id : items)
        w->setItemEnabled(id, true);
    w->setItemEnabled(EDIT_APPEND_FRAME, true);
    w->disableMenuItemsForSound();
    for (int id : items)
        EXPECT_FALSE(w->isItemEnabled(id)) << id;
    EXPECT_TRUE(w->isItemEnabled(EDIT_APPEND_FRAME));
}

} // namespace
