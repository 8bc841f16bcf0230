// The main window's sound members: the audio settings dialog, the sound
// engine and the sound clip window, the sound operations and the commands
// locked while a transfer runs, the frames' sound records and Delete Sound.
#include "app/CSoundClip.h"
#include "app/MenuIds.h"
#include "app/Velmora.h"
#include "store/DatRecords.h"
#include "store/Diagnostics.h"

#include "canvas/VelmoraView.h"
#include "canvas/strip/NVNavigationBar.h"
#include "canvas/strip/NavigationBarBase.h"
#include "media/AudioSettingsDialog.h"
#include "media/CBackgroundSound.h"
#include "media/COSSSound.h"
#include "media/CResourceEditor.h"
#include "media/SoundWorkingFile.h"
#include "media/WorkingFileClipStore.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <sys/stat.h>

using namespace menuid;

namespace {

// What a transfer locks: the commands that change the project, the frame
// table or the sound files.
const int kLockedItems[] = {
    FILE_NEW,          FILE_OPEN,         FILE_MAKE,         FILE_SAVE_AS,      EDIT_UNDO,
    EDIT_CUT,          EDIT_PASTE,        EDIT_DELETE,       EDIT_APPEND_FRAME, EDIT_INSERT_FRAME,
    EDIT_DELETE_FRAME, EDIT_PURGE_FRAMES, EDIT_DELETE_SOUND, RECORD_START,      PREFERENCES_BACKGROUND};

} // namespace

void Velmora::initSound() {
    m_pAudioSpec = new CAudioSpec(this, "AudioSpecifications");
    m_pOSSSound = new COSSSound(this, "OSS Sound Card Class");
    m_soundClipStore = std::make_unique<WorkingFileClipStore>(
        *m_soundWorkingFile, m_project, this,
        [this](int frame, uint32_t length, const sAudioSpecStruct& format) {
            SetUpPlayBackFrameInfoAudio(frame, long(length), format);
        });
    m_pOSSSound->setHost(this);
    m_pOSSSound->setClipStore(m_soundClipStore.get());
    m_pSoundClip = new CSoundClip(this, "SoundClip Class");
    connect(this, &Velmora::NewFrameSignal, m_pSoundClip, &CSoundClip::SlotUpdateGUI);
    m_pBackgroundSound = new CBackgroundSound(this, "Backgroundsoundsettings", true);
    m_pBackgroundSound->setHost(this);
}

void Velmora::hideSoundItems() {
    if (m_pAudioSpec && m_pAudioSpec->isVisible())
        m_pAudioSpec->hide();
    if (m_pSoundClip && m_pSoundClip->isVisible())
        m_pSoundClip->hide();
    if (m_pBackgroundSound && m_pBackgroundSound->isVisible())
        m_pBackgroundSound->hide();
}

// ---- The background sound -------------------------------------------------

void Velmora::CleanUpAudio() {
    m_backgroundSound = {};
    m_backgroundSoundFile.clear();
    m_backgroundSoundId = 0;
}

void Velmora::setBackgroundSoundChoice(uint32_t id, const std::string& path) {
    m_backgroundSoundId = id;
    m_backgroundSoundFile = path;
}

void Velmora::restoreBackgroundSound(const SBackgroundSoundBytes& record, uint32_t id) {
    // The record names the resource as the import settled it.
    SBackgroundSoundSettings s = SBackgroundSoundSettings::fromBytes(record);
    s.resourceId = id;
    m_backgroundSound = s.toBytes();
}

CResourceEditor* Velmora::backgroundSoundLibrary() {
    return dynamic_cast<CResourceEditor*>(m_pResourceEditor.get());
}

std::string Velmora::soundDataDirectory() {
    return datfile::dataDirectory(m_homeDir);
}

// ---- The second recorders' part -------------------------------------------

void Velmora::disableMenuItemsForSound() {
    for (int id : {SOUND_RECORD, SOUND_STOP, SOUND_PLAY, SOUND_REWIND, SOUND_FORWARD})
        setItemEnabled(id, false);
}

