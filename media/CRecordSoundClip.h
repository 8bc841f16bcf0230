// The record sound clip dialog: Record, Stop, Play, Forward and End buttons,
// a position slider, the elapsed and total time labels and a display strip.
// Its card probe gives 200 (OSS), 210 (ALSA) or 220 (no card). Nothing in the
// program makes one.
#pragma once

#include <QDialog>

#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;

class CRecordSoundClip : public QDialog {
    Q_OBJECT
  public:
    enum { OSSCARD = 200, ALSACARD = 210, NOCARD = 220 };
    enum ButtonId { RECORD = 0, STOP = 1, PLAY = 2, FORWARD = 3, END = 4 };

    CRecordSoundClip(QWidget* parent, const char* name);

    int ProbeForSoundCardType();

    QLabel* elapsedTimeLabel() const { return m_elapsed; }
    QLabel* totalTimeLabel() const { return m_total; }
    QSlider* slider() const { return m_slider; }
    QPushButton* button(int id) const { return id >= 0 && id < 5 ? m_buttons[id] : nullptr; }
    int lastButton() const { return m_lastButton; }
    bool byteFlag() const { return m_byteFlag != 0; }
    int counter() const { return m_counter; }

    // The critical box of the card probe: caption and text.
    using MessageBox = std::function<void(const QString& caption, const QString& text)>;
    void setMessageBox(MessageBox box) { m_messageBox = std::move(box); }

  public slots:
    void SlotIdentifyButtonClicked(int id);
    void SlotQuitDialog();

  signals:
    void StartRecordingSignal();
    void StartPlayingSignal();
    void StopSignal();
    void EnableButtons();
    void signalCloseCRecordSoundClip();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildTheInterface();
    void InitConnections();

    QLabel *m_elapsed = nullptr, *m_total = nullptr, *m_position = nullptr, *m_time = nullptr;
    QSlider* m_slider = nullptr;
    QPushButton* m_buttons[5] = {};
    int m_counter = 0;
    int m_nextX = 30;
    int m_lastButton = -1;
    unsigned char m_byteFlag = 1;
    QGroupBox* m_mainBox = nullptr;
    QButtonGroup* m_group = nullptr;
    QWidget* m_display = nullptr;
    MessageBox m_messageBox;
};
