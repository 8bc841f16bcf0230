// The "Background Sound Settings" dialog: the project's one background sound,
// its looping, fading and frames. OK writes the main window's 20-byte record;
// showing fills the widgets from it. The main window is reached through the
// sound engine's host interface.
#pragma once

#include "store/VlmRecords.h"

#include <QDialog>
#include <QPointer>

#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;
class SoundEngineHost;

// The record's fields, in the player's layout (20 bytes, little-endian).
struct SBackgroundSoundSettings {
    enum Offset : size_t {
        RESOURCE_ID = 0,
        LOOPING = 4,
        LOOP_COUNT = 5,
        LOOP_FOREVER = 6,
        FADING = 7,
        FADE_IN = 8,
        FADE_OUT = 9,
        SECONDS_FADE_IN = 10,
        SECONDS_FADE_OUT = 11,
        IN_FRAME = 12,
        OUT_FRAME = 16,
        SIZE = 20
    };
    uint32_t resourceId = 0;
    uint8_t looping = 0, loopCount = 0, loopForever = 0, fading = 0, fadeIn = 0, fadeOut = 0;
    uint8_t secondsFadeIn = 0, secondsFadeOut = 0;
    int32_t inFrame = 0, outFrame = 0;

    SBackgroundSoundBytes toBytes() const;
    static SBackgroundSoundSettings fromBytes(const SBackgroundSoundBytes& b);
};

class CBackgroundSound : public QDialog {
    Q_OBJECT
  public:
    CBackgroundSound(QWidget* parent, const char* name, bool modal = true);

    void setHost(SoundEngineHost* host) { m_host = host; }

  public slots:
    void SlotOkButtonClicked();
    void SlotEnableItemsInTheLoopingBox();
    void SlotEnableItemsInTheDurationGrpBox();
    void SlotEnableItemsInTheFadingBox();
    void SlotFadeInClicked();
    void SlotFadeOutClicked();
    void SlotProcessInFrameValue(const QString& text);
    void SlotBrowseButtonClicked();
    void SlotGetIDAndPath(const QString& path, unsigned long id);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void InitConnections();
    // A field's number when it is empty (0) or a decimal in [low, high];
    // otherwise the field gets the focus, a message names the field and the
    // numbers it takes, and the result is false.
    bool fieldValue(QLineEdit* edit, const QString& name, long low, long high, long& value);
    void showRefusal(const QString& text);

    SoundEngineHost* m_host = nullptr;
    QPointer<QMessageBox> m_refusal;
    uint8_t m_looping = 0, m_fading = 0, m_fadeIn = 0, m_fadeOut = 0;

    QGroupBox *m_mainBox, *m_loopBox, *m_durationBox, *m_fadingBox, *m_fadeSettingsBox, *m_voiceOverBox;
    QLabel *m_fileLabel, *m_secondsInLabel, *m_secondsOutLabel, *m_inFrameLabel, *m_outFrameLabel;
    QLineEdit *m_soundFileBox, *m_countBox, *m_secondsInBox, *m_secondsOutBox, *m_inFrameBox, *m_outFrameBox;
    QPushButton *m_browseButton, *m_okButton, *m_cancelButton;
    QCheckBox *m_loopSound, *m_numberOfTimes, *m_forever, *m_userFading, *m_fadeInBox, *m_fadeOutBox;
};