void Velmora::SetPlayBackFrameInfoForAudio(int, unsigned long, int, int, int, int, int) {}

// ---- The engine's host ----------------------------------------------------

sAudioSpecStruct Velmora::recordingSettings() {
    sAudioSpecStruct s;
    if (m_pAudioSpec)
        m_pAudioSpec->ReadDataValues(&s);
    return s;
}

int Velmora::currentFrame() {
    return m_project.m_currentFrame;
}

sAudioSpecStruct Velmora::clipFormat(int frame) {
    return getPlayBackFrameInfoAudio(frame);
}

void Velmora::showSoundError(int code, const std::string& text) {
    const bool critical = code == CBuilderSound::ERROR_CRITICAL;
    QMessageBox box(critical ? QMessageBox::Critical : QMessageBox::Warning,
                    critical ? "Record SoundClip" : "RecordSoundClip", QString::fromStdString(text),
                    QMessageBox::NoButton, this);
    box.setDefaultButton(box.addButton("OK", QMessageBox::AcceptRole));
    box.exec();
}

bool Velmora::frameHasClip(int frame) const {
    return frame >= 0 && size_t(frame) < m_project.m_vPlayBackFrameInfo.size() &&
           m_project.m_vPlayBackFrameInfo[size_t(frame)].audioSize != 0;
}

// ---- The transfer lock ----------------------------------------------------

void Velmora::setFileToolBarEnabled(bool on) {
    if (m_bTransferLock)
        m_bToolBarAfterTransfer = on;
    else if (m_pFileToolBar)
        m_pFileToolBar->setEnabled(on);
}

void Velmora::lockForTransfer() {
    if (m_bTransferLock)
        return;
    m_lockedItems.clear();
    auto lock = [this](int id) {
        if (QAction* a = actionById(id)) {
            m_lockedItems.insert(id, a->isEnabled());
            a->setEnabled(false);
        }
    };
    for (int id : kLockedItems)
        lock(id);
    for (int id : menuItemIds())
        if (actionById(id)->property("recentPath").isValid())
            lock(id);
    m_bToolBarAfterTransfer = m_pFileToolBar->isEnabled();
    m_pFileToolBar->setEnabled(false);
    // The canvas edits the frame's objects; the frame strip and its keys edit the frame table.
    m_lockedWidgets.clear();
    for (QWidget* w : {static_cast<QWidget*>(m_view), static_cast<QWidget*>(m_pNavigationBar)})
        if (w) {
            m_lockedWidgets.emplace_back(w, w->isEnabled());
            w->setEnabled(false);
        }
    m_lockedShortcuts.clear();
    for (QShortcut* s : m_frameAccelerators) {
        m_lockedShortcuts.emplace_back(s, s->isEnabled());
        s->setEnabled(false);
    }
    m_bTransferLock = true;
}

void Velmora::unlockAfterTransfer() {
    if (!m_bTransferLock)
        return;
    m_bTransferLock = false;
    for (auto it = m_lockedItems.cbegin(); it != m_lockedItems.cend(); ++it)
        setItemEnabled(it.key(), it.value());
    m_lockedItems.clear();
    m_pFileToolBar->setEnabled(m_bToolBarAfterTransfer);
    for (auto& [w, on] : m_lockedWidgets)
        w->setEnabled(on);
    m_lockedWidgets.clear();
    for (auto& [s, on] : m_lockedShortcuts)
        s->setEnabled(on);
    m_lockedShortcuts.clear();
}

void Velmora::afterTransfer() {
    unlockAfterTransfer();
    // The menu's Play, and the window's, follow whether the frame has a clip now.
    const bool clip = frameHasClip(m_project.m_currentFrame);
    setItemEnabled(SOUND_PLAY, clip);
    setItemEnabled(SOUND_RECORD, true);
    for (int id : {SOUND_STOP, SOUND_REWIND, SOUND_FORWARD})
        setItemEnabled(id, false);
    if (m_pSoundClip && m_pSoundClip->isVisible())
        m_pSoundClip->setButtons(true, false, clip, 0, 0);
    exitIfAskedMeanwhile();
}

