// The card recorder that goes with the record sound clip dialog: it records
// from the OSS device into "temp.dat" of the current directory, keeps the clip
// in the main window's sound working file, and plays "temp.dat" back. It
// updates the dialog the main window refers to, and nothing while there is
// none. Failures show the "Record Error" box and the operation goes on; none
// ends the process. Nothing in the program makes one.
#pragma once

#include "media/OssDevice.h"
#include "media/SoundRecords.h"

#include <QObject>

#include <cstdint>
#include <string>

class QWidget;
class CRecordSoundClip;
class SoundEngineHost;

class COSSCard : public QObject {
    Q_OBJECT
  public:
    enum ModeOfOpen { WRITE = 0, READ = 1 };
    enum { MODE_RECORD = 1, MODE_PLAY = 2 };

    COSSCard(QWidget* parent, const char* name);
    ~COSSCard() override;

    void setHost(SoundEngineHost* host) { m_host = host; }

    // False when the recording or playing could not run.
    bool RecordAudioData();
    bool RecordAudio();
    bool PlayAudioData();
    bool PlayAudio();
    // Mode 1 records, any other plays; 0, or -1 when the device did not open.
    int InitSoundCardAndMixer(int mode, int rate, int bits, int channels, int source);
    bool InitDataFileAndWaveHeader(ModeOfOpen mode, int rate, int bits, int channels);
    bool WriteFile();
    void CloseAudio();
    long getOptimalBufferSize(int mode);
    // The frame's clip stored from "temp.dat", and copied back into it.
    bool CopyTempFileToAudioFile(int frame, uint32_t length, const sAudioSpecStruct& format);
    bool CopyFromAudioFileToTempFile(uint32_t headerOffset, uint32_t length);
    void ProcessError(int code);
    static std::string errorText(int code);

    static std::string tempFilePath() { return "temp.dat"; }
    long inputBufferSize() const { return m_inputBufferSize; }
    int sliderStep() const { return m_sliderStep; }
    int currentFrame() const { return m_currentFrame; }

    static long m_nBytesPerSecond;
    static long m_nTotBytesWritten;
    static int FrameNumber;
    static int Fnum;

  public slots:
    void SlotStartRecording();
    void SlotStopButtonClicked();
    void SlotCurrentFrame(int frame);
    void SlotEnableButtons();

  signals:
    void QuitSignal();
    void CurrentFrameSignal();

  private:
    CRecordSoundClip* dialog() const;
    // Shows the played time and moves the slider;
    void showPlayed(const QString& text);

    SoundEngineHost* m_host = nullptr;
    OssDevice m_device;
    OssMixer m_mixer;
    int m_source = 0;
    bool m_run = true;
    int m_currentFrame = 0;
    struct WaveHeader {
        int channels = 0;
        long rate = 0;
        long byteRate = 0;
        int blockAlign = 0;
        int bits = 0;
    } m_header;
    int m_waveFd = -1;
    double m_fileSize = 0;
    int m_sliderStep = 0;
    int m_sliderValue = 0;
    long m_lastSecond = 0;
    long m_inputBufferSize = 0;
};
