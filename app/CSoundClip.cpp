#include "app/CSoundClip.h"

#include "app/AppImages.h"
#include "app/MenuIds.h"
#include "app/Velmora.h"
#include "store/Diagnostics.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QShowEvent>

using namespace menuid;

CSoundClip::CSoundClip(Velmora* parent, const char* name) : QDialog(parent), m_main(parent) {
    setObjectName(QString::fromUtf8(name));
    setModal(false);
    setWindowTitle("Record Sound Clip");
    setFixedSize(160, 30);
    m_pRecordButton =
        makeButton("RecordButton", 0, "Record", QPixmap(QStringLiteral("startButton.xpm")), true);
    m_pStopButton = makeButton("StopButton", 32, "Stop", QPixmap(stop_xpm), false);
    m_pPlayButton = makeButton("NoName", 64, "Play", QPixmap(play_xpm), false);
    m_pForwardButton = makeButton("ForwardButton", 96, "Forward", QPixmap(forward_xpm), false);
    m_pRewindButton = makeButton("RewindButton", 128, "Rewind", QPixmap(rewind_xpm), false);
    connect(m_pRecordButton, &QPushButton::clicked, this, &CSoundClip::slotrecordbuttonclicked);
    connect(m_pStopButton, &QPushButton::clicked, this, &CSoundClip::slotstopbuttonclicked);
    connect(m_pPlayButton, &QPushButton::clicked, this, &CSoundClip::slotplaybuttonclicked);
    connect(m_pForwardButton, &QPushButton::clicked, this, &CSoundClip::slotforwardbuttonclicked);
    connect(m_pRewindButton, &QPushButton::clicked, this, &CSoundClip::slotrewindbuttonclicked);
}

QPushButton* CSoundClip::makeButton(const char* name, int x, const char* tip, const QPixmap& image,
                                    bool enabled) {
    auto* b = new QPushButton(this);
    b->setObjectName(name);
    b->setGeometry(x, 0, 32, 30);
    b->setToolTip(tip);
    b->setIcon(image);
    b->setIconSize(QSize(24, 24));
    b->setEnabled(enabled);
    return b;
}

void CSoundClip::setButtons(bool record, bool stop, bool play, int forward, int rewind) {
    m_pRecordButton->setEnabled(record);
    m_pStopButton->setEnabled(stop);
    m_pPlayButton->setEnabled(play);
    if (forward >= 0)
        m_pForwardButton->setEnabled(forward != 0);
    if (rewind >= 0)
        m_pRewindButton->setEnabled(rewind != 0);
    // Space and Return reach Stop while a transfer runs, not the Record button gone off.
    const QWidget* focus = focusWidget();
    if (focus && focus->isEnabled())
        return;
    for (QPushButton* b : {m_pStopButton, m_pRecordButton, m_pPlayButton})
        if (b->isEnabled()) {
            b->setFocus(Qt::OtherFocusReason);
            return;
        }
}

void CSoundClip::showEvent(QShowEvent* event) {
    if (m_main->isRecordingAudio())
        setButtons(false, true, false);
    else if (m_main->frameHasClip(m_nCurrentFrame))
        setButtons(true, false, true);
    else
        setButtons(true, false, false, 0, 0); // as built: the buttons outlive a showing
    QDialog::showEvent(event);
}

void CSoundClip::closeEvent(QCloseEvent* event) {
    m_main->stop_audio();
    m_main->setItemChecked(VIEW_RECORD_SOUND_CLIP, false);
    hide();
    event->accept();
}

void CSoundClip::slotrecordbuttonclicked() {
    if (m_main->isSoundBusy())
        return;
    setButtons(false, true, false);
    m_main->setFileToolBarEnabled(false);
    m_main->setItemEnabled(SOUND_STOP, true);
    m_main->setItemEnabled(SOUND_RECORD, false);
    m_main->record_audio();
}

void CSoundClip::slotplaybuttonclicked() {
    if (m_main->isSoundBusy())
        return;
    setButtons(false, true, false, 1, 1);
    m_main->setFileToolBarEnabled(false);
    for (int id : {SOUND_STOP, SOUND_PLAY, SOUND_RECORD})
        m_main->setItemEnabled(id, id == SOUND_STOP);
    m_main->play_audio();
    // The transfer's end has set the rest.
    for (int id : {SOUND_FORWARD, SOUND_REWIND})
        m_main->setItemEnabled(id, false);
    m_pForwardButton->setEnabled(false);
    m_pRewindButton->setEnabled(false);
}

void CSoundClip::slotstopbuttonclicked() {
    setButtons(true, false, true, 0, 0);
    for (int id : {SOUND_STOP, SOUND_REWIND, SOUND_FORWARD})
        m_main->setItemEnabled(id, false);
    m_main->setItemEnabled(SOUND_RECORD, true);
    const bool busy = m_main->isSoundBusy();
    m_main->stop_audio();
    if (busy)
        return; // the transfer's end sets the menu and the buttons
    m_main->setFileToolBarEnabled(true);
    const bool clip = m_main->frameHasClip(m_main->project().m_currentFrame);
    m_main->setItemEnabled(EDIT_DELETE_SOUND, true);
    m_main->setItemEnabled(SOUND_PLAY, clip);
    setButtons(true, false, clip);
}

void CSoundClip::slotforwardbuttonclicked() {
    m_main->forward_audio();
}

void CSoundClip::slotrewindbuttonclicked() {
    m_main->rewind_audio();
}

void CSoundClip::slotcurrentframe(int frame) {
    m_nCurrentFrame = frame;
}

void CSoundClip::SlotUpdateGUI(int) {
    diag::print("\n\t Inside Update Audio GUI\n");
    const bool clip = m_main->frameHasClip(m_main->project().m_currentFrame);
    m_main->setItemEnabled(EDIT_DELETE_SOUND, clip);
    if (clip)
        diag::print("Updated");
    if (!isVisible())
        return;
    // A frame change turns the menu's Play off; the window's Play follows the frame.
    if (clip) {
        setButtons(true, false, true);
        for (int id : {SOUND_STOP, SOUND_RECORD, SOUND_PLAY})
            m_main->setItemEnabled(id, id == SOUND_RECORD);
    } else if (m_main->isRecordingAudio()) {
        setButtons(false, true, false);
        for (int id : {SOUND_STOP, SOUND_RECORD, SOUND_PLAY})
            m_main->setItemEnabled(id, id == SOUND_STOP);
    } else {
        setButtons(true, false, false);
        for (int id : {SOUND_STOP, SOUND_RECORD, SOUND_PLAY})
            m_main->setItemEnabled(id, id == SOUND_RECORD);
    }
}