void Velmora::exitIfAskedMeanwhile() {
    if (m_bQuitAfterTransfer) {
        m_bQuitAfterTransfer = false;
        QTimer::singleShot(0, this, &Velmora::slotFileQuit);
    } else if (m_bCloseAfterTransfer) {
        m_bCloseAfterTransfer = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

bool Velmora::deferUntilTransferEnds(bool quit) {
    if (!m_bSoundBusy && !m_bMaking)
        return false;
    (quit ? m_bQuitAfterTransfer : m_bCloseAfterTransfer) = true;
    if (m_bSoundBusy)
        stop_audio();
    return true;
}

// ---- The sound operations -------------------------------------------------

void Velmora::record_audio() {
    if (m_bSoundBusy || !m_pOSSSound)
        return;
    m_bRecordingAudio = m_bSoundBusy = true;
    if (m_pSoundClip && m_pSoundClip->isVisible())
        m_pSoundClip->setButtons(false, true, false);
    // No Play while recording, whatever started it.
    setItemEnabled(SOUND_PLAY, false);
    setFileToolBarEnabled(false);
    lockForTransfer();
    m_pOSSSound->record_sound();
    m_bRecordingAudio = m_bSoundBusy = false;
    setFileToolBarEnabled(true);
    const bool clip = frameHasClip(m_project.m_currentFrame);
    setItemEnabled(EDIT_DELETE_SOUND, clip);
    afterTransfer();
}

void Velmora::play_audio() {
    if (m_bSoundBusy || !m_pOSSSound)
        return;
    m_bSoundBusy = true;
    if (m_pSoundClip && m_pSoundClip->isVisible())
        m_pSoundClip->setButtons(false, true, false);
    setFileToolBarEnabled(false);
    m_bRecordingAudio = false;
    lockForTransfer();
    m_pOSSSound->play_sound();
    m_bSoundBusy = false;
    setFileToolBarEnabled(true);
    afterTransfer();
}

void Velmora::stop_audio() {
    if (m_pSoundClip && m_pSoundClip->isVisible())
        m_pSoundClip->setButtons(true, false, true, 0, 0);
    m_bRecordingAudio = false;
    if (m_pOSSSound)
        m_pOSSSound->stop_sound();
    setItemEnabled(SOUND_STOP, false);
}

void Velmora::forward_audio() {
    if (m_pOSSSound)
        m_pOSSSound->forward_audio();
    m_bRecordingAudio = false;
}

void Velmora::rewind_audio() {
    if (m_pOSSSound)
        m_pOSSSound->rewind_audio();
    m_bRecordingAudio = false;
}

// ---- Menu commands --------------------------------------------------------

void Velmora::slotSoundRecord() {
    if (m_bSoundBusy)
        return;
    m_pStatusBar->showMessage("Sound submenu provides controls for recording and playing a sound clip...");
    for (int id : {SOUND_STOP, SOUND_RECORD, SOUND_PLAY})
        setItemEnabled(id, id == SOUND_STOP);
    record_audio();
    showReady();
}

void Velmora::slotSoundPlayFromMenu() {
    if (m_bSoundBusy)
        return;
    for (int id : {SOUND_STOP, SOUND_RECORD, SOUND_PLAY})
        setItemEnabled(id, id == SOUND_STOP);
    setFileToolBarEnabled(false);
    for (int id : {SOUND_REWIND, SOUND_FORWARD})
        setItemEnabled(id, true);
    play_audio();
}

void Velmora::slotSoundStopFromMenu() {
    const bool busy = m_bSoundBusy;
    stop_audio();
    if (busy)
        return; // the transfer's end sets the menu
    setItemEnabled(SOUND_PLAY, frameHasClip(m_project.m_currentFrame));
    setItemEnabled(SOUND_RECORD, true);
    for (int id : {SOUND_STOP, SOUND_REWIND, SOUND_FORWARD})
        setItemEnabled(id, false);
}

// Kept as they were: the menu's Rewind and Forward do nothing.
void Velmora::slotSoundRewindFromMenu() {}
void Velmora::slotSoundForwardFromMenu() {}

void Velmora::slotViewRecordSoundClip() {
    showProgress("Toggle Record Sound Clip...");
    if (m_pSoundClip) {
        const bool show = !m_pSoundClip->isVisible();
        m_pSoundClip->setVisible(show);
        setItemChecked(VIEW_RECORD_SOUND_CLIP, show);
    }
    showReady();
}

void Velmora::slotShowAudioSettings() {
    m_pAudioSpec->show();
}

void Velmora::slotPerferencesAudio() {
    m_pAudioSpec->show();
}

void Velmora::SetUpPlayBackFrameInfoAudio(int frame, long length, sAudioSpecStruct spec) {
    if (frame < 0 || size_t(frame) >= m_project.m_vPlayBackFrameInfo.size())
        return;
    SPlayBackFrameInfo& p = m_project.m_vPlayBackFrameInfo[size_t(frame)];
    soundrec::setPlaybackAudio(p, uint32_t(length), spec);
    diag::print(
        "\n\tAudio size = %u\n\tChannels = %u\n\tSamples per second = %u\n\tAverage bytes per second = "
        "%u\n\tBlock align = %u\n\tBits per sample = %u\n",
        p.audioSize, p.channels, p.samplesPerSec, p.bytesPerSec, p.blockAlign, p.bitsPerSample);
    if (NavigationBarBase* strip = frameStrip())
        strip->soundAddedOrRemovedInFrame(true);
}

sAudioSpecStruct Velmora::getPlayBackFrameInfoAudio(int frame) {
    if (frame < 0 || size_t(frame) >= m_project.m_vPlayBackFrameInfo.size())
        return sAudioSpecStruct{0, 0, 0, 0};
    const sAudioSpecStruct s = soundrec::playbackAudioSpec(m_project.m_vPlayBackFrameInfo[size_t(frame)]);
    diag::print("\n\tSampling rate = %d\n\tChannels = %d\n\tBits per sample = %d\n", s.samplingRate,
                s.channels, s.bitsPerSample);
    return s;
}

int Velmora::detect_soundcard_type() {
    struct stat st {};
    int kind = 402;
    if (stat("/proc/asound/sndstat", &st) == 0 && S_ISREG(st.st_mode))
        kind = 401;
    else if (stat("/dev/sndstat", &st) == 0 && S_ISCHR(st.st_mode))
        kind = 400;
    diag::print("\n\tSoundCard = %d", kind);
    diag::print("\n[400=oss ,401 =alsa ,402 = nocard]\n");
    return kind;
}

void Velmora::slotEditDeleteSound() {
    if (m_bSoundBusy)
        return;
    const int frame = m_project.m_currentFrame;
    if (frame < 0 || size_t(frame) >= m_project.m_vPlayBackFrameInfo.size() ||
        size_t(frame) >= m_project.m_vEditInfo.size())
        return;
    QMessageBox ask(QMessageBox::Warning, "Delete Sound", "Delete Sound in this Frame?",
                    QMessageBox::NoButton, this);
    QPushButton* ok = ask.addButton("OK", QMessageBox::AcceptRole);
    QPushButton* cancel = ask.addButton("Cancel", QMessageBox::RejectRole);
    ask.setDefaultButton(ok);
    ask.setEscapeButton(cancel);
    ask.exec();
    if (ask.clickedButton() != ok)
        return;

    // The clip's bytes stay in the sound working file.
    soundrec::clearFrameSound(m_project.m_vEditInfo[size_t(frame)],
                              m_project.m_vPlayBackFrameInfo[size_t(frame)]);
    setItemEnabled(EDIT_DELETE_SOUND, false);
    diag::print("\n\t\t Deleted Sound From the Frame Number %d", frame);
    QMessageBox done(QMessageBox::Information, "Delete Sound", "Deleted Sound !", QMessageBox::NoButton,
                     this);
    done.setDefaultButton(done.addButton("OK", QMessageBox::AcceptRole));
    done.exec();
    setItemEnabled(SOUND_PLAY, false);
    emit SoundFrameDeleteSignal(frame);
}
