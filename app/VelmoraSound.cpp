// The main window's sound members that need no sound device: the audio
// settings dialog, the frames' sound records and Delete Sound.
#include "app/MenuIds.h"
#include "app/Velmora.h"
#include "store/Diagnostics.h"

#include "canvas/strip/NavigationBarBase.h"
#include "media/AudioSettingsDialog.h"
#include "media/SoundWorkingFile.h"

#include <QMessageBox>
#include <QPushButton>

#include <sys/stat.h>

using namespace menuid;

void Velmora::initSound() {
    m_pAudioSpec = new CAudioSpec(this, "AudioSpecifications");
}

void Velmora::hideSoundItems() {
    if (m_pAudioSpec && m_pAudioSpec->isVisible())
        m_pAudioSpec->hide();
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
