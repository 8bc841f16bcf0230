// The small "Record Sound Clip" window: Record, Stop, Play, Forward and Rewind
// for the current frame's clip, driving the main window's sound operations and
// keeping the Sound menu, Edit "&Delete Sound" and the "file operations" tool
// bar in step. Its buttons are built once, with the window.
#pragma once

#include <QDialog>

class QPushButton;
class Velmora;

class CSoundClip : public QDialog {
    Q_OBJECT
  public:
    CSoundClip(Velmora* parent, const char* name);

    QPushButton* recordButton() const { return m_pRecordButton; }
    QPushButton* playButton() const { return m_pPlayButton; }
    QPushButton* forwardButton() const { return m_pForwardButton; }
    QPushButton* rewindButton() const { return m_pRewindButton; }
    QPushButton* stopButton() const { return m_pStopButton; }
    // The frame the navigation bar announced last; -1 before any.
    int announcedFrame() const { return m_nCurrentFrame; }

    // The buttons' states, Forward and Rewind left as they are when -1. When
    // the button with the keyboard focus goes off, the focus moves to Stop,
    // else Record, else Play, whichever is on.
    void setButtons(bool record, bool stop, bool play, int forward = -1, int rewind = -1);

  public slots:
    void slotrecordbuttonclicked();
    void slotstopbuttonclicked();
    void slotplaybuttonclicked();
    void slotforwardbuttonclicked();
    void slotrewindbuttonclicked();
    void slotcurrentframe(int frame);
    void SlotUpdateGUI(int);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QPushButton* makeButton(const char* name, int x, const char* tip, const QPixmap& image, bool enabled);

    Velmora* m_main;
    QPushButton* m_pRecordButton = nullptr;
    QPushButton* m_pPlayButton = nullptr;
    QPushButton* m_pForwardButton = nullptr;
    QPushButton* m_pRewindButton = nullptr;
    QPushButton* m_pStopButton = nullptr;
    int m_nCurrentFrame = -1;
};
